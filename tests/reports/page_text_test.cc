#include "reports/page_text.h"

#include <gtest/gtest.h>

namespace tentaria::reports {
namespace {

using Lines = std::vector<std::string>;

Font Sized(double size) { return Font{FontFamily::kHelvetica, size, false, false}; }

TEST(PageText, RunsReadTopToBottomAndLeftToRightWhateverTheirOrderOfAdding) {
  Page page;
  page.AddText(300, 100, Sized(10), "rechts");
  page.AddText(50, 200, Sized(10), "onder");
  page.AddText(50, 100, Sized(10), "links");
  // A bigger font's baseline a little lower still belongs to the same line.
  page.AddText(150, 102, Sized(14), "midden");
  EXPECT_EQ(PageLines(page), (Lines{"links midden rechts", "", "onder"}));
}

TEST(PageText, BlankPaddedFieldsLoseTrailingBlanksAndRunsJoinByOneBlank) {
  Page page;
  page.AddText(50, 100, Sized(10), "Naam:   ");
  page.AddText(120, 100, Sized(10), "Dennenoord          ");
  page.AddText(50, 112, Sized(10), "Plaats: ");
  page.AddText(80, 112, Sized(10), " Ede");
  page.AddText(50, 124, Sized(10), "        ");  // an empty field adds no line
  EXPECT_EQ(PageLines(page), (Lines{"Naam: Dennenoord", "Plaats: Ede"}));
}

TEST(PageText, ParagraphGapsReadAsOneEmptyLineAndLinesAndBoxesAsNothing) {
  Page page;
  page.AddLine(50, 90, 500, 90);
  page.AddBox(Box{40, 80, 520, 200, 1, Colour{}, Colour{200, 200, 200}});
  page.AddText(50, 100, Sized(10), "eerste regel");
  page.AddText(50, 112, Sized(10), "tweede regel");
  page.AddText(50, 400, Sized(10), "na een witregel");
  EXPECT_EQ(PageLines(page), (Lines{"eerste regel", "tweede regel", "", "na een witregel"}));
}

TEST(PageText, PicturesReadAsTheirNameAndSayWhenTheyYieldedNone) {
  Page page;
  page.AddPicture(
      PagePicture{50, 50, 100, 40, "LOGO\\L1.BMP",
                  std::shared_ptr<const pictures::Picture>(pictures::MakeStillPicture(2, 2))});
  page.AddPicture(300, 50, 100, 40, "ONTBREEKT.BMP");
  EXPECT_EQ(PageLines(page), (Lines{"[picture LOGO\\L1.BMP] [picture ONTBREEKT.BMP: none]"}));
}

TEST(PageText, DocumentTextNumbersPagesUnderItsTitle) {
  Document document{"Brief", {}};
  document.pages.resize(2);
  document.pages[0].AddText(50, 100, Sized(10), "een");
  document.pages[1].AddText(50, 100, Sized(10), "tw\xE9\xE9");
  EXPECT_EQ(DocumentText(document),
            "document \"Brief\"\n--- page 1 of 2\neen\n--- page 2 of 2\ntw\xE9\xE9\n");
}

}  // namespace
}  // namespace tentaria::reports
