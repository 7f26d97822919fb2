// The runtime's path names mapped to host paths.
//
// Names may use "\" or "/" as separators and may start with a drive letter.
// A drive maps through the drive table: by default C: is
// $XDG_DATA_HOME/tentaria/C (created on demand); TENTARIA_DRIVE_<LETTER>
// in the environment overrides a letter.  A relative name is taken from the
// current folder (the guide folder).  An existing file or folder is found
// without regard to case; a new one is created with the name as written.
#ifndef TENTARIA_PLATFORM_PATH_H_
#define TENTARIA_PLATFORM_PATH_H_

#include <string>
#include <string_view>

namespace tentaria::platform {

// The folder relative names are taken from.  Defaults to the process's
// working folder.
void SetCurrentFolder(std::string_view host_folder);
const std::string& CurrentFolder();

// Host folder of a drive letter ('A'..'Z', either case); created on demand
// for the default mapping.
std::string DriveFolder(char letter);

// Maps a runtime name to a host path, finding existing components without
// regard to case.
std::string HostPath(std::string_view name);

// Adds ext (".TVN") when the last component of name has no extension.
std::string AddDefaultExtension(std::string_view name, std::string_view ext);

// Replaces the extension of the last component (adds one when missing).
std::string ReplaceExtension(std::string_view name, std::string_view ext);

// $XDG_CONFIG_HOME/tentaria, $XDG_STATE_HOME/tentaria, $XDG_DATA_HOME/tentaria
// (with the usual fall-backs under $HOME), created on demand.
std::string ConfigFolder();
std::string StateFolder();
std::string DataFolder();

}  // namespace tentaria::platform

#endif  // TENTARIA_PLATFORM_PATH_H_
