// Compiling the numeric (@N) and scientific (@E) pictures.  `body` is the
// picture text after "@N" or "@E", with the blank-when-zero suffix removed.
#ifndef TENTARIA_RUNTIME_PICTURE_NUMERIC_COMPILE_H_
#define TENTARIA_RUNTIME_PICTURE_NUMERIC_COMPILE_H_

#include <string_view>

#include "runtime/picture.h"

namespace tentaria::runtime {

// Both return false for an invalid picture and leave *picture alone.
bool CompileNumericPicture(std::string_view body, bool blank_when_zero, CompiledPicture* picture);
// Without a point indicator and count the mantissa has one digit before
// the point.
bool CompileScientificPicture(std::string_view body, bool blank_when_zero,
                              CompiledPicture* picture);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_NUMERIC_COMPILE_H_
