// Where the program finds its guide when no folder is given: the guide
// installed beside it, else, for the program in its build folder, the
// sample guide the build wrote.
#ifndef TENTARIA_APP_GUIDE_LOCATION_H_
#define TENTARIA_APP_GUIDE_LOCATION_H_

#include <filesystem>
#include <optional>

namespace tentaria::app {

// Relative to the folder of the installed program.
inline constexpr const char* kInstalledGuide = "../share/tentaria/guide";

struct BuildTree {
  std::filesystem::path program_folder;  // where the build puts the program
  std::filesystem::path guide_folder;    // where the build writes the sample guide
};

// The host path of the running program.
std::filesystem::path ProgramPath();

// The installed guide when that folder exists; else the build's guide when
// `program` lies in the build's program folder; else none.
std::optional<std::filesystem::path> DefaultGuideFolder(const std::filesystem::path& program,
                                                        const BuildTree& build);

}  // namespace tentaria::app

#endif  // TENTARIA_APP_GUIDE_LOCATION_H_
