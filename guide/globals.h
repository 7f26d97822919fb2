// The guide's globals beside its record buffers (records.h): like them
// they are the one place every procedure reads and writes, whichever
// window or thread it runs on, so they are process-wide too.  They hold
// no state that outlives a run: the frame sets the title when it opens,
// whoever shows a picture window sets its picture name first, and the
// print menu sets its campsite when it opens.
#ifndef TENTARIA_GUIDE_GLOBALS_H_
#define TENTARIA_GUIDE_GLOBALS_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tentaria::guide {

inline constexpr std::string_view kProgramTitle = "Tentaria Benelux 2000";
inline constexpr size_t kPictureNameSize = 64;
inline constexpr size_t kPrintCampsiteNameSize = 24;

// The campsite the letters of the print menu print for.
struct PrintCampsite {
  int64_t number = 0;
  std::string name;  // at most kPrintCampsiteNameSize characters
};

struct GuideGlobals {
  // The program's title; the search window shows it as its first line.
  std::string title;
  // The picture the picture window shows; at most kPictureNameSize
  // characters.
  std::string picture_name;
  PrintCampsite print_campsite;
};

inline GuideGlobals globals;

// Sets the picture name, cut to its size.
void SetPictureName(std::string_view name);

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_GLOBALS_H_
