#include "framework/window_manager.h"

#include <utility>

#include "ui/event_codes.h"
#include "ui/key_codes.h"

namespace tentaria::framework {

WindowManager::WindowManager(ui::Engine& engine, ui::Window& window, ErrorManager& errors)
    : ERRORS(&errors), engine_(engine), window_(window) {}

int WindowManager::Init() {
  ORIGINALREQUEST = REQUEST;
  BROWSES.clear();
  BUTTONS.clear();
  FILEDROPS.clear();
  // The click that chose this procedure must not act in its window too.
  int key = engine_.KeyCode();
  if (key == ui::key::kMouseLeft || key == ui::key::kMouseLeft2) engine_.SetKeyCode(0);
  INSERTACTION = 2;
  DELETEACTION = 2;
  CHANGEACTION = 1;
  CANCELACTION = 3;
  AUTOTOOLBAR = 1;
  AUTOREFRESH = 1;
  return 0;
}

uint8_t WindowManager::Run() {
  if (Init() == 0) RunLoop();
  Release();
  return RESPONSE != response::kNone ? RESPONSE : response::kCancelled;
}

void WindowManager::RunLoop() {
  if (DEAD) return;
  LASTINSERTEDPOSITION.clear();
  engine_.Accept(window_, [this](ui::Engine&) {
    switch (HandleEvent()) {
      case window_result::kLeaveLoop:
        return ui::LoopAction::kBreak;
      case window_result::kHandled:
        return ui::LoopAction::kCycle;
      default:
        return ui::LoopAction::kContinue;
    }
  });
}

int WindowManager::HandleEvent() {
  const int code = engine_.EventCode();
  const int control = engine_.EventControl();
  int result = window_result::kGoOn;
  if (control == 0 && ui::IsWindowEvent(code)) {
    result = HandleWindowEvent();
    if (result != window_result::kGoOn) return result;
  }
  switch (code) {
    case ui::event::kAccepted:
      result = HandleAccepted();
      break;
    case ui::event::kRejected:
      result = HandleRejected();
      break;
    case ui::event::kSelected:
      result = HandleSelected();
      break;
    case ui::event::kNewSelection:
      result = HandleNewSelection();
      break;
    case ui::event::kAlertKey:
      if (HISTORYKEY != 0 && engine_.KeyCode() == HISTORYKEY) RestoreField(engine_.FocusControl());
      break;
    default:
      break;
  }
  if (result != window_result::kGoOn) return result;
  if (control != 0) result = HandleFieldEvent();
  for (ManagedBrowse* browse : BROWSES) browse->TakeEvent();
  for (FileDrop* drop : FILEDROPS) drop->TakeEvent();
  if (AUTOREFRESH) {
    for (ManagedBrowse* browse : BROWSES) {
      if (browse->NeedsRefresh()) Reset(false);
    }
  }
  return result;
}

int WindowManager::HandleWindowEvent() {
  const int code = engine_.EventCode();
  if (RESIZE != nullptr) RESIZE->TakeEvent(code);
  switch (code) {
    case ui::event::kOpenWindow:
      if (!(INITED & kInitedOpened)) Open();
      if (FIRSTFIELD != 0) engine_.Select(window_, FIRSTFIELD);
      return window_result::kGoOn;
    case ui::event::kLoseFocus:
      if (RESETONGAINFOCUS) FORCEDRESET = 1;
      return window_result::kGoOn;
    case ui::event::kGainFocus:
      if (INITED & kInitedOpened) {
        Reset(false);
      } else {
        Open();
      }
      return window_result::kGoOn;
    case ui::event::kSized:
      // The first sized event comes with the window's opening and changes
      // nothing the first reset has not shown.
      if (INITED & kInitedFirstSize) {
        Reset(false);
      } else {
        INITED |= kInitedFirstSize;
      }
      return window_result::kGoOn;
    case ui::event::kCompleted:
      return HandleCompleted();
    case ui::event::kCloseWindow:
    case ui::event::kCloseDown:
      return HandleClose();
    default:
      return window_result::kGoOn;
  }
}

void WindowManager::Open() {
  OPENED = 1;
  if (TRANSLATOR != nullptr) TRANSLATOR->Translate(window_);
  if (ini_ != nullptr) {
    ini_->Fetch(procedure_, window_, resizable_);
    if (RESIZE != nullptr) RESIZE->Resize();
  }
  RegisterAlertKeys();
  Reset(true);
  INITED |= kInitedOpened;
}

void WindowManager::Reset(bool force) {
  const bool forced = force || FORCEDRESET;
  for (ManagedBrowse* browse : BROWSES) browse->Reset(forced);
  for (FileDrop* drop : FILEDROPS) drop->Reset(forced);
  engine_.Display(window_);
  FORCEDRESET = 0;
}

int WindowManager::HandleAccepted() {
  const int control = engine_.AcceptedControl();
  if (TOOLBAR != nullptr) {
    TOOLBAR->HandleEvent();
    if (control == kHistoryButton) RestoreField(engine_.FocusControl());
  }
  for (const WindowButton& button : BUTTONS) {
    if (button.CONTROL == control) {
      button.HANDLER->TakeAccepted();
      return window_result::kHandled;
    }
  }
  if (control != 0 && control == OKCONTROL) {
    if (IsForm()) {
      engine_.SelectAll(window_);
    } else {
      engine_.Post(ui::event::kCompleted);
    }
  }
  return window_result::kGoOn;
}

int WindowManager::HandleRejected() {
  const int control = engine_.EventControl();
  engine_.Beep(ui::beep::kDefault);
  engine_.Display(window_, control);
  engine_.Select(window_, control);
  return window_result::kGoOn;
}

int WindowManager::HandleNewSelection() {
  // A new row of a list is the browse's own business; a new tab shows
  // other controls, which are brought up to date.
  const ui::Control* control = window_.Find(engine_.EventControl());
  if (control == nullptr || control->kind != ui::ControlKind::kSheet) return window_result::kGoOn;
  Reset(false);
  if (AUTOTOOLBAR && TOOLBAR != nullptr) {
    // The toolbar follows the list on the tab now shown.
    for (const ToolbarTarget& target : TOOLBAR->LIST) {
      const ui::Control* list = window_.Find(target.CONTROL);
      if (list != nullptr && window_.IsShown(*list)) {
        TOOLBAR->SetTarget(target.CONTROL);
        break;
      }
    }
  }
  return window_result::kGoOn;
}

void WindowManager::RestoreField(int control) {
  for (const HistoryField& field : HISTORY) {
    if (field.CONTROL != control || !field.SAVED) continue;
    field.FIELD->Set(*field.SAVED);
    engine_.Display(window_, control);
    return;
  }
}

void WindowManager::SaveHistory() {
  for (HistoryField& field : HISTORY) {
    engine_.Update(window_, field.CONTROL);
    field.SAVED = field.FIELD->Get();
  }
}

void WindowManager::RegisterAlertKeys() {
  for (ManagedBrowse* browse : BROWSES) browse->RegisterAlertKeys(window_);
  if (HISTORYKEY != 0 && !HISTORY.empty()) window_.alert_keys().insert(HISTORYKEY);
}

void WindowManager::SetResponse(uint8_t value) {
  RESPONSE = value;
  engine_.Post(ui::event::kCloseWindow);
  if (value == response::kCancelled && TOOLBAR != nullptr && VCRREQUEST != nullptr) {
    *VCRREQUEST = 0;
  }
}

uint8_t WindowManager::RunProcedure(int, uint8_t) { return response::kCancelled; }

void WindowManager::Update() {
  for (ManagedBrowse* browse : BROWSES) browse->UpdateBuffer();
}

void WindowManager::AddBrowse(ManagedBrowse& browse) {
  BROWSES.push_back(&browse);
  if (REQUEST == request::kSelect) browse.SetSelecting(true);
}

void WindowManager::AddButton(ButtonHandler& handler, int kind) {
  BUTTONS.push_back({handler.Control(), kind, &handler});
}

void WindowManager::AddFileDrop(FileDrop& drop) { FILEDROPS.push_back(&drop); }

void WindowManager::AddUpdateFile(FileManager& file) { FILES.push_back({&file, 0}); }

void WindowManager::AddHistoryField(int control, std::shared_ptr<ui::Binding> field) {
  HISTORY.push_back({control, std::move(field), std::nullopt});
}

void WindowManager::AddToolbar(Toolbar& toolbar, ui::Window& buttons) {
  TOOLBAR = &toolbar;
  toolbar.Init(engine_, window_, buttons);
}

void WindowManager::AddIni(IniManager& ini, std::string procedure, bool resizable) {
  ini_ = &ini;
  procedure_ = std::move(procedure);
  resizable_ = resizable;
}

void WindowManager::Release() {
  if (DEAD) return;
  for (ManagedBrowse* browse : BROWSES) browse->Release();
  for (FileDrop* drop : FILEDROPS) drop->Release();
  BROWSES.clear();
  FILEDROPS.clear();
  BUTTONS.clear();
  HISTORY.clear();
  // A completed request leaves the form's record in the buffer for the
  // caller; a cancelled one leaves it as it was before the form.
  const bool completed = RESPONSE == response::kCompleted;
  FileManager* form_file = PRIMARY != nullptr ? PRIMARY->ME : nullptr;
  for (UpdateFile& file : FILES) {
    file.MANAGER->RestoreBuffer(file.SAVED, !(completed && file.MANAGER == form_file));
  }
  FILES.clear();
  if (form_file != nullptr && SAVED != 0) {
    form_file->RestoreBuffer(SAVED, !completed);
    SAVED = 0;
  }
  if (TOOLBAR != nullptr) TOOLBAR->Kill();
  if (RESIZE != nullptr) RESIZE->Kill();
  if (ini_ != nullptr && OPENED) ini_->Update(procedure_, window_, resizable_);
  if (engine_.IsOpen(window_)) engine_.Close(window_);
}

}  // namespace tentaria::framework
