// Writing the guide's picture files into the guide folder, under the names
// the program asks for (folders made as needed).
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_PICTURE_FILES_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_PICTURE_FILES_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace tentaria::make_guide {

// Writes bytes to folder/relative ("Logo/L1218.BMP"), replacing a file.
Status WritePictureFile(const std::string& folder, std::string_view relative,
                        std::span<const uint8_t> bytes);

// The pictures compiled into the program: bkgrnd01.gif, bkgrnd03.gif and
// Intro.bmp.
Status WriteLinkedPictures(const std::string& folder, uint64_t seed);

// Every picture of the guide that belongs to no single campsite: the
// linked pictures, the publisher's logos, the icons, the maps, the menu's
// other advertisements and the search window's twenty small ones (whose
// campsites are made again from the seed, in a guide whose highest
// campsite number is `highest_number`).
Status WriteProgramPictures(const std::string& folder, uint64_t seed, uint32_t highest_number);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_PICTURE_FILES_H_
