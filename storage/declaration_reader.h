// Reads a file's declaration from the text form that declaration_writer.h
// writes, so that people can write a table's declaration by hand, or take
// it from an existing table and change it:
//
//   GezNAW FILE,DRIVER('TAVRIN'),NAME('GezNAW.TVN'),CREATE
//   KEY_NR KEY(+GNAW:NR),NOCASE,PRIMARY
//   OPM MEMO(1000),NAME('OPMERK')
//   RECORD
//   GNAW:NR LONG
//   GNAW:NAAM STRING(30),NAME('NAAM')
//   GNAW:VOORNAAM STRING(10), OVER(GNAW:NAAM)
//   END
//   END
//
// Lines end with CR LF or LF alone; keywords may be written in any case.
// Fields follow one another in the record (a group's members inside the
// group, after the first is placed OVER it) unless placed OVER an earlier
// field; the record is as long as its fields reach.  A string's length is
// its "(n)", or the width of its picture; a group's is its "(n)".  The
// owner password written as OWNER(******) is not read: it never appears in
// the text, so the caller supplies it.  The two further field attributes of
// a stored definition have no text form and come back as 0.
#ifndef TENTARIA_STORAGE_DECLARATION_READER_H_
#define TENTARIA_STORAGE_DECLARATION_READER_H_

#include <string>
#include <string_view>

#include "platform/status.h"
#include "storage/table_definition.h"

namespace tentaria::storage {

// Fills *label with the file's label and *file with the declaration.  A
// text that is not a declaration, or one that fails ValidateDefinition,
// is "Invalid Record Declaration" (47) with a message that starts with
// the number of the offending line: "line 4: unknown type 'LONGG'".
Status ReadDeclaration(std::string_view text, std::string* label, FileDescriptor* file);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_DECLARATION_READER_H_
