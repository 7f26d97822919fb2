#include "ui/list_format.h"

#include <cctype>

namespace tentaria::ui {
namespace {

constexpr std::string_view kModifierCharacters = "|_F*M?Y/";
constexpr std::string_view kAlignments = "LRCD";
constexpr int kMaxWidth = 32767;

class FormatReader {
 public:
  explicit FormatReader(std::string_view text) : text_(text) {}

  bool done() const { return pos_ >= text_.size(); }

  Status ReadColumn(ListColumn* column) {
    if (!ReadNumber(&column->width)) return Fail("a column width");
    if (!ReadAlignment(&column->align, &column->indent)) return Fail("an alignment");
    ReadModifiers(&column->modifiers);
    if (Take('~')) {
      if (!ReadUntil('~', &column->header)) return Fail("the closing ~ of a header");
      if (Peek(kAlignments) && !ReadAlignment(&column->header_align, &column->header_indent)) {
        return Fail("a header alignment");
      }
    }
    if (Take('@')) {
      if (!ReadUntil('@', &column->picture)) return Fail("the closing @ of a picture");
      column->picture.insert(column->picture.begin(), '@');
    }
    ReadModifiers(&column->modifiers);
    return Status::Ok();
  }

 private:
  bool Peek(std::string_view set) const {
    return !done() && set.find(text_[pos_]) != std::string_view::npos;
  }
  bool Take(char c) {
    if (done() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool ReadNumber(int* value) {
    size_t start = pos_;
    int number = 0;
    while (!done() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      number = number * 10 + (text_[pos_] - '0');
      if (number > kMaxWidth) return false;
      ++pos_;
    }
    *value = number;
    return pos_ > start;
  }
  bool ReadAlignment(char* align, int* indent) {
    if (!Peek(kAlignments)) return false;
    *align = text_[pos_++];
    if (Take('(')) {
      bool negative = Take('-');
      if (!ReadNumber(indent) || !Take(')')) return false;
      if (negative) *indent = -*indent;
    }
    return true;
  }
  void ReadModifiers(std::string* modifiers) {
    while (Peek(kModifierCharacters)) modifiers->push_back(text_[pos_++]);
  }
  bool ReadUntil(char end, std::string* out) {
    size_t close = text_.find(end, pos_);
    if (close == std::string_view::npos) return false;
    out->assign(text_.substr(pos_, close - pos_));
    pos_ = close + 1;
    return true;
  }
  Status Fail(std::string_view expected) const {
    return Status::Error(
        1, "list format: expected " + std::string(expected) + " at offset " + std::to_string(pos_));
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

Status ParseListFormat(std::string_view text, std::vector<ListColumn>* columns) {
  columns->clear();
  FormatReader reader(text);
  std::vector<ListColumn> parsed;
  while (!reader.done()) {
    ListColumn column;
    Status status = reader.ReadColumn(&column);
    if (!status.ok()) return status;
    parsed.push_back(std::move(column));
  }
  *columns = std::move(parsed);
  return Status::Ok();
}

}  // namespace tentaria::ui
