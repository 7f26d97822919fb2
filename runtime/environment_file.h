// The environment file: locale settings that replace month
// names, AM/PM texts, case pairs, the collating sequence, digraphs, button
// captions and message texts.  The settings go into the process-wide
// locale (locale.h).
//
// File format (Windows-1252 bytes unless RTXCHARSET says OEM):
// - Lines end in CR or LF; a Ctrl-Z (1Ah) or the end of the file ends the
//   file.  Empty lines and lines without "=" are ignored.  Only the first
//   8192 bytes of a line are read.
// - Each line is NAME=VALUE.  Blanks and tabs in the name are ignored; a
//   name longer than 30 characters makes the line ignored; names are
//   matched without regard to case.  Unknown names are ignored.
// - In the value, "<" followed by decimal digits is the character with that
//   code (modulo 256) and the character after the digits is consumed
//   ("<65>" is "A"); "<" followed by another character is that character
//   ("<<" is "<"); a "<" at the very end stays "<".  A character written
//   this way is always an ordinary character: it neither separates items,
//   nor quotes, nor is removed as a blank.  Then trailing blanks and tabs
//   are removed and the value is cut to 1024 characters.
// - With RTXCHARSET=OEM in force, the value is then converted from the OEM
//   character set (code page 850).
// - The value is a list: items are separated by commas; blanks and tabs
//   before and after an item are dropped; text in double quotes is taken as
//   it stands (a comma or blank included), two double quotes inside it
//   standing for one; an unclosed quote runs to the end of the value.  For
//   RTXCOLSEQ and RTXMSGnnn the comma is an ordinary character, so the
//   value is one item.
//
// Keys:
//   RTXCHARSET  "OEM": the values of the following lines are OEM text;
//               anything else: they are not
//   RTXCOLSEQ   "WINDOWS": collation weights in the system's order; a
//               character sequence: weights in that order; empty: identity
//               (collation.h says how the weights are formed)
//   RTXCASE     "WINDOWS": case forms and flags of the characters above 127
//               from the system; two lists: upper-case and lower-case
//               letters, paired; empty: only A-Z/a-z and the digits
//   RTXMONTH    up to 12 full month names (an empty item keeps its month)
//   RTXMON      up to 12 short month names, cut to 3 (likewise)
//   RTXAMPM     "WINDOWS": the "intl" texts s1159/s2359; or the AM text and
//               the PM text, each cut to 2 (a missing PM text stays as is)
//   RTXDIGRAPH  up to 16 items of three characters c, x, y: in comparisons
//               c reads as x, y (replaces all digraphs)
//   RTXBUTTON   captions; item k (from 0), when not empty, replaces message
//               7F00h + k (at most 256 captions)
//   RTXLFN      "on" (any case): long file names on; anything else: off
//   RTXMSGnnn   nnn decimal (1 to 9 digits): the value replaces the text of
//               runtime message nnn
// The "WINDOWS" words are matched without regard to case.
#ifndef TENTARIA_RUNTIME_ENVIRONMENT_FILE_H_
#define TENTARIA_RUNTIME_ENVIRONMENT_FILE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/locale.h"

namespace tentaria::runtime {

inline constexpr size_t kMaxEnvironmentNameLength = 30;
inline constexpr size_t kMaxEnvironmentValueLength = 1024;
inline constexpr size_t kMaxEnvironmentLineBytes = 8192;

// The "load environment" operation on the process-wide locale.  The name
// "WINDOWS" (any case) applies the Windows defaults (ApplyWindowsDefaults);
// any other name is a file name of the runtime (mapped by
// platform::HostPath).  Sets the error state: 0 on success, 2 when the file
// is missing (another open failure sets its own code).  Returns true on
// success.
bool LoadEnvironment(std::string_view name);

// Start-up: the file named like the program with the extension ".ENV"
// (the program's host path with its extension replaced).  A missing file
// is no error; the error state is not touched.
void LoadDefaultEnvironmentFile(std::string_view program_path);

// Applies the text of an environment file to a locale.
void ApplyEnvironmentText(std::string_view content, Locale* locale);

// The collating sequence, case forms and AM/PM texts of the system
// (RTXCOLSEQ=WINDOWS, RTXCASE=WINDOWS, RTXAMPM=WINDOWS).
void ApplyWindowsDefaults(Locale* locale);

// One value as the loader reads it (escapes, trailing blanks, length cut,
// OEM conversion when oem is set, then the list).  With commas_separate
// false the value is one item.  An empty value has no items.
std::vector<std::string> ParseEnvironmentValue(std::string_view raw_value, bool oem,
                                               bool commas_separate);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_ENVIRONMENT_FILE_H_
