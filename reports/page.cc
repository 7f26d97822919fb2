#include "reports/page.h"

#include "pictures/picture_loader.h"

namespace tentaria::reports {

void Page::AddText(double x, double y, const Font& font, std::string text, Colour colour) {
  items.emplace_back(TextRun{x, y, font, colour, std::move(text)});
}

void Page::AddLine(double x1, double y1, double x2, double y2, double line_width) {
  items.emplace_back(Line{x1, y1, x2, y2, line_width, Colour{}});
}

void Page::AddPicture(double x, double y, double box_width, double box_height, std::string name) {
  std::shared_ptr<const pictures::Picture> decoded = pictures::LoadPicture(name);
  items.emplace_back(PagePicture{x, y, box_width, box_height, std::move(name), std::move(decoded)});
}

}  // namespace tentaria::reports
