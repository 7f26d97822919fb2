#include "platform/profile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "platform/path.h"

namespace tentaria::platform {
namespace {

// The text of a profile file split into lines.  Each line keeps its bytes
// as they were, without its line end; writing joins them again with the
// file's own line end (CRLF when its first line ends so, else LF).
struct ProfileText {
  std::vector<std::string> lines;
  std::string line_end = "\n";
  bool ends_with_newline = true;
};

ProfileText SplitLines(const std::string& text) {
  ProfileText profile;
  size_t first_newline = text.find('\n');
  if (first_newline != std::string::npos && first_newline > 0 && text[first_newline - 1] == '\r') {
    profile.line_end = "\r\n";
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      profile.lines.push_back(text.substr(start));
      profile.ends_with_newline = false;
      break;
    }
    size_t length = end - start;
    if (length > 0 && text[end - 1] == '\r') --length;
    profile.lines.push_back(text.substr(start, length));
    start = end + 1;
  }
  return profile;
}

std::string JoinLines(const ProfileText& profile) {
  std::string text;
  for (size_t i = 0; i < profile.lines.size(); ++i) {
    text += profile.lines[i];
    if (i + 1 < profile.lines.size() || profile.ends_with_newline) text += profile.line_end;
  }
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (CharLower(static_cast<unsigned char>(a[i])) !=
        CharLower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// A line of the file as the reader sees it.
struct ParsedLine {
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string_view name;   // section or key, trimmed
  std::string_view value;  // trimmed, for a key
};

ParsedLine Parse(std::string_view line, bool first_line) {
  if (first_line && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // UTF-8 mark
  std::string_view text = Trim(line);
  ParsedLine parsed;
  if (text.empty() || text[0] == ';') return parsed;
  if (text[0] == '[') {
    size_t close = text.find(']');
    if (close == std::string_view::npos) return parsed;  // unreadable: ignored
    parsed.kind = ParsedLine::kSection;
    parsed.name = Trim(text.substr(1, close - 1));
    return parsed;
  }
  size_t equals = text.find('=');
  if (equals == std::string_view::npos) return parsed;  // unreadable: ignored
  parsed.kind = ParsedLine::kKey;
  parsed.name = Trim(text.substr(0, equals));
  parsed.value = Trim(text.substr(equals + 1));
  return parsed;
}

// Reads the whole file; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string text;
  char buffer[8192];
  while (true) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return text;
}

std::optional<std::string> FindValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
  std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return std::nullopt;
  ProfileText profile = SplitLines(*text);
  bool in_section = false;
  for (size_t i = 0; i < profile.lines.size(); ++i) {
    ParsedLine line = Parse(profile.lines[i], i == 0);
    if (line.kind == ParsedLine::kSection) {
      if (in_section) break;  // only the first matching section counts
      in_section = EqualNoCase(line.name, Trim(section));
    } else if (line.kind == ParsedLine::kKey && in_section && EqualNoCase(line.name, Trim(key))) {
      std::string_view value = line.value;
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
      }
      return std::string(value);
    }
  }
  return std::nullopt;
}

int LeadingInt(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

// Sets key=value in section of the profile's lines.
void SetValue(ProfileText* profile, std::string_view section, std::string_view key,
              std::string_view value) {
  std::vector<std::string>& lines = profile->lines;
  bool in_section = false;
  // One past the last line of the wanted section that is not blank.
  std::optional<size_t> section_end;
  for (size_t i = 0; i < lines.size(); ++i) {
    ParsedLine line = Parse(lines[i], i == 0);
    if (line.kind == ParsedLine::kSection) {
      if (in_section) break;  // the first matching section is the one used
      in_section = EqualNoCase(line.name, section);
      if (in_section) section_end = i + 1;
      continue;
    }
    if (!in_section) continue;
    if (line.kind == ParsedLine::kKey && EqualNoCase(line.name, key)) {
      lines[i] = std::string(line.name) + "=" + std::string(value);
      return;
    }
    if (!Trim(lines[i]).empty()) section_end = i + 1;
  }
  std::string entry = std::string(key) + "=" + std::string(value);
  if (section_end) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*section_end), entry);
    return;
  }
  lines.push_back("[" + std::string(section) + "]");
  lines.push_back(entry);
  profile->ends_with_newline = true;
}

void MakeFolders(const std::string& path) {
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) == 0) return;
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) MakeFolders(path.substr(0, slash));
  mkdir(path.c_str(), 0700);
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

// Replaces the file's content at once: a reader sees either the old or the
// new file, and a crash leaves one of them whole.
bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode) {
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

bool WriteValue(const std::string& profile_path, std::string_view section, std::string_view key,
                std::string_view value) {
  // What cannot be written as one line would break the file: refused.
  auto one_line = [](std::string_view text) {
    return text.find('\n') == std::string_view::npos && text.find('\r') == std::string_view::npos;
  };
  section = Trim(section);
  key = Trim(key);
  if (!one_line(section) || !one_line(key) || !one_line(value) || key.empty() ||
      key.find('=') != std::string_view::npos || key[0] == ';' || key[0] == '[' ||
      section.find(']') != std::string_view::npos) {
    return false;
  }
  // Write through a symbolic link to the file it names.
  std::string path = profile_path;
  char resolved[PATH_MAX];
  if (realpath(profile_path.c_str(), resolved) != nullptr) path = resolved;
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  if (folder.empty()) folder = "/";
  MakeFolders(folder);

  // Writers of the same folder, in this process and in others, take turns,
  // so that no update is lost between reading the file and replacing it.
  static std::mutex writers;
  std::lock_guard<std::mutex> turn(writers);
  int folder_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd < 0) return false;
  while (flock(folder_fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  bool ok = true;
  mode_t mode = 0644;
  ProfileText profile;
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    mode = info.st_mode & 07777;
    std::optional<std::string> text = ReadWholeFile(path);
    if (text) {
      profile = SplitLines(*text);
    } else {
      ok = false;  // an existing file that cannot be read is not replaced
    }
  }
  if (ok) {
    SetValue(&profile, section, key, value);
    ok = ReplaceFile(path, JoinLines(profile), mode);
  }
  flock(folder_fd, LOCK_UN);
  close(folder_fd);
  return ok;
}

}  // namespace

std::string UserProfilePath() { return ConfigFolder() + "/win.ini"; }

std::string PrivateProfilePath(std::string_view name) {
  bool has_folder =
      name.find_first_of("/\\") != std::string_view::npos || (name.size() >= 2 && name[1] == ':');
  if (has_folder) return HostPath(name);
  return HostPathIn(ConfigFolder(), name);
}

std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view def) {
  std::optional<std::string> value = FindValue(UserProfilePath(), section, key);
  return value ? *value : std::string(def);
}

int ReadProfileInt(std::string_view section, std::string_view key, int def) {
  std::optional<std::string> value = FindValue(UserProfilePath(), section, key);
  return value ? LeadingInt(*value) : def;
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value) {
  return WriteValue(UserProfilePath(), section, key, value);
}

std::string ReadPrivateProfileString(std::string_view section, std::string_view key,
                                     std::string_view def, std::string_view file) {
  std::optional<std::string> value = FindValue(PrivateProfilePath(file), section, key);
  return value ? *value : std::string(def);
}

int ReadPrivateProfileInt(std::string_view section, std::string_view key, int def,
                          std::string_view file) {
  std::optional<std::string> value = FindValue(PrivateProfilePath(file), section, key);
  return value ? LeadingInt(*value) : def;
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view file) {
  return WriteValue(PrivateProfilePath(file), section, key, value);
}

}  // namespace tentaria::platform
