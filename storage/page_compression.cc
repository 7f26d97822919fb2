#include "storage/page_compression.h"

#include <bit>
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

// Sixteen bytes as one vector: the compiler compares all of them at once.
using Lanes = uint8_t __attribute__((vector_size(16)));

Lanes LoadLanes(const uint8_t* p) {
  Lanes lanes;
  std::memcpy(&lanes, p, sizeof lanes);
  return lanes;
}

// How many of the 16 positions from p come before the first at which a run
// of 4 equal bytes starts; 16 when none does (p[0] to p[18] must be
// readable).  Most packed text has no runs, so the scan below skips it
// sixteen bytes at a time.
size_t RunFreeSpan(const uint8_t* p) {
  Lanes a = LoadLanes(p);
  Lanes b = LoadLanes(p + 1);
  Lanes c = LoadLanes(p + 2);
  Lanes d = LoadLanes(p + 3);
  // A lane is all ones where the position's next three bytes equal it.
  auto starts = (a == b) & (b == c) & (c == d);
  uint64_t halves[2];
  std::memcpy(halves, &starts, sizeof halves);
  for (size_t half = 0; half < 2; ++half) {
    if (halves[half] == 0) continue;
    int bits = std::endian::native == std::endian::little ? std::countr_zero(halves[half])
                                                          : std::countl_zero(halves[half]);
    return half * 8 + static_cast<size_t>(bits) / 8;
  }
  return 16;
}

// Copies n bytes, sixteen at a time, when both sides have room for the
// rounded-up count: stretches in a page are short, and a few fixed-size
// moves beat a call per stretch.  Bytes written past n are overwritten by
// whatever follows, since expansion writes in order.
void CopyStretch(uint8_t* out, size_t out_room, const uint8_t* in, size_t in_room, size_t n) {
  if (n > 64 || n + 15 > out_room || n + 15 > in_room) {
    std::memcpy(out, in, n);
    return;
  }
  for (size_t i = 0; i < n; i += 16) std::memcpy(out + i, in + i, 16);
}

void FillStretch(uint8_t* out, size_t out_room, uint8_t value, size_t n) {
  if (n > 64 || n + 15 > out_room) {
    std::memset(out, value, n);
    return;
  }
  Lanes lanes = {};
  lanes += value;
  for (size_t i = 0; i < n; i += 16) std::memcpy(out + i, &lanes, 16);
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
    // shorter than 4 and stays literal either way.  Near the end the input
    // is walked stretch by stretch.
    if (n - i >= 19) {
      size_t span = RunFreeSpan(input + i);
      i += span;
      if (span == 16) continue;
    }
    size_t run = 1;
    while (i + run < n && input[i + run] == input[i]) ++run;
    if (run >= 4) {
      AppendCount(i + 1 - literal_start, out);
      out->append(reinterpret_cast<const char*>(input + literal_start), i + 1 - literal_start);
      AppendCount(run - 1, out);
      any_run = true;
      literal_start = i + run;
    }
    i += run;
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
    CopyStretch(out + out_pos, out_size - out_pos, input + in_pos, n - in_pos, literal);
    in_pos += literal;
    out_pos += literal;
    if (out_pos == out_size) break;
    size_t run = 0;
    if (!ReadCount(input, n, &in_pos, &run) || run > out_size - out_pos || out_pos == 0) {
      return InternalFault(fault::kRunOverrun);
    }
    FillStretch(out + out_pos, out_size - out_pos, out[out_pos - 1], run);
    out_pos += run;
  }
  return Status::Ok();
}

}  // namespace tentaria::storage
