// Formatting numbers through numeric (@N), pattern (@P) and scientific (@E)
// pictures.  The result is exactly the picture's width.
#ifndef TENTARIA_RUNTIME_PICTURE_NUMERIC_FORMAT_H_
#define TENTARIA_RUNTIME_PICTURE_NUMERIC_FORMAT_H_

#include <string>

#include "runtime/picture.h"
#include "runtime/picture_number.h"

namespace tentaria::runtime {

// @N and @P.  The value is rounded half away from zero to the picture's
// decimals.  Integer digits that do not fit, and values that are not
// finite, show "#" in every digit position.  A negative value in a picture
// without a sign position shows its "-" in the blank position just before
// the number (zero- and "*"-filled pictures: in the leftmost leading
// position); when there is no such position the value is shown as overflow,
// never without its sign.
std::string FormatNumericPicture(PictureNumber value, const CompiledPicture& picture);

// @E: the mantissa has as many digits before the point as the picture
// gives, the first of them significant; an exponent beyond three digits is
// overflow.
std::string FormatScientificPicture(PictureNumber value, const CompiledPicture& picture);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_NUMERIC_FORMAT_H_
