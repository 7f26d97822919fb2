#include "reports/font_metrics.h"

#include <gtest/gtest.h>

namespace tentaria::reports {
namespace {

using Lines = std::vector<std::string>;

constexpr Font kHelvetica10{FontFamily::kHelvetica, 10, false, false};

TEST(FontMetrics, WidthsFollowTheFaceSizeAndWeight) {
  // Courier: 600 thousandths for every character.
  EXPECT_DOUBLE_EQ(TextWidth(Font{FontFamily::kCourier, 10, false, false}, "iW \xE9!"), 30.0);
  // "Ede": E 667 + d 556 + e 556 in Helvetica.
  EXPECT_DOUBLE_EQ(TextWidth(kHelvetica10, "Ede"), 17.79);
  EXPECT_DOUBLE_EQ(TextWidth(Font{FontFamily::kHelvetica, 20, false, true}, "Ede"), 35.58);
  EXPECT_GT(TextWidth(Font{FontFamily::kHelvetica, 10, true, false}, "Ede"), 17.79);
  EXPECT_LT(TextWidth(Font{FontFamily::kTimes, 10, false, false}, "Ede"), 17.79);
  // Accented letters measure as their base letters; digits share one width
  // so that columns of figures line up.
  EXPECT_DOUBLE_EQ(TextWidth(kHelvetica10, "Caf\xE9 \xC9\xE8\xEF"),
                   TextWidth(kHelvetica10, "Cafe Eei"));
  EXPECT_DOUBLE_EQ(TextWidth(kHelvetica10, "1111"), TextWidth(kHelvetica10, "8888"));
  EXPECT_DOUBLE_EQ(TextWidth(kHelvetica10, ""), 0);
}

TEST(FontMetrics, WrapBreaksAtBlanksAndLineEndsAndSplitsOverlongWords) {
  const double width = TextWidth(kHelvetica10, "Rustige camping");
  EXPECT_EQ(WrapText(kHelvetica10, "Rustige camping aan de rand van de Veluwe", width),
            (Lines{"Rustige camping", "aan de rand van", "de Veluwe"}));
  EXPECT_EQ(WrapText(kHelvetica10, "Honden\r\ntoegestaan.\n\nGeen   ", width),
            (Lines{"Honden", "toegestaan.", "", "Geen"}));
  const Lines broken = WrapText(kHelvetica10, "Kampeerboerderijvereniging", width);
  ASSERT_GE(broken.size(), 2u);
  std::string joined;
  for (const std::string& line : broken) {
    EXPECT_LE(TextWidth(kHelvetica10, line), width) << line;
    joined += line;
  }
  EXPECT_EQ(joined, "Kampeerboerderijvereniging");
  // No room at all still ends, one character a line.
  EXPECT_EQ(WrapText(kHelvetica10, "abc", 0), (Lines{"a", "b", "c"}));
  EXPECT_EQ(WrapText(kHelvetica10, "", width), (Lines{""}));
}

}  // namespace
}  // namespace tentaria::reports
