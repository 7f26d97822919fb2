// The icons the windows name, each with a 32 x 32 and a 16 x 16 image.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_ICONS_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_ICONS_H_

#include <span>
#include <string_view>
#include <vector>

#include "tools/make-guide/drawing/canvas.h"

namespace tentaria::make_guide {

// Pixels of this colour are transparent in the icon files.
inline constexpr Colour kIconClear{255, 0, 255};

struct IconDrawing {
  // The file name; the program's windows differ in the case they use for
  // some names, which the program's case-blind lookup finds under this one.
  std::string_view file;
  void (*draw)(Canvas& canvas);
};

std::span<const IconDrawing> IconDrawings();

// The icon's images (32 and 16 pixels), drawn on kIconClear.
std::vector<Canvas> IconImages(const IconDrawing& icon);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_ICONS_H_
