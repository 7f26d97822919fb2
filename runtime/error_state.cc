#include "runtime/error_state.h"

#include <cstdio>
#include <string>
#include <utility>

namespace tentaria::runtime {
namespace {

ErrorState& State() {
  static ErrorState state;
  return state;
}

void DefaultHandler(int number, std::string_view text) {
  std::fprintf(stderr, "run-time error %d: %.*s\n", number, static_cast<int>(text.size()),
               text.data());
}

RuntimeErrorHandler& Handler() {
  static RuntimeErrorHandler handler = DefaultHandler;
  return handler;
}

}  // namespace

const ErrorState& CurrentError() { return State(); }
int ErrorCode() { return State().code; }

void SetError(int code) { State() = ErrorState{code, 0, {}, {}}; }

void SetFileError(int code, std::string_view file) {
  State() = ErrorState{code, 0, {}, std::string(file)};
}

void SetDriverError(int code, int driver_code, std::string_view driver_text,
                    std::string_view file) {
  State() = ErrorState{code, driver_code, std::string(driver_text), std::string(file)};
}

void ClearError() { State() = ErrorState{}; }

void RaiseRuntimeError(int number, std::string_view text) { Handler()(number, text); }

RuntimeErrorHandler SetRuntimeErrorHandler(RuntimeErrorHandler handler) {
  RuntimeErrorHandler previous = std::move(Handler());
  Handler() = handler ? std::move(handler) : RuntimeErrorHandler(DefaultHandler);
  return previous;
}

}  // namespace tentaria::runtime
