// The campsites the program itself names: the featured campsites of the
// search and the campsites with an advertisement in the frame's menu.  They
// exist in every generated guide under these numbers, names and countries.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_NAMED_CAMPSITES_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_NAMED_CAMPSITES_H_

#include <cstdint>
#include <span>
#include <string_view>

#include "tools/make-guide/places.h"

namespace tentaria::make_guide {

struct NamedCampsite {
  uint32_t number;
  std::string_view name;  // GNAW:NAAMCAMP, UTF-8
  Country country;
  std::string_view town;  // a town of the country's table
  bool featured;          // one of the search's featured campsites
  bool advertiser;        // has an advertisement in the frame's menu
};

std::span<const NamedCampsite> NamedCampsites();

// The named campsite with this number, or nullptr.
const NamedCampsite* FindNamedCampsite(uint32_t number);

// Every named number lies at or below this one.
inline constexpr uint32_t kHighestNamedNumber = 1462;

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_NAMED_CAMPSITES_H_
