// The page image: how a page lies on disk.
//
//   Offset  Width     Field
//   0       u32       home address: the page's own file offset 512 + 256 * ref
//   4       u16       stored size: bytes of the image as stored, header included
//   6       u16       full size: bytes of the image when expanded, header included
//   8       u16       content size: 13 + sum of (record length + 5), + 4 per
//                     child on an index page (sharing not counted)
//   10      u16       record count n
//   12      u8        level: 0 leaf, 1 and up index
//   13      n x u32   index pages only: the children's block references, in
//                     key order
//   then              the packed records (page_codec.h); compressed
//                     (page_compression.h) when stored size < full size
//
// The first 13 bytes and the child references are never compressed.  The
// image is padded to whole blocks with 0xB0.
#ifndef TENTARIA_STORAGE_PAGE_IMAGE_H_
#define TENTARIA_STORAGE_PAGE_IMAGE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/status.h"
#include "storage/page.h"

namespace tentaria::storage {

inline constexpr uint8_t kPadByte = 0xB0;

// Builds the stored image of page for home address home, padded to whole
// blocks.  Compression is kept only when it saves at least one block.  An
// image over 59 blocks is internal fault 1678.
Status EncodePageImage(const Page& page, uint32_t home, std::string* image);

// Loads a page from the n bytes read at its place (its class times 256).
// Checks: stored size rounded up to a block equals n (1477); home address
// (2402); header sizes consistent (2405); expansion (522, 530); unpacked
// size equals full size (1602).
Status DecodePageImage(const uint8_t* data, size_t n, int32_t ref, std::unique_ptr<Page>* page);
// The same into page, whatever it held before (a page recycled by the
// cache keeps its room).  On failure the page's contents are undefined.
Status DecodePageImage(const uint8_t* data, size_t n, int32_t ref, Page* page);

// The stored size of an image (from its header); used for journal entries.
inline constexpr size_t kStoredSizeOffset = 4;

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_PAGE_IMAGE_H_
