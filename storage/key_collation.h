// The collation through which text key components pass: the tables kept in
// a table's sort-order record and whether the file keeps its text in the
// OEM character set.  A file's keys are always built with its own stored
// tables, so its entries stay in the order in which they were built.
#ifndef TENTARIA_STORAGE_KEY_COLLATION_H_
#define TENTARIA_STORAGE_KEY_COLLATION_H_

#include <array>
#include <cstdint>
#include <span>

#include "runtime/collation.h"

namespace tentaria::storage {

class KeyCollation {
 public:
  // The runtime's built-in tables, text kept in Windows-1252: what a table
  // without a sort-order record uses.
  KeyCollation() : KeyCollation(runtime::CollationTables(), false) {}
  // The tables are in the file's character set: OEM ones when `oem`.
  KeyCollation(const runtime::CollationTables& tables, bool oem);

  const runtime::CollationTables& tables() const { return tables_; }
  bool oem() const { return oem_; }

  // Writes the collation form of `text` into `out` (both of one size): the
  // text, converted to OEM when the file keeps OEM text and upper-cased
  // through the tables for a NOCASE key, read character by character, a
  // character with a digraph entry as its two characters, each character
  // replaced by its weight.  What a digraph pushes past the end is cut
  // off, as a fixed-length key must.
  void Map(std::span<const uint8_t> text, bool nocase, std::span<uint8_t> out) const;

  // The nearest text to a collation form, for showing a key: each weight
  // becomes the lowest character that has it (the weight itself when none
  // has), converted back from OEM for an OEM file.  Upper-casing and
  // digraph expansion are not undone.
  void Unmap(std::span<const uint8_t> weights, std::span<uint8_t> out) const;

 private:
  // The weights one text character becomes, worked out once from the
  // tables because keys are mapped for every row and key written.
  struct Expansion {
    uint8_t count = 0;
    std::array<uint8_t, 2> weights{};
  };
  Expansion ExpansionOf(uint8_t c, bool nocase) const;

  runtime::CollationTables tables_;
  bool oem_;
  std::array<uint8_t, 256> character_of_weight_;
  std::array<Expansion, 256> as_written_;
  std::array<Expansion, 256> upper_cased_;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_KEY_COLLATION_H_
