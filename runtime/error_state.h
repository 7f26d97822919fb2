// The runtime's error state and run-time error reports.
//
// After each runtime operation the error state holds a code (0 for success),
// the driver's own code and text when a driver set it, and the name of the
// file that set it.  The texts that go with the codes belong to the file
// interface; this unit only keeps the state, which is process-wide and used
// by one thread at a time.
//
// A run-time error is a fault in how the program uses the runtime (a value
// of a type that has no value form, a mistyped parameter).  It is reported
// through a replaceable handler; the default handler writes the report to
// standard error.  The handler decides whether the program goes on.
#ifndef TENTARIA_RUNTIME_ERROR_STATE_H_
#define TENTARIA_RUNTIME_ERROR_STATE_H_

#include <functional>
#include <string>
#include <string_view>

namespace tentaria::runtime {

struct ErrorState {
  int code = 0;
  int driver_code = 0;
  std::string driver_text;
  std::string file;  // the file that set the error, empty when none
};

const ErrorState& CurrentError();
int ErrorCode();
void SetError(int code);
void SetFileError(int code, std::string_view file);
void SetDriverError(int code, int driver_code, std::string_view driver_text, std::string_view file);
void ClearError();

// Run-time errors.
inline constexpr int kStringStackError = 501;
inline constexpr int kParameterTypingError = 502;

using RuntimeErrorHandler = std::function<void(int number, std::string_view text)>;
void RaiseRuntimeError(int number, std::string_view text);
// Replaces the handler; returns the previous one.  An empty handler
// restores the default.
RuntimeErrorHandler SetRuntimeErrorHandler(RuntimeErrorHandler handler);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_ERROR_STATE_H_
