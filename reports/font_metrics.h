// The widths of text in the standard fonts, so that reports can align text
// to the right, centre it and wrap it before it reaches the page model.
//
// The widths are those of the standard Helvetica, Times and Courier faces
// that PDF readers and printers use, in thousandths of the font size, for
// the printable ASCII characters.  Oblique Helvetica has the widths of the
// upright face; italic Times is measured as upright Times (its letters are
// at most a little narrower, so text measured this way never overflows).
// A letter with an accent has the width of its base letter, as in these
// faces; any other character beyond ASCII counts as a digit.  The screen's
// fonts may differ slightly; the preview scales each run as it stands.
#ifndef TENTARIA_REPORTS_FONT_METRICS_H_
#define TENTARIA_REPORTS_FONT_METRICS_H_

#include <string>
#include <string_view>
#include <vector>

#include "reports/page.h"

namespace tentaria::reports {

// The width of a Windows-1252 text in points.
double TextWidth(const Font& font, std::string_view text);

// Splits a text into lines no wider than `width` points, breaking at
// blanks (and at line ends: CR LF or LF); a word wider than the line is
// broken where it no longer fits.  Trailing blanks of lines are dropped.
std::vector<std::string> WrapText(const Font& font, std::string_view text, double width);

}  // namespace tentaria::reports

#endif  // TENTARIA_REPORTS_FONT_METRICS_H_
