#include "ui/scenario_script.h"

#include <cctype>

#include "platform/charset.h"

namespace tentaria::ui {
namespace {

using Kind = ScenarioToken::Kind;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

Status LineError(int line, std::string_view message) {
  return Status::Error(1, "line " + std::to_string(line) + ": " + std::string(message));
}

Status Tokenize(std::string_view text, int line, std::vector<ScenarioToken>* tokens) {
  size_t pos = 0;
  while (pos < text.size()) {
    char c = text[pos];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++pos;
      continue;
    }
    // A "#" standing alone begins a comment that runs to the end of the line.
    if (c == '#' && (pos + 1 == text.size() || text[pos + 1] == ' ' || text[pos + 1] == '\t' ||
                     text[pos + 1] == '\r')) {
      break;
    }
    ScenarioToken token;
    if (c == '"') {
      token.kind = Kind::kText;
      std::string utf8;
      ++pos;
      bool closed = false;
      while (pos < text.size()) {
        if (text[pos] == '"') {
          if (pos + 1 < text.size() && text[pos + 1] == '"') {
            utf8.push_back('"');
            pos += 2;
            continue;
          }
          closed = true;
          ++pos;
          break;
        }
        utf8.push_back(text[pos++]);
      }
      if (!closed) return LineError(line, "a text without its closing quote");
      token.text = platform::Utf8ToCp1252(utf8);
    } else {
      size_t end = text.find_first_of(" \t\r\"", pos);
      if (end == std::string_view::npos) end = text.size();
      token.text = platform::Utf8ToCp1252(text.substr(pos, end - pos));
      pos = end;
      if (token.text[0] == '?' || token.text[0] == '#') {
        token.kind = Kind::kControl;
        if (token.text.size() < 2) return LineError(line, "a control reference without a name");
        if (token.text[0] == '#' && !ScenarioToken{Kind::kWord, token.text.substr(1)}.IsNumber()) {
          return LineError(line, "#" + token.text.substr(1) + " is not a control number");
        }
      }
    }
    tokens->push_back(std::move(token));
  }
  return Status::Ok();
}

bool IsControl(const ScenarioToken& token) {
  return token.kind == Kind::kControl || token.kind == Kind::kText;
}

bool IsSigned(const ScenarioToken& token) {
  if (token.kind != Kind::kWord || token.text.empty()) return false;
  std::string_view text = token.text;
  if (text[0] == '-') text.remove_prefix(1);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string_view::npos;
  }
  return ScenarioToken{Kind::kWord, std::string(text)}.IsNumber();
}

bool OneOf(const ScenarioToken& token, std::initializer_list<std::string_view> words) {
  for (std::string_view word : words) {
    if (token.IsWord(word)) return true;
  }
  return false;
}

// The shape of an expectation: "expect" and what follows.
bool ExpectShapeOk(const std::vector<ScenarioToken>& a) {
  if (a.empty()) return false;
  const size_t n = a.size();
  if (a[0].kind == Kind::kWord) {
    if (OneOf(a[0], {"window", "shows", "title", "message", "preview"})) {
      return n == 2 && a[1].kind == Kind::kText;
    }
    if (a[0].IsWord("printed")) return n == 2 && (a[1].kind == Kind::kText || a[1].IsNumber());
    if (a[0].IsWord("no")) {
      return (n == 3 && a[1].IsWord("window") && a[2].kind == Kind::kText) ||
             (n == 2 && a[1].IsWord("message"));
    }
    if (OneOf(a[0], {"windows", "beeps", "setups"})) return n == 2 && a[1].IsNumber();
    return false;
  }
  if (n < 2 || a[1].kind != Kind::kWord) return false;
  if (a[1].IsWord("value")) return n == 3 && a[2].kind == Kind::kText;
  if (OneOf(a[1],
            {"enabled", "disabled", "hidden", "visible", "focused", "checked", "unchecked"})) {
    return n == 2;
  }
  if (a[1].IsWord("rows")) return n == 3 && a[2].IsNumber();
  if (a[1].IsWord("row")) {
    if (n < 4 || !a[2].IsNumber()) return false;
    if (a[3].IsWord("colours")) {
      if (n != 9 || !a[4].IsNumber()) return false;
      for (size_t i = 5; i < 9; ++i) {
        if (!IsSigned(a[i])) return false;
      }
      return true;
    }
    for (size_t i = 3; i < n; ++i) {
      if (a[i].kind != Kind::kText) return false;
    }
    return true;
  }
  return false;
}

// Whether the arguments fit the verb; the text is the usage shown otherwise.
std::string_view Usage(const ScenarioAction& action, bool* ok) {
  const auto& a = action.args;
  const size_t n = a.size();
  const std::string& v = action.verb;
  *ok = false;
  if (v == "window") {
    *ok = n == 1 && a[0].kind == Kind::kText;
    return "window \"title\"";
  }
  if (v == "choose") {
    *ok = n >= 1;
    for (const auto& token : a) *ok = *ok && IsControl(token);
    *ok = *ok && (n == 1 || a[0].kind == Kind::kText);
    return "choose \"menu\" \"item\" ...  or  choose ?Item";
  }
  if (v == "press") {
    *ok = n == 1 && IsControl(a[0]);
    return "press <control>";
  }
  if (v == "type") {
    *ok = n == 2 && IsControl(a[0]) && a[1].kind == Kind::kText;
    return "type <control> \"text\"";
  }
  if (v == "tab") {
    *ok = n == 0 || (n == 1 && a[0].IsWord("back"));
    return "tab  or  tab back";
  }
  if (v == "close" || v == "show") {
    *ok = n == 0;
    return v == "close" ? "close" : "show";
  }
  if (v == "preview") {
    *ok = n == 1 && OneOf(a[0], {"print", "close"});
    return "preview print|close";
  }
  if (v == "pick") {
    *ok = n == 2 && IsControl(a[0]) && (a[1].IsNumber() || a[1].kind == Kind::kText);
    return "pick <control> <number or \"text\">";
  }
  if (v == "scroll") {
    *ok = n == 2 && IsControl(a[0]) &&
          OneOf(a[1], {"up", "down", "pageup", "pagedown", "top", "bottom"});
    return "scroll <control> up|down|pageup|pagedown|top|bottom";
  }
  if (v == "key") {
    *ok = n == 1 && a[0].kind == Kind::kWord;
    return "key <key name>";
  }
  if (v == "answer") {
    *ok = n == 1 && OneOf(a[0], {"ok", "yes", "no", "cancel"});
    return "answer ok|yes|no|cancel";
  }
  if (v == "popup") {
    *ok = n == 1 && (a[0].IsNumber() || a[0].kind == Kind::kText || a[0].IsWord("none"));
    return "popup <number or \"text\" or none>";
  }
  if (v == "resize") {
    *ok = n == 2 && a[0].IsNumber() && a[1].IsNumber();
    return "resize <width> <height>";
  }
  if (v == "wait") {
    if (n == 1 && a[0].kind == Kind::kWord) {
      std::string_view t = a[0].text;
      size_t unit = t.ends_with("ms") ? 2 : t.ends_with("s") ? 1 : 0;
      *ok = unit > 0 && t.size() > unit &&
            ScenarioToken{Kind::kWord, std::string(t.substr(0, t.size() - unit))}.IsNumber();
    }
    return "wait <number>ms  or  wait <number>s";
  }
  if (v == "trace" || v == "events") {
    *ok = n == 1 && OneOf(a[0], {"on", "off"});
    return v == "trace" ? "trace on|off" : "events on|off";
  }
  if (v == "expect") {
    *ok = ExpectShapeOk(a);
    return "expect ... (see the list of expectations)";
  }
  return {};
}

}  // namespace

bool ScenarioToken::IsWord(std::string_view word) const {
  return kind == Kind::kWord && Lower(text) == word;
}

bool ScenarioToken::IsNumber() const {
  if (kind != Kind::kWord || text.empty() || text.size() > 9) return false;
  return text.find_first_not_of("0123456789") == std::string::npos;
}

Status ParseScenario(std::string_view script, std::vector<ScenarioAction>* actions) {
  actions->clear();
  std::vector<ScenarioAction> parsed;
  int line = 0;
  size_t pos = 0;
  while (pos <= script.size()) {
    size_t end = script.find('\n', pos);
    if (end == std::string_view::npos) end = script.size();
    std::string_view text = script.substr(pos, end - pos);
    pos = end + 1;
    ++line;
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) continue;
    if (text[first] == '#' &&
        (first + 1 == text.size() || text[first + 1] == ' ' || text[first + 1] == '\t' ||
         text[first + 1] == '\r' || text[first + 1] == '#')) {
      continue;
    }
    std::vector<ScenarioToken> tokens;
    Status status = Tokenize(text, line, &tokens);
    if (!status.ok()) return status;
    if (tokens.empty()) continue;
    if (tokens[0].kind != Kind::kWord) return LineError(line, "a line begins with an action");
    ScenarioAction action;
    action.line = line;
    action.verb = Lower(tokens[0].text);
    action.args.assign(tokens.begin() + 1, tokens.end());
    bool ok = false;
    std::string_view usage = Usage(action, &ok);
    if (usage.empty()) return LineError(line, "unknown action \"" + tokens[0].text + "\"");
    if (!ok) return LineError(line, "expected: " + std::string(usage));
    parsed.push_back(std::move(action));
  }
  *actions = std::move(parsed);
  return Status::Ok();
}

}  // namespace tentaria::ui
