#include "views/picture_bridge.h"

#include "runtime/error_state.h"

namespace tentaria::views {
namespace {

void ReportUnavailable(std::string_view function) {
  std::string text(function);
  text += ": display pictures are not available";
  runtime::RaiseRuntimeError(kPictureUnavailableError, text);
}

}  // namespace

std::optional<std::string> FormatWithPicture(std::string_view, double, bool, std::string_view) {
  ReportUnavailable("FORMAT");
  return std::nullopt;
}

std::optional<std::string> DeformatWithPicture(std::string_view, std::string_view) {
  ReportUnavailable("DEFORMAT");
  return std::nullopt;
}

}  // namespace tentaria::views
