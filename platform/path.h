// The runtime's path names mapped to host paths.
//
// Names may use "\" or "/" as separators and may start with a drive letter.
// A drive maps through the drive table: by default C: is
// $XDG_DATA_HOME/tentaria/C (created on demand), and so for every letter;
// TENTARIA_DRIVE_<LETTER> in the environment overrides a letter.  "C:X" is
// taken from the drive's folder like "C:\X".  A relative name is taken from
// the current folder (the guide folder); a name that starts with a separator
// and has no drive is a host path from the root.  An existing file or folder
// is found without regard to case (an exact match first, else the first
// match in sorted order); a new one is created with the name as written.
// Names are Windows-1252 and become UTF-8 on the host; a name that already
// is valid UTF-8 (a host path handed back) is taken as it is.
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
// Maps a name relative to a host folder (a private profile's folder, for
// instance) in the same way.
std::string HostPathIn(std::string_view host_folder, std::string_view name);

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
