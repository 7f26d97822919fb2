// Character sets: Windows-1252 (the text of the whole system), UTF-8 (the
// edges: terminal, Qt, PDF, CSV) and the OEM set, code page 850.
#ifndef TENTARIA_PLATFORM_CHARSET_H_
#define TENTARIA_PLATFORM_CHARSET_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace tentaria::platform {

// Windows-1252 to UTF-8.  The five unassigned codes (81, 8D, 8F, 90, 9D)
// map to the C1 control characters of the same number.
std::string Cp1252ToUtf8(std::string_view text);
// UTF-8 to Windows-1252; characters that have no Windows-1252 form, and
// malformed UTF-8 sequences, become '?'.
std::string Utf8ToCp1252(std::string_view text);

// Windows-1252 <-> OEM (code page 850), in place over n bytes; characters
// without an equivalent take the closest form, as the system conversion does
// (the tables in charset.cc list each one; the unassigned 1252 codes 81, 8D,
// 8F, 90 and 9D become '?').
void CharToOem(char* text, size_t n);
void OemToChar(char* text, size_t n);
std::string CharToOem(std::string_view text);
std::string OemToChar(std::string_view text);

// The system's letter tests and case conversion for Windows-1252.
bool IsCharAlpha(unsigned char c);
bool IsCharUpper(unsigned char c);
bool IsCharLower(unsigned char c);
unsigned char CharUpper(unsigned char c);
unsigned char CharLower(unsigned char c);

// The system's string order (a stand-in for the platform comparison used
// to derive the "WINDOWS" collation): letters compare alphabetically with
// case and accents as lesser differences; returns <0, 0 or >0.  In three
// levels: first the base characters (controls, blanks and signs, then
// digits, then letters a-z by base letter, þ and µ after z; Æ Œ ß count as
// "ae" "oe" "ss"), then the accents (none before acute, grave, circumflex,
// diaeresis, tilde, ring, cedilla, stroke, caron), then the case (lower
// before upper); texts equal on all three compare by their bytes, so only
// equal texts give 0.  "e" < "E" < "é" < "É" < "f".
int CompareStringSystem(std::string_view a, std::string_view b);

}  // namespace tentaria::platform

#endif  // TENTARIA_PLATFORM_CHARSET_H_
