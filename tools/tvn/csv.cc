#include "tools/tvn/csv.h"

namespace tentaria::tvn {

void AppendCsvRecord(const std::vector<std::string>& fields, std::string* out) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out->push_back(',');
    const std::string& field = fields[i];
    // A record of one empty field is quoted, as a blank line is skipped.
    bool lone_empty = fields.size() == 1 && field.empty();
    if (!lone_empty && field.find_first_of(",\"\r\n") == std::string::npos) {
      out->append(field);
      continue;
    }
    out->push_back('"');
    for (char c : field) {
      if (c == '"') out->push_back('"');
      out->push_back(c);
    }
    out->push_back('"');
  }
  out->append("\r\n");
}

int CsvReader::Get() {
  int c = std::getc(input_);
  if (c == '\n') ++next_line_;
  return c;
}

Status CsvReader::Next(std::vector<std::string>* fields, bool* more) {
  fields->clear();
  record_line_ = next_line_;
  int c = Get();
  while (c == '\r' || c == '\n') {
    record_line_ = next_line_;
    c = Get();
  }
  if (c == EOF) {
    *more = false;
    return Status::Ok();
  }
  *more = true;
  std::string field;
  for (;;) {
    if (c == '"' && field.empty()) {
      for (;;) {
        c = Get();
        if (c == EOF) {
          return Status::Error(
              1, "line " + std::to_string(record_line_) + ": a quoted field is not closed");
        }
        if (c == '"') {
          c = Get();
          if (c != '"') break;
        }
        field.push_back(static_cast<char>(c));
      }
      if (c == '\r') c = Get();
      if (c != ',' && c != '\n' && c != EOF) {
        return Status::Error(
            1, "line " + std::to_string(next_line_) + ": text after the closing quote of a field");
      }
    } else {
      while (c != ',' && c != '\n' && c != EOF) {
        field.push_back(static_cast<char>(c));
        c = Get();
      }
      if (!field.empty() && field.back() == '\r') field.pop_back();
    }
    fields->push_back(std::move(field));
    field.clear();
    if (c != ',') return Status::Ok();
    c = Get();
  }
}

}  // namespace tentaria::tvn
