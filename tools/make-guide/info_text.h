// The Dutch information text of a campsite, a few sentences that agree with
// its place and facilities.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_INFO_TEXT_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_INFO_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/make-guide/random.h"

namespace tentaria::make_guide {

// What the text may tell; texts are UTF-8.
struct TextFacts {
  std::string_view name;
  std::string_view town;
  std::string_view region;  // empty for none
  std::string_view province;
  uint8_t traits = 0;   // trait bits of places.h
  char language = 'N';  // GNAW:TAAL
  bool outdoor_pool = false;
  bool indoor_pool = false;
  bool restaurant = false;
  bool cafe = false;
  bool shop = false;
  bool programme = false;  // recreation programme in the summer
  bool hikers_huts = false;
  bool pets = false;
  bool winter_open = false;
  bool bicycles = false;
  int beach_tenths = -1;  // distance to the beach, -1 for none near
};

// The text of the campsite's information record, at most 2000 bytes.
std::string InformationText(Random& random, const TextFacts& facts);

// A second information record: offers or news of the 2000 season.
std::string SecondInformationText(Random& random, const TextFacts& facts);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_INFO_TEXT_H_
