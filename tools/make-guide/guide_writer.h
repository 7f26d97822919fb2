// Writes a sample guide: the seven guide files, through the storage
// engine, with the declarations, keys and owner password of the guide's
// dictionary.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_GUIDE_WRITER_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_GUIDE_WRITER_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/status.h"

namespace tentaria::make_guide {

// The named campsites always exist, so a guide has at least as many; the
// campsite number has five digits, so at most 99999.
inline constexpr uint32_t kDefaultCount = 1500;
uint32_t SmallestCount();
inline constexpr uint32_t kLargestCount = 99999;

struct GuideRequest {
  std::string folder;  // host path of an existing folder
  uint64_t seed = 2000;
  uint32_t count = kDefaultCount;
  // Also the pictures the guide shows (photos, logos, advertisements, maps,
  // wallpapers, icons).
  bool pictures = true;
  // Told of the campsites written so far, now and then.
  std::function<void(uint32_t written, uint32_t count)> progress;
};

// The campsite numbers of a guide of `count` campsites, ascending: the
// named numbers and, spread evenly among them, as many others as needed
// over 1 to max(1500, count).
std::vector<uint32_t> CampsiteNumbers(uint32_t count);

Status WriteGuide(const GuideRequest& request);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_GUIDE_WRITER_H_
