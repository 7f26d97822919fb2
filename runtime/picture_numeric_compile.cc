#include "runtime/picture_numeric_compile.h"

#include <string>

#include "runtime/picture_template.h"

namespace tentaria::runtime {
namespace {

constexpr int kMaxNumericWidth = 254;

// "V" or "v" as a grouping character shows a zero.
char MapGrouping(char c) { return (c == 'V' || c == 'v') ? '0' : MapSeparator(c); }

// The separator section after the width: an optional grouping character,
// then the decimal indicator with its count of decimals.
struct Separators {
  char grouping = '\0';   // as written; 0 when none was given
  char indicator = '\0';  // ".", "`", "V" or "v"; 0 when none
  int decimals = 0;
};

bool IsSeparatorChar(char c, bool allow_implied) {
  return c == '.' || c == '`' || c == '_' || (allow_implied && (c == 'V' || c == 'v'));
}

bool IsIndicator(char c, bool allow_implied) {
  return c == '.' || c == '`' || (allow_implied && (c == 'V' || c == 'v'));
}

// If the next character is a separator character and the one after it is
// one too (or the text ends), the first is the grouping character and the
// second the decimal indicator.  A lone indicator with no digits after it
// is a grouping character.
bool ReadSeparators(PictureReader* reader, bool allow_implied, Separators* separators) {
  const char first = reader->Peek();
  if (!IsSeparatorChar(first, allow_implied)) return true;
  const bool pair = reader->AtEnd(1) || IsSeparatorChar(reader->Peek(1), allow_implied);
  reader->Next();
  if (!pair && IsIndicator(first, allow_implied)) {
    if (reader->ReadNumber(&separators->decimals)) {
      separators->indicator = first;
    } else {
      separators->grouping = first;
    }
    return true;
  }
  separators->grouping = first;
  if (!pair || reader->AtEnd()) return true;
  const char indicator = reader->Next();
  if (!IsIndicator(indicator, allow_implied)) return false;
  separators->indicator = indicator;
  reader->ReadNumber(&separators->decimals);
  return true;
}

// "$" or "~text~"; false for an unclosed "~".
bool ReadCurrency(PictureReader* reader, bool* present, std::string* text) {
  if (reader->Accept('$')) {
    *present = true;
    text->assign(1, '$');
    return true;
  }
  if (!reader->Accept('~')) return true;
  std::string currency;
  while (!reader->AtEnd() && reader->Peek() != '~') currency.push_back(reader->Next());
  if (!reader->Accept('~')) return false;
  *present = true;
  *text = std::move(currency);
  return true;
}

struct NumericOptions {
  bool lead_currency = false;
  bool trail_currency = false;
  std::string currency;
  char lead_sign = '\0';   // "-" or "("
  char trail_sign = '\0';  // "-" or ")"
  char fill = '\0';        // "0", "*", "_" or 0
  int width = 0;
  Separators separators;
};

bool ParseNumeric(std::string_view body, NumericOptions* options) {
  PictureReader reader(body);
  if (!ReadCurrency(&reader, &options->lead_currency, &options->currency)) return false;
  if (reader.Peek() == '-' || reader.Peek() == '(') options->lead_sign = reader.Next();
  if (reader.Peek() == '0' || reader.Peek() == '*' || reader.Peek() == '_') {
    options->fill = reader.Next();
  }
  if (!reader.ReadNumber(&options->width) || options->width < 1 ||
      options->width > kMaxNumericWidth) {
    return false;
  }
  if (!ReadSeparators(&reader, true, &options->separators)) return false;
  if (reader.Peek() == '-' || reader.Peek() == ')') options->trail_sign = reader.Next();
  const bool opened = options->lead_sign == '(';
  const bool closed = options->trail_sign == ')';
  if (opened != closed) return false;
  if (options->lead_sign == '-' && options->trail_sign == '-') return false;
  std::string trailing;
  if (!ReadCurrency(&reader, &options->trail_currency, &trailing)) return false;
  if (options->trail_currency) {
    if (options->lead_currency) return false;
    options->currency = std::move(trailing);
  }
  return reader.AtEnd();
}

// The grouping character, in order of precedence: the one given (or a lone
// indicator), "." with a comma point, "," without a fill; none otherwise.
// With fill "*" and no grouping every integer position is a "*"-filled digit.
char GroupingOf(const NumericOptions& options) {
  if (options.separators.grouping != '\0') return MapGrouping(options.separators.grouping);
  if (options.separators.indicator == '`') return '.';
  if (options.fill == '\0') return ',';
  return '\0';
}

char IntegerFill(char fill) { return (fill == '0' || fill == '*') ? fill : ' '; }

}  // namespace

bool CompileNumericPicture(std::string_view body, bool blank_when_zero, CompiledPicture* picture) {
  NumericOptions options;
  if (!ParseNumeric(body, &options)) return false;
  const int decimals = options.separators.decimals;
  const bool implied = options.separators.indicator == 'V' || options.separators.indicator == 'v';
  const bool shown_point = decimals > 0 && !implied;
  const int currency_width = static_cast<int>(options.currency.size());
  const int fixed = currency_width + (options.lead_sign ? 1 : 0) + (options.trail_sign ? 1 : 0) +
                    decimals + (shown_point ? 1 : 0);
  if (fixed > options.width) return false;

  // Laid out from the right, each position added at the front.
  TemplateBuilder builder;
  if (options.trail_currency) {
    for (auto it = options.currency.rbegin(); it != options.currency.rend(); ++it) {
      builder.AddFront(*it, PositionCode::kCurrency);
    }
  }
  if (options.trail_sign) builder.AddFront(options.trail_sign, PositionCode::kSign);
  for (int j = decimals - 1; j >= 0; --j) {
    builder.AddFront('0', implied && j == 0 ? PositionCode::kImpliedPoint : PositionCode::kDigit);
  }
  if (shown_point) {
    builder.AddFront(options.separators.indicator == '`' ? ',' : '.', PositionCode::kDecimalPoint);
  }
  const char grouping = GroupingOf(options);
  const bool leading_items = options.lead_currency || options.lead_sign;
  const int integer_positions = options.width - fixed;
  const char fill = IntegerFill(options.fill);
  const PositionCode fill_code = fill == ' ' ? PositionCode::kBlankDigit : PositionCode::kDigit;
  for (int k = 0; k < integer_positions; ++k) {
    const bool leftmost = !leading_items && k == integer_positions - 1;
    if (k == 0) {
      builder.AddFront('0', PositionCode::kDigit);
    } else if (grouping != '\0' && k % 4 == 3 && !leftmost) {
      builder.AddFront(grouping, PositionCode::kGroupSeparator);
    } else {
      builder.AddFront(fill, fill_code);
    }
  }
  if (options.lead_sign) builder.AddFront(options.lead_sign, PositionCode::kSign);
  if (options.lead_currency) {
    for (auto it = options.currency.rbegin(); it != options.currency.rend(); ++it) {
      builder.AddFront(*it, PositionCode::kCurrency);
    }
  }
  return builder.Finish(PictureKind::kNumeric, blank_when_zero, picture);
}

bool CompileScientificPicture(std::string_view body, bool blank_when_zero,
                              CompiledPicture* picture) {
  PictureReader reader(body);
  int width = 0;
  if (!reader.ReadNumber(&width) || width < 7 || width > kMaxNumericWidth) return false;
  Separators separators;
  if (!ReadSeparators(&reader, false, &separators) || !reader.AtEnd()) return false;
  const int mantissa = separators.indicator != '\0' ? separators.decimals : 1;
  const bool comma_point = separators.indicator == '`';
  char grouping = ',';
  if (separators.grouping != '\0') {
    grouping = MapGrouping(separators.grouping);
  } else if (comma_point) {
    grouping = '.';
  }
  const int groups = mantissa >= 4 ? (mantissa - 1) / 3 : 0;
  const int fraction = width - (mantissa + groups + 7);
  if (fraction < 0) return false;

  TemplateBuilder builder;
  builder.Add('-', PositionCode::kSign);
  // Mantissa digits, counted from the point: the one before the point is
  // zero-filled, a grouping position follows every third one.
  for (int k = mantissa - 1; k >= 0; --k) {
    builder.Add(k == 0 ? '0' : ' ', k == 0 ? PositionCode::kDigit : PositionCode::kBlankDigit);
    if (k > 0 && k % 3 == 0 && mantissa >= 4) builder.Add(grouping, PositionCode::kGroupSeparator);
  }
  builder.Add(comma_point ? ',' : '.', PositionCode::kDecimalPoint);
  for (int j = 0; j < fraction; ++j) builder.Add('0', PositionCode::kDigit);
  builder.Add('E', PositionCode::kLiteral);
  builder.Add('+', PositionCode::kExponentSign);
  for (int j = 0; j < 3; ++j) builder.Add('0', PositionCode::kDigit);
  return builder.Finish(PictureKind::kScientific, blank_when_zero, picture);
}

}  // namespace tentaria::runtime
