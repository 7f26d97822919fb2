#include "app/script_run.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>

#include "app/command_line.h"
#include "app/guide_run.h"
#include "pictures/picture_loader.h"
#include "ui/headless_engine.h"
#include "ui/scenario_runner.h"

namespace tentaria::app {
namespace {

std::optional<ui::ImageSize> DecodedSize(std::string_view name) {
  pictures::PicturePtr picture = pictures::LoadPicture(name);
  if (!picture) return std::nullopt;
  return ui::ImageSize{picture->width, picture->height};
}

}  // namespace

int RunScript(const std::string& script_file, const guide::GuideOptions& options) {
  std::ifstream in(script_file, std::ios::binary);
  if (!in.is_open()) {
    std::fprintf(stderr, "tentaria: cannot read the script %s\n", script_file.c_str());
    return kUsageExitCode;
  }
  std::stringstream script;
  script << in.rdbuf();
  ui::HeadlessEngine engine;
  engine.set_image_loader(DecodedSize);
  ui::ScenarioRunner runner(engine, std::cout);
  if (Status loaded = runner.Load(script.str()); !loaded.ok()) {
    std::fprintf(stderr, "tentaria: %s: %s\n", script_file.c_str(), loaded.message().c_str());
    return 1;
  }
  int guide_status = 0;
  const int script_status = runner.Run([&] { guide_status = RunGuideReporting(engine, options); });
  std::cout.flush();
  return script_status != 0 ? script_status : guide_status;
}

}  // namespace tentaria::app
