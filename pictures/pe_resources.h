// Icons and cursors kept inside a program or library file (.EXE, .DLL) of
// the 32- and 64-bit executable format: the first icon group's best image
// (the largest, then the deepest), or, in a file without icons, the first
// cursor group's.  Images stored in other formats than bitmaps give no
// picture, as in icon files.  Older 16-bit executables give none.
#ifndef TENTARIA_PICTURES_PE_RESOURCES_H_
#define TENTARIA_PICTURES_PE_RESOURCES_H_

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace tentaria::pictures {

PicturePtr DecodeExecutableIcon(std::span<const uint8_t> bytes);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_PE_RESOURCES_H_
