// The numbered messages of the error manager and the packed block they are
// loaded from.
//
// Packed message block (all numbers little-endian):
//   offset  size  field
//   0       2     count of entries
//   then per entry:
//   +0      2     ID, the message number
//   +2      1     FATALITY, the severity
//   +3      1     title length t
//   +4      t     title (Windows-1252)
//   +4+t    1     text length n
//   +5+t    n     text, with placeholders (%File, %ErrorText, ...)
#ifndef TENTARIA_FRAMEWORK_ERROR_MESSAGES_H_
#define TENTARIA_FRAMEWORK_ERROR_MESSAGES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace tentaria::framework {

// Severities: the FATALITY of a message, and the result of raising one.
inline constexpr int SeverityQuiet = 0;    // nothing shown
inline constexpr int SeverityConfirm = 1;  // Yes/No question
inline constexpr int SeverityProgram = 2;  // a programming error: fatal
inline constexpr int SeverityFatal = 3;    // shown, then the program ends
inline constexpr int SeverityCancel = 4;   // a question; as a result: declined
inline constexpr int SeverityNotify = 5;   // shown; as a result: given up

struct ErrorEntry {
  uint16_t ID = 0;
  std::string MESSAGE;
  std::string TITLE;
  uint8_t FATALITY = 0;
};

// Packs entries into a block.  Refuses (and packs nothing) a title or text
// longer than its length byte can count, or more entries than the count
// holds.
Status PackMessages(const std::vector<ErrorEntry>& entries, std::string* block);
// Reads a block.  Refuses a block that is cut short or has bytes after its
// last entry; nothing is read then.
Status UnpackMessages(std::string_view block, std::vector<ErrorEntry>* entries);

// The framework's own messages, packed.
const std::string& DefaultErrors();

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_ERROR_MESSAGES_H_
