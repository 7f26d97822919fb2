#include "tools/make-guide/guide_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <span>

#include "guide/file_descriptors.h"
#include "guide/records.h"
#include "platform/charset.h"
#include "runtime/error_state.h"
#include "storage/declared_file.h"
#include "storage/error_texts.h"
#include "tools/make-guide/campsite.h"
#include "tools/make-guide/named_campsites.h"
#include "tools/make-guide/pictures/campsite_pictures.h"
#include "tools/make-guide/pictures/picture_files.h"
#include "tools/make-guide/places.h"

namespace tentaria::make_guide {
namespace {

using guide::GuideFile;

constexpr std::array<GuideFile, 7> kWritten = {
    GuideFile::GezNAW,   GuideFile::GezFAC,   GuideFile::GezSEL,  GuideFile::GezINFO,
    GuideFile::PROVINCI, GuideFile::GezPRIJZ, GuideFile::GEZFOTO,
};

// The file's declaration under a host path in the guide folder.
storage::FileDescriptor DeclarationIn(const std::string& folder, GuideFile file) {
  storage::FileDescriptor declaration = guide::Descriptor(file);
  declaration.name = folder + "/" + declaration.name;
  return declaration;
}

Status Failure(std::string_view what, const storage::FileDescriptor& declaration) {
  int code = runtime::ErrorCode();
  return Status::Error(code, std::string(what) + " " + declaration.name + ": " +
                                 storage::ErrorText(code) + " (" + std::to_string(code) + ")");
}

// One guide file being written: created empty, filled with rows appended
// without key updates, then its keys are built in one pass.  Rows go in
// batches, each one transaction of this file alone: outside a transaction
// every row would be committed to the disk on its own.
class FileWriter {
 public:
  FileWriter(const std::string& folder, GuideFile file)
      : declaration_(DeclarationIn(folder, file)), file_(declaration_) {}

  Status Start() {
    if (file_.Create() != 0) return Failure("cannot create", declaration_);
    if (file_.Open(platform::open_mode::kReadWrite | platform::open_mode::kDenyAll) != 0) {
      return Failure("cannot open", declaration_);
    }
    return Status::Ok();
  }

  Status BeginBatch() {
    if (file_.Call(storage::op::LOGOUT) != 0) return Failure("cannot start writing", declaration_);
    return Status::Ok();
  }

  Status EndBatch() {
    if (file_.Call(storage::op::COMMIT) != 0) return Failure("cannot commit", declaration_);
    return Status::Ok();
  }

  template <typename Record>
  Status Append(const Record& record, std::string_view memo = {}) {
    static_assert(std::is_trivially_copyable_v<Record>);
    std::memcpy(file_.record().data(), &record, sizeof record);
    if (!declaration_.memos.empty()) file_.memo(0).assign(memo);
    if (file_.Append() != 0) return Failure("cannot write to", declaration_);
    return Status::Ok();
  }

  Status Finish() {
    if (file_.Call(storage::op::BUILDfile) != 0) {
      return Failure("cannot build the keys of", declaration_);
    }
    if (file_.Close() != 0) return Failure("cannot close", declaration_);
    return Status::Ok();
  }

 private:
  storage::FileDescriptor declaration_;
  storage::DeclaredFile file_;
};

// Positions of the files in kWritten.
enum WrittenFile : size_t {
  kNaw,
  kFacilities,
  kAnswers,
  kInformation,
  kProvinces,
  kPrices,
  kPictures
};

Status WriteProvinces(FileWriter& provinces) {
  Status s = provinces.BeginBatch();
  for (std::string_view name : ProvinceNames()) {
    if (!s.ok()) return s;
    guide::PROVINCIRecord record{};
    guide::Assign(record.PROVINCIE, platform::Utf8ToCp1252(name));
    s = provinces.Append(record);
  }
  return s.ok() ? provinces.EndBatch() : s;
}

// The rows of a batch of campsites for one file.
Status WriteRows(std::span<const Campsite> campsites, WrittenFile file, FileWriter& writer) {
  Status s = writer.BeginBatch();
  for (const Campsite& campsite : campsites) {
    if (!s.ok()) return s;
    switch (file) {
      case kNaw:
        s = writer.Append(campsite.naw);
        break;
      case kFacilities:
        s = writer.Append(campsite.facilities);
        break;
      case kAnswers:
        s = writer.Append(campsite.answers);
        break;
      case kInformation:
        for (const std::string& text : campsite.information) {
          guide::GezINFORecord record{};
          std::memcpy(record.NUMMER, campsite.naw.NUMMER, sizeof record.NUMMER);
          if (s.ok()) s = writer.Append(record, text);
        }
        break;
      case kPrices:
        s = writer.Append(campsite.prices);
        break;
      case kPictures:
        if (campsite.pictures) s = writer.Append(*campsite.pictures);
        break;
      case kProvinces:
        break;
    }
  }
  return s.ok() ? writer.EndBatch() : s;
}

// Campsites made and written at a time.
constexpr size_t kBatch = 2500;

}  // namespace

uint32_t SmallestCount() { return static_cast<uint32_t>(NamedCampsites().size()); }

std::vector<uint32_t> CampsiteNumbers(uint32_t count) {
  const uint32_t highest = std::max(kDefaultCount, count);
  const uint32_t named = SmallestCount();
  const uint64_t free_numbers = highest - named;
  const uint64_t others = count - named;
  std::vector<uint32_t> numbers;
  numbers.reserve(count);
  uint64_t free_seen = 0;
  uint64_t next_other = 0;
  for (uint32_t number = 1; number <= highest; ++number) {
    if (FindNamedCampsite(number) != nullptr) {
      numbers.push_back(number);
      continue;
    }
    // The k-th other campsite takes the free number at k * free / others.
    if (next_other < others && free_seen == next_other * free_numbers / others) {
      numbers.push_back(number);
      ++next_other;
    }
    ++free_seen;
  }
  return numbers;
}

Status WriteGuide(const GuideRequest& request) {
  if (request.count < SmallestCount() || request.count > kLargestCount) {
    return Status::Error(1, "the number of campsites must lie between " +
                                std::to_string(SmallestCount()) + " and " +
                                std::to_string(kLargestCount));
  }
  std::array<std::unique_ptr<FileWriter>, kWritten.size()> files;
  for (size_t i = 0; i < kWritten.size(); ++i) {
    files[i] = std::make_unique<FileWriter>(request.folder, kWritten[i]);
    Status s = files[i]->Start();
    if (!s.ok()) return s;
  }
  Status s = WriteProvinces(*files[kProvinces]);
  const uint32_t highest = std::max(kDefaultCount, request.count);
  if (s.ok() && request.pictures) s = WriteProgramPictures(request.folder, request.seed, highest);
  std::vector<uint32_t> numbers = CampsiteNumbers(request.count);
  std::vector<Campsite> batch;
  for (size_t done = 0; s.ok() && done < numbers.size(); done += batch.size()) {
    batch.clear();
    for (size_t i = done; i < numbers.size() && batch.size() < kBatch; ++i) {
      batch.push_back(MakeCampsite(request.seed, numbers[i], highest));
    }
    for (size_t file = 0; s.ok() && file < files.size(); ++file) {
      s = WriteRows(batch, static_cast<WrittenFile>(file), *files[file]);
    }
    for (size_t i = 0; s.ok() && request.pictures && i < batch.size(); ++i) {
      s = WriteCampsitePictures(request.folder, batch[i], numbers[done + i], request.seed);
    }
    if (request.progress)
      request.progress(static_cast<uint32_t>(done + batch.size()), request.count);
  }
  for (size_t i = 0; s.ok() && i < files.size(); ++i) s = files[i]->Finish();
  return s;
}

}  // namespace tentaria::make_guide
