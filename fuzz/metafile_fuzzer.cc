// The placeable metafile decoder on arbitrary bytes and displays: a size
// within the pixel limit or no picture, never a crash.  The first four
// bytes choose the display's pixels per inch.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "pictures/metafile_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const tentaria::pictures::Display display{data[0] | (data[1] << 8), data[2] | (data[3] << 8)};
  const tentaria::pictures::PicturePtr picture =
      tentaria::pictures::DecodeMetafile({data + 4, size - 4}, display);
  if (picture == nullptr) return 0;
  if (picture->width <= 0 || picture->height <= 0 ||
      static_cast<uint64_t>(picture->width) * static_cast<uint64_t>(picture->height) >
          tentaria::pictures::kMaxPixels) {
    std::abort();
  }
  return 0;
}
