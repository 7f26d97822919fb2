#include "storage/page_compression.h"

#include <cstring>

#include "storage/internal_fault.h"

namespace tentaria::storage {

namespace {

void AppendCount(size_t count, std::string* out) {
  while (count >= 0x80) {
    out->push_back(static_cast<char>(0x80 | (count & 0x7F)));
    count >>= 7;
  }
  out->push_back(static_cast<char>(count));
}

// Reads a base-128 count; false when the input ends inside it or the count
// could not describe any page (more than 28 bits).
bool ReadCount(const uint8_t* input, size_t n, size_t* pos, size_t* count) {
  size_t value = 0;
  for (int shift = 0; shift < 28; shift += 7) {
    if (*pos >= n) return false;
    uint8_t byte = input[(*pos)++];
    value |= static_cast<size_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) {
      *count = value;
      return true;
    }
  }
  return false;
}

// Whether no run of 4 equal bytes starts at any of the 8 positions from p
// (p[0] to p[10] must be readable).  Most packed text has no runs, so the
// scan below skips it a word at a time.
bool NoRunStartsIn8(const uint8_t* p) {
  uint64_t w0 = 0;
  uint64_t w1 = 0;
  uint64_t w2 = 0;
  uint64_t w3 = 0;
  std::memcpy(&w0, p, 8);
  std::memcpy(&w1, p + 1, 8);
  std::memcpy(&w2, p + 2, 8);
  std::memcpy(&w3, p + 3, 8);
  // A zero byte in any lane of d marks a position whose next three bytes
  // equal it.  The lane order does not matter: only "any zero" is asked.
  uint64_t d = (w0 ^ w1) | (w1 ^ w2) | (w2 ^ w3);
  constexpr uint64_t kLow = 0x0101010101010101ULL;
  constexpr uint64_t kHigh = 0x8080808080808080ULL;
  return ((d - kLow) & ~d & kHigh) == 0;
}

}  // namespace

bool CompressPage(const uint8_t* input, size_t n, std::string* out) {
  size_t original_size = out->size();
  size_t literal_start = 0;
  bool any_run = false;
  size_t i = 0;
  while (i < n) {
    // i always starts a stretch of equal bytes, and a stretch of 4 or more
    // is always found at its start; a stretch that a skip lands inside is
    // shorter than 4 and stays literal either way.
    if (n - i > 10 && NoRunStartsIn8(input + i)) {
      i += 8;
      continue;
    }
    size_t run = 1;
    while (i + run < n && input[i + run] == input[i]) ++run;
    if (run < 4) {
      i += run;
      continue;
    }
    AppendCount(i + 1 - literal_start, out);
    out->append(reinterpret_cast<const char*>(input + literal_start), i + 1 - literal_start);
    AppendCount(run - 1, out);
    any_run = true;
    i += run;
    literal_start = i;
  }
  if (!any_run) {
    out->resize(original_size);
    return false;
  }
  AppendCount(n - literal_start, out);
  out->append(reinterpret_cast<const char*>(input + literal_start), n - literal_start);
  return true;
}

Status ExpandPage(const uint8_t* input, size_t n, uint8_t* out, size_t out_size) {
  size_t in_pos = 0;
  size_t out_pos = 0;
  while (out_pos < out_size) {
    size_t literal = 0;
    if (!ReadCount(input, n, &in_pos, &literal) || literal > out_size - out_pos ||
        literal > n - in_pos) {
      return InternalFault(fault::kLiteralOverrun);
    }
    std::memcpy(out + out_pos, input + in_pos, literal);
    in_pos += literal;
    out_pos += literal;
    if (out_pos == out_size) break;
    size_t run = 0;
    if (!ReadCount(input, n, &in_pos, &run) || run > out_size - out_pos || out_pos == 0) {
      return InternalFault(fault::kRunOverrun);
    }
    std::memset(out + out_pos, out[out_pos - 1], run);
    out_pos += run;
  }
  return Status::Ok();
}

}  // namespace tentaria::storage
