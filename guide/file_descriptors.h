// The declarations of the guide's ten record files, as the storage engine
// opens and creates them: record layout, keys in the order the file
// managers are given them, the memo, attributes, owner password and name.
//
//   prefix  file                         kind       keys  memos  record
//   GNAW    GezNAW.TVN                   guide data    5      0     261
//   GFAC    GezFAC.TVN                   guide data    1      0     309
//   GSEL    GezSEL.TVN                   guide data    1      0     122
//   GINF    GezINFO.TVN                  guide data    1      1       3
//   PRO     PROVINCI.TVN                 guide data    1      0      15
//   GPRI    GezPRIJZ.TVN                 guide data    1      0     279
//   GFOT    GEZFOTO                      guide data    1      0      28
//   SEL     C:\OKV\TA2000\Selectie.TVN   working       1      0     293
//   GVD     C:\OKV\TA2000\Gezvonde.TVN   working       4      0      96
//   TAG     C:\OKV\TA2000\TagFile.tvn    working       2      0      32
//
// Every file but PROVINCI is enciphered under the owner password; the
// guide files are only read, the working files are the program's own.
#ifndef TENTARIA_GUIDE_FILE_DESCRIPTORS_H_
#define TENTARIA_GUIDE_FILE_DESCRIPTORS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "storage/table_definition.h"

namespace tentaria::guide {

// The files in the order of the dictionary.
enum class GuideFile : uint8_t {
  GezNAW,
  GezFAC,
  GezSEL,
  GezINFO,
  PROVINCI,
  GezPRIJZ,
  GEZFOTO,
  Selectie,
  Gezvonde,
  TagFile,
};
inline constexpr size_t kGuideFileCount = 10;
inline constexpr std::array<GuideFile, kGuideFileCount> kGuideFiles = {
    GuideFile::GezNAW,   GuideFile::GezFAC,   GuideFile::GezSEL,  GuideFile::GezINFO,
    GuideFile::PROVINCI, GuideFile::GezPRIJZ, GuideFile::GEZFOTO, GuideFile::Selectie,
    GuideFile::Gezvonde, GuideFile::TagFile,
};

inline constexpr std::string_view kOwnerPassword = "Quokka";
// The largest information text of a campsite (GINF:TEXTVELD).
inline constexpr uint16_t kInformationTextSize = 2000;

// The declaration of a file; built once, lives for the program.
const storage::FileDescriptor& Descriptor(GuideFile file);

// Positions from 0 of a field or key of a declaration, by label.
std::optional<size_t> FieldNumber(const storage::FileDescriptor& file, std::string_view label);
std::optional<size_t> KeyNumber(const storage::FileDescriptor& file, std::string_view label);

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_FILE_DESCRIPTORS_H_
