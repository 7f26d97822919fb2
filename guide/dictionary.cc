#include "guide/dictionary.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "guide/records.h"
#include "platform/path.h"
#include "storage/table_name.h"

namespace tentaria::guide {
namespace {

template <typename Record>
std::span<uint8_t> BytesOf(Record& record) {
  return {reinterpret_cast<uint8_t*>(&record), sizeof(Record)};
}

}  // namespace

const FileSettings& Settings(GuideFile file) {
  // GezNAW, PROVINCI and TagFile are created empty when missing, so that
  // the guide opens them again; GEZFOTO is opened by a name of its own.
  static const std::array<FileSettings, kGuideFileCount> settings = {{
      {true, 10, Descriptor(GuideFile::GezNAW).name, "GNAW:BY_NUMMER"},
      {false, 10, Descriptor(GuideFile::GezFAC).name, {}},
      {false, 10, Descriptor(GuideFile::GezSEL).name, {}},
      {false, 10, Descriptor(GuideFile::GezINFO).name, {}},
      {true, 10, Descriptor(GuideFile::PROVINCI).name, {}},
      {false, 10, Descriptor(GuideFile::GezPRIJZ).name, {}},
      {false, 10, "GezFoto", {}},
      {false, 10, Descriptor(GuideFile::Selectie).name, {}},
      {false, 10, Descriptor(GuideFile::Gezvonde).name, {}},
      {true, 10, Descriptor(GuideFile::TagFile).name, {}},
  }};
  return settings[static_cast<size_t>(file)];
}

std::span<uint8_t> Buffer(GuideFile file) {
  switch (file) {
    case GuideFile::GezNAW:
      return BytesOf(GNAW);
    case GuideFile::GezFAC:
      return BytesOf(GFAC);
    case GuideFile::GezSEL:
      return BytesOf(GSEL);
    case GuideFile::GezINFO:
      return BytesOf(GINF);
    case GuideFile::PROVINCI:
      return BytesOf(PRO);
    case GuideFile::GezPRIJZ:
      return BytesOf(GPRI);
    case GuideFile::GEZFOTO:
      return BytesOf(GFOT);
    case GuideFile::Selectie:
      return BytesOf(SEL);
    case GuideFile::Gezvonde:
      return BytesOf(GVD);
    case GuideFile::TagFile:
      return BytesOf(TAG);
  }
  return {};
}

bool IsWorkingFile(GuideFile file) {
  return file == GuideFile::Selectie || file == GuideFile::Gezvonde || file == GuideFile::TagFile;
}

std::string HostFileName(GuideFile file) {
  return platform::HostPath(
      platform::AddDefaultExtension(Settings(file).FILENAMEVALUE, storage::kDefaultExtension));
}

Status MakeWorkingFolder() {
  std::string folder = platform::HostPath(kWorkingFolder);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    return Status::Error(3, "cannot make the working folder " + folder + ": " + error.message());
  }
  return Status::Ok();
}

}  // namespace tentaria::guide
