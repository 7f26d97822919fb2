#include "framework/error_manager.h"

#include <utility>

#include "framework/error_placeholders.h"
#include "storage/error_texts.h"

namespace tentaria::framework {
namespace {

std::string Fixed(std::string_view text) {
  return std::string(text.substr(0, ErrorManager::kFixedTextSize));
}

}  // namespace

void ErrorManager::Init(ui::Engine& engine) {
  engine_ = &engine;
  ERRORS.clear();
  current_.reset();
  (void)AddMessages(DefaultErrors());
}

void ErrorManager::Release() {
  ERRORS.clear();
  current_.reset();
}

Status ErrorManager::AddMessages(std::string_view block) {
  std::vector<ErrorEntry> entries;
  Status s = UnpackMessages(block, &entries);
  if (!s.ok()) return s;
  for (ErrorEntry& entry : entries) ERRORS.push_back(std::move(entry));
  return Status::Ok();
}

void ErrorManager::SetFile(std::string_view name) { FILENAME = Fixed(name); }

void ErrorManager::SetField(std::string_view name) { FIELDNAME = Fixed(name); }

void ErrorManager::SaveErrorState() {
  storage::ErrorReport report = storage::CurrentErrorReport();
  SAVEERRORCODE = report.code;
  SAVEERROR = Fixed(report.text);
  SAVEFILEERROR = Fixed(report.file_error);
  SAVEFILEERRORCODE =
      report.file_error_code != 0 ? std::to_string(report.file_error_code) : std::string();
}

int ErrorManager::Raise(uint16_t id) {
  SaveErrorState();
  return HandleError(id);
}

int ErrorManager::RaiseWithText(uint16_t id, std::string_view text) {
  MESSAGETEXT = Fixed(text);
  return Raise(id);
}

int ErrorManager::HandleError(uint16_t id) {
  Select(id);
  switch (Current().FATALITY) {
    case SeverityQuiet:
      return OnQuiet();
    case SeverityConfirm:
    case SeverityCancel:
      return OnConfirm();
    case SeverityProgram:
      return OnProgram();
    case SeverityFatal:
      return OnFatal();
    case SeverityNotify:
      OnNotify();
      return SeverityNotify;
    default:
      return OnOther();
  }
}

int ErrorManager::Ask(uint16_t id, int buttons, int default_button) {
  Select(id);
  return Show(SubstitutedText(), kExclamationIcon, buttons, default_button);
}

const ErrorEntry& ErrorManager::Current() const { return current_ ? ERRORS[*current_] : missing_; }

std::string ErrorManager::SubstitutedText() const { return Substitute(Current(), current_); }

int ErrorManager::OnQuiet() { return SeverityQuiet; }

int ErrorManager::OnFatal() {
  Show(SubstitutedText() + std::string(kEndSentence), kInformationIcon, ui::button::kOk,
       ui::button::kOk);
  if (engine_ != nullptr) engine_->Halt(kFatalExitCode, Current().TITLE);
  return SeverityFatal;
}

int ErrorManager::OnNotify() {
  Show(SubstitutedText(), kInformationIcon, ui::button::kOk, ui::button::kOk);
  return SeverityNotify;
}

int ErrorManager::OnOther() { return OnProgram(); }

int ErrorManager::OnProgram() { return OnFatal(); }

int ErrorManager::OnConfirm() {
  int answer = Show(SubstitutedText(), kExclamationIcon, ui::button::kYes | ui::button::kNo,
                    ui::button::kYes);
  return answer == ui::button::kYes ? SeverityQuiet : SeverityCancel;
}

int ErrorManager::Show(std::string text, int icon, int buttons, int default_button) {
  if (engine_ == nullptr) return 0;
  ui::MessageBox box;
  box.text = std::move(text);
  box.caption = Current().TITLE;
  box.icon = ui::SystemIconReference(icon);
  box.buttons = buttons;
  box.default_button = default_button;
  return engine_->Message(box);
}

void ErrorManager::Select(uint16_t id) {
  for (size_t i = ERRORS.size(); i-- > 0;) {
    if (ERRORS[i].ID == id) {
      current_ = i;
      return;
    }
  }
  current_.reset();
  missing_ = ErrorEntry{id, "The message " + std::to_string(id) + " has not been defined.",
                        "Program Error", SeverityProgram};
}

std::string ErrorManager::ErrorTextValue() const {
  if (SAVEERRORCODE == storage::error::kFileSystemError) {
    return std::string(TrimTrailingBlanks(SAVEFILEERROR)) + " (" +
           std::string(TrimTrailingBlanks(SAVEFILEERRORCODE)) + ")";
  }
  return std::string(TrimTrailingBlanks(SAVEERROR)) + " (" + std::to_string(SAVEERRORCODE) + ")";
}

std::string ErrorManager::Substitute(const ErrorEntry& entry, std::optional<size_t> index) const {
  std::string text = entry.MESSAGE.substr(0, kWorkBufferSize);
  const std::pair<std::string_view, std::string> steps[] = {
      {"%FileErrorCode", std::string(TrimTrailingBlanks(SAVEFILEERRORCODE))},
      {"%FileError", std::string(TrimTrailingBlanks(SAVEFILEERROR))},
      {"%File", std::string(TrimTrailingBlanks(FILENAME))},
      {"%ErrorCode", std::to_string(SAVEERRORCODE)},
      {"%ErrorText", ErrorTextValue()},
      {"%Error", std::string(TrimTrailingBlanks(SAVEERROR))},
      {"%Message", std::string(TrimTrailingBlanks(MESSAGETEXT))},
      {"%Field", std::string(TrimTrailingBlanks(FIELDNAME))},
  };
  for (const auto& [placeholder, value] : steps) {
    ReplacePlaceholder(&text, placeholder, value, kWorkBufferSize);
  }
  constexpr std::string_view kPrevious = "%Previous";
  if (FindPlaceholder(text, kPrevious) != std::string::npos) {
    std::string previous;
    for (size_t i = index.value_or(0); i-- > 0;) {
      if (ERRORS[i].ID == entry.ID) {
        previous = Substitute(ERRORS[i], i);
        break;
      }
    }
    ReplacePlaceholder(&text, kPrevious, previous, kWorkBufferSize);
  }
  return text;
}

}  // namespace tentaria::framework
