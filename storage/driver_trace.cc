#include "storage/driver_trace.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <memory>

#include "platform/clock.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "runtime/date_time.h"
#include "runtime/locale.h"
#include "runtime/value_types.h"
#include "storage/bytes.h"
#include "storage/error_texts.h"
#include "storage/file_interface.h"

namespace tentaria::storage {

namespace {

constexpr std::string_view kAllowDetails = "ALLOWDETAILS";
constexpr size_t kLabelColumns = 18;

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

// The trace's own printf formats, checked by the compiler.
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return std::string(buffer,
                     static_cast<size_t>(std::clamp(n, 0, static_cast<int>(sizeof buffer) - 1)));
}

// A name with a drive ("C:...") or a separator names its own folder.
bool HasFolder(std::string_view name) {
  if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))) {
    return true;
  }
  return name.find_first_of("\\/") != std::string_view::npos;
}

std::string DateText(uint32_t packed) {
  runtime::DayNumber day = runtime::UnpackDate(packed);
  runtime::DateParts parts;
  if (day <= 0 || !runtime::DayNumberToParts(day, &parts)) {
    return Format("Invalid date (%ld)", static_cast<long>(packed));
  }
  const std::string& month = runtime::CurrentLocale().MonthName(parts.month);
  return Format("%02d %s %d (%ld)", parts.day, month.c_str(), parts.year, static_cast<long>(day));
}

std::string TimeText(uint32_t packed) {
  runtime::TimeValue time = runtime::UnpackTime(packed);
  runtime::TimeParts parts;
  if (time <= 0 || !runtime::TimeValueToParts(time, &parts)) {
    return Format("Invalid time (%ld)", static_cast<long>(packed));
  }
  return Format("%02d:%02d:%02d.%02d (%ld)", parts.hours, parts.minutes, parts.seconds,
                parts.hundredths, static_cast<long>(time));
}

std::string StringText(runtime::TypeCode type, std::string_view bytes) {
  switch (type) {
    case runtime::TypeCode::CSTRING:
      bytes = bytes.substr(0, bytes.find('\0'));
      break;
    case runtime::TypeCode::PSTRING:
      if (bytes.empty()) break;
      bytes = bytes.substr(1, static_cast<uint8_t>(bytes[0]));
      break;
    default:
      break;
  }
  return "'" + std::string(bytes) + "'";
}

// One element's value; bytes is exactly the element's storage.
std::string ValueText(runtime::TypeCode type, std::string_view bytes) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  switch (type) {
    case runtime::TypeCode::BYTE:
      if (bytes.size() == 1) return Format("%02XH", p[0]);
      break;
    case runtime::TypeCode::STRING:
    case runtime::TypeCode::CSTRING:
    case runtime::TypeCode::PSTRING:
      return StringText(type, bytes);
    case runtime::TypeCode::DATE:
      if (bytes.size() == 4) return DateText(LoadU32(p));
      break;
    case runtime::TypeCode::TIME:
      if (bytes.size() == 4) return TimeText(LoadU32(p));
      break;
    default:
      break;
  }
  std::string hex;
  for (uint8_t byte : std::string_view(bytes)) hex += Format("%02X", byte);
  return hex;
}

std::string FieldLine(std::string_view label, const std::string& value) {
  std::string line(label);
  if (line.size() < kLabelColumns) line.resize(kLabelColumns, ' ');
  return line + ":" + value + "\r\n";
}

}  // namespace

TraceSettings ReadTraceSettings(bool encrypted, std::string_view driver_options) {
  TraceSettings settings;
  settings.on = platform::ReadProfileInt(kTraceSection, "Profile", 0) != 0;
  settings.trace_file = platform::ReadProfileString(kTraceSection, "TraceFile", kDefaultTraceFile);
  if (settings.trace_file.size() > kMaxTraceFileName) settings.trace_file.resize(kMaxTraceFileName);
  if (settings.trace_file.empty()) settings.trace_file = kDefaultTraceFile;
  bool may_detail = !encrypted || Upper(driver_options).find(kAllowDetails) != std::string::npos;
  settings.details = may_detail && platform::ReadProfileInt(kTraceSection, "Details", 0) != 0;
  return settings;
}

std::string TraceFileHostPath(std::string_view name) {
  if (HasFolder(name)) return platform::HostPath(name);
  return platform::HostPathIn(platform::StateFolder(), name);
}

std::string FormatTraceLine(int operation, std::string_view context, int code,
                            std::string_view driver_text, int64_t hundredths) {
  std::string line = OperationName(operation);
  line += ' ';
  if (!context.empty()) {
    line += context;
    line += ' ';
  }
  if (code == error::kFileSystemError) {
    line += "File Error: " + std::string(driver_text) + " ";
  } else if (code != error::kNone) {
    line += "Error: " + ErrorText(code) + " ";
  }
  hundredths = std::max<int64_t>(hundredths, 0);
  line += Format("Time Taken: %ld.%02ld secs\r\n", static_cast<long>(hundredths / 100),
                 static_cast<long>(hundredths % 100));
  return line;
}

std::string FormatTraceFields(const RecordLayout& layout, std::string_view row) {
  std::string text;
  for (const FieldDescriptor& field : layout.fields) {
    auto type = static_cast<runtime::TypeCode>(field.type);
    // A group's bytes are listed by the fields inside it.
    if (type == runtime::TypeCode::GROUP) continue;
    if (field.offset >= row.size()) continue;
    std::string_view bytes = row.substr(field.offset, field.size);
    uint32_t elements = field.dimensions.empty() ? 1 : field.Elements();
    if (elements <= 1) {
      text += FieldLine(field.label, ValueText(type, bytes));
      continue;
    }
    size_t element_size = field.size / elements;
    for (uint32_t i = 0; i < elements && element_size > 0; ++i) {
      std::string label = field.label + "[" + std::to_string(i + 1) + "]";
      std::string_view element =
          bytes.substr(std::min(bytes.size(), i * element_size), element_size);
      text += FieldLine(label, ValueText(type, element));
    }
  }
  return text;
}

DriverTrace::DriverTrace(TraceSettings settings, platform::FileSystem* fs)
    : settings_(std::move(settings)), fs_(fs) {}

Status DriverTrace::Write(int operation, std::string_view context, int code,
                          std::string_view driver_text, int64_t started_hundredths,
                          const RecordLayout* layout, std::string_view row) {
  if (!settings_.on) return Status::Ok();
  int64_t taken = platform::ElapsedHundredths() - started_hundredths;
  std::string text = FormatTraceLine(operation, context, code, driver_text, taken);
  if (details() && layout != nullptr) text += FormatTraceFields(*layout, row);
  std::unique_ptr<platform::File> file;
  Status s = fs_->Open(TraceFileHostPath(settings_.trace_file),
                       platform::open_mode::kReadWrite | platform::open_mode::kDenyNone,
                       platform::Disposition::kOpenOrCreate, &file);
  // Lines of several processes may meet in one trace file: each appends
  // under a lock on the first byte beyond any text.
  constexpr uint64_t kAppendLock = uint64_t{1} << 39;
  if (s.ok()) s = file->Lock(kAppendLock, 1, platform::LockWait::kWait);
  if (!s.ok()) return s;
  uint64_t end = 0;
  s = file->Size(&end);
  if (s.ok()) s = file->Write(end, text.data(), text.size());
  file->Unlock(kAppendLock, 1);
  return s;
}

}  // namespace tentaria::storage
