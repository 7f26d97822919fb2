#include "storage/key_component.h"

#include <algorithm>
#include <vector>

#include "runtime/value_types.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;

enum class Transform {
  kCopy,
  kReverse,
  kSigned,
  kReal,
  kBfloat,
  kDecimal,
  kPDecimal,
  kText,
  kCString,
  kPString,
};

Transform TransformOf(uint8_t type) {
  switch (static_cast<TypeCode>(type)) {
    case TypeCode::USHORT:
    case TypeCode::ULONG:
    case TypeCode::DATE:
    case TypeCode::TIME:
      return Transform::kReverse;
    case TypeCode::SHORT:
    case TypeCode::LONG:
      return Transform::kSigned;
    case TypeCode::SREAL:
    case TypeCode::REAL:
      return Transform::kReal;
    case TypeCode::BFLOAT4:
    case TypeCode::BFLOAT8:
      return Transform::kBfloat;
    case TypeCode::DECIMAL:
      return Transform::kDecimal;
    case TypeCode::PDECIMAL:
      return Transform::kPDecimal;
    case TypeCode::STRING:
    case TypeCode::GROUP:
      return Transform::kText;
    case TypeCode::CSTRING:
      return Transform::kCString;
    case TypeCode::PSTRING:
      return Transform::kPString;
    default:
      return Transform::kCopy;
  }
}

// Reals and decimals invert their negative numbers; a descending component
// inverts again, so the two cancel.
bool IsSignedNumber(Transform transform) {
  return transform == Transform::kReal || transform == Transform::kBfloat ||
         transform == Transform::kDecimal || transform == Transform::kPDecimal;
}

void Invert(std::span<uint8_t> bytes) {
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(~b);
}

void Reverse(std::span<const uint8_t> in, std::span<uint8_t> out) {
  std::reverse_copy(in.begin(), in.end(), out.begin());
}

// The nibbles of packed digits: nibble k is the high half of byte k / 2 for
// even k, the low half for odd k.
uint8_t Nibble(std::span<const uint8_t> bytes, size_t k) {
  uint8_t b = bytes[k / 2];
  return k % 2 == 0 ? static_cast<uint8_t>(b >> 4) : static_cast<uint8_t>(b & 0x0F);
}
void SetNibble(std::span<uint8_t> bytes, size_t k, uint8_t value) {
  uint8_t& b = bytes[k / 2];
  b = k % 2 == 0 ? static_cast<uint8_t>((b & 0x0F) | value << 4)
                 : static_cast<uint8_t>((b & 0xF0) | (value & 0x0F));
}

constexpr uint8_t kPDecimalNegative = 0xD;
constexpr uint8_t kPDecimalPositive = 0xF;
constexpr uint8_t kDecimalNegative = 0xF;

// BFLOAT layout (runtime/bfloat.h): mantissa little-endian in the low bytes,
// the sign in bit 7 of the byte before the last, the exponent last.  The
// sortable form is sign, exponent, mantissa as one big-endian number.
uint64_t BfloatToSortable(std::span<const uint8_t> in) {
  size_t n = in.size();
  uint8_t exponent = in[n - 1];
  if (exponent == 0) return 0;
  int mantissa_bits = static_cast<int>(8 * (n - 1) - 1);
  uint64_t mantissa = 0;
  for (size_t i = n - 1; i-- > 0;) mantissa = mantissa << 8 | in[i];
  uint64_t sign = mantissa >> mantissa_bits;
  mantissa &= (uint64_t{1} << mantissa_bits) - 1;
  return sign << (mantissa_bits + 8) | uint64_t{exponent} << mantissa_bits | mantissa;
}
void SortableToBfloat(uint64_t bits, std::span<uint8_t> out) {
  size_t n = out.size();
  int mantissa_bits = static_cast<int>(8 * (n - 1) - 1);
  uint8_t exponent = static_cast<uint8_t>(bits >> mantissa_bits);
  uint64_t sign = bits >> (mantissa_bits + 8) & 1;
  uint64_t low = (bits & ((uint64_t{1} << mantissa_bits) - 1)) | sign << mantissa_bits;
  for (size_t i = 0; i + 1 < n; ++i) out[i] = static_cast<uint8_t>(low >> (8 * i));
  out[n - 1] = exponent;
}
uint64_t LoadBig(std::span<const uint8_t> in) {
  uint64_t bits = 0;
  for (uint8_t b : in) bits = bits << 8 | b;
  return bits;
}

// Writes the transform of one element; returns whether it is a negative
// number (reals and decimals only).
bool EncodeElement(Transform transform, std::span<const uint8_t> in, bool nocase,
                   const KeyCollation& collation, std::span<uint8_t> out) {
  const size_t n = in.size();
  switch (transform) {
    case Transform::kCopy:
      std::copy(in.begin(), in.end(), out.begin());
      return false;
    case Transform::kReverse:
      Reverse(in, out);
      return false;
    case Transform::kSigned:
      Reverse(in, out);
      out[0] ^= 0x80;
      return false;
    case Transform::kReal: {
      Reverse(in, out);
      bool negative = (out[0] & 0x80) != 0;
      if (!negative) out[0] |= 0x80;
      return negative;
    }
    case Transform::kBfloat: {
      // Little-endian, as a real lies in the row.
      uint64_t bits = BfloatToSortable(in);
      uint8_t sortable[8];
      for (size_t i = 0; i < n; ++i) sortable[i] = static_cast<uint8_t>(bits >> (8 * i));
      return EncodeElement(Transform::kReal, std::span<const uint8_t>(sortable, n), nocase,
                           collation, out);
    }
    case Transform::kDecimal: {
      std::copy(in.begin(), in.end(), out.begin());
      bool negative = (out[0] & 0xF0) != 0;
      out[0] = static_cast<uint8_t>((out[0] & 0x0F) ^ 0x80);
      return negative;
    }
    case Transform::kPDecimal: {
      // Digits move one nibble on, behind a cleared sign half.
      out[0] = 0;
      for (size_t k = 0; k + 1 < 2 * n; ++k) SetNibble(out, k + 1, Nibble(in, k));
      out[0] ^= 0x80;
      return (in[n - 1] & 0x0F) == kPDecimalNegative;
    }
    case Transform::kText:
      collation.Map(in, nocase, out);
      return false;
    case Transform::kCString:
    case Transform::kPString: {
      std::vector<uint8_t> text(n, 0);
      if (transform == Transform::kCString) {
        auto end = std::find(in.begin(), in.end(), uint8_t{0});
        std::copy(in.begin(), end, text.begin());
      } else {
        size_t length = std::min<size_t>(in[0], n - 1);
        std::copy(in.begin() + 1, in.begin() + 1 + static_cast<std::ptrdiff_t>(length),
                  text.begin());
      }
      collation.Map(text, nocase, out);
      return false;
    }
  }
  return false;  // every transform returns above
}

// The inverse of EncodeElement for an element already freed of its
// descending inversion.  A real or decimal whose first bit is clear was
// inverted as a negative number.
void DecodeElement(Transform transform, std::span<const uint8_t> in, const KeyCollation& collation,
                   std::span<uint8_t> out) {
  const size_t n = in.size();
  std::vector<uint8_t> work(in.begin(), in.end());
  bool negative = IsSignedNumber(transform) && (work[0] & 0x80) == 0;
  if (negative) Invert(work);
  switch (transform) {
    case Transform::kCopy:
      std::copy(work.begin(), work.end(), out.begin());
      return;
    case Transform::kReverse:
      Reverse(work, out);
      return;
    case Transform::kSigned:
      work[0] ^= 0x80;
      Reverse(work, out);
      return;
    case Transform::kReal:
      if (!negative) work[0] &= 0x7F;
      Reverse(work, out);
      return;
    case Transform::kBfloat:
      if (!negative) work[0] &= 0x7F;
      SortableToBfloat(LoadBig(work), out);
      return;
    case Transform::kDecimal:
      work[0] ^= 0x80;
      if (negative) work[0] |= kDecimalNegative << 4;
      std::copy(work.begin(), work.end(), out.begin());
      return;
    case Transform::kPDecimal:
      work[0] ^= 0x80;
      for (size_t k = 0; k + 1 < 2 * n; ++k) SetNibble(out, k, Nibble(work, k + 1));
      SetNibble(out, 2 * n - 1, negative ? kPDecimalNegative : kPDecimalPositive);
      return;
    case Transform::kText:
    case Transform::kCString:
      collation.Unmap(work, out);
      return;
    case Transform::kPString: {
      std::vector<uint8_t> text(n);
      collation.Unmap(work, text);
      auto last = std::find_if(text.rbegin() + 1, text.rend(), [](uint8_t c) { return c != 0; });
      size_t length = static_cast<size_t>(text.rend() - last);
      std::fill(out.begin(), out.end(), uint8_t{0});
      out[0] = static_cast<uint8_t>(length);
      std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), out.begin() + 1);
      return;
    }
  }
}

size_t ElementSize(const FieldDescriptor& field) {
  uint32_t elements = field.Elements();
  return elements == 0 || field.size % elements != 0 ? field.size : field.size / elements;
}

// The transform of one element of the field; a BFLOAT of a size that is not
// one of its two forms is copied.
Transform ElementTransform(const FieldDescriptor& field, size_t element_size) {
  Transform transform = TransformOf(field.type);
  if (transform == Transform::kBfloat && element_size != 4 && element_size != 8) {
    return Transform::kCopy;
  }
  return transform;
}

}  // namespace

bool EncodeKeyComponent(const FieldDescriptor& field, std::span<const uint8_t> bytes, bool nocase,
                        bool descending, const KeyCollation& collation, std::span<uint8_t> out) {
  if (bytes.size() != field.size || out.size() != field.size) return false;
  size_t element = ElementSize(field);
  Transform transform = ElementTransform(field, element);
  for (size_t at = 0; at < field.size; at += element) {
    std::span<uint8_t> piece = out.subspan(at, element);
    bool negative = EncodeElement(transform, bytes.subspan(at, element), nocase, collation, piece);
    if (negative != descending) Invert(piece);
  }
  return true;
}

bool DecodeKeyComponent(const FieldDescriptor& field, std::span<const uint8_t> encoded,
                        bool descending, const KeyCollation& collation, std::span<uint8_t> out) {
  if (encoded.size() != field.size || out.size() != field.size) return false;
  size_t element = ElementSize(field);
  Transform transform = ElementTransform(field, element);
  std::vector<uint8_t> piece;
  for (size_t at = 0; at < field.size; at += element) {
    piece.assign(encoded.begin() + static_cast<std::ptrdiff_t>(at),
                 encoded.begin() + static_cast<std::ptrdiff_t>(at + element));
    if (descending) Invert(piece);
    DecodeElement(transform, piece, collation, out.subspan(at, element));
  }
  return true;
}

bool IsEmptyKeyComponent(const FieldDescriptor& field, std::span<const uint8_t> bytes) {
  switch (TransformOf(field.type)) {
    case Transform::kText:
      return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == ' '; });
    case Transform::kCString:
    case Transform::kPString:
      return bytes.empty() || bytes[0] == 0;
    default:
      return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
  }
}

}  // namespace tentaria::storage
