// The places of the sample guide: regions with what their landscape offers,
// and towns with their postcode area, province, region, telephone area
// and the language campsites there write in.  Texts are UTF-8 here and
// become Windows-1252 when a record is filled.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_PLACES_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_PLACES_H_

#include <cstdint>
#include <span>
#include <string_view>

namespace tentaria::make_guide {

enum class Country : uint8_t { kNederland, kBelgie, kLuxemburg };

// What a region's landscape offers; drives facilities, distances and texts.
namespace trait {
inline constexpr uint8_t kCoast = 1;   // sea beach and dunes
inline constexpr uint8_t kLake = 2;    // lakes, recreation water, marinas
inline constexpr uint8_t kRiver = 4;   // river valley, canoeing
inline constexpr uint8_t kForest = 8;  // woods
inline constexpr uint8_t kHeath = 16;  // heath and sand drifts
inline constexpr uint8_t kHills = 32;  // hills or low mountains
inline constexpr uint8_t kSnow = 64;   // winter sports within reach
}  // namespace trait

struct Region {
  std::string_view name;  // as GNAW:STREEK shows it, at most 20 characters
  uint8_t traits;
};

struct Town {
  std::string_view name;      // at most 20 characters
  std::string_view postcode;  // the area: four digits, or "L-" and four digits
  std::string_view province;  // a province name of the map table
  std::string_view region;    // a Region name, empty for none
  // The telephone area with its leading 0 (Nederland, België); for
  // Luxemburg the first two digits of local numbers.
  std::string_view area_code;
  char language;   // 'N', 'F' or 'D' as GNAW:TAAL holds it
  uint8_t weight;  // relative number of campsites
};

std::string_view CountryName(Country country);

std::span<const Town> Towns(Country country);
std::span<const Region> Regions();
// The traits of a region by name; 0 for an unknown name or none.
uint8_t RegionTraits(std::string_view region);

// The province names of the search window's drop list, "Alle Provincies"
// (any province) first.
std::span<const std::string_view> ProvinceNames();

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_PLACES_H_
