// Compiling the date (@D) and time (@T) pictures.  `body` is the picture
// text after "@D" or "@T", with the blank-when-zero suffix removed.
//
// Formats 17 and 18 of dates and 7 and 8 of times are laid out from the
// locale pictures of the current locale (locale.h) at the moment of
// compiling.
#ifndef TENTARIA_RUNTIME_PICTURE_DATE_TIME_COMPILE_H_
#define TENTARIA_RUNTIME_PICTURE_DATE_TIME_COMPILE_H_

#include <string_view>

#include "runtime/picture.h"

namespace tentaria::runtime {

// Both return false for an invalid picture and leave *picture alone.
bool CompileDatePicture(std::string_view body, bool blank_when_zero, CompiledPicture* picture);
bool CompileTimePicture(std::string_view body, bool blank_when_zero, CompiledPicture* picture);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_DATE_TIME_COMPILE_H_
