// The text of a scenario script, split into actions (docs/scenario-scripts.md).
//
// A line holds one action: a verb and its arguments, separated by blanks.
// An argument is a word, a text in double quotes ("" inside stands for one
// quote), or a control reference: ?Name or #number.  A "#" followed by a
// blank, or ending the line, begins a comment.
// Script files are UTF-8; texts are taken into the system's character set.
#ifndef TENTARIA_UI_SCENARIO_SCRIPT_H_
#define TENTARIA_UI_SCENARIO_SCRIPT_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace tentaria::ui {

struct ScenarioToken {
  enum class Kind { kWord, kText, kControl };
  Kind kind = Kind::kWord;
  std::string text;  // a control reference keeps its "?" or "#"

  bool IsWord(std::string_view word) const;
  bool IsNumber() const;
};

struct ScenarioAction {
  int line = 0;
  std::string verb;  // lower case
  std::vector<ScenarioToken> args;
};

// Splits and checks the shape of every action; the first malformed line is
// named in the error.
Status ParseScenario(std::string_view script, std::vector<ScenarioAction>* actions);

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_SCENARIO_SCRIPT_H_
