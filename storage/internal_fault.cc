#include "storage/internal_fault.h"

#include <charconv>
#include <string>
#include <string_view>

namespace tentaria::storage {

namespace {
constexpr std::string_view kPrefix = "internal fault ";
}  // namespace

Status InternalFault(int number) {
  return Status::Error(tentaria::error_code::kFileSystemError,
                       std::string(kPrefix) + std::to_string(number));
}

int InternalFaultNumber(const Status& status) {
  if (status.code() != tentaria::error_code::kFileSystemError) return 0;
  std::string_view text = status.message();
  if (!text.starts_with(kPrefix)) return 0;
  text.remove_prefix(kPrefix.size());
  int number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number;
}

}  // namespace tentaria::storage
