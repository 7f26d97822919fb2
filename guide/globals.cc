#include "guide/globals.h"

namespace tentaria::guide {

void SetPictureName(std::string_view name) {
  globals.picture_name.assign(name.substr(0, kPictureNameSize));
}

}  // namespace tentaria::guide
