// Runs a program on the headless engine with a scenario script as its user
// input (docs/scenario-scripts.md): each time the program's windows wait for
// the user, the runner carries out the script's next actions, and prints
// what the windows show when asked.  An error in the script, a control that
// does not exist or does not take the action, or an expectation that does
// not hold ends the run with a message naming the line.
#ifndef TENTARIA_UI_SCENARIO_RUNNER_H_
#define TENTARIA_UI_SCENARIO_RUNNER_H_

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "ui/headless_engine.h"
#include "ui/scenario_script.h"

namespace tentaria::ui {

class ScenarioRunner : public InputSource {
 public:
  ScenarioRunner(HeadlessEngine& engine, std::ostream& out);

  // Reads the script; a malformed line is named in the error.
  Status Load(std::string_view script);
  // Runs `program`, which opens its windows and runs their loops on the
  // engine, with the script as its input; the lines left when the program
  // ends are still carried out (expectations on what is left open).
  // 0 when every line ran and every expectation held, 1 otherwise.
  int Run(const std::function<void()>& program);
  // Writes every document printed to this folder as well, as
  // printed-1.pdf, printed-2.pdf, ...  The constructor takes the folder
  // from the environment variable TENTARIA_PDF_DIR; empty: none.
  void set_pdf_folder(std::string folder) { pdf_folder_ = std::move(folder); }
  // Why the run failed ("line 7: ..."), empty when it did not.
  const std::string& error() const { return error_; }

  bool Next(HeadlessEngine& engine) override;
  void Fail(std::string_view why) override;

 private:
  // Carries out one action; *input tells whether it gave the program
  // something to handle.
  Status Execute(const ScenarioAction& action, bool* input);
  Status Expect(const ScenarioAction& action);
  Status ExpectControl(const Window& window, const Control& control,
                       const std::vector<ScenarioToken>& args);
  Status TargetWindow(Window** window);
  Status ResolveControl(const Window& window, const ScenarioToken& token, const Control** control);
  Status Choose(Window& window, const std::vector<ScenarioToken>& args);
  Status PickEntry(Window& window, const Control& control, const ScenarioToken& which);
  void PrintStep();
  // Prints (and writes as PDF) what was printed since the last time.
  void PrintPrinted();

  HeadlessEngine& engine_;
  std::ostream& out_;
  std::vector<ScenarioAction> actions_;
  size_t next_ = 0;
  int line_ = 0;
  bool trace_ = false;
  bool stepped_ = false;  // an input action ran since the last print
  bool waiting_ = false;  // a wait action is under way
  int64_t wait_until_ms_ = 0;
  int wait_steps_ = 0;
  size_t beeps_printed_ = 0;
  size_t documents_printed_ = 0;
  int setups_printed_ = 0;
  std::string pdf_folder_;
  std::string error_;
};

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_SCENARIO_RUNNER_H_
