// The guide's dictionary beyond the file declarations: each file's record
// buffer, the settings its file manager is given, where the file lives on
// this machine.
//
// The seven guide files are opened by bare name from the current folder
// (the guide folder).  The three working files live in the fixed folder
// C:\OKV\TA2000\, which the drive table maps to a folder of the user's
// data (platform/path.h).
#ifndef TENTARIA_GUIDE_DICTIONARY_H_
#define TENTARIA_GUIDE_DICTIONARY_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "guide/file_descriptors.h"
#include "platform/status.h"
#include "storage/table_definition.h"

namespace tentaria::guide {

inline constexpr std::string_view kWorkingFolder = "C:\\OKV\\TA2000";

// What the dictionary start-up gives a file's manager.
struct FileSettings {
  bool CREATE = false;       // create the file when it is missing
  int16_t LOCKRECOVER = 10;  // seconds of lock recovery when the file is locked
  // The name the manager opens the file by and reports as %File.
  std::string_view FILENAMEVALUE;
  // The key that numbers new records; empty for none.
  std::string_view auto_increment_key;
};

const FileSettings& Settings(GuideFile file);

// The file's record buffer (records.h), as bytes.
std::span<uint8_t> Buffer(GuideFile file);

// Whether the file is one of the program's own working files.
bool IsWorkingFile(GuideFile file);

// The host path of the file: its manager's name with the default
// extension, mapped through the current folder or the drive table.
std::string HostFileName(GuideFile file);

// Creates the working folder (and its parents) when it is missing, so that
// the working files can be created in it.
Status MakeWorkingFolder();

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_DICTIONARY_H_
