// One campsite of the sample guide, made from the seed and its number: its
// records in the seven guide files, filled as the guide reads them (texts
// in Windows-1252, blank-padded).
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_CAMPSITE_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_CAMPSITE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "guide/records.h"
#include "tools/make-guide/places.h"

namespace tentaria::make_guide {

struct Campsite {
  guide::GezNAWRecord naw;
  guide::GezFACRecord facilities;
  guide::GezSELRecord answers;
  guide::GezPRIJZRecord prices;
  std::optional<guide::GEZFOTORecord> pictures;
  // One text per GezINFO record; none when GNAW:INFO is "N".
  std::vector<std::string> information;
};

// The country of an unnamed campsite by its place in the numbering: the
// numbers run by country as in the printed guide (Nederland first, then
// België with Luxemburg's block inside it), scaled to `highest_number`.
Country CountryOfNumber(uint32_t number, uint32_t highest_number);

// The campsite with this number; a named campsite keeps its name, country
// and town.
Campsite MakeCampsite(uint64_t seed, uint32_t number, uint32_t highest_number);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_CAMPSITE_H_
