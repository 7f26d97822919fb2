// The pictures of one campsite, as its GEZFOTO record names them: photos
// FCAMP\F<FOTO1>.JPG and FCAMP\F<FOTO2>.JPG, the logo Logo\<LOGO>.BMP and
// the advertisement FAdvert\<ADVER>.JPG.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_CAMPSITE_PICTURES_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_CAMPSITE_PICTURES_H_

#include <cstdint>
#include <string>

#include "platform/status.h"
#include "tools/make-guide/campsite.h"
#include "tools/make-guide/drawing/canvas.h"

namespace tentaria::make_guide {

inline constexpr int kPhotoWidth = 320;
inline constexpr int kPhotoHeight = 240;

// Photo A is the campsite in its landscape, photo B one of its facilities;
// both carry a caption with the campsite's name.
Canvas CampsitePhoto(const Campsite& campsite, uint32_t number, char letter, uint64_t seed);
Canvas CampsiteLogo(const Campsite& campsite, uint32_t number, uint64_t seed);

// Writes the pictures the campsite's GEZFOTO record names (none without
// one).
Status WriteCampsitePictures(const std::string& folder, const Campsite& campsite, uint32_t number,
                             uint64_t seed);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_CAMPSITE_PICTURES_H_
