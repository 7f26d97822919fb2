// The Tavrin driver: carries out the generic file operations on tables of
// record files.  Programs reach it only through Dispatch with the
// descriptor that TavrinDriver() returns.
//
// Arguments of the operations (OperationArguments::numbers, then texts);
// key numbers are a key's position in the declaration, from 0; record
// pointers are record numbers:
//
//   OPEN, SHARE        numbers[0] open mode (default 0x22; SHARE 0x42)
//   CREATE             numbers[0] create request: an open mode, plus 0x200
//                      to replace the file (default 0x12, with 0x200 for a
//                      name without a table part)
//   SETfileptr         numbers[0] record number
//   SETkey, SETfilekey, SETkeykey
//                      numbers[0] key
//   SETkeyptr, SETkeykeyptr
//                      numbers[0] key, numbers[1] record number
//   GETfilekey         numbers[0] key
//   GETfileptr         numbers[0] record number
//   GETkeyptr          numbers[0] key, numbers[1] record number
//   PUTfileptr         numbers[0] record number
//   SKIP               numbers[0] count, negative backwards
//   DUPLICATEkey, POINTERkey, RECORDSkey, QUERY_KEY, POSITIONkey
//                      numbers[0] key
//   HOLDfilesec, LOCKfilesec
//                      numbers[0] seconds
//   RESETfile, REGETfile
//                      texts[0] a position from POSITIONfile
//   RESETkey, REGETkey numbers[0] key, texts[0] a position from POSITIONkey
//   SEND               texts[0] the command: "TCF", "TCF=name", "FULLBUILD",
//                      "FULLBUILD=ON" or "FULLBUILD=OFF"; "HELD" and
//                      "WATCHED" answer "ON" when the open holds (watches)
//                      its current row, else "OFF"
//   COPY, RENAME       texts[0] the target name
//   BUILDkey           numbers[0] key
//
// Answers go to the control block: BOF and EOF, DUPLICATE and DUPLICATEkey
// answer 1 for true; POINTER*, RECORDS* and COUNTRECORDS the number; NAME,
// POSITION* and SEND a text; QUERY_KEY the key's attribute bits and its
// label.
//
// CREATE makes the file or table and leaves it closed; a table that exists
// already is left as it is and the call fails with 5.  COPY and REMOVE
// open the file themselves (read-write, deny none), so an open of this
// control block must share it; RENAME and REMOVE need it closed (52).
//
// A saved position is the record-tree key of the row: its data row key for
// POSITIONfile, its entry in the key for POSITIONkey.
#ifndef TENTARIA_STORAGE_TAVRIN_DRIVER_H_
#define TENTARIA_STORAGE_TAVRIN_DRIVER_H_

#include <functional>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "storage/file_interface.h"
#include "storage/key_build.h"

namespace tentaria::storage {

// The Tavrin descriptor with its dispatch entry set, working on the given
// file system.
DriverDescriptor TavrinDriver(platform::FileSystem* fs = platform::FileSystem::Default());

// The text shown for an internal fault on an open file, and when no file is
// current.
inline constexpr std::string_view kCorruptionText = "Possible data corruption in file";
inline constexpr std::string_view kDriverErrorText = "Tavrin File Driver Error";

// Shows an internal fault to the user: the fault number, the text and the
// file.  The runtime's user interface sets it; the default only records
// the last fault shown (LastShownFault).
using FaultMessageHook =
    std::function<void(int fault, std::string_view text, std::string_view file)>;
// Replaces the hook; returns the previous one.  An empty hook restores the
// default.
FaultMessageHook SetFaultMessageHook(FaultMessageHook hook);

// The program's build progress handling, told after each row a key build
// reads; answering false cancels the build (93).  Replaces the handling;
// returns the previous one.
BuildProgress SetBuildProgressHook(BuildProgress progress);

struct ShownFault {
  int fault = 0;
  std::string text;
  std::string file;
};
// What the default hook recorded last.
ShownFault LastShownFault();

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_TAVRIN_DRIVER_H_
