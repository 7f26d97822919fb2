// Profile (INI) files: the user profile and private profiles.
//
// The user profile is $XDG_CONFIG_HOME/tentaria/win.ini (sections such as
// "intl", "RTTAVRIN", "RTVIEW").  A private profile named without a folder
// ("tentaria2000.INI") lives in $XDG_CONFIG_HOME/tentaria/; a name with a
// folder is mapped through path.h.  Sections and keys are compared without
// regard to case; writing keeps every other line of the file as it was.
// Text is Windows-1252 as stored in the file.  Only the first section of a
// name counts, and in it the first line of a key; lines without "=" and
// lines starting with ";" are skipped by readers and kept by writers.  A
// write replaces the file at once (a temporary file renamed over it), so a
// crash leaves the old or the new file whole; a section, key or value that
// cannot be written as one line is refused.
#ifndef TENTARIA_PLATFORM_PROFILE_H_
#define TENTARIA_PLATFORM_PROFILE_H_

#include <string>
#include <string_view>

namespace tentaria::platform {

// Host path of the user profile.
std::string UserProfilePath();
// Host path of a private profile given by the program's name for it.
std::string PrivateProfilePath(std::string_view name);

// Reads a value; def when the file, section or key is missing.  Leading and
// trailing blanks of the value are removed; a value in matching double
// quotes loses them.
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view def);
// The leading decimal integer of the value (optional sign), def when the key
// is missing, 0 when the value does not start with a number.
int ReadProfileInt(std::string_view section, std::string_view key, int def);
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value);

std::string ReadPrivateProfileString(std::string_view section, std::string_view key,
                                     std::string_view def, std::string_view file);
int ReadPrivateProfileInt(std::string_view section, std::string_view key, int def,
                          std::string_view file);
// Writes key=value into section, creating the file, folder and section as
// needed.  Returns false when the file cannot be written.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view file);

}  // namespace tentaria::platform

#endif  // TENTARIA_PLATFORM_PROFILE_H_
