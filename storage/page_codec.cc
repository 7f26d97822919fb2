#include "storage/page_codec.h"

#include <algorithm>

#include "storage/bytes.h"
#include "storage/internal_fault.h"

namespace tentaria::storage {

namespace {
constexpr uint8_t kHasLength = 0x80;
constexpr uint8_t kHasKeyLength = 0x40;
constexpr uint8_t kSharedMask = 0x3F;
}  // namespace

void PackEntries(const Page& page, std::string* out) {
  std::string_view previous;
  size_t previous_key_length = 0;
  for (size_t i = 0; i < page.size(); ++i) {
    PageEntry e = page.entry(i);
    size_t shared = 0;
    uint8_t flags = 0;
    if (i == 0) {
      flags = kHasLength | kHasKeyLength;
    } else {
      size_t limit = std::min({kMaxShared, previous.size(), e.bytes.size()});
      while (shared < limit && previous[shared] == e.bytes[shared]) ++shared;
      if (e.bytes.size() != previous.size()) flags |= kHasLength;
      if (e.key_length != previous_key_length) flags |= kHasKeyLength;
    }
    out->push_back(static_cast<char>(flags | shared));
    uint8_t number[2];
    if (flags & kHasLength) {
      StoreU16(number, static_cast<uint16_t>(e.bytes.size()));
      out->append(reinterpret_cast<char*>(number), 2);
    }
    if (flags & kHasKeyLength) {
      StoreU16(number, e.key_length);
      out->append(reinterpret_cast<char*>(number), 2);
    }
    out->append(e.bytes.substr(shared));
    previous = e.bytes;
    previous_key_length = e.key_length;
  }
}

Status UnpackEntries(const uint8_t* data, size_t n, size_t count, bool index, size_t bytes_hint,
                     Page* page) {
  page->Reserve(count, bytes_hint);
  size_t pos = 0;
  size_t length = 0;
  size_t key_length = 0;
  size_t previous_length = 0;
  for (size_t i = 0; i < count; ++i) {
    if (pos >= n) return InternalFault(fault::kUnpackedSize);
    uint8_t flags = data[pos++];
    size_t shared = flags & kSharedMask;
    if (i == 0 &&
        ((flags & (kHasLength | kHasKeyLength)) != (kHasLength | kHasKeyLength) || shared != 0)) {
      return InternalFault(fault::kUnpackedSize);
    }
    if (flags & kHasLength) {
      if (n - pos < 2) return InternalFault(fault::kUnpackedSize);
      length = LoadU16(data + pos);
      pos += 2;
    }
    if (flags & kHasKeyLength) {
      if (n - pos < 2) return InternalFault(fault::kUnpackedSize);
      key_length = LoadU16(data + pos);
      pos += 2;
    }
    if (shared > previous_length || shared > length || key_length > length ||
        (index && key_length != length) || length - shared > n - pos) {
      return InternalFault(fault::kUnpackedSize);
    }
    page->AppendShared(shared,
                       std::string_view(reinterpret_cast<const char*>(data + pos), length - shared),
                       key_length);
    pos += length - shared;
    previous_length = length;
  }
  if (pos != n) return InternalFault(fault::kUnpackedSize);
  page->FinishLoad();
  return Status::Ok();
}

}  // namespace tentaria::storage
