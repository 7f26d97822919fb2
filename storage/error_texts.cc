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

// The usual texts of the operating system's error numbers, kept under
// kSystemErrorTextBase + the number.  Numbers the system leaves unassigned
// have none.
constexpr std::array kSystemTexts = {
    CodeText{1, "Invalid Function"},
    CodeText{2, "File Not Found"},
    CodeText{3, "Path Not Found"},
    CodeText{4, "Too Many Open Files"},
    CodeText{5, "Access Denied"},
    CodeText{6, "Invalid Handle"},
    CodeText{7, "Memory Control Blocks Destroyed"},
    CodeText{8, "Insufficient Memory"},
    CodeText{9, "Invalid Memory Block Address"},
    CodeText{10, "Invalid Environment"},
    CodeText{11, "Invalid Format"},
    CodeText{12, "Invalid Access Code"},
    CodeText{13, "Invalid Data"},
    CodeText{14, "Not Enough Storage"},
    CodeText{15, "Invalid Drive"},
    CodeText{16, "Cannot Remove Current Directory"},
    CodeText{17, "Not Same Device"},
    CodeText{18, "No More Files"},
    CodeText{19, "Disk Write Protected"},
    CodeText{20, "Unknown Unit"},
    CodeText{21, "Drive Not Ready"},
    CodeText{22, "Unknown Command"},
    CodeText{23, "Data Error (CRC)"},
    CodeText{24, "Bad Request Structure Length"},
    CodeText{25, "Seek Error"},
    CodeText{26, "Unknown Media Type"},
    CodeText{27, "Sector Not Found"},
    CodeText{28, "Printer Out Of Paper"},
    CodeText{29, "Write Fault"},
    CodeText{30, "Read Fault"},
    CodeText{31, "General Failure"},
    CodeText{32, "Sharing Violation"},
    CodeText{33, "Lock Violation"},
    CodeText{34, "Invalid Disk Change"},
    CodeText{35, "FCB Unavailable"},
    CodeText{36, "Sharing Buffer Overflow"},
    CodeText{38, "Reached End Of File"},
    CodeText{39, "Disk Full"},
    CodeText{50, "Request Not Supported"},
    CodeText{51, "Remote Computer Not Listening"},
    CodeText{52, "Duplicate Name On Network"},
    CodeText{53, "Network Path Not Found"},
    CodeText{54, "Network Busy"},
    CodeText{55, "Network Device No Longer Exists"},
    CodeText{56, "Network Command Limit Reached"},
    CodeText{57, "Network Adapter Hardware Error"},
    CodeText{58, "Incorrect Response From Network"},
    CodeText{59, "Unexpected Network Error"},
    CodeText{60, "Incompatible Remote Adapter"},
    CodeText{61, "Print Queue Full"},
    CodeText{62, "No Space For Print File"},
    CodeText{63, "Print File Deleted"},
    CodeText{64, "Network Name Deleted"},
    CodeText{65, "Network Access Denied"},
    CodeText{66, "Network Device Type Incorrect"},
    CodeText{67, "Network Name Not Found"},
    CodeText{68, "Network Name Limit Exceeded"},
    CodeText{69, "Network Session Limit Exceeded"},
    CodeText{70, "Sharing Paused"},
    CodeText{71, "Network Request Not Accepted"},
    CodeText{72, "Redirection Paused"},
    CodeText{80, "File Exists"},
    CodeText{82, "Cannot Make Directory Entry"},
    CodeText{83, "Critical Error"},
    CodeText{84, "Too Many Redirections"},
    CodeText{85, "Duplicate Redirection"},
    CodeText{86, "Invalid Password"},
    CodeText{87, "Invalid Parameter"},
    CodeText{88, "Network Write Fault"},
    CodeText{89, "No Process Slots"},
    CodeText{90, "System Error"},
    CodeText{91, "Unknown Error"},
};

template <size_t N>
std::string_view Find(const std::array<CodeText, N>& table, int code) {
  for (const CodeText& entry : table) {
    if (entry.code == code) return entry.text;
  }
  return {};
}

std::string_view OwnText(int code) {
  if (code > kSystemErrorTextBase) return Find(kSystemTexts, code - kSystemErrorTextBase);
  return Find(kTexts, code);
}

}  // namespace

std::string ErrorText(int code) {
  if (code == error::kNone) return {};
  std::string_view own = OwnText(code);
  if (!own.empty()) return std::string(own);
  return std::string(OwnText(error::kUnknownError)) + ": " + std::to_string(code);
}

std::string SystemErrorText(int system_error) {
  return std::string(Find(kSystemTexts, system_error));
}

std::string DriverErrorText(const Status& status) {
  if (!status.message().empty()) return status.message();
  return SystemErrorText(status.code());
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
