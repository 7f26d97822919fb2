// CSV as tvn reads and writes it: fields separated by commas, records by
// CR LF on output (CR LF or LF on input); a field that holds a comma, a
// quote, CR or LF is quoted, with quotes inside doubled.  A quoted field
// may span lines, so each record remembers the line it starts on.  Blank
// lines are skipped; a record of one empty field is written "".
#ifndef TENTARIA_TOOLS_TVN_CSV_H_
#define TENTARIA_TOOLS_TVN_CSV_H_

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/status.h"

namespace tentaria::tvn {

// Appends one record, with its line end, to *out.
void AppendCsvRecord(const std::vector<std::string>& fields, std::string* out);

class CsvReader {
 public:
  explicit CsvReader(FILE* input) : input_(input) {}

  // Reads the next record; *more is false at the end of the input.  A quote
  // that is never closed, or text after a closing quote, fails with a
  // message naming the line.
  Status Next(std::vector<std::string>* fields, bool* more);
  // The line the last record read starts on, from 1.
  size_t line() const { return record_line_; }

 private:
  int Get();

  FILE* input_;
  size_t next_line_ = 1;
  size_t record_line_ = 0;
};

}  // namespace tentaria::tvn

#endif  // TENTARIA_TOOLS_TVN_CSV_H_
