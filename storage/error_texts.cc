#include "storage/error_texts.h"

#include <array>
#include <string_view>

#include "runtime/error_state.h"

namespace tentaria::storage {
namespace {

struct CodeText {
  int code;
  std::string_view text;
};

// The string table of the runtime; the trailing blank of 78 belongs to it.
constexpr std::array kTexts = {
    CodeText{2, "File Not Found"},
    CodeText{3, "Path Not Found"},
    CodeText{4, "Too Many Open Files"},
    CodeText{5, "Access Denied"},
    CodeText{7, "Memory Corrupted"},
    CodeText{8, "Insufficient Memory"},
    CodeText{30, "Entry Not Found"},
    CodeText{32, "File Is Already Locked"},
    CodeText{33, "Record Not Available"},
    CodeText{35, "Record Not Found"},
    CodeText{36, "Invalid Data File"},
    CodeText{37, "File Not Open"},
    CodeText{38, "Invalid Key File"},
    CodeText{40, "Creates Duplicate Key"},
    CodeText{43, "Record Is Already Held"},
    CodeText{45, "Invalid Filename"},
    CodeText{46, "Key File Must Be Rebuilt"},
    CodeText{47, "Invalid Record Declaration"},
    CodeText{48, "Unable To Log Transaction"},
    CodeText{52, "File Already Open"},
    CodeText{53, "Invalid Mobrel File"},
    CodeText{54, "No Create Attribute"},
    CodeText{55, "File Must Be Shared"},
    CodeText{56, "LOGOUT Already Active"},
    CodeText{57, "Invalid Memo File"},
    CodeText{63, "Exclusive Access Required"},
    CodeText{64, "Sharing Violation"},
    CodeText{65, "Unable To ROLLBACK Transaction"},
    CodeText{73, "Memo File Missing"},
    CodeText{75, "Invalid Field Type Descriptor"},
    CodeText{76, "Invalid Index String"},
    CodeText{77, "Unable To Access Index"},
    CodeText{78, "Invalid Number Of Parameters "},
    CodeText{79, "Unsupported Data Type In File"},
    CodeText{80, "Unsupported File Driver Function"},
    CodeText{81, "Unknown Error Posted"},
    CodeText{88, "Invalid Key Length"},
    CodeText{89, "Record Changed By Another Station"},
    CodeText{90, "File System Error"},
    CodeText{91, "LOGOUT Not Active"},
    CodeText{92, "BUILD In Progress"},
    CodeText{93, "BUILD Cancelled"},
    CodeText{95, "Server Not Found"},
    CodeText{96, "Remote Object Not Found"},
};

std::string_view OwnText(int code) {
  for (const CodeText& entry : kTexts) {
    if (entry.code == code) return entry.text;
  }
  return {};
}

}  // namespace

std::string ErrorText(int code) {
  if (code == error::kNone) return {};
  std::string_view own = OwnText(code);
  if (!own.empty()) return std::string(own);
  return std::string(OwnText(error::kUnknownError)) + ": " + std::to_string(code);
}

ErrorReport CurrentErrorReport() {
  const runtime::ErrorState& state = runtime::CurrentError();
  ErrorReport report;
  report.code = state.code;
  report.text = ErrorText(state.code);
  report.file_error_code = state.driver_code;
  report.file_error = state.driver_text;
  report.file = state.file;
  return report;
}

}  // namespace tentaria::storage
