// The readers of icons inside programs and libraries and of animated
// cursors, each on the same arbitrary bytes: a picture or none, never a
// crash, a hang or an allocation beyond the pixel limit; every frame of a
// picture holds exactly its width times height pixels.  The seeds in
// corpus/pe_icon_fuzzer are written by the executable icon tests when
// TENTARIA_PE_SEEDS names a folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "pictures/ani_decoder.h"
#include "pictures/pe_resources.h"

namespace {

void CheckWhole(const tentaria::pictures::PicturePtr& picture) {
  if (picture == nullptr) return;
  const size_t pixels = static_cast<size_t>(picture->width) * static_cast<size_t>(picture->height);
  if (pixels == 0 || pixels > tentaria::pictures::kMaxPixels || picture->frames.empty())
    std::abort();
  for (const tentaria::pictures::Frame& frame : picture->frames) {
    if (frame.rgba.size() != pixels * 4) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckWhole(tentaria::pictures::DecodeExecutableIcon({data, size}));
  CheckWhole(tentaria::pictures::DecodeAnimatedCursor({data, size}));
  return 0;
}
