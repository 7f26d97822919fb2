// Word lists the generator builds names, streets and texts from (UTF-8).
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_TEXT_PIECES_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_TEXT_PIECES_H_

#include <span>
#include <string_view>

namespace tentaria::make_guide {

// Campsite names by the language of the region: Dutch, French, German.
std::span<const std::string_view> DutchNameWords();
std::span<const std::string_view> FrenchNameWords();
std::span<const std::string_view> GermanNameWords();

// Streets: Dutch word stems with their endings, and whole French and
// German street names.
std::span<const std::string_view> DutchStreetStems();
std::span<const std::string_view> DutchStreetEndings();
std::span<const std::string_view> DutchStreets();
std::span<const std::string_view> FrenchStreets();
std::span<const std::string_view> GermanStreets();

// Facility texts of the facilities record.
std::span<const std::string_view> Memberships();
std::span<const std::string_view> Soils();
std::span<const std::string_view> Settings();
std::span<const std::string_view> OtherSports();

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_TEXT_PIECES_H_
