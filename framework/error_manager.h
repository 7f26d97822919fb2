// ErrorManager: the one object through which every framework class reports
// a problem.  It keeps a queue of numbered messages (error_messages.h),
// fills the placeholders of a message's text, shows it through the engine
// in a box that fits its severity, and returns a severity that tells the
// caller whether to go on (0), that the user declined (4), that the action
// is given up (5), or that the program is ending (3).
//
// Placeholders, replaced in this order, each without regard to letter case:
//   %FileErrorCode  the driver's own error code      (SAVEFILEERRORCODE)
//   %FileError      the driver's own error text      (SAVEFILEERROR)
//   %File           the file concerned               (FILENAME)
//   %ErrorCode      the runtime's error code         (SAVEERRORCODE)
//   %ErrorText      the error text and its code in parentheses; for code 90
//                   the driver's text and code instead
//   %Error          the runtime's error text         (SAVEERROR)
//   %Message        the caller's extra text          (MESSAGETEXT)
//   %Field          the field concerned              (FIELDNAME)
//   %Previous       the text of the earlier message of the same number
//                   that a later block replaced, its own placeholders
//                   filled in the same way; nothing when there is none
// Longer placeholders come before the shorter ones they begin with.  Text
// brought in by one step is searched by the later steps.
//
// A fatal message ends the program through the engine's halt with a
// non-zero exit status: a program ended by a fatal error has failed.
#ifndef TENTARIA_FRAMEWORK_ERROR_MANAGER_H_
#define TENTARIA_FRAMEWORK_ERROR_MANAGER_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/error_messages.h"
#include "platform/status.h"
#include "ui/engine.h"

namespace tentaria::framework {

// The system icons of the message boxes.
inline constexpr int kExclamationIcon = 32515;
inline constexpr int kInformationIcon = 32516;

class ErrorManager {
 public:
  // The exit status of a program ended by a fatal message.
  static constexpr int kFatalExitCode = 1;
  // The longest a text may grow while its placeholders are filled.
  static constexpr size_t kWorkBufferSize = 2000;
  // The longest FILENAME, FIELDNAME, MESSAGETEXT and saved error texts.
  static constexpr size_t kFixedTextSize = 255;
  // Said after the text of a fatal message.
  static constexpr std::string_view kEndSentence = "  Press OK to end this application";

  ErrorManager() = default;
  ErrorManager(const ErrorManager&) = delete;
  ErrorManager& operator=(const ErrorManager&) = delete;
  virtual ~ErrorManager() = default;

  // Loads the framework's own messages.  The engine shows the boxes and
  // halts the program; it outlives the manager.
  void Init(ui::Engine& engine);
  // Empties the queue.
  void Release();

  // Appends every entry of a packed block, in block order; an entry whose
  // number is already there takes precedence from now on.  A malformed
  // block is refused whole.  Entries keep copies of their texts, so the
  // block need not outlive the manager.
  virtual Status AddMessages(std::string_view block);

  void SetFile(std::string_view name);
  void SetField(std::string_view name);
  // Saves the runtime's error code and text and the driver's own code and
  // text, for the placeholders.  Every raising operation runs it first,
  // before anything else can change the error state.
  void SaveErrorState();

  int Raise(uint16_t id);
  // Raise with `text` as %Message.
  int RaiseWithText(uint16_t id, std::string_view text);
  // Shows message `id` as its severity asks, with the error state saved
  // last.  A number that is in no block (a fault of the caller) is shown
  // as a programming error, which ends the program.
  int HandleError(uint16_t id);
  // Asks message `id` as a question with the given buttons (button values
  // of ui/engine.h) and returns the button pressed.
  int Ask(uint16_t id, int buttons, int default_button);

  // The message selected last, and its text with the placeholders filled.
  const ErrorEntry& Current() const;
  std::string SubstitutedText() const;

  // Severity handlers, for the message selected by HandleError.
  virtual int OnQuiet();
  virtual int OnFatal();
  virtual int OnNotify();
  virtual int OnOther();
  virtual int OnProgram();
  virtual int OnConfirm();

  std::vector<ErrorEntry> ERRORS;
  std::string FIELDNAME;
  std::string FILENAME;
  std::string MESSAGETEXT;
  std::string SAVEERROR;
  int32_t SAVEERRORCODE = 0;
  std::string SAVEFILEERROR;
  std::string SAVEFILEERRORCODE;

 protected:
  // Shows the current message; returns the button pressed (0 without an
  // engine).
  int Show(std::string text, int icon, int buttons, int default_button);

 public:
  // The engine the messages are shown through; none before Init.
  ui::Engine* engine() const { return engine_; }

 private:
  // Makes the last entry numbered `id` current, or a stand-in when none is.
  void Select(uint16_t id);
  std::string Substitute(const ErrorEntry& entry, std::optional<size_t> index) const;
  std::string ErrorTextValue() const;

  ui::Engine* engine_ = nullptr;
  std::optional<size_t> current_;  // index into ERRORS; empty: the stand-in
  ErrorEntry missing_;             // stands in for a number in no block
};

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_ERROR_MANAGER_H_
