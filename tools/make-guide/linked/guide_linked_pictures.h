// The pictures linked into the program: the wallpapers bkgrnd01.gif and
// bkgrnd03.gif and the version picture Intro.bmp, as make-guide draws them
// for the default seed.  The library guide_linked_pictures holds them; the
// program registers them at start-up:
//   tentaria::RegisterGuideLinkedPictures(tentaria::pictures::ProgramPictures());
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_LINKED_GUIDE_LINKED_PICTURES_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_LINKED_GUIDE_LINKED_PICTURES_H_

#include "pictures/linked_pictures.h"

namespace tentaria {

void RegisterGuideLinkedPictures(pictures::LinkedPictures& linked);

}  // namespace tentaria

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_LINKED_GUIDE_LINKED_PICTURES_H_
