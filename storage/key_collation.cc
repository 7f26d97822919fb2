#include "storage/key_collation.h"

#include "platform/charset.h"

namespace tentaria::storage {

KeyCollation::KeyCollation(const runtime::CollationTables& tables, bool oem)
    : tables_(tables), oem_(oem) {
  std::array<bool, 256> taken{};
  for (int c = 0; c < 256; ++c) character_of_weight_[c] = static_cast<uint8_t>(c);
  for (int c = 0; c < 256; ++c) {
    uint8_t weight = tables_.weight[c];
    if (taken[weight]) continue;
    taken[weight] = true;
    character_of_weight_[weight] = static_cast<uint8_t>(c);
  }
  for (int c = 0; c < 256; ++c) {
    as_written_[c] = ExpansionOf(static_cast<uint8_t>(c), false);
    upper_cased_[c] = ExpansionOf(static_cast<uint8_t>(c), true);
  }
}

KeyCollation::Expansion KeyCollation::ExpansionOf(uint8_t c, bool nocase) const {
  if (oem_) platform::CharToOem(reinterpret_cast<char*>(&c), 1);
  if (nocase) c = tables_.upper[c];
  Expansion expansion;
  const runtime::Digraph* digraph = runtime::FindDigraph(tables_, c);
  if (digraph == nullptr) {
    expansion.weights[expansion.count++] = tables_.weight[c];
    return expansion;
  }
  // A digraph whose second character is 0 reads as one character, as in
  // every other comparison of the runtime.
  expansion.weights[expansion.count++] = tables_.weight[digraph->first];
  if (digraph->second != 0) expansion.weights[expansion.count++] = tables_.weight[digraph->second];
  return expansion;
}

void KeyCollation::Map(std::span<const uint8_t> text, bool nocase, std::span<uint8_t> out) const {
  const std::array<Expansion, 256>& expansions = nocase ? upper_cased_ : as_written_;
  size_t written = 0;
  for (size_t i = 0; i < text.size() && written < out.size(); ++i) {
    const Expansion& expansion = expansions[text[i]];
    out[written++] = expansion.weights[0];
    if (expansion.count == 2 && written < out.size()) out[written++] = expansion.weights[1];
  }
}

void KeyCollation::Unmap(std::span<const uint8_t> weights, std::span<uint8_t> out) const {
  for (size_t i = 0; i < weights.size() && i < out.size(); ++i) {
    uint8_t c = character_of_weight_[weights[i]];
    if (oem_) platform::OemToChar(reinterpret_cast<char*>(&c), 1);
    out[i] = c;
  }
}

}  // namespace tentaria::storage
