// One component of a key value: a field's bytes from the row, turned into
// bytes whose unsigned bytewise order is the order of the field's values.
// A component takes exactly the field's size.
//
// Transform by type (the field's bytes, little-endian in the row):
//
//   BYTE and types not listed     copied
//   USHORT, ULONG, DATE, TIME     bytes reversed (big-endian)
//   SHORT, LONG                   bytes reversed, then the sign byte XOR 0x80
//   SREAL, REAL                   bytes reversed; a negative number (sign
//                                 bit set) is inverted, a positive one gets
//                                 0x80 set in its first byte
//   BFLOAT4, BFLOAT8              rewritten as sign, exponent, mantissa
//                                 (big-endian, a zero exponent as 0), then
//                                 as a real
//   DECIMAL                       copied; a non-zero sign half marks a
//                                 negative number: the half is cleared and
//                                 the component inverted; the first byte
//                                 XOR 0x80
//   PDECIMAL                      rewritten with the sign half first (the
//                                 DECIMAL layout, negative for sign D), then
//                                 as a DECIMAL
//   STRING, GROUP                 through the collation (key_collation.h),
//                                 upper-cased first for a NOCASE key
//   CSTRING                       the text up to its zero byte, the rest
//                                 zero, then as STRING
//   PSTRING                       the text without its length byte, the
//                                 rest zero, then as STRING
//
// A descending component is inverted after the transform (every byte b
// becomes 255 - b); for reals and decimals the two inversions cancel, so a
// descending negative number is not inverted.  An array is transformed
// element by element.
#ifndef TENTARIA_STORAGE_KEY_COMPONENT_H_
#define TENTARIA_STORAGE_KEY_COMPONENT_H_

#include <cstdint>
#include <span>

#include "storage/key_collation.h"
#include "storage/table_definition.h"

namespace tentaria::storage {

// `bytes` and `out` both hold field.size bytes, or nothing is written and
// the result is false.
bool EncodeKeyComponent(const FieldDescriptor& field, std::span<const uint8_t> bytes, bool nocase,
                        bool descending, const KeyCollation& collation, std::span<uint8_t> out);

// The field's bytes back from a component, for showing a key.  Numbers,
// dates and times come back exactly (the zeros of the real and decimal
// forms come back positive, a PDECIMAL with the sign written as F or D);
// text comes back as KeyCollation::Unmap gives it, a PSTRING with its
// length byte counted up to the last non-zero byte.
bool DecodeKeyComponent(const FieldDescriptor& field, std::span<const uint8_t> encoded,
                        bool descending, const KeyCollation& collation, std::span<uint8_t> out);

// Whether the field's bytes are empty for an OPT key: a STRING or GROUP of
// all blanks, a CSTRING or PSTRING whose first byte is 0, any other field
// of all zero bytes.
bool IsEmptyKeyComponent(const FieldDescriptor& field, std::span<const uint8_t> bytes);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_KEY_COMPONENT_H_
