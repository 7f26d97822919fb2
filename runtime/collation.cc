#include "runtime/collation.h"

#include <cstring>
#include <vector>

#include "platform/charset.h"

namespace tentaria::runtime {
namespace {

constexpr size_t kWeightOffset = 0;
constexpr size_t kUpperOffset = 256;
constexpr size_t kLowerOffset = 512;
constexpr size_t kFlagsOffset = 768;
constexpr size_t kDigraphOffset = 1024;

// Reads a text as the comparison sees it: a character with a digraph entry
// becomes its two characters.
class CollationReader {
 public:
  CollationReader(const CollationTables& tables, std::string_view text)
      : tables_(tables), text_(text) {}

  bool AtEnd() const { return pending_ == 0 && index_ >= text_.size(); }

  // The next character; AtEnd() must be false.
  uint8_t Next() {
    if (pending_ != 0) {
      uint8_t c = pending_;
      pending_ = 0;
      return c;
    }
    uint8_t c = static_cast<uint8_t>(text_[index_++]);
    if (const Digraph* digraph = FindDigraph(tables_, c)) {
      // A digraph whose second character is 0 reads as one character.
      pending_ = digraph->second;
      return digraph->first;
    }
    return c;
  }

 private:
  const CollationTables& tables_;
  std::string_view text_;
  size_t index_ = 0;
  uint8_t pending_ = 0;
};

int Compare(const CollationTables& tables, std::string_view a, std::string_view b, uint8_t end) {
  CollationReader ra(tables, a), rb(tables, b);
  while (!ra.AtEnd() || !rb.AtEnd()) {
    uint8_t ca = ra.AtEnd() ? end : ra.Next();
    uint8_t cb = rb.AtEnd() ? end : rb.Next();
    uint8_t wa = tables.weight[ca];
    uint8_t wb = tables.weight[cb];
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  return 0;
}

}  // namespace

CollationTables::CollationTables() {
  SetIdentityWeights(this);
  SetDefaultCase(this);
  digraphs = {};
}

bool operator==(const CollationTables& a, const CollationTables& b) {
  if (a.weight != b.weight || a.upper != b.upper || a.lower != b.lower || a.flags != b.flags) {
    return false;
  }
  for (int i = 0; i < kMaxDigraphs; ++i) {
    const Digraph& x = a.digraphs[i];
    const Digraph& y = b.digraphs[i];
    if (x.character != y.character || x.first != y.first || x.second != y.second) return false;
  }
  return true;
}

const Digraph* FindDigraph(const CollationTables& tables, uint8_t c) {
  if (c == 0) return nullptr;
  for (const Digraph& digraph : tables.digraphs) {
    if (digraph.character == c) return &digraph;
  }
  return nullptr;
}

void SetIdentityWeights(CollationTables* tables) {
  for (int c = 0; c < 256; ++c) tables->weight[c] = static_cast<uint8_t>(c);
}

void SetSystemWeights(CollationTables* tables) {
  std::vector<uint8_t> order;
  order.reserve(253);
  for (int c = 2; c <= 254; ++c) {
    const char text = static_cast<char>(c);
    size_t place = order.size();
    while (place > 0) {
      const char before = static_cast<char>(order[place - 1]);
      if (platform::CompareStringSystem(std::string_view(&before, 1), std::string_view(&text, 1)) <=
          0) {
        break;
      }
      --place;
    }
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(place), static_cast<uint8_t>(c));
  }
  SetIdentityWeights(tables);
  for (size_t i = 0; i < order.size(); ++i) tables->weight[order[i]] = static_cast<uint8_t>(i + 2);
}

void SetSequenceWeights(CollationTables* tables, std::string_view sequence) {
  std::array<bool, 256> listed{};
  std::vector<uint8_t> order;
  int lowest = 256;
  for (char ch : sequence) {
    uint8_t c = static_cast<uint8_t>(ch);
    if (listed[c]) continue;
    listed[c] = true;
    order.push_back(c);
    if (c < lowest) lowest = c;
  }
  SetIdentityWeights(tables);
  if (order.empty()) return;
  int next = lowest;
  for (uint8_t c : order) tables->weight[c] = static_cast<uint8_t>(next++);
  for (int c = lowest; c < 256; ++c) {
    if (!listed[c]) tables->weight[c] = static_cast<uint8_t>(next++);
  }
}

void SetDefaultCase(CollationTables* tables) {
  for (int c = 0; c < 256; ++c) {
    tables->upper[c] = static_cast<uint8_t>(c);
    tables->lower[c] = static_cast<uint8_t>(c);
    tables->flags[c] = 0;
  }
  for (int c = 'A'; c <= 'Z'; ++c) {
    tables->lower[c] = static_cast<uint8_t>(c + ('a' - 'A'));
    tables->flags[c] = kClassUpper;
  }
  for (int c = 'a'; c <= 'z'; ++c) {
    tables->upper[c] = static_cast<uint8_t>(c - ('a' - 'A'));
    tables->flags[c] = kClassLower;
  }
  for (int c = '0'; c <= '9'; ++c) tables->flags[c] = kClassDigit;
}

void SetSystemCase(CollationTables* tables) {
  SetDefaultCase(tables);
  for (int code = 128; code < 256; ++code) {
    uint8_t c = static_cast<uint8_t>(code);
    if (!platform::IsCharAlpha(c)) continue;
    if (platform::IsCharUpper(c)) {
      tables->flags[c] = kClassUpper;
      uint8_t lower = platform::CharLower(c);
      if (lower >= 128) tables->lower[c] = lower;
    } else {
      tables->flags[c] = kClassLower;
      uint8_t upper = platform::CharUpper(c);
      if (upper >= 128) tables->upper[c] = upper;
    }
  }
}

void SetCasePairs(CollationTables* tables, std::string_view upper, std::string_view lower) {
  SetDefaultCase(tables);
  size_t n = upper.size() < lower.size() ? upper.size() : lower.size();
  for (size_t i = 0; i < n; ++i) {
    uint8_t u = static_cast<uint8_t>(upper[i]);
    uint8_t l = static_cast<uint8_t>(lower[i]);
    if (u < 128 || l < 128) continue;
    tables->flags[u] = kClassUpper;
    tables->flags[l] = kClassLower;
    tables->lower[u] = l;
    tables->upper[l] = u;
  }
}

void SetDigraphs(CollationTables* tables, std::span<const std::string> items) {
  tables->digraphs = {};
  int count = 0;
  for (const std::string& item : items) {
    if (count == kMaxDigraphs) break;
    if (item.size() != 3 || item[0] == '\0') continue;
    tables->digraphs[count++] =
        Digraph{static_cast<uint8_t>(item[0]), static_cast<uint8_t>(item[1]),
                static_cast<uint8_t>(item[2])};
  }
}

int CollationCompare(const CollationTables& tables, std::string_view a, std::string_view b) {
  return Compare(tables, a, b, 0);
}

int CompareBlankPadded(const CollationTables& tables, std::string_view a, std::string_view b) {
  return Compare(tables, a, b, ' ');
}

std::string ToUpper(const CollationTables& tables, std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(tables.upper[static_cast<uint8_t>(c)]);
  return out;
}

std::string ToLower(const CollationTables& tables, std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(tables.lower[static_cast<uint8_t>(c)]);
  return out;
}

void SerializeCollation(const CollationTables& tables, uint8_t out[kCollationTablesSize]) {
  std::memset(out, 0, kCollationTablesSize);
  std::memcpy(out + kWeightOffset, tables.weight.data(), 256);
  std::memcpy(out + kUpperOffset, tables.upper.data(), 256);
  std::memcpy(out + kLowerOffset, tables.lower.data(), 256);
  std::memcpy(out + kFlagsOffset, tables.flags.data(), 256);
  for (int i = 0; i < kMaxDigraphs; ++i) {
    const Digraph& digraph = tables.digraphs[i];
    if (digraph.character == 0) continue;
    uint8_t* entry = out + kDigraphOffset + 3 * i;
    entry[0] = digraph.character;
    entry[1] = digraph.first;
    entry[2] = digraph.second;
  }
}

bool DeserializeCollation(const uint8_t* data, size_t size, CollationTables* tables) {
  if (data == nullptr || size != kCollationTablesSize) return false;
  std::memcpy(tables->weight.data(), data + kWeightOffset, 256);
  std::memcpy(tables->upper.data(), data + kUpperOffset, 256);
  std::memcpy(tables->lower.data(), data + kLowerOffset, 256);
  std::memcpy(tables->flags.data(), data + kFlagsOffset, 256);
  for (int i = 0; i < kMaxDigraphs; ++i) {
    const uint8_t* entry = data + kDigraphOffset + 3 * i;
    tables->digraphs[i] = entry[0] == 0 ? Digraph{} : Digraph{entry[0], entry[1], entry[2]};
  }
  return true;
}

}  // namespace tentaria::runtime
