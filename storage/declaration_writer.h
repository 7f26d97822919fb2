// Writes a file's declaration as text, for traces and diagnostics.
//
//   GezNAW FILE,DRIVER('TAVRIN'),OWNER(******),NAME('GezNAW.TVN'),CREATE\r\n
//   KEY_NR KEY(+GNAW:NR),NOCASE,PRIMARY\r\n
//   OPM MEMO(1000),NAME('OPMERK')\r\n
//   RECORD\r\n
//   GNAW:NR LONG\r\n
//   GNAW:NAAM STRING(30),NAME('NAAM')\r\n
//   END\r\n
//   END\r\n\r\n
//
// A group is written with the size of one element, as a string is.  The
// text gives no offsets: a field starts where NextFieldOffset puts it, and
// one that starts elsewhere, where an earlier field starts, is written OVER
// that field.  So fields laid one after another, groups with their members
// and fields over others read back (declaration_reader.h).  The owner
// password is never written.  Texts inside quotes have their
// quotes doubled, so the declaration reads back.  Key components that name
// no field of the record are written with an empty label rather than
// refused: the writer serves diagnostics of broken definitions too.
#ifndef TENTARIA_STORAGE_DECLARATION_WRITER_H_
#define TENTARIA_STORAGE_DECLARATION_WRITER_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "storage/table_definition.h"

namespace tentaria::storage {

std::string WriteDeclaration(std::string_view label, const FileDescriptor& file);

// Where the text of a declaration puts a field that follows `earlier`:
// after the field before it when that one ends inside a group (the
// group's next member), else after every earlier field.
uint32_t NextFieldOffset(std::span<const FieldDescriptor> earlier);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_DECLARATION_WRITER_H_
