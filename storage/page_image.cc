#include "storage/page_image.h"

#include <vector>

#include "storage/bytes.h"
#include "storage/internal_fault.h"
#include "storage/page_codec.h"
#include "storage/page_compression.h"

namespace tentaria::storage {

Status EncodePageImage(const Page& page, uint32_t home, std::string* image) {
  size_t count = page.size();
  size_t prefix = kPageHeaderSize + (page.is_leaf() ? 0 : 4 * count);
  // Pages are encoded by the ten thousand at a flush: the packed form goes
  // to one buffer reused by every call on this thread.
  thread_local std::string packed;
  packed.clear();
  PackEntries(page, &packed);
  size_t full = prefix + packed.size();

  image->reserve(RoundUpToBlock(full + full / 64 + 16));
  image->assign(prefix, '\0');
  size_t stored = full;
  if (CompressPage(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), image) &&
      RoundUpToBlock(image->size()) < RoundUpToBlock(full)) {
    stored = image->size();
  } else {
    image->resize(prefix);
    image->append(packed);
  }
  if (stored > kMaxPageBytes || full > UINT16_MAX || page.content_size() > UINT16_MAX) {
    return InternalFault(fault::kPageTooLarge);
  }
  auto* p = reinterpret_cast<uint8_t*>(image->data());
  StoreU32(p + 0, home);
  StoreU16(p + 4, static_cast<uint16_t>(stored));
  StoreU16(p + 6, static_cast<uint16_t>(full));
  StoreU16(p + 8, static_cast<uint16_t>(page.content_size()));
  StoreU16(p + 10, static_cast<uint16_t>(count));
  p[12] = page.level();
  if (!page.is_leaf()) {
    for (size_t i = 0; i < count; ++i) {
      StoreU32(p + kPageHeaderSize + 4 * i, static_cast<uint32_t>(page.entry(i).child));
    }
  }
  image->resize(RoundUpToBlock(stored), static_cast<char>(kPadByte));
  return Status::Ok();
}

Status DecodePageImage(const uint8_t* data, size_t n, int32_t ref, std::unique_ptr<Page>* page) {
  auto result = std::make_unique<Page>(ref, 0);
  Status s = DecodePageImage(data, n, ref, result.get());
  if (!s.ok()) return s;
  *page = std::move(result);
  return Status::Ok();
}

Status DecodePageImage(const uint8_t* data, size_t n, int32_t ref, Page* page) {
  if (n < kPageHeaderSize) return InternalFault(fault::kPageLength);
  size_t stored = LoadU16(data + 4);
  if (RoundUpToBlock(stored) != n) return InternalFault(fault::kPageLength);
  if (LoadU32(data) != BlockOffset(ref)) return InternalFault(fault::kHomeAddress);
  size_t full = LoadU16(data + 6);
  size_t count = LoadU16(data + 10);
  uint8_t level = data[12];
  size_t prefix = kPageHeaderSize + (level == 0 ? 0 : 4 * count);
  if (prefix > stored || stored > full) return InternalFault(fault::kPageHeader);

  // The header's content size gives the records' total length, to size
  // the page's buffer at once; a wrong one costs only memory or a regrowth.
  size_t content = LoadU16(data + 8);
  size_t overhead = kPageHeaderSize + count * (level == 0 ? 5 : 9);
  size_t bytes_hint = content > overhead ? content - overhead : 0;
  page->Reset(ref, level);
  page->FitRoom(count, bytes_hint);
  if (stored < full) {
    // Reused, like the packing buffer: pages are loaded by the thousand in
    // a scan.
    thread_local std::vector<uint8_t> expanded;
    expanded.resize(full - prefix);
    Status s = ExpandPage(data + prefix, stored - prefix, expanded.data(), expanded.size());
    if (!s.ok()) return s;
    s = UnpackEntries(expanded.data(), expanded.size(), count, level != 0, bytes_hint, page);
    if (!s.ok()) return s;
  } else {
    Status s = UnpackEntries(data + prefix, full - prefix, count, level != 0, bytes_hint, page);
    if (!s.ok()) return s;
  }
  if (level != 0) {
    for (size_t i = 0; i < count; ++i) {
      page->SetChild(i, static_cast<int32_t>(LoadU32(data + kPageHeaderSize + 4 * i)));
    }
  }
  return Status::Ok();
}

}  // namespace tentaria::storage
