#include "platform/path.h"

#include <dirent.h>
#include <errno.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/charset.h"

namespace tentaria::platform {
namespace {

std::mutex& CurrentFolderMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& CurrentFolderStorage() {
  static std::string folder;
  return folder;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool HasDrive(std::string_view name) {
  return name.size() >= 2 && name[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(name[0])) != 0;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// Creates the folder and its parents; existing ones are left alone.
void MakeFolders(const std::string& path) {
  if (path.empty() || IsFolder(path)) return;
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) MakeFolders(path.substr(0, slash));
  mkdir(path.c_str(), 0700);
}

std::string JoinPath(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (folder.back() == '/') return folder + std::string(name);
  return folder + "/" + std::string(name);
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  struct passwd entry {};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return found->pw_dir;
  }
  return "/tmp";
}

// An XDG base folder: the variable when it holds an absolute path (the XDG
// rules ignore relative ones), else the fall-back under the home folder.
std::string XdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  std::string base =
      (value != nullptr && value[0] == '/') ? std::string(value) : JoinPath(HomeFolder(), fallback);
  std::string folder = JoinPath(base, "tentaria");
  MakeFolders(folder);
  return folder;
}

bool IsValidUtf8(std::string_view text) { return Cp1252ToUtf8(Utf8ToCp1252(text)) == text; }

// Folds a UTF-8 name for the comparison without regard to case: letters
// that Windows-1252 has go through its lower-case conversion, so "É"
// matches "é" as on the original platform; other characters stay as they
// are.
std::string FoldCase(std::string_view utf8) {
  std::string folded;
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    length = std::min(length, utf8.size() - i);
    std::string_view one = utf8.substr(i, length);
    std::string ansi = Utf8ToCp1252(one);
    if (ansi.size() == 1 && ansi != "?") {
      folded.push_back(static_cast<char>(CharLower(static_cast<unsigned char>(ansi[0]))));
    } else {
      folded.push_back('\x01');  // keeps other characters apart from any 1252 one
      folded.append(one);
    }
    i += length;
  }
  return folded;
}

// The entry of folder that is name: an exact match, else the first entry in
// sorted order that equals it without regard to case, else name itself.
std::string FindEntry(const std::string& folder, const std::string& name) {
  if (Exists(JoinPath(folder, name))) return name;
  DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
  if (dir == nullptr) return name;
  std::string wanted = FoldCase(name);
  std::vector<std::string> matches;
  while (dirent* entry = readdir(dir)) {
    std::string entry_name = entry->d_name;
    if (entry_name == "." || entry_name == "..") continue;
    if (FoldCase(entry_name) == wanted) matches.push_back(entry_name);
  }
  closedir(dir);
  if (matches.empty()) return name;
  return *std::min_element(matches.begin(), matches.end());
}

size_t LastComponentStart(std::string_view name) {
  size_t start = name.find_last_of("/\\");
  start = start == std::string_view::npos ? 0 : start + 1;
  if (start == 0 && HasDrive(name)) start = 2;
  return start;
}

}  // namespace

void SetCurrentFolder(std::string_view host_folder) {
  std::lock_guard<std::mutex> lock(CurrentFolderMutex());
  CurrentFolderStorage() = std::string(host_folder);
}

const std::string& CurrentFolder() {
  std::lock_guard<std::mutex> lock(CurrentFolderMutex());
  std::string& folder = CurrentFolderStorage();
  if (folder.empty()) {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr && errno == ERANGE) {
      buffer.resize(buffer.size() * 2);
    }
    folder = buffer[0] == '/' ? std::string(buffer.data()) : std::string("/");
  }
  return folder;
}

std::string DriveFolder(char letter) {
  char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  std::string variable = std::string("TENTARIA_DRIVE_") + upper;
  const char* value = std::getenv(variable.c_str());
  if (value != nullptr && value[0] != '\0') return value;
  std::string folder = JoinPath(DataFolder(), std::string(1, upper));
  MakeFolders(folder);
  return folder;
}

namespace {

// Resolves the components of rest below the host folder base.
std::string ResolveBelow(std::string base, std::string_view rest) {
  std::string path = std::move(base);
  bool searching = true;  // false once a component does not exist
  size_t i = 0;
  while (i <= rest.size()) {
    size_t end = i;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::string component(rest.substr(i, end - i));
    i = end + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      size_t slash = path.find_last_of('/');
      if (slash != std::string::npos) path.erase(slash == 0 ? 1 : slash);
      searching = IsFolder(path);
      continue;
    }
    if (searching) {
      component = FindEntry(path, component);
      searching = IsFolder(JoinPath(path, component));
    }
    path = JoinPath(path, component);
  }
  return path;
}

// Names are Windows-1252 as everywhere inside the system; a name that is
// already valid UTF-8 (a host path handed back) is taken as it is.
std::string NameToHost(std::string_view name) {
  return IsValidUtf8(name) ? std::string(name) : Cp1252ToUtf8(name);
}

}  // namespace

std::string HostPath(std::string_view name) {
  std::string text = NameToHost(name);
  std::string_view rest = text;
  std::string base;
  if (HasDrive(rest)) {
    // "C:\X" and "C:X" both start at the drive's folder: there is no
    // current folder per drive.
    base = DriveFolder(rest[0]);
    rest.remove_prefix(2);
  } else if (!rest.empty() && IsSeparator(rest[0])) {
    base = "/";  // a rooted name without a drive is a host path
  } else {
    base = CurrentFolder();
  }
  return ResolveBelow(std::move(base), rest);
}

std::string HostPathIn(std::string_view host_folder, std::string_view name) {
  return ResolveBelow(std::string(host_folder), NameToHost(name));
}

std::string AddDefaultExtension(std::string_view name, std::string_view ext) {
  std::string result(name);
  if (name.find('.', LastComponentStart(name)) != std::string_view::npos) return result;
  if (!ext.empty() && ext[0] != '.') result.push_back('.');
  result.append(ext);
  return result;
}

std::string ReplaceExtension(std::string_view name, std::string_view ext) {
  size_t dot = name.find_last_of('.');
  std::string result(name.substr(
      0, dot != std::string_view::npos && dot >= LastComponentStart(name) ? dot : name.size()));
  if (!ext.empty() && ext[0] != '.') result.push_back('.');
  result.append(ext);
  return result;
}

std::string ConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

std::string StateFolder() { return XdgFolder("XDG_STATE_HOME", ".local/state"); }

std::string DataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

}  // namespace tentaria::platform
