#include "storage/declaration_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/picture_compile.h"
#include "runtime/value_types.h"
#include "storage/declaration_writer.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;

constexpr uint32_t kMaxU16 = 0xFFFF;

Status LineError(size_t line, const std::string& message) {
  return Status::Error(error_code::kInvalidRecordDeclaration,
                       "line " + std::to_string(line) + ": " + message);
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// Labels are compared without regard to ASCII case, as the system's
// names are.
bool SameLabel(std::string_view a, std::string_view b) { return Upper(a) == Upper(b); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// One clause of a line: a word and, when it has them, its arguments in
// parentheses: ",DUP" is {"DUP"}, ",NAME('X')" is {"NAME", {"X"}}.
struct Clause {
  std::string word;  // upper-cased
  std::vector<std::string> arguments;
  bool has_arguments = false;
};

// What follows a line's label: the head clause (FILE, KEY(...), LONG ...)
// and the clauses after it, each after a comma.
class ClauseScanner {
 public:
  explicit ClauseScanner(std::string_view text) : text_(text) {}

  // Reads the next clause; the first one without a leading comma.
  Status Next(size_t line, Clause* clause) {
    if (!first_) {
      if (pos_ >= text_.size() || text_[pos_] != ',') {
        return LineError(line, "expected ',' before '" + std::string(text_.substr(pos_)) + "'");
      }
      ++pos_;
    }
    first_ = false;
    SkipBlanks();
    size_t start = pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    if (pos_ == start) return LineError(line, "expected a word at '" + Rest() + "'");
    clause->word = Upper(text_.substr(start, pos_ - start));
    clause->arguments.clear();
    clause->has_arguments = pos_ < text_.size() && text_[pos_] == '(';
    if (clause->has_arguments) {
      ++pos_;
      Status s = Arguments(line, &clause->arguments);
      if (!s.ok()) return s;
    }
    SkipBlanks();
    return Status::Ok();
  }

  bool AtEnd() const { return pos_ >= text_.size(); }

 private:
  static bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }

  std::string Rest() const { return std::string(text_.substr(pos_)); }

  // The arguments up to the closing parenthesis: quoted texts (quotes
  // doubled inside), pictures (from '@' up to the ')' that ends the clause)
  // and bare words.
  Status Arguments(size_t line, std::vector<std::string>* arguments) {
    for (;;) {
      SkipBlanks();
      std::string argument;
      if (pos_ < text_.size() && text_[pos_] == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= text_.size()) return LineError(line, "a quoted text is not closed");
          char c = text_[pos_++];
          if (c != '\'') {
            argument.push_back(c);
          } else if (pos_ < text_.size() && text_[pos_] == '\'') {
            argument.push_back('\'');
            ++pos_;
          } else {
            break;
          }
        }
      } else if (pos_ < text_.size() && text_[pos_] == '@') {
        // A picture may hold commas and parentheses of its own.
        size_t close = pos_;
        for (;;) {
          close = text_.find(')', close);
          if (close == std::string_view::npos) return LineError(line, "a picture is not closed");
          if (close + 1 == text_.size() || text_[close + 1] == ',') break;
          ++close;
        }
        argument = text_.substr(pos_, close - pos_);
        pos_ = close;
      } else {
        size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != ')') ++pos_;
        argument = Trimmed(text_.substr(start, pos_ - start));
      }
      arguments->push_back(std::move(argument));
      SkipBlanks();
      if (pos_ >= text_.size()) return LineError(line, "')' missing");
      char c = text_[pos_++];
      if (c == ')') return Status::Ok();
      if (c != ',') return LineError(line, std::string("unexpected '") + c + "'");
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  bool first_ = true;
};

Status Number(size_t line, std::string_view what, const std::string& text, uint32_t low,
              uint32_t high, uint32_t* value) {
  uint64_t n = 0;
  bool valid = !text.empty() && text.size() <= 10;
  for (char c : text) {
    if (c < '0' || c > '9') valid = false;
    n = n * 10 + static_cast<uint32_t>(c - '0');
  }
  if (!valid || n < low || n > high) {
    return LineError(line, std::string(what) + " must be a number from " + std::to_string(low) +
                               " to " + std::to_string(high) + ", not '" + text + "'");
  }
  *value = static_cast<uint32_t>(n);
  return Status::Ok();
}

Status ArgumentCount(size_t line, const Clause& clause, size_t low, size_t high) {
  size_t n = clause.has_arguments ? clause.arguments.size() : 0;
  if (n < low || n > high) {
    return LineError(line, clause.word + " takes " +
                               (low == high ? std::to_string(low)
                                            : std::to_string(low) + " to " + std::to_string(high)) +
                               " argument" + (high == 1 ? "" : "s"));
  }
  return Status::Ok();
}

// A line split into its label and the rest; a line without a blank is a
// bare word (RECORD, END).
struct SplitLine {
  std::string label;
  std::string_view rest;
};

std::optional<SplitLine> SplitLabel(std::string_view text) {
  size_t blank = text.find_first_of(" \t");
  if (blank == std::string_view::npos) return std::nullopt;
  return SplitLine{std::string(text.substr(0, blank)), Trimmed(text.substr(blank))};
}

class Reader {
 public:
  explicit Reader(std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(Trimmed(line));
      start = end + 1;
    }
  }

  Status Read(std::string* label, FileDescriptor* file) {
    Status s = FileLine(label, file);
    while (s.ok() && !IsWord("RECORD")) s = KeyOrMemoLine(file);
    if (s.ok()) ++next_;
    while (s.ok() && !IsWord("END")) s = FieldLine(file);
    if (!s.ok()) return s;
    size_t record_end = next_ + 1;
    ++next_;
    if (!IsWord("END")) {
      return next_ < lines_.size() ? LineError(next_ + 1, "expected END, closing the file")
                                   : LineError(LastLine(), "the declaration ends before its END");
    }
    ++next_;
    for (; next_ < lines_.size(); ++next_) {
      if (!lines_[next_].empty()) return LineError(next_ + 1, "text after the file's END");
    }
    s = ResolveKeys(file);
    if (!s.ok()) return s;
    file->layout.record_size = static_cast<uint16_t>(record_end_offset_);
    s = ValidateDefinition(*file, error_code::kInvalidRecordDeclaration);
    if (!s.ok()) return LineError(record_end, s.message());
    return Status::Ok();
  }

 private:
  struct PendingComponent {
    size_t line;
    std::string label;
  };

  // Whether the next line, skipping blank ones, is this bare word.  At the
  // end of the text it is an error, reported by the caller's next read.
  bool IsWord(std::string_view word) {
    SkipEmpty();
    return next_ < lines_.size() && Upper(lines_[next_]) == word;
  }

  // The number of the last line that holds text (1 for an empty text).
  size_t LastLine() const {
    size_t last = lines_.size();
    while (last > 1 && lines_[last - 1].empty()) --last;
    return last;
  }

  void SkipEmpty() {
    while (next_ < lines_.size() && lines_[next_].empty()) ++next_;
  }

  // The next non-empty line, split; *line_number is its number.
  Status TakeLine(std::string_view expected, SplitLine* split, size_t* line_number) {
    SkipEmpty();
    if (next_ >= lines_.size()) {
      return LineError(lines_.size(),
                       "the declaration ends where " + std::string(expected) + " was expected");
    }
    *line_number = next_ + 1;
    std::optional<SplitLine> parts = SplitLabel(lines_[next_]);
    if (!parts) {
      return LineError(*line_number, "expected " + std::string(expected) + ", not '" +
                                         std::string(lines_[next_]) + "'");
    }
    ++next_;
    *split = std::move(*parts);
    return Status::Ok();
  }

  Status FileLine(std::string* label, FileDescriptor* file) {
    SplitLine split;
    size_t line = 0;
    Status s = TakeLine("the FILE line", &split, &line);
    if (!s.ok()) return s;
    ClauseScanner scanner(split.rest);
    Clause clause;
    s = scanner.Next(line, &clause);
    if (!s.ok()) return s;
    if (clause.word != "FILE" || clause.has_arguments) {
      return LineError(line, "expected FILE after the label, not " + clause.word);
    }
    *label = split.label;
    bool has_driver = false;
    while (!scanner.AtEnd()) {
      s = scanner.Next(line, &clause);
      if (!s.ok()) return s;
      const std::string& word = clause.word;
      if (word == "DRIVER") {
        s = ArgumentCount(line, clause, 1, 2);
        if (!s.ok()) return s;
        file->driver = clause.arguments[0];
        file->driver_options = clause.arguments.size() > 1 ? clause.arguments[1] : "";
        has_driver = true;
      } else if (word == "OWNER") {
        // The password itself is never part of the text.
      } else if (word == "NAME") {
        s = ArgumentCount(line, clause, 1, 1);
        if (!s.ok()) return s;
        file->name = clause.arguments[0];
      } else if (word == "CREATE" || word == "ENCRYPT" || word == "RECLAIM" || word == "THREAD") {
        if (clause.has_arguments) return LineError(line, word + " takes no arguments");
        file->attributes |= word == "CREATE"    ? file_attribute::CREATE
                            : word == "ENCRYPT" ? file_attribute::ENCRYPT
                            : word == "RECLAIM" ? file_attribute::RECLAIM
                                                : file_attribute::THREAD;
      } else {
        return LineError(line, "unknown file attribute '" + word + "'");
      }
    }
    if (!has_driver) return LineError(line, "the FILE line names no DRIVER");
    return Status::Ok();
  }

  Status KeyOrMemoLine(FileDescriptor* file) {
    SplitLine split;
    size_t line = 0;
    Status s = TakeLine("a KEY, INDEX, MEMO or BLOB line, or RECORD", &split, &line);
    if (!s.ok()) return s;
    ClauseScanner scanner(split.rest);
    Clause head;
    s = scanner.Next(line, &head);
    if (!s.ok()) return s;
    if (head.word == "KEY" || head.word == "INDEX")
      return KeyLine(line, split, head, scanner, file);
    if (head.word == "MEMO" || head.word == "BLOB") {
      return MemoLine(line, split, head, scanner, file);
    }
    return LineError(line, "expected KEY, INDEX, MEMO or BLOB, not " + head.word);
  }

  Status KeyLine(size_t line, const SplitLine& split, const Clause& head, ClauseScanner& scanner,
                 FileDescriptor* file) {
    if (file->keys.size() >= kMaxKeys) return LineError(line, "too many keys");
    KeyDescriptor key;
    key.label = split.label;
    if (head.word == "INDEX") key.attributes |= key_attribute::INDEX;
    if (!head.has_arguments || head.arguments.empty()) {
      return LineError(line, "a key needs its components in parentheses");
    }
    std::vector<PendingComponent> components;
    for (const std::string& argument : head.arguments) {
      std::string_view label = argument;
      KeyComponent component;
      if (!label.empty() && (label.front() == '+' || label.front() == '-')) {
        if (label.front() == '-') component.attributes = kComponentDescending;
        label.remove_prefix(1);
      }
      if (label.empty()) return LineError(line, "a key component names no field");
      key.components.push_back(component);
      components.push_back({line, std::string(label)});
    }
    while (!scanner.AtEnd()) {
      Clause clause;
      Status s = scanner.Next(line, &clause);
      if (!s.ok()) return s;
      const std::string& word = clause.word;
      if (word == "NAME") {
        s = ArgumentCount(line, clause, 1, 1);
        if (!s.ok()) return s;
        key.external_name = clause.arguments[0];
        continue;
      }
      uint32_t bit = word == "DUP"       ? key_attribute::DUP
                     : word == "OPT"     ? key_attribute::OPT
                     : word == "NOCASE"  ? key_attribute::NOCASE
                     : word == "PRIMARY" ? key_attribute::PRIMARY
                                         : 0;
      if (bit == 0) return LineError(line, "unknown key attribute '" + word + "'");
      if (clause.has_arguments) return LineError(line, word + " takes no arguments");
      key.attributes |= bit;
    }
    file->keys.push_back(std::move(key));
    pending_components_.push_back(std::move(components));
    return Status::Ok();
  }

  Status MemoLine(size_t line, const SplitLine& split, const Clause& head, ClauseScanner& scanner,
                  FileDescriptor* file) {
    if (file->memos.size() >= kMaxMemos) return LineError(line, "too many memos");
    MemoDescriptor memo;
    memo.label = split.label;
    Status s;
    if (head.word == "MEMO") {
      s = ArgumentCount(line, head, 1, 1);
      uint32_t size = 0;
      if (s.ok()) s = Number(line, "a memo's size", head.arguments[0], 0, kMaxU16, &size);
      if (!s.ok()) return s;
      memo.size = static_cast<uint16_t>(size);
    } else {
      if (head.has_arguments) return LineError(line, "BLOB takes no arguments");
      memo.attributes |= memo_attribute::BLOB;
    }
    while (!scanner.AtEnd()) {
      Clause clause;
      s = scanner.Next(line, &clause);
      if (!s.ok()) return s;
      if (clause.word == "NAME") {
        s = ArgumentCount(line, clause, 1, 1);
        if (!s.ok()) return s;
        memo.external_name = clause.arguments[0];
      } else if (clause.word == "BINARY" && !clause.has_arguments) {
        memo.attributes |= memo_attribute::BINARY;
      } else {
        return LineError(line, "unknown memo attribute '" + clause.word + "'");
      }
    }
    file->memos.push_back(std::move(memo));
    return Status::Ok();
  }

  // The bytes of one element of a field of this type, from its head
  // clause; sets the digits, string length and picture it gives.
  static Status ElementSize(size_t line, const Clause& head, TypeCode type, FieldDescriptor* field,
                            uint32_t* size) {
    Status s;
    switch (type) {
      case TypeCode::DECIMAL:
      case TypeCode::PDECIMAL: {
        s = ArgumentCount(line, head, 2, 2);
        uint32_t digits = 0;
        uint32_t decimals = 0;
        if (s.ok()) s = Number(line, "a decimal's digits", head.arguments[0], 1, 31, &digits);
        if (s.ok()) s = Number(line, "a decimal's places", head.arguments[1], 0, digits, &decimals);
        if (!s.ok()) return s;
        field->digits = static_cast<uint8_t>(digits);
        field->decimals = static_cast<uint8_t>(decimals);
        *size = static_cast<uint32_t>(runtime::DecimalByteCount(static_cast<int>(digits)));
        return Status::Ok();
      }
      case TypeCode::STRING:
      case TypeCode::CSTRING:
      case TypeCode::PSTRING:
      case TypeCode::GROUP: {
        s = ArgumentCount(line, head, 1, 1);
        if (!s.ok()) return s;
        const std::string& argument = head.arguments[0];
        if (type != TypeCode::GROUP && !argument.empty() && argument.front() == '@') {
          int width = runtime::CompilePicture(argument).width();
          if (width == 0) return LineError(line, "invalid picture '" + argument + "'");
          field->picture = argument.substr(1);
          *size = static_cast<uint32_t>(width);
        } else {
          s = Number(line, "a length", argument, 1, kMaxU16, size);
          if (!s.ok()) return s;
        }
        if (type != TypeCode::GROUP) field->string_length = static_cast<uint16_t>(*size);
        return Status::Ok();
      }
      default:
        break;
    }
    int fixed = runtime::TypeSize(type);
    if (fixed == 0 || type == TypeCode::ANY) {
      return LineError(line, "a field cannot be of type " + head.word);
    }
    s = ArgumentCount(line, head, 0, 1);
    if (!s.ok()) return s;
    if (head.has_arguments) {
      const std::string& picture = head.arguments[0];
      if (picture.empty() || picture.front() != '@') {
        return LineError(line, head.word + " takes only a picture, not '" + picture + "'");
      }
      field->picture = picture.substr(1);
    }
    *size = static_cast<uint32_t>(fixed);
    return Status::Ok();
  }

  Status FieldLine(FileDescriptor* file) {
    SplitLine split;
    size_t line = 0;
    Status s = TakeLine("a field or END", &split, &line);
    if (!s.ok()) return s;
    RecordLayout& layout = file->layout;
    for (const FieldDescriptor& other : layout.fields) {
      if (SameLabel(other.label, split.label))
        return LineError(line, "field " + split.label + " twice");
    }
    ClauseScanner scanner(split.rest);
    Clause head;
    s = scanner.Next(line, &head);
    if (!s.ok()) return s;
    std::optional<TypeCode> type = runtime::TypeCodeFromName(head.word);
    if (!type) return LineError(line, "unknown type '" + head.word + "'");
    FieldDescriptor field;
    field.label = split.label;
    field.type = static_cast<uint8_t>(*type);
    uint32_t element_size = 0;
    s = ElementSize(line, head, *type, &field, &element_size);
    if (!s.ok()) return s;

    uint32_t offset = NextFieldOffset(layout.fields);
    while (!scanner.AtEnd()) {
      Clause clause;
      s = scanner.Next(line, &clause);
      if (!s.ok()) return s;
      if (clause.word == "DIM") {
        s = ArgumentCount(line, clause, 1, 16);
        for (size_t i = 0; s.ok() && i < clause.arguments.size(); ++i) {
          uint32_t dimension = 0;
          s = Number(line, "a dimension", clause.arguments[i], 1, kMaxU16, &dimension);
          field.dimensions.push_back(static_cast<uint16_t>(dimension));
        }
      } else if (clause.word == "OVER") {
        s = ArgumentCount(line, clause, 1, 1);
        if (!s.ok()) return s;
        auto over = std::find_if(
            layout.fields.begin(), layout.fields.end(),
            [&](const FieldDescriptor& f) { return SameLabel(f.label, clause.arguments[0]); });
        if (over == layout.fields.end()) {
          return LineError(line, "OVER names no earlier field: " + clause.arguments[0]);
        }
        offset = over->offset;
      } else if (clause.word == "NAME") {
        s = ArgumentCount(line, clause, 1, 1);
        if (s.ok()) field.external_name = clause.arguments[0];
      } else {
        s = LineError(line, "unknown field attribute '" + clause.word + "'");
      }
      if (!s.ok()) return s;
    }
    uint64_t size = static_cast<uint64_t>(element_size) * field.Elements();
    if (field.Elements() > kMaxU16 || size > kMaxU16 || offset + size > kMaxU16) {
      return LineError(line, "the field makes the record longer than 65535 bytes");
    }
    field.offset = static_cast<uint16_t>(offset);
    field.size = static_cast<uint16_t>(size);
    record_end_offset_ = std::max(record_end_offset_, static_cast<uint32_t>(offset + size));
    layout.fields.push_back(std::move(field));
    return Status::Ok();
  }

  Status ResolveKeys(FileDescriptor* file) {
    const std::vector<FieldDescriptor>& fields = file->layout.fields;
    for (size_t k = 0; k < file->keys.size(); ++k) {
      for (size_t c = 0; c < pending_components_[k].size(); ++c) {
        const PendingComponent& pending = pending_components_[k][c];
        auto found = std::find_if(fields.begin(), fields.end(), [&](const FieldDescriptor& f) {
          return SameLabel(f.label, pending.label);
        });
        if (found == fields.end()) {
          return LineError(pending.line, "the key names no field " + pending.label);
        }
        file->keys[k].components[c].field = static_cast<uint16_t>(found - fields.begin());
      }
    }
    return Status::Ok();
  }

  std::vector<std::string_view> lines_;
  size_t next_ = 0;
  std::vector<std::vector<PendingComponent>> pending_components_;
  uint32_t record_end_offset_ = 0;
};

}  // namespace

Status ReadDeclaration(std::string_view text, std::string* label, FileDescriptor* file) {
  FileDescriptor read;
  std::string read_label;
  Status s = Reader(text).Read(&read_label, &read);
  if (!s.ok()) return s;
  *label = std::move(read_label);
  *file = std::move(read);
  return Status::Ok();
}

}  // namespace tentaria::storage
