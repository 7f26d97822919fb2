// The runtime's error codes and their texts, and the query of the current
// error as the program shows it.
//
// Code 90 means that the driver reported an error of its own: its text is
// "File System Error", and the driver's code and text travel beside it in
// the error state.  A code with no text of its own is shown with the text
// of code 81 followed by the number.
//
// The same table carries the texts of operating-system errors under 300 +
// the system's error number: 301 "Invalid Function" to 391 "Unknown
// Error".  They supply the driver's own text for code 90 when the driver
// has no text of its own for a failure (DriverErrorText).
#ifndef TENTARIA_STORAGE_ERROR_TEXTS_H_
#define TENTARIA_STORAGE_ERROR_TEXTS_H_

#include <string>

#include "platform/status.h"

namespace tentaria::storage {

namespace error {
inline constexpr int kNone = 0;
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kMemoryCorrupted = 7;
inline constexpr int kInsufficientMemory = 8;
inline constexpr int kEntryNotFound = 30;
inline constexpr int kFileIsAlreadyLocked = 32;
inline constexpr int kRecordNotAvailable = 33;
inline constexpr int kRecordNotFound = 35;
inline constexpr int kInvalidDataFile = 36;
inline constexpr int kFileNotOpen = 37;
inline constexpr int kInvalidKeyFile = 38;
inline constexpr int kCreatesDuplicateKey = 40;
inline constexpr int kRecordIsAlreadyHeld = 43;
inline constexpr int kInvalidFilename = 45;
inline constexpr int kKeyFileMustBeRebuilt = 46;
inline constexpr int kInvalidRecordDeclaration = 47;
inline constexpr int kUnableToLogTransaction = 48;
inline constexpr int kFileAlreadyOpen = 52;
inline constexpr int kNoCreateAttribute = 54;
inline constexpr int kFileMustBeShared = 55;
inline constexpr int kLogoutAlreadyActive = 56;
inline constexpr int kInvalidMemoFile = 57;
inline constexpr int kExclusiveAccessRequired = 63;
inline constexpr int kSharingViolation = 64;
inline constexpr int kUnableToRollback = 65;
inline constexpr int kInvalidNumberOfParameters = 78;
inline constexpr int kUnsupportedDataType = 79;
inline constexpr int kUnsupportedFunction = 80;
inline constexpr int kUnknownError = 81;
inline constexpr int kInvalidKeyLength = 88;
inline constexpr int kRecordChanged = 89;
inline constexpr int kFileSystemError = 90;
inline constexpr int kLogoutNotActive = 91;
inline constexpr int kBuildInProgress = 92;
inline constexpr int kBuildCancelled = 93;
}  // namespace error

// The text of an error code; "" for 0.
std::string ErrorText(int code);

// Operating-system errors 1 to 91 have texts under this base + the number.
inline constexpr int kSystemErrorTextBase = 300;
// The text of a system error number (1 to 91); "" for one without a text.
std::string SystemErrorText(int system_error);
// The driver's own text for a failure it reports as code 90: the status's
// message (the host's text, or the internal fault and its number), or, when
// the status carries none, the text of the system error of its code.
std::string DriverErrorText(const Status& status);

// The current error as the program reports it.
struct ErrorReport {
  int code = 0;
  std::string text;         // ErrorText(code)
  int file_error_code = 0;  // the driver's own code, set with code 90
  std::string file_error;   // the driver's own text
  std::string file;         // the file that set the error
};
ErrorReport CurrentErrorReport();

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_ERROR_TEXTS_H_
