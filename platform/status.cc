#include "platform/status.h"

namespace tentaria {

std::string Status::ToString() const {
  if (ok()) return "ok";
  std::string text = "code " + std::to_string(code_);
  if (!message_.empty()) text += ": " + message_;
  return text;
}

}  // namespace tentaria
