// Advertisements: a coloured frame, the advertiser's name in a title band,
// a scene, a slogan and a few lines of contact details.  Campsites
// advertise themselves (FAdvert\A<number>.JPG); the frame's menu also
// names advertisers that are not campsites, and the search window shows
// small copies of twenty advertisements (FAdvert\A1..A20.BMP).
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_ADVERTISEMENT_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_ADVERTISEMENT_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/make-guide/campsite.h"
#include "tools/make-guide/drawing/canvas.h"

namespace tentaria::make_guide {

inline constexpr int kAdvertWidth = 400;
inline constexpr int kAdvertHeight = 300;
inline constexpr int kAdvertThumbnailWidth = 160;
inline constexpr int kAdvertThumbnailHeight = 120;

// What an advertisement says; texts in Windows-1252.
struct AdvertText {
  std::string title;
  std::string slogan;
  std::vector<std::string> lines;
  int scene = 0;  // a landscape kind of DrawLandscape, or -1 for a plain pattern
};

// The same text, seed and stream give the same picture; campsites use
// their number as the stream, the menu's other advertisers numbers from
// kMenuAdvertStreams up.
Canvas DrawAdvertisement(const AdvertText& text, uint64_t seed, uint64_t stream);
inline constexpr uint64_t kMenuAdvertStreams = 200'000;

AdvertText CampsiteAdvertText(const Campsite& campsite, uint32_t number, uint64_t seed);

// An advertisement of the frame's menu that is not a campsite's.
struct MenuAdvert {
  std::string_view file;  // under FAdvert, such as "A6a.JPG"
  std::string_view title;
  std::string_view slogan;
  std::string_view line1, line2;
  int scene;
};
std::span<const MenuAdvert> MenuAdverts();
AdvertText MenuAdvertText(const MenuAdvert& advert);

// The full advertisement of each of the search window's twenty slots, by
// its file name under FAdvert ("A1218.JPG" for slot 1).
std::span<const std::string_view> SearchSlotAdverts();

// The canvas scaled to width x height by averaging the pixels each new
// pixel covers.
Canvas Shrink(const Canvas& canvas, int width, int height);

// The campsite number of an advertisement file "A<number>.JPG", or 0 when
// the advertiser is not a campsite.
uint32_t AdvertCampsite(std::string_view file);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_ADVERTISEMENT_H_
