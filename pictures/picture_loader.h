// Loading a picture by name, and decoding bytes that come without one.
//
// A name starting with "~" asks for a linked picture first ("~bkgrnd03.gif"
// is the linked picture BKGRND03_GIF), then the file.  The format is
// chosen by the name's extension: the last "." and at most three characters
// after it, so "A1218.JPEG" has the extension ".JPE"; a name starting with
// the byte 0xFF or "!ICON:" is an icon.  Nothing is reported: a name that
// yields no picture gives null.  A picture is released by destroying it.
#ifndef TENTARIA_PICTURES_PICTURE_LOADER_H_
#define TENTARIA_PICTURES_PICTURE_LOADER_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "pictures/picture.h"
#include "pictures/picture_source.h"

namespace tentaria::pictures {

PicturePtr LoadPicture(std::string_view name, const LoadOptions& options = {});

// Asks every format that has a decoder, in table order; the first picture
// wins.  The picture keeps a copy of the bytes.
PicturePtr DecodePicture(std::span<const uint8_t> bytes, const Display& display = {});

// The extension that chooses the format, as it stands in the name ("" when
// the name has no dot).
std::string PictureExtension(std::string_view name);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_PICTURE_LOADER_H_
