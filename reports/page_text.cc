#include "reports/page_text.h"

#include <algorithm>
#include <cmath>

namespace tentaria::reports {
namespace {

// One piece of text placed on the page.
struct Placed {
  double y = 0;
  double x = 0;
  double size = 0;  // the height a line of it takes
  std::string text;
};

std::string TrimTrailing(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::vector<Placed> Collect(const Page& page) {
  std::vector<Placed> placed;
  for (const PageItem& item : page.items) {
    if (const auto* run = std::get_if<TextRun>(&item)) {
      std::string text = TrimTrailing(run->text);
      if (!text.empty()) placed.push_back(Placed{run->y, run->x, run->font.size, std::move(text)});
    } else if (const auto* picture = std::get_if<PagePicture>(&item)) {
      std::string text = "[picture " + picture->name + (picture->decoded ? "]" : ": none]");
      placed.push_back(Placed{picture->y, picture->x, 10, std::move(text)});
    }
  }
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  return placed;
}

}  // namespace

std::vector<std::string> PageLines(const Page& page) {
  std::vector<Placed> placed = Collect(page);
  std::vector<std::string> lines;
  size_t i = 0;
  double previous_y = 0;
  double previous_size = 0;
  while (i < placed.size()) {
    // A line gathers the runs whose baselines lie close to its first one.
    const double y = placed[i].y;
    double size = placed[i].size;
    size_t end = i + 1;
    while (end < placed.size() && placed[end].y - y <= 0.25 * std::max(size, placed[end].size)) {
      size = std::max(size, placed[end].size);
      ++end;
    }
    std::sort(placed.begin() + static_cast<std::ptrdiff_t>(i),
              placed.begin() + static_cast<std::ptrdiff_t>(end),
              [](const Placed& a, const Placed& b) { return a.x < b.x; });
    std::string line;
    for (size_t k = i; k < end; ++k) {
      const std::string& text = placed[k].text;
      if (!line.empty() && line.back() != ' ' && text.front() != ' ') line += ' ';
      line += text;
    }
    if (!lines.empty() && y - previous_y > 2.2 * std::max(size, previous_size)) {
      lines.emplace_back();
    }
    lines.push_back(std::move(line));
    previous_y = y;
    previous_size = size;
    i = end;
  }
  return lines;
}

std::string DocumentText(const Document& document) {
  std::string text = "document \"" + document.title + "\"\n";
  const size_t count = document.pages.size();
  for (size_t p = 0; p < count; ++p) {
    text += "--- page " + std::to_string(p + 1) + " of " + std::to_string(count) + "\n";
    for (const std::string& line : PageLines(document.pages[p])) text += line + "\n";
  }
  return text;
}

}  // namespace tentaria::reports
