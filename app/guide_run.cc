#include "app/guide_run.h"

#include <cstdio>

#include "pictures/linked_pictures.h"
#include "platform/charset.h"
#include "runtime/locale.h"
#include "tools/make-guide/linked/guide_linked_pictures.h"

namespace tentaria::app {

void StartRuntime(std::string_view program_path) {
  runtime::InitLocale(program_path);
  RegisterGuideLinkedPictures(pictures::ProgramPictures());
}

guide::GuideOptions MakeGuideOptions(const std::string& guide_folder) {
  guide::GuideOptions options;
  options.guide_folder = guide_folder;
  return options;
}

int RunGuideReporting(ui::HeadlessEngine& engine, const guide::GuideOptions& options) {
  const int status = guide::RunGuide(engine, options);
  if (status != 0 && !engine.messages().empty()) {
    const ui::MessageBox& box = engine.messages().back().box;
    std::fprintf(stderr, "tentaria: %s: %s\n", platform::Cp1252ToUtf8(box.caption).c_str(),
                 platform::Cp1252ToUtf8(box.text).c_str());
  }
  return status;
}

}  // namespace tentaria::app
