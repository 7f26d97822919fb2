// The two information windows of the frame's "Extra" menu: TENTA022 on the
// publisher's web site, TENTA023 on the publisher and the source of the
// guide's data.  Fixed lines of text on the wallpaper, and "&Terug",
// which closes the window.
#ifndef TENTARIA_GUIDE_INFO_WINDOWS_H_
#define TENTARIA_GUIDE_INFO_WINDOWS_H_

#include <cstdint>
#include <string_view>

#include "guide/guide_context.h"

namespace tentaria::guide {

inline constexpr int kInfoBackButton = 1;
inline constexpr int kInfoLogoImage = 2;
inline constexpr int kInfoFirstLine = 10;
inline constexpr std::string_view kPublisherName = "Stichting O.K.V.";
inline constexpr std::string_view kPublisherLogo = "okvlgkl.gif";

uint8_t TENTA022(const GuideContext& guide);
uint8_t TENTA023(const GuideContext& guide);

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_INFO_WINDOWS_H_
