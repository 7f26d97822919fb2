#include "framework/ini_manager.h"

#include <charconv>
#include <optional>
#include <utility>
#include <vector>

#include "platform/profile.h"

namespace tentaria::framework {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A whole decimal number, or none (a hand-edited entry that does not read
// as one leaves the window as designed).
std::optional<int> WholeNumber(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

std::string IniManager::TryFetch(std::string_view section, std::string_view entry) const {
  return platform::ReadPrivateProfileString(section, entry, kIniUnknown, FILENAME);
}

std::string IniManager::Fetch(std::string_view section, std::string_view entry) const {
  std::string value = TryFetch(section, entry);
  if (value == kIniUnknown) value.clear();
  return value;
}

Status IniManager::Update(std::string_view section, std::string_view entry,
                          std::string_view value) const {
  if (!platform::WritePrivateProfileString(section, entry, value, FILENAME)) {
    return Status::Error(error_code::kAccessDenied,
                         "cannot write " + std::string(entry) + " to " + FILENAME);
  }
  return Status::Ok();
}

void IniManager::Fetch(std::string_view procedure, ui::Window& window, bool resizable) const {
  if (EqualNoCase(Fetch(procedure, "Maximize"), "Yes")) {
    window.maximized = true;
    return;
  }
  auto apply = [&](std::string_view entry, int* target, bool positive) {
    std::optional<int> value = WholeNumber(Fetch(procedure, entry));
    if (value && (!positive || *value > 0)) *target = *value;
  };
  apply("XPos", &window.x, false);
  apply("YPos", &window.y, false);
  if (resizable && window.resizable) {
    // A size saved before the window's limits changed comes back within
    // them.
    apply("Width", &window.width, true);
    apply("Height", &window.height, true);
    window.width = window.LimitWidth(window.width);
    window.height = window.LimitHeight(window.height);
  }
}

Status IniManager::Update(std::string_view procedure, const ui::Window& window,
                          bool resizable) const {
  Status status = Update(procedure, "Maximize", window.maximized ? "Yes" : "No");
  if (!status.ok() || window.maximized) return status;
  std::vector<std::pair<std::string_view, int>> entries = {{"XPos", window.x}, {"YPos", window.y}};
  if (resizable && window.resizable) {
    entries.emplace_back("Width", window.width);
    entries.emplace_back("Height", window.height);
  }
  for (const auto& [entry, value] : entries) {
    status = Update(procedure, entry, std::to_string(value));
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

}  // namespace tentaria::framework
