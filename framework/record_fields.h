// Field values of a declared file's record buffer as the file and relation
// managers need them: a field's value compared or carried to another
// field by value (linking fields may differ in type, as a number with
// decimals linked to one without), a number stored into a numbered field,
// and fields cleared to blank or zero.
#ifndef TENTARIA_FRAMEWORK_RECORD_FIELDS_H_
#define TENTARIA_FRAMEWORK_RECORD_FIELDS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/decimal.h"
#include "storage/declared_file.h"

namespace tentaria::framework {

// Whether the field holds a number (dates and times included).
bool IsNumericField(const storage::FieldDescriptor& field);

// A numeric field's value; 0 for a field that holds no number.
runtime::DecimalRegister FieldNumber(storage::DeclaredFile& file, size_t field);
// Stores a number into a numeric field, cut to what its type holds.
void SetFieldNumber(storage::DeclaredFile& file, size_t field,
                    const runtime::DecimalRegister& value);
// Stores the highest (or lowest) number the field's type holds.
void SetFieldExtreme(storage::DeclaredFile& file, size_t field, bool highest);

// The bytes of a field, and the field set from bytes (cut or zero-padded).
std::string FieldBytes(storage::DeclaredFile& file, size_t field);
void SetFieldBytes(storage::DeclaredFile& file, size_t field, std::string_view bytes);

// Whether two fields (of the same or different files) hold the same value:
// numbers compare by value; texts compare without trailing blanks.
bool SameValue(storage::DeclaredFile& left, size_t left_field, storage::DeclaredFile& right,
               size_t right_field);
// Copies a field's value into another field, converting numbers and
// blank-padding or cutting texts.
void CopyValue(storage::DeclaredFile& from, size_t from_field, storage::DeclaredFile& to,
               size_t to_field);

// Clears a field: STRING to blanks, everything else to zero bytes.
void ClearField(storage::DeclaredFile& file, size_t field);
// Clears every field of the record buffer and empties the memo buffers.
void ClearRecord(storage::DeclaredFile& file);

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_RECORD_FIELDS_H_
