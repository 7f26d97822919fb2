#include "runtime/environment_file.h"

#include <cstdint>
#include <memory>

#include "platform/charset.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/status.h"
#include "runtime/error_state.h"

namespace tentaria::runtime {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr size_t kReadChunk = 65536;
constexpr size_t kMaxButtons = 256;
constexpr size_t kMaxMessageDigits = 9;

// One character of a value; `literal` marks a character that was written
// with "<" or stands inside quotes, and so has no special meaning.
struct ValueChar {
  char c;
  bool literal;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::vector<ValueChar> DecodeEscapes(std::string_view raw) {
  std::vector<ValueChar> out;
  size_t i = 0;
  while (i < raw.size()) {
    char c = raw[i++];
    if (c != '<' || i == raw.size()) {
      out.push_back({c, false});
      continue;
    }
    if (raw[i] >= '0' && raw[i] <= '9') {
      unsigned code = 0;
      while (i < raw.size() && raw[i] >= '0' && raw[i] <= '9') {
        code = (code * 10 + static_cast<unsigned>(raw[i] - '0')) % 256;
        ++i;
      }
      if (i < raw.size()) ++i;  // the character after the digits (">")
      out.push_back({static_cast<char>(code), true});
    } else {
      out.push_back({raw[i++], true});
    }
  }
  return out;
}

std::vector<std::string> SplitItems(const std::vector<ValueChar>& value, bool commas_separate) {
  std::vector<std::string> items;
  if (value.empty()) return items;
  size_t i = 0;
  while (true) {
    while (i < value.size() && !value[i].literal && IsBlank(value[i].c)) ++i;
    std::string item;
    size_t keep = 0;  // length of the item up to its last character that is not a plain blank
    bool quoted = false;
    while (i < value.size()) {
      const ValueChar& ch = value[i];
      if (quoted) {
        if (!ch.literal && ch.c == '"') {
          if (i + 1 < value.size() && !value[i + 1].literal && value[i + 1].c == '"') {
            item.push_back('"');
            i += 2;
          } else {
            quoted = false;
            ++i;
          }
          keep = item.size();
          continue;
        }
        item.push_back(ch.c);
        keep = item.size();
        ++i;
        continue;
      }
      if (!ch.literal && ch.c == '"') {
        quoted = true;
        ++i;
        continue;
      }
      if (!ch.literal && ch.c == ',' && commas_separate) break;
      item.push_back(ch.c);
      if (ch.literal || !IsBlank(ch.c)) keep = item.size();
      ++i;
    }
    item.resize(keep);
    items.push_back(std::move(item));
    if (i >= value.size()) break;
    ++i;  // the comma
  }
  return items;
}

std::string FirstItem(const std::vector<std::string>& items) {
  return items.empty() ? std::string() : items[0];
}

// Reads the lines of one file; keeps the RTXCHARSET state of that file.
class EnvironmentReader {
 public:
  explicit EnvironmentReader(Locale* locale) : locale_(locale) {}

  // Feeds the next bytes of the file; false once the file has ended.
  bool Feed(std::string_view bytes) {
    for (char c : bytes) {
      if (c == kCtrlZ) {
        Finish();
        ended_ = true;
        return false;
      }
      if (c == '\r' || c == '\n') {
        EndLine();
      } else if (line_.size() < kMaxEnvironmentLineBytes) {
        line_.push_back(c);
      }
    }
    return true;
  }

  void Finish() {
    if (!ended_) EndLine();
  }

 private:
  void EndLine() {
    if (!line_.empty()) ApplyLine(line_);
    line_.clear();
  }

  void ApplyLine(std::string_view line) {
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;
    std::string name;
    for (char c : line.substr(0, equals)) {
      if (!IsBlank(c)) name.push_back(UpperAscii(c));
    }
    if (name.empty() || name.size() > kMaxEnvironmentNameLength) return;
    std::string_view raw = line.substr(equals + 1);

    if (name == "RTXCHARSET") {
      oem_ = EqualsNoCase(FirstItem(Parse(raw, true)), "OEM");
    } else if (name == "RTXCOLSEQ") {
      std::string sequence = FirstItem(Parse(raw, false));
      if (EqualsNoCase(sequence, "WINDOWS")) {
        SetSystemWeights(&locale_->collation());
      } else {
        SetSequenceWeights(&locale_->collation(), sequence);
      }
    } else if (name == "RTXCASE") {
      std::vector<std::string> items = Parse(raw, true);
      if (items.empty()) {
        SetDefaultCase(&locale_->collation());
      } else if (EqualsNoCase(items[0], "WINDOWS")) {
        SetSystemCase(&locale_->collation());
      } else {
        SetCasePairs(&locale_->collation(), items[0], items.size() > 1 ? items[1] : "");
      }
    } else if (name == "RTXMONTH" || name == "RTXMON") {
      std::vector<std::string> items = Parse(raw, true);
      for (size_t m = 0; m < items.size() && m < 12; ++m) {
        if (items[m].empty()) continue;
        int month = static_cast<int>(m) + 1;
        if (name == "RTXMONTH") {
          locale_->SetMonthName(month, items[m]);
        } else {
          locale_->SetShortMonthName(month, items[m]);
        }
      }
    } else if (name == "RTXAMPM") {
      std::vector<std::string> items = Parse(raw, true);
      if (items.empty()) return;
      if (EqualsNoCase(items[0], "WINDOWS")) {
        locale_->SetAmPm(locale_->windows_am_text(), locale_->windows_pm_text());
      } else {
        locale_->SetAmPm(items[0], items.size() > 1 ? items[1] : locale_->pm_text());
      }
    } else if (name == "RTXDIGRAPH") {
      SetDigraphs(&locale_->collation(), Parse(raw, true));
    } else if (name == "RTXBUTTON") {
      std::vector<std::string> items = Parse(raw, true);
      for (size_t k = 0; k < items.size() && k < kMaxButtons; ++k) {
        if (items[k].empty()) continue;
        locale_->SetMessageOverride(Locale::kButtonMessageBase + static_cast<int>(k), items[k]);
      }
    } else if (name == "RTXLFN") {
      locale_->set_long_file_names(EqualsNoCase(FirstItem(Parse(raw, true)), "ON"));
    } else if (name.starts_with("RTXMSG")) {
      std::string_view digits = std::string_view(name).substr(6);
      if (digits.empty() || digits.size() > kMaxMessageDigits) return;
      int number = 0;
      for (char c : digits) {
        if (c < '0' || c > '9') return;
        number = number * 10 + (c - '0');
      }
      locale_->SetMessageOverride(number, FirstItem(Parse(raw, false)));
    }
  }

  std::vector<std::string> Parse(std::string_view raw, bool commas_separate) const {
    return ParseEnvironmentValue(raw, oem_, commas_separate);
  }

  Locale* locale_;
  std::string line_;
  bool oem_ = false;
  bool ended_ = false;
};

enum class ReadResult { kRead, kMissing, kFailed };

ReadResult ReadEnvironmentFile(const std::string& host_path, Locale* locale, int* error) {
  std::unique_ptr<platform::File> file;
  Status status = platform::FileSystem::Default()->Open(
      host_path, platform::open_mode::kRead | platform::open_mode::kDenyNone,
      platform::Disposition::kOpenExisting, &file);
  if (!status.ok()) {
    bool missing =
        status.code() == error_code::kFileNotFound || status.code() == error_code::kPathNotFound;
    *error = missing ? error_code::kFileNotFound : status.code();
    return missing ? ReadResult::kMissing : ReadResult::kFailed;
  }
  EnvironmentReader reader(locale);
  std::string buffer(kReadChunk, '\0');
  uint64_t offset = 0;
  while (true) {
    size_t got = 0;
    status = file->Read(offset, buffer.data(), buffer.size(), &got);
    if (!status.ok()) {
      // What was read so far stays applied, as it would line by line.
      reader.Finish();
      *error = status.code();
      return ReadResult::kFailed;
    }
    if (!reader.Feed(std::string_view(buffer.data(), got))) break;
    if (got < buffer.size()) {
      reader.Finish();
      break;
    }
    offset += got;
  }
  return ReadResult::kRead;
}

}  // namespace

std::vector<std::string> ParseEnvironmentValue(std::string_view raw_value, bool oem,
                                               bool commas_separate) {
  std::vector<ValueChar> value = DecodeEscapes(raw_value);
  while (!value.empty() && !value.back().literal && IsBlank(value.back().c)) value.pop_back();
  if (value.size() > kMaxEnvironmentValueLength) value.resize(kMaxEnvironmentValueLength);
  if (oem) {
    for (ValueChar& ch : value) platform::OemToChar(&ch.c, 1);
  }
  return SplitItems(value, commas_separate);
}

void ApplyEnvironmentText(std::string_view content, Locale* locale) {
  EnvironmentReader reader(locale);
  if (reader.Feed(content)) reader.Finish();
}

void ApplyWindowsDefaults(Locale* locale) {
  SetSystemWeights(&locale->collation());
  SetSystemCase(&locale->collation());
  locale->SetAmPm(locale->windows_am_text(), locale->windows_pm_text());
}

bool LoadEnvironment(std::string_view name) {
  if (EqualsNoCase(name, "WINDOWS")) {
    ApplyWindowsDefaults(&CurrentLocale());
    ClearError();
    return true;
  }
  int error = 0;
  if (ReadEnvironmentFile(platform::HostPath(name), &CurrentLocale(), &error) !=
      ReadResult::kRead) {
    SetFileError(error, name);
    return false;
  }
  ClearError();
  return true;
}

void LoadDefaultEnvironmentFile(std::string_view program_path) {
  std::string name = platform::ReplaceExtension(program_path, ".ENV");
  int error = 0;
  ReadEnvironmentFile(platform::HostPath(name), &CurrentLocale(), &error);
}

}  // namespace tentaria::runtime
