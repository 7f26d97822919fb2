// WindowManager: the life of one window procedure.  Init opens what the
// window needs and primes or deletes the form's record as the request
// asks; RunLoop hands each event of the window's loop to the dispatcher,
// which passes it to the browses, file drops, buttons, toolbar and history
// fields registered here and runs the OK and Cancel paths of a form (save,
// add another, confirm a cancel, retry after errors); Release undoes Init
// and Run reports whether the request completed.
//
// Every Handle... operation answers 0 (let the engine's default action
// run), kHandled (the event is consumed) or kLeaveLoop.
#ifndef TENTARIA_FRAMEWORK_WINDOW_MANAGER_H_
#define TENTARIA_FRAMEWORK_WINDOW_MANAGER_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/error_manager.h"
#include "framework/file_manager.h"
#include "framework/file_relations.h"
#include "framework/ini_manager.h"
#include "framework/resizer.h"
#include "framework/toolbar.h"
#include "framework/window_manager_clients.h"
#include "runtime/picture_value.h"
#include "ui/binding.h"
#include "ui/engine.h"
#include "ui/window.h"

namespace tentaria::framework {

namespace request {
inline constexpr uint8_t kInsert = 1;
inline constexpr uint8_t kChange = 2;
inline constexpr uint8_t kDelete = 3;
inline constexpr uint8_t kSelect = 4;
}  // namespace request

namespace response {
inline constexpr uint8_t kNone = 0;
inline constexpr uint8_t kCompleted = 1;
inline constexpr uint8_t kCancelled = 2;
}  // namespace response

namespace window_result {
inline constexpr int kGoOn = 0;
inline constexpr int kLeaveLoop = 3;
inline constexpr int kHandled = 5;
}  // namespace window_result

// INITED bits.
inline constexpr uint8_t kInitedOpened = 1;     // opened and first reset done
inline constexpr uint8_t kInitedFirstSize = 2;  // the first sized event was seen

// Messages of the form paths.
inline constexpr uint16_t kRecordAddedMessage = 3;
inline constexpr uint16_t kChangesLostMessage = 8;
inline constexpr uint16_t kDeleteRetryMessage = 33;
inline constexpr uint16_t kChangeRetryMessage = 34;
inline constexpr uint16_t kSaveRecordMessage = 35;

struct WindowButton {
  int CONTROL = 0;
  int KIND = 0;
  ButtonHandler* HANDLER = nullptr;
};

struct UpdateFile {
  FileManager* MANAGER = nullptr;
  int32_t SAVED = 0;  // the saved copy of its buffer
};

// A history ("ditto") field: the key HISTORYKEY puts back into the
// control the value its field had when the form was last completed.
struct HistoryField {
  int CONTROL = 0;
  std::shared_ptr<ui::Binding> FIELD;
  std::optional<runtime::PictureValue> SAVED;  // none before the first completion
};

class WindowManager {
 public:
  static constexpr size_t kPositionSize = 512;
  static constexpr int kHistoryButton = toolbar::kHistory;

  // The engine, the window and the error manager outlive the manager.
  WindowManager(ui::Engine& engine, ui::Window& window, ErrorManager& errors);
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;
  virtual ~WindowManager() = default;

  virtual void RunLoop();
  // The base start-up; a procedure's own Init calls it first.  0 to run the
  // loop.
  virtual int Init();
  virtual void Release();
  virtual void Open();
  virtual void FillNewRecord() {}
  // 3 when the form must not be shown.
  virtual int PrimeForm();
  virtual void Reset(bool force = false);
  virtual void RestoreField(int control);
  virtual uint8_t Run();
  // Runs another procedure for a browse's buttons; the base has none and
  // answers "cancelled".
  virtual uint8_t RunProcedure(int number, uint8_t request);
  virtual void RegisterAlertKeys();
  virtual void SetResponse(uint8_t response);
  virtual int HandleAccepted();
  virtual int HandleCompleted();
  virtual int HandleClose();
  virtual int HandleEvent();
  virtual int HandleFieldEvent() { return window_result::kGoOn; }
  virtual int HandleNewSelection();
  virtual int HandleRejected();
  virtual int HandleSelected() { return window_result::kGoOn; }
  virtual int HandleWindowEvent();
  virtual void Update();

  void AddBrowse(ManagedBrowse& browse);
  void AddButton(ButtonHandler& handler, int kind = 0);
  void AddFileDrop(FileDrop& drop);
  void AddUpdateFile(FileManager& file);
  void AddHistoryField(int control, std::shared_ptr<ui::Binding> field);
  // Sets TOOLBAR and points it at this window, its buttons on `buttons`.
  void AddToolbar(Toolbar& toolbar, ui::Window& buttons);
  void AddResizer(Resizer& resizer) { RESIZE = &resizer; }
  // Keeps the window's place in the INI file under `procedure`: restored
  // when the window opens, saved on release.
  void AddIni(IniManager& ini, std::string procedure, bool resizable);

  ui::Engine& engine() { return engine_; }
  ui::Window& window() { return window_; }

  uint8_t AUTOREFRESH = 1;
  uint8_t AUTOTOOLBAR = 1;
  std::vector<ManagedBrowse*> BROWSES;
  std::vector<WindowButton> BUTTONS;
  std::vector<FileDrop*> FILEDROPS;
  uint8_t CANCELACTION = 3;
  uint8_t CHANGEACTION = 1;
  uint8_t DEAD = 0;
  uint8_t DELETEACTION = 2;
  ErrorManager* ERRORS = nullptr;
  std::vector<UpdateFile> FILES;
  int32_t FIRSTFIELD = 0;
  uint8_t FORCEDRESET = 0;
  uint8_t RESETONGAINFOCUS = 0;
  std::vector<HistoryField> HISTORY;
  int32_t HISTORYKEY = 0;
  uint8_t INITED = 0;
  uint8_t INSERTACTION = 2;
  std::string LASTINSERTEDPOSITION;
  int32_t OKCONTROL = 0;
  uint8_t OPENED = 0;
  uint8_t ORIGINALREQUEST = 0;
  FileRelations* PRIMARY = nullptr;
  uint8_t REQUEST = 0;
  Resizer* RESIZE = nullptr;
  uint8_t RESPONSE = response::kNone;
  uint16_t SAVED = 0;
  Toolbar* TOOLBAR = nullptr;
  WindowTranslator* TRANSLATOR = nullptr;
  int32_t* VCRREQUEST = nullptr;

 private:
  bool IsForm() const { return REQUEST == request::kInsert || REQUEST == request::kChange; }
  bool FormChanged();
  void SelectFirst();
  void SelectAgain();
  void TakeSaved();
  void SaveHistory();
  int InsertCompleted();
  int AddAnother();
  int ChangeCompleted();
  int DeleteCompleted();
  int ConfirmCancel();

  ui::Engine& engine_;
  ui::Window& window_;
  IniManager* ini_ = nullptr;
  std::string procedure_;
  bool resizable_ = false;
};

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_WINDOW_MANAGER_H_
