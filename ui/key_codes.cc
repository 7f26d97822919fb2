#include "ui/key_codes.h"

#include <charconv>
#include <utility>

namespace tentaria::ui {
namespace {

constexpr std::pair<std::string_view, int> kNamedKeys[] = {
    {"Tab", key::kTab},       {"Enter", key::kEnter},   {"Esc", key::kEsc},
    {"Space", key::kSpace},   {"PgUp", key::kPgUp},     {"PgDn", key::kPgDn},
    {"End", key::kEnd},       {"Home", key::kHome},     {"Left", key::kLeft},
    {"Up", key::kUp},         {"Right", key::kRight},   {"Down", key::kDown},
    {"Insert", key::kInsert}, {"Delete", key::kDelete}, {"Backspace", 8},
};

constexpr std::pair<std::string_view, int> kModifiers[] = {
    {"Shift+", kShiftKey}, {"Ctrl+", kCtrlKey}, {"Alt+", kAltKey}};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

std::optional<int> BaseKey(std::string_view name) {
  for (const auto& [text, code] : kNamedKeys) {
    if (EqualNoCase(name, text)) return code;
  }
  if (name.size() == 1) {
    char c = name[0];
    if (c >= 'a' && c <= 'z') return c - 32;
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return std::nullopt;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
    int n = 0;
    auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), n);
    if (ec == std::errc() && end == name.data() + name.size() && n >= 1 && n <= 12) {
      return key::kF1 + n - 1;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> KeyCodeFromName(std::string_view name) {
  int number = 0;
  auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), number);
  if (!name.empty() && ec == std::errc() && end == name.data() + name.size()) {
    if (number < 0 || number > kKeyCodeMask) return std::nullopt;
    return number;
  }
  int modifiers = 0;
  bool found = true;
  while (found) {
    found = false;
    for (const auto& [prefix, bit] : kModifiers) {
      if (name.size() > prefix.size() && EqualNoCase(name.substr(0, prefix.size()), prefix)) {
        modifiers |= bit;
        name.remove_prefix(prefix.size());
        found = true;
      }
    }
  }
  if (name.empty()) return std::nullopt;
  std::optional<int> base = BaseKey(name);
  if (!base) return std::nullopt;
  return *base | modifiers;
}

std::string KeyName(int code) {
  std::string name;
  for (const auto& [prefix, bit] : kModifiers) {
    if ((code & bit) != 0) name += prefix;
  }
  int base = code & 0xFF;
  for (const auto& [text, number] : kNamedKeys) {
    if (number == base) return name + std::string(text);
  }
  if (base >= key::kF1 && base < key::kF1 + 12) return name + "F" + std::to_string(base - 111);
  if ((base >= 'A' && base <= 'Z') || (base >= '0' && base <= '9')) {
    return name + static_cast<char>(base);
  }
  // A key without a name is written as its whole code, which reads back.
  return std::to_string(code);
}

char KeyCharacter(int code) {
  if ((code & (kCtrlKey | kAltKey)) != 0) return 0;
  int base = code & 0xFF;
  if (base >= 'A' && base <= 'Z') {
    return static_cast<char>((code & kShiftKey) != 0 ? base : base + 32);
  }
  if ((base >= '0' && base <= '9') || base == key::kSpace) return static_cast<char>(base);
  return 0;
}

}  // namespace tentaria::ui
