// Status: the cheap result value of every platform and runtime service.
//
// A status carries the runtime's error code (0 for success; the codes are
// the runtime's numbered errors: 2 file not found, 5 access denied, ...) and,
// for diagnostics, a message naming what failed.  Services never throw
// across layers; they return a Status or set the runtime's error state.
#ifndef TENTARIA_PLATFORM_STATUS_H_
#define TENTARIA_PLATFORM_STATUS_H_

#include <string>
#include <utility>

namespace tentaria {

class Status {
 public:
  Status() = default;

  static Status Ok() { return Status(); }
  static Status Error(int code, std::string message = {}) {
    return Status(code, std::move(message));
  }

  bool ok() const { return code_ == 0; }
  int code() const { return code_; }
  const std::string& message() const { return message_; }

  // "code N: message", or "ok".
  std::string ToString() const;

 private:
  Status(int code, std::string message) : code_(code), message_(std::move(message)) {}

  int code_ = 0;
  std::string message_;
};

// The runtime error codes that the platform layer itself produces.
namespace error_code {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kInsufficientMemory = 8;
inline constexpr int kFileSystemError = 90;
// The system's own number for unlocking a range that is not locked.
inline constexpr int kNotLocked = 158;
}  // namespace error_code

}  // namespace tentaria

#endif  // TENTARIA_PLATFORM_STATUS_H_
