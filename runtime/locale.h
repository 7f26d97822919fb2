// The process-wide locale: month names, AM/PM texts, the
// regional settings of the user profile's "intl" section and the four
// locale pictures built from them, the character tables (collation.h), the
// long-file-name flag, and the message and button-caption overrides of the
// environment file.
//
// There is one Locale object for the process (CurrentLocale()), used by one
// thread at a time.  InitLocale() rebuilds it at start-up: built-in
// defaults, then "intl", then the environment file next to the program
// (environment_file.h).  ResetLocale() returns to the built-in defaults
// without reading anything (tests).
#ifndef TENTARIA_RUNTIME_LOCALE_H_
#define TENTARIA_RUNTIME_LOCALE_H_

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/collation.h"

namespace tentaria::runtime {

// The "intl" section of the user profile.  The defaults are the values used
// when a key is missing.
struct IntlSettings {
  int i_time = 0;                                        // 0: 12-hour clock, else 24-hour
  int i_tl_zero = 1;                                     // non-zero: hour with leading zero
  std::string s_time = ":";                              // time separator
  std::string s1159 = "AM";                              // morning text
  std::string s2359 = "PM";                              // afternoon text
  std::string s_short_date = "MM/dd/yy";                 // for @D17
  std::string s_long_date = "ddd', 'MMMM' 'dd', 'yyyy";  // for @D18
};

// Reads "intl" from the user profile (platform/profile.h).
IntlSettings ReadIntlSettings();

// A locale picture (@T7, @T8, @D17, @D18) described part by part, from left
// to right, for the picture compiler to lay out its template:
// each part occupies `width` consecutive template positions.
//
//   kind         positions (picture position code)    notes
//   kHour        hour digits (11)                      12-hour clock when the
//                                                      picture has a kAmPm part
//   kMinute      minute digits (12)
//   kSecond      second digits (13)
//   kAmPm        AM/PM marker (20), width 2            texts: Locale's
//                                                      windows_am_text() /
//                                                      windows_pm_text()
//   kDay         day digits (8)
//   kMonth       month digits (7)
//   kMonthName   month-name letters (10), width 12     names as stored (not
//                                                      capitals); a shorter
//                                                      name closes up
//   kYear        year digits (9), width 2 or 4         2: year modulo 100
//   kSeparator   date/time separator (19)              `text` holds the
//                                                      characters, one per
//                                                      position; replaceable
//                                                      by a picture's
//                                                      separator option
//   kLiteral     literal (0)                           `text` as for kSeparator
//
// Digit parts: `zero_fill` true means every digit shows a leading zero as
// "0"; false means the first position of the part is blank-filled (its
// leading zero shows a blank) and the others are zero-filled.  A picture's
// fill option ("@T07", "@D_17") overrides both.
enum class PicturePartKind {
  kHour,
  kMinute,
  kSecond,
  kAmPm,
  kDay,
  kMonth,
  kMonthName,
  kYear,
  kSeparator,
  kLiteral,
};

struct PicturePart {
  PicturePartKind kind = PicturePartKind::kLiteral;
  int width = 0;
  bool zero_fill = true;
  std::string text;  // kSeparator and kLiteral only; text.size() == width

  friend bool operator==(const PicturePart&, const PicturePart&) = default;
};

struct LocalePicture {
  std::vector<PicturePart> parts;
  // Sum of the parts' widths: the picture's display width.
  int Width() const;
};

// How the four pictures are built:
// @T7: hour (2; first digit zero-filled when iTLzero is non-zero, else
//   blank-filled), the sTime characters (at most 3; none when sTime is
//   empty) as separator, minute (2); with iTime 0 a literal blank and the
//   AM/PM marker.
// @T8: as @T7 with the separator and second (2) added before the blank and
//   marker.
// @D17: the order from the first letter of sShortDate ("d": day-month-year,
//   "y": year-month-day, else month-day-year); day zero-filled when "dd"
//   occurs, else blank-filled (the same for "MM"/"M"); year 4 positions
//   when "yyyy" occurs, else 2; the separator is the character after the
//   last "M" (skipping one quote), "/" when there is none or it is one of
//   the letters d, M, y.  Letters are matched without regard to case.
// @D18 (its layout is this runtime's own): day (2), month name
//   (12), year (4 when "yyyy" occurs, else 2) in the order in
//   which "d", "M" and "y" first occur outside quotes in sLongDate (a letter
//   that does not occur goes last, in the order day, month, year),
//   separated by one blank separator each.  The day is zero-filled when a
//   run of exactly "dd" occurs, else blank-filled ("ddd" and "dddd", the
//   weekday, do not count).  Width 20 with a four-digit year.
LocalePicture BuildT7Picture(const IntlSettings& intl);
LocalePicture BuildT8Picture(const IntlSettings& intl);
LocalePicture BuildD17Picture(const IntlSettings& intl);
LocalePicture BuildD18Picture(const IntlSettings& intl);

class Locale {
 public:
  // The first message number of the standard button captions: caption k
  // of RTXBUTTON replaces message kButtonMessageBase + k.
  static constexpr int kButtonMessageBase = 0x7F00;
  static constexpr size_t kMonthNameLength = 12;
  static constexpr size_t kShortMonthNameLength = 3;
  static constexpr size_t kAmPmLength = 2;

  // The built-in defaults: "January".."December", "Jan".."Dec", "AM"/"PM",
  // the default "intl" settings and their pictures, the built-in character
  // tables, long file names off, no overrides.
  Locale();

  // Month names for month 1-12 (an empty text for any other month).
  const std::string& MonthName(int month) const;
  const std::string& ShortMonthName(int month) const;
  // Cut to 12 and 3 characters; a month out of range is ignored.
  void SetMonthName(int month, std::string_view name);
  void SetShortMonthName(int month, std::string_view name);

  // The runtime's AM/PM texts (pictures @T3 and @T6), each at most 2
  // characters; replaceable by RTXAMPM.
  const std::string& am_text() const { return am_text_; }
  const std::string& pm_text() const { return pm_text_; }
  void SetAmPm(std::string_view am, std::string_view pm);

  // The regional settings and what is built from them.
  const IntlSettings& intl() const { return intl_; }
  // Takes new settings and rebuilds the four locale pictures.
  void SetIntl(const IntlSettings& intl);
  const LocalePicture& t7_picture() const { return t7_; }
  const LocalePicture& t8_picture() const { return t8_; }
  const LocalePicture& d17_picture() const { return d17_; }
  const LocalePicture& d18_picture() const { return d18_; }
  // s1159 and s2359 cut to 2 characters: the marker texts of @T7 and @T8.
  std::string windows_am_text() const;
  std::string windows_pm_text() const;

  CollationTables& collation() { return collation_; }
  const CollationTables& collation() const { return collation_; }

  // RTXLFN.
  bool long_file_names() const { return long_file_names_; }
  void set_long_file_names(bool on) { long_file_names_ = on; }

  // Replacement texts of runtime messages (RTXMSGnnn) and of the standard
  // button captions (RTXBUTTON, stored under kButtonMessageBase + k).
  void SetMessageOverride(int number, std::string_view text);
  // The replacement text of message `number`, or nullptr when none.
  const std::string* MessageOverride(int number) const;

 private:
  std::array<std::string, 12> month_names_;
  std::array<std::string, 12> short_month_names_;
  std::string am_text_;
  std::string pm_text_;
  IntlSettings intl_;
  LocalePicture t7_, t8_, d17_, d18_;
  CollationTables collation_;
  bool long_file_names_ = false;
  std::map<int, std::string> message_overrides_;
};

// The process-wide locale.
Locale& CurrentLocale();
// Back to the built-in defaults (nothing is read).
void ResetLocale();
// Start-up: built-in defaults, "intl" from the user profile, then the
// environment file named like the program with the extension ".ENV"
// (program_path is the program's host path; a missing file is no error).
void InitLocale(std::string_view program_path);

// For the message table: the current locale's replacement of message
// `number`, or nullptr when the message keeps its own text.
const std::string* FindMessageOverride(int number);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_LOCALE_H_
