// Character tables of the locale: collation weights, case forms,
// character classes and digraphs; the comparisons that use them; and the
// 1152-byte form in which a record file keeps them.
//
// The tables work on single bytes, in whatever character set the caller's
// text is in (Windows-1252, or OEM for a file that keeps OEM text).
#ifndef TENTARIA_RUNTIME_COLLATION_H_
#define TENTARIA_RUNTIME_COLLATION_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tentaria::runtime {

// Character class flags.
inline constexpr uint8_t kClassUpper = 1;
inline constexpr uint8_t kClassLower = 2;
inline constexpr uint8_t kClassDigit = 4;

inline constexpr int kMaxDigraphs = 16;
inline constexpr size_t kCollationTablesSize = 1152;

// In comparisons, `character` is read as the two characters first, second.
// An entry whose character is 0 is unused.
struct Digraph {
  uint8_t character = 0;
  uint8_t first = 0;
  uint8_t second = 0;
};

struct CollationTables {
  std::array<uint8_t, 256> weight;  // collation weight of each character
  std::array<uint8_t, 256> upper;   // upper-case form (the character itself if none)
  std::array<uint8_t, 256> lower;   // lower-case form (the character itself if none)
  std::array<uint8_t, 256> flags;   // kClassUpper | kClassLower | kClassDigit
  std::array<Digraph, kMaxDigraphs> digraphs;

  // The built-in tables: weight = code, case pairs A-Z/a-z only, digits 0-9
  // flagged, no digraphs.
  CollationTables();

  friend bool operator==(const CollationTables& a, const CollationTables& b);
};

// The digraph entry of c, or nullptr.
const Digraph* FindDigraph(const CollationTables& tables, uint8_t c);

// Collation weights.
void SetIdentityWeights(CollationTables* tables);
// The system order: characters 2-254 sorted by insertion (stable: equal
// characters keep code order) using platform::CompareStringSystem on the
// one-character texts; the i-th character of that order gets weight i + 2.
// Characters 0, 1 and 255 keep their own codes as weights.
void SetSystemWeights(CollationTables* tables);
// The order of the given characters (a repeated character counts at its
// first place).  The weights stay a permutation of 0-255: the characters
// whose codes lie below the smallest listed code keep their codes; then
// come the listed characters in the given order; then every other
// character in code order.  An empty sequence gives identity.
void SetSequenceWeights(CollationTables* tables, std::string_view sequence);

// Case tables and class flags.  Every form starts from the built-in
// A-Z/a-z pairs and digit flags; characters below 128 never change.
void SetDefaultCase(CollationTables* tables);
// Characters above 127 from the system's letter test, upper-case test and
// case conversion (platform::IsCharAlpha, IsCharUpper, CharLower,
// CharUpper): a letter is upper-case (flag 1, lower form CharLower) or
// else lower-case (flag 2, upper form CharUpper).  A form that falls below
// 128 is not taken.
void SetSystemCase(CollationTables* tables);
// Pairs upper[i] / lower[i] of two lists; a pair is taken only when both
// characters are above 127.  Lists of unequal length pair up to the
// shorter one.
void SetCasePairs(CollationTables* tables, std::string_view upper, std::string_view lower);

// Replaces the digraph entries: each item of three characters c, x, y
// makes an entry; other items are skipped; at most 16 entries.
void SetDigraphs(CollationTables* tables, std::span<const std::string> items);

// The collation comparison: characters compared by weight, a
// character with a digraph entry read as its two characters, the end of a
// text counting as the character with code 0.  Returns -1, 0 or 1.
int CollationCompare(const CollationTables& tables, std::string_view a, std::string_view b);
// The runtime's text comparison (DESIGN "Readings of the runtime"): as
// CollationCompare, but the shorter text is compared as if padded with
// blanks, so trailing blanks do not count.  Returns -1, 0 or 1.
int CompareBlankPadded(const CollationTables& tables, std::string_view a, std::string_view b);

// Case conversion through the tables.
std::string ToUpper(const CollationTables& tables, std::string_view text);
std::string ToLower(const CollationTables& tables, std::string_view text);

// The 1152 bytes kept in a record file's sort-order record:
//
//   offset  size  field
//   0       256   weight[c], c = 0..255: collation weight of character c
//   256     256   upper[c]: upper-case form of c
//   512     256   lower[c]: lower-case form of c
//   768     256   flags[c]: 1 upper-case letter, 2 lower-case letter, 4 digit
//   1024    48    16 digraph entries of 3 bytes: character, first, second;
//                 unused entries are all zero
//   1072    80    zero (ignored when read)
void SerializeCollation(const CollationTables& tables, uint8_t out[kCollationTablesSize]);
// Reads the form written above.  False (tables untouched) when size is not
// 1152.  An entry whose character byte is 0 is read as unused (all zero).
bool DeserializeCollation(const uint8_t* data, size_t size, CollationTables* tables);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_COLLATION_H_
