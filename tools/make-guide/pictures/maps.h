// The maps: one per province (Kaart\Ned_Zee.GIF, ...) with the province
// highlighted among its neighbours, and the Benelux (Kaart\Kaart.GIF),
// drawn from real outlines compiled into the tool (data/outlines.txt).
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_MAPS_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_MAPS_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "tools/make-guide/drawing/canvas.h"

namespace tentaria::make_guide {

// The outline file's text, compiled in at build time.
std::span<const uint8_t> OutlineText();

// A region's outer rings in degrees (x longitude, y latitude).
struct Outline {
  std::string code;  // "NL-ZE"; a neighbouring country by its own code ("FR")
  std::vector<std::vector<Point>> rings;
};

// Reads "region CODE" / "ring N" / N lines "longitude latitude"; "#"
// starts a comment line.  A malformed file gives an error naming the line.
Status ParseOutlines(std::string_view text, std::vector<Outline>* outlines);

struct ProvinceMap {
  std::string_view file;     // under Kaart
  std::string_view title;    // Windows-1252
  std::string_view country;  // Windows-1252
  std::span<const std::string_view> codes;
};
std::span<const ProvinceMap> ProvinceMaps();

Canvas DrawProvinceMap(const ProvinceMap& map, std::span<const Outline> outlines);
Canvas DrawBeneluxMap(std::span<const Outline> outlines);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_MAPS_H_
