// What the windows of the headless engine show, as text: for the scenario
// runner's "show" and trace, and for its expectations.
#ifndef TENTARIA_UI_SCENARIO_VIEW_H_
#define TENTARIA_UI_SCENARIO_VIEW_H_

#include <ostream>
#include <string>

#include "ui/headless_engine.h"

namespace tentaria::ui {

// The value a control shows: an entry's text, a check box's "on" or "off",
// the chosen radio's value, a list's chosen row number, a drop list's
// chosen text, a sheet's tab number, an image's picture name; the text of
// other controls.
std::string ControlValue(const Window& window, const Control& control);

// Whether the window shows `text` (in Windows-1252) in its title, or in a
// shown control's text, value or list cells.
bool WindowShows(const Window& window, std::string_view text);

// Every open window with its controls, then the message box or popup menu
// waiting, in UTF-8.
void PrintWindows(const HeadlessEngine& engine, std::ostream& out);
void PrintWindow(const HeadlessEngine& engine, const Window& window, std::ostream& out);
// A document's title, page count and pages read as text, in UTF-8.
void PrintDocument(const reports::Document& document, std::ostream& out);
// Whether a page of the document reads `text` (Windows-1252) on one line.
bool DocumentShows(const reports::Document& document, std::string_view text);

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_SCENARIO_VIEW_H_
