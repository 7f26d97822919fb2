// The pictures of the program's own windows: the wallpapers, the version
// picture and the publisher's logos.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_PROGRAM_PICTURES_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_PROGRAM_PICTURES_H_

#include <cstdint>

#include "tools/make-guide/drawing/canvas.h"

namespace tentaria::make_guide {

// Calm tiles that repeat without seams: bkgrnd01.gif, pale green with
// faint leaves and tents (the lists and forms); bkgrnd03.gif, pale blue
// with faint waves (the frame and the information windows).
Canvas ListWallpaper(uint64_t seed);
Canvas FrameWallpaper(uint64_t seed);

// Intro.bmp: a campsite landscape with the title "Tentaria Benelux 2000".
Canvas IntroPicture(uint64_t seed);

// The publisher's logo: large for Logo\OKV.BMP, small for okvlgkl.gif.
Canvas PublisherLogo(bool small);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_PROGRAM_PICTURES_H_
