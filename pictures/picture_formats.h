// The table of picture formats, one entry per extension, in the order in
// which they are tried.
#ifndef TENTARIA_PICTURES_PICTURE_FORMATS_H_
#define TENTARIA_PICTURES_PICTURE_FORMATS_H_

#include <span>
#include <string_view>

#include "pictures/picture.h"
#include "pictures/picture_source.h"

namespace tentaria::pictures {

using Loader = PicturePtr (*)(std::string_view name, const LoadOptions& options);

struct PictureFormat {
  std::string_view extension;  // with its dot, compared without regard to case
  Decoder decoder;             // null for entries that only share a loader
  Loader loader;
};

// In order:
//   .BMP .GIF .PCX                    their decoders
//   .EXE .DLL .ICO .CUR .ANI          no decoder; the icon loader (icons
//                                     inside executables are not read, so
//                                     those give none)
//   .WMF                              placeable metafile
//   .TMP                              no decoder; as .WMF
//   .JPG                              JPEG
//   .JPEG .JPE .JFIF                  no decoder; as .JPG
std::span<const PictureFormat> PictureFormats();

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_PICTURE_FORMATS_H_
