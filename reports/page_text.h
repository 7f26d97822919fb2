// Reading a page as text, for the scenario runner and tests: the text runs
// in reading order, top to bottom and left to right.  Runs whose baselines
// lie within a quarter of their font size of each other form one line,
// joined by one blank (none where a run already ends or starts with one);
// trailing blanks of runs are dropped, since fields are blank-padded.  A
// gap of more than two lines' height reads as one empty line, so that
// paragraphs stay apart.  A picture reads as "[picture NAME]" at its top
// edge, or "[picture NAME: none]" when it yielded no picture.
#ifndef TENTARIA_REPORTS_PAGE_TEXT_H_
#define TENTARIA_REPORTS_PAGE_TEXT_H_

#include <string>
#include <vector>

#include "reports/page.h"

namespace tentaria::reports {

// The page's lines, in Windows-1252.
std::vector<std::string> PageLines(const Page& page);

// Every page's lines, each page led by "--- page N of M" and the first by
// the title line "document \"TITLE\"".
std::string DocumentText(const Document& document);

}  // namespace tentaria::reports

#endif  // TENTARIA_REPORTS_PAGE_TEXT_H_
