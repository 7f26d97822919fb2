#include "app/guide_location.h"

#include <system_error>

namespace tentaria::app {
namespace {

// The same folder by its canonical path; two spellings of one folder
// (symbolic links, "..") compare equal.
bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace

std::filesystem::path ProgramPath() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : path;
}

std::optional<std::filesystem::path> DefaultGuideFolder(const std::filesystem::path& program,
                                                        const BuildTree& build) {
  const std::filesystem::path folder = program.parent_path();
  std::error_code error;
  const std::filesystem::path installed =
      std::filesystem::weakly_canonical(folder / kInstalledGuide, error);
  if (!error && std::filesystem::is_directory(installed, error)) return installed;
  if (!build.program_folder.empty() && SameFolder(folder, build.program_folder)) {
    return build.guide_folder;
  }
  return std::nullopt;
}

}  // namespace tentaria::app
