// The driver's trace of file operations.
//
// The switches come from section "RTTAVRIN" of the user profile when a file
// is opened: "Profile" (non-zero: trace this file), "TraceFile" (the trace
// file, at most 260 characters, default "TAVRIN.LOG") and "Details"
// (non-zero: each traced operation also lists the row, field by field).
// For a file declared ENCRYPT, "Details" counts only when the driver
// options string holds "ALLOWDETAILS" (in any case), so that enciphered
// rows do not reach a plain log by accident.
//
// A trace file named without a folder or drive lands in the program's
// state folder ($XDG_STATE_HOME/tentaria/), where a user looks for logs,
// never in the guide's read-only folder; a name with a drive or a folder is
// mapped like every other runtime name.  Lines are appended, Windows-1252
// as the runtime keeps its text, ending in "\r\n":
//
//   NAME CONTEXT [Error: TEXT |File Error: TEXT ]Time Taken: S.HH secs
//   FIELDLABEL________:value          (with Details, one line per field)
//
// NAME is the operation's name, CONTEXT what the driver says about the call
// (the file, a key, a pointer); the error part appears only for a failure:
// "File Error: " with the driver's own text for code 90, else "Error: "
// with the code's text.  Field values: BYTE "%02XH"; STRING, CSTRING and
// PSTRING "'%s'"; DATE "%02d %s %d (%ld)" (day, month name, year, day
// number) or "Invalid date (%ld)"; TIME "%02d:%02d:%02d.%02d (%ld)" or
// "Invalid time (%ld)"; any other type its bytes as "%02X" each.  An array
// lists each element as LABEL[i] (from 1).
#ifndef TENTARIA_STORAGE_DRIVER_TRACE_H_
#define TENTARIA_STORAGE_DRIVER_TRACE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "platform/status.h"
#include "storage/table_definition.h"

namespace tentaria::storage {

inline constexpr std::string_view kTraceSection = "RTTAVRIN";
inline constexpr std::string_view kDefaultTraceFile = "TAVRIN.LOG";
inline constexpr size_t kMaxTraceFileName = 260;

struct TraceSettings {
  bool on = false;
  std::string trace_file = std::string(kDefaultTraceFile);  // a runtime name
  bool details = false;
};

// Reads the switches for a file with these attributes from the user
// profile.
TraceSettings ReadTraceSettings(bool encrypted, std::string_view driver_options);

// The host path of a trace file name (see above).
std::string TraceFileHostPath(std::string_view name);

// One operation's line, "\r\n" included.  code 0 is success; driver_text
// is the driver's own text for code 90.
std::string FormatTraceLine(int operation, std::string_view context, int code,
                            std::string_view driver_text, int64_t hundredths);
// The row's fields, one line each.
std::string FormatTraceFields(const RecordLayout& layout, std::string_view row);

// The trace of one open file.
class DriverTrace {
 public:
  explicit DriverTrace(TraceSettings settings,
                       platform::FileSystem* fs = platform::FileSystem::Default());

  bool on() const { return settings_.on; }
  bool details() const { return settings_.on && settings_.details; }
  const TraceSettings& settings() const { return settings_; }

  // Appends an operation that began at started_hundredths (on the runtime
  // clock, platform::ElapsedHundredths()); with Details and a layout, the
  // row follows.  Nothing is written when the trace is off.  A trace file
  // that cannot be written is reported but never fails the operation.
  Status Write(int operation, std::string_view context, int code, std::string_view driver_text,
               int64_t started_hundredths, const RecordLayout* layout = nullptr,
               std::string_view row = {});

 private:
  TraceSettings settings_;
  platform::FileSystem* fs_;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_DRIVER_TRACE_H_
