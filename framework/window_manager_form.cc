// The form paths of a WindowManager: priming the record for the request,
// saving it on OK (insert, change, delete, with their retry questions),
// and the questions of a cancel.
#include "framework/window_manager.h"

#include "ui/event_codes.h"

namespace tentaria::framework {

int WindowManager::PrimeForm() {
  if (PRIMARY != nullptr && PRIMARY->ME->EnsureOpen() != SeverityQuiet) {
    // A form over a file that cannot be used would lose what is typed.
    RESPONSE = response::kCancelled;
    return window_result::kLeaveLoop;
  }
  for (UpdateFile& file : FILES) file.SAVED = file.MANAGER->SaveBuffer();
  switch (REQUEST) {
    case request::kInsert:
      if (INSERTACTION == 0) break;
      RESPONSE = response::kCompleted;
      FillNewRecord();
      if (RESPONSE == response::kCancelled) return window_result::kLeaveLoop;
      RESPONSE = response::kCancelled;
      break;
    case request::kDelete:
      if (DELETEACTION != 2 && DELETEACTION != 4) break;
      if (PRIMARY == nullptr) return window_result::kLeaveLoop;
      RESPONSE = PRIMARY->Delete(DELETEACTION == 2) == SeverityQuiet ? response::kCompleted
                                                                     : response::kCancelled;
      return window_result::kLeaveLoop;
    default:
      break;
  }
  TakeSaved();
  return 0;
}

void WindowManager::TakeSaved() {
  if (PRIMARY == nullptr) return;
  if (SAVED != 0) PRIMARY->ME->RestoreBuffer(SAVED, false);
  SAVED = static_cast<uint16_t>(PRIMARY->ME->SaveBuffer());
}

bool WindowManager::FormChanged() {
  engine_.Update(window_);
  return PRIMARY->ME->EqualBuffer(SAVED) == 0;
}

void WindowManager::SelectFirst() {
  int first = FIRSTFIELD != 0 ? FIRSTFIELD : window_.NextInTabOrder(0);
  if (first != 0) engine_.Select(window_, first);
}

void WindowManager::SelectAgain() {
  int control = FIRSTFIELD != 0 ? FIRSTFIELD : engine_.FocusControl();
  if (control != 0) engine_.Select(window_, control);
}

int WindowManager::HandleCompleted() {
  SaveHistory();
  if (PRIMARY == nullptr) return window_result::kGoOn;
  switch (REQUEST) {
    case request::kInsert:
      return InsertCompleted();
    case request::kChange:
      return ChangeCompleted();
    case request::kDelete:
      return DeleteCompleted();
    default:
      return window_result::kGoOn;
  }
}

int WindowManager::InsertCompleted() {
  if (PRIMARY->ME->Insert() != SeverityQuiet) {
    SelectAgain();
    return window_result::kHandled;
  }
  switch (INSERTACTION) {
    case 3:
      return AddAnother();
    case 4:
      if (ERRORS->Raise(kRecordAddedMessage) == SeverityQuiet) return AddAnother();
      SetResponse(response::kCompleted);
      return window_result::kGoOn;
    default:
      SetResponse(response::kCompleted);
      return window_result::kGoOn;
  }
}

// The record is in; the form starts over on a new one.
int WindowManager::AddAnother() {
  FileManager& file = *PRIMARY->ME;
  file.Position(&LASTINSERTEDPOSITION);
  for (UpdateFile& update : FILES) {
    update.MANAGER->RestoreBuffer(update.SAVED, true);
    update.SAVED = update.MANAGER->SaveBuffer();
  }
  if (file.NumberRecord() != SeverityQuiet) {
    SetResponse(response::kCompleted);
    return window_result::kHandled;
  }
  FillNewRecord();
  RESPONSE = response::kCancelled;
  TakeSaved();
  engine_.Display(window_);
  SelectFirst();
  return window_result::kHandled;
}

int WindowManager::ChangeCompleted() {
  for (;;) {
    RESPONSE = response::kCancelled;
    const bool changed = PRIMARY->ME->EqualBuffer(SAVED) == 0;
    engine_.SetBusy(true);
    int result = changed ? PRIMARY->Update(2) : SeverityQuiet;
    engine_.SetBusy(false);
    if (result == SeverityQuiet) {
      if (changed || (VCRREQUEST != nullptr && *VCRREQUEST != 0)) RESPONSE = response::kCompleted;
      engine_.Post(ui::event::kCloseWindow);
      return window_result::kGoOn;
    }
    if (result != SeverityConfirm) break;
    int answer =
        ERRORS->Ask(kChangeRetryMessage, ui::button::kYes | ui::button::kNo | ui::button::kCancel,
                    ui::button::kCancel);
    if (answer == ui::button::kYes) continue;
    if (answer == ui::button::kNo) {
      engine_.Post(ui::event::kCloseWindow);
      return window_result::kGoOn;
    }
    break;
  }
  // A record another station changed was read again: the form shows its
  // values (the history fields still hold what was typed).
  engine_.Display(window_);
  SelectAgain();
  return window_result::kHandled;
}

int WindowManager::DeleteCompleted() {
  for (;;) {
    RESPONSE = response::kCancelled;
    engine_.SetBusy(true);
    const int result = PRIMARY->Delete(false);
    engine_.SetBusy(false);
    if (result == SeverityQuiet) {
      SetResponse(response::kCompleted);
      return window_result::kGoOn;
    }
    int answer =
        ERRORS->Ask(kDeleteRetryMessage, ui::button::kYes | ui::button::kNo | ui::button::kCancel,
                    ui::button::kCancel);
    if (answer == ui::button::kYes) continue;
    if (answer == ui::button::kNo) {
      engine_.Post(ui::event::kCloseWindow);
      return window_result::kGoOn;
    }
    SelectAgain();
    return window_result::kHandled;
  }
}

int WindowManager::HandleClose() {
  if (RESPONSE == response::kCompleted || PRIMARY == nullptr) return window_result::kGoOn;
  if (IsForm() && CANCELACTION != 0 && FormChanged()) {
    int result = ConfirmCancel();
    if (result != window_result::kGoOn) return result;
  }
  if (ORIGINALREQUEST == request::kInsert && RESPONSE == response::kCancelled &&
      PRIMARY->ME->CancelNumbering(PRIMARY) != SeverityQuiet) {
    SelectAgain();
    return window_result::kHandled;
  }
  if (!LASTINSERTEDPOSITION.empty()) {
    RESPONSE = response::kCompleted;
    PRIMARY->ME->Reget(LASTINSERTEDPOSITION);
  }
  return window_result::kGoOn;
}

// A cancel on a changed form: 0 closes, kHandled keeps the window.
int WindowManager::ConfirmCancel() {
  const bool ask_first = CANCELACTION & 1;
  const bool ask_save = CANCELACTION & 2;
  if (!ask_first) {
    if (ERRORS->Raise(kChangesLostMessage) == SeverityQuiet) return window_result::kGoOn;
    if (FIRSTFIELD != 0) engine_.Select(window_, FIRSTFIELD);
    return window_result::kHandled;
  }
  if (!ask_save) {
    engine_.Post(ui::event::kAccepted, OKCONTROL);
    return window_result::kHandled;
  }
  int answer =
      ERRORS->Ask(kSaveRecordMessage, ui::button::kYes | ui::button::kNo | ui::button::kCancel,
                  ui::button::kCancel);
  if (answer == ui::button::kYes) {
    engine_.Post(ui::event::kAccepted, OKCONTROL);
    return window_result::kHandled;
  }
  if (answer == ui::button::kNo) return window_result::kGoOn;
  if (FIRSTFIELD != 0) engine_.Select(window_, FIRSTFIELD);
  return window_result::kHandled;
}

}  // namespace tentaria::framework
