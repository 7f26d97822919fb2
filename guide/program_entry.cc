#include "guide/program_entry.h"

#include <filesystem>
#include <string>

#include "framework/error_manager.h"
#include "framework/error_messages.h"
#include "framework/ini_manager.h"
#include "guide/dictionary.h"
#include "guide/frame.h"
#include "guide/guide_context.h"
#include "guide/guide_files.h"
#include "guide/started_windows.h"
#include "platform/path.h"
#include "runtime/error_state.h"
#include "storage/error_texts.h"

namespace tentaria::guide {

namespace {

// Messages of the start-up.
constexpr uint16_t kCreationErrorMessage = 10;
constexpr uint16_t kFileAccessErrorMessage = 23;

// Notes whether a fatal message ended the run, so that the exit status
// says so.
class GuideErrors : public framework::ErrorManager {
 public:
  int OnFatal() override {
    fatal_ = true;
    return ErrorManager::OnFatal();
  }
  bool fatal() const { return fatal_; }

 private:
  bool fatal_ = false;
};

// Puts the folder back as the current one when the run ends.
class CurrentFolderScope {
 public:
  explicit CurrentFolderScope(const std::string& folder) : previous_(platform::CurrentFolder()) {
    platform::SetCurrentFolder(folder);
  }
  ~CurrentFolderScope() { platform::SetCurrentFolder(previous_); }
  CurrentFolderScope(const CurrentFolderScope&) = delete;
  CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

 private:
  std::string previous_;
};

// Reports a missing guide folder as the file error it is.
void ReportMissingFolder(framework::ErrorManager& errors, const std::string& folder) {
  runtime::SetFileError(storage::error::kPathNotFound, folder);
  errors.SetFile(folder);
  errors.Raise(kFileAccessErrorMessage);
}

// Opens every guide file that is not made when missing, so that a guide
// folder without its files is reported before any window opens.  Files
// the dictionary creates when missing are left to their first use.  The
// declarations would let the driver create any of them on opening, so a
// missing one is reported before it is opened: an empty file in its place
// would hide that the guide is incomplete.
bool GuideFilesOpen(GuideFiles& files, framework::ErrorManager& errors) {
  for (GuideFile file : kGuideFiles) {
    if (IsWorkingFile(file) || Settings(file).CREATE) continue;
    GuideFileManager& manager = files.Manager(file);
    std::error_code ignored;
    if (!std::filesystem::exists(HostFileName(file), ignored)) {
      runtime::SetFileError(storage::error::kFileNotFound, manager.FILENAMEVALUE);
      errors.SetFile(manager.FILENAMEVALUE);
      errors.Raise(kFileAccessErrorMessage);
      return false;
    }
    int result = manager.Open();
    if (result == framework::SeverityQuiet) result = manager.EnsureOpen();
    manager.Close();
    if (result != framework::SeverityQuiet) return false;
  }
  return true;
}

int Run(ui::Engine& engine, const GuideOptions& options, GuideErrors& errors,
        framework::IniManager& ini) {
  std::error_code ignored;
  if (!std::filesystem::is_directory(options.guide_folder, ignored)) {
    ReportMissingFolder(errors, options.guide_folder);
    return kStartUpFailedExitCode;
  }
  GuideFiles files;
  Status started = files.StartUp(errors);
  if (!started.ok()) {
    runtime::SetFileError(storage::error::kPathNotFound, kWorkingFolder);
    errors.SetFile(kWorkingFolder);
    errors.Raise(kCreationErrorMessage);
    return kStartUpFailedExitCode;
  }
  if (!GuideFilesOpen(files, errors)) {
    files.ShutDown();
    return kStartUpFailedExitCode;
  }
  StartedWindows started_windows;
  TENTA002(GuideContext{engine, errors, ini, files, started_windows});
  files.ShutDown();
  return errors.fatal() ? framework::ErrorManager::kFatalExitCode : 0;
}

}  // namespace

int RunGuide(ui::Engine& engine, const GuideOptions& options) {
  CurrentFolderScope folder(options.guide_folder);
  GuideErrors errors;
  errors.Init(engine);
  framework::IniManager ini;
  ini.Init(options.ini_file);
  const int status = Run(engine, options, errors, ini);
  ini.Kill();
  errors.Release();
  return status;
}

}  // namespace tentaria::guide
