#include "tools/make-guide/drawing/palette.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>

namespace tentaria::make_guide {
namespace {

uint32_t Key(Colour c) { return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b; }
uint32_t Bin(Colour c) { return uint32_t{c.r} >> 3 << 10 | uint32_t{c.g} >> 3 << 5 | c.b >> 3; }

int Distance(Colour a, Colour b) {
  int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

// Exact palette when the canvas has at most 256 colours.
bool ExactPalette(const Canvas& canvas, IndexedPicture& out) {
  std::map<uint32_t, uint8_t> indexes;
  for (Colour c : canvas.pixels()) {
    if (indexes.size() > 256) return false;
    indexes.emplace(Key(c), 0);
  }
  if (indexes.size() > 256) return false;
  for (auto& [key, index] : indexes) {
    index = static_cast<uint8_t>(out.palette.size());
    out.palette.push_back({static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8),
                           static_cast<uint8_t>(key)});
  }
  for (Colour c : canvas.pixels()) out.indexes.push_back(indexes[Key(c)]);
  return true;
}

}  // namespace

IndexedPicture Quantize(const Canvas& canvas) {
  IndexedPicture out;
  out.width = canvas.width();
  out.height = canvas.height();
  out.indexes.reserve(canvas.pixels().size());
  if (canvas.pixels().empty()) {
    out.palette.push_back({});
    return out;
  }
  if (ExactPalette(canvas, out)) return out;

  struct BinTotal {
    uint64_t count = 0, r = 0, g = 0, b = 0;
  };
  std::vector<BinTotal> bins(1 << 15);
  for (Colour c : canvas.pixels()) {
    BinTotal& bin = bins[Bin(c)];
    ++bin.count;
    bin.r += c.r;
    bin.g += c.g;
    bin.b += c.b;
  }
  std::vector<uint32_t> used;
  for (uint32_t i = 0; i < bins.size(); ++i) {
    if (bins[i].count > 0) used.push_back(i);
  }
  // Most used first; equal counts by bin, so the result is deterministic.
  std::stable_sort(used.begin(), used.end(),
                   [&](uint32_t a, uint32_t b) { return bins[a].count > bins[b].count; });
  used.resize(std::min<size_t>(used.size(), 256));
  for (uint32_t i : used) {
    const BinTotal& bin = bins[i];
    out.palette.push_back({static_cast<uint8_t>(bin.r / bin.count),
                           static_cast<uint8_t>(bin.g / bin.count),
                           static_cast<uint8_t>(bin.b / bin.count)});
  }
  std::vector<int> nearest(bins.size(), -1);
  for (Colour c : canvas.pixels()) {
    int& index = nearest[Bin(c)];
    if (index < 0) {
      int best = std::numeric_limits<int>::max();
      for (size_t p = 0; p < out.palette.size(); ++p) {
        int d = Distance(c, out.palette[p]);
        if (d < best) {
          best = d;
          index = static_cast<int>(p);
        }
      }
    }
    out.indexes.push_back(static_cast<uint8_t>(index));
  }
  return out;
}

}  // namespace tentaria::make_guide
