// A small guide for the tests of the guide's windows: the seven guide
// files, written through the guide's own declarations into a folder, with
// a few campsites in GezNAW.
#ifndef TENTARIA_TESTS_GUIDE_SAMPLE_GUIDE_H_
#define TENTARIA_TESTS_GUIDE_SAMPLE_GUIDE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/record_fields.h"
#include "guide/dictionary.h"
#include "guide/file_descriptors.h"
#include "runtime/decimal.h"
#include "storage/declared_file.h"

namespace tentaria::guide::testing {

struct SampleCampsite {
  int64_t number;
  std::string name;
};

inline const std::vector<SampleCampsite>& SampleCampsites() {
  static const std::vector<SampleCampsite> campsites = {
      {151, "De Heimolen"},
      {1218, "Camping Nommerlayen in het groene hart van de Ardennen"},
  };
  return campsites;
}

// Writes `file` into `folder` with one record per number; every other
// field is left empty.
inline void WriteGuideFile(const std::string& folder, GuideFile file,
                           const std::vector<SampleCampsite>& campsites) {
  const storage::FileDescriptor& descriptor = Descriptor(file);
  storage::DeclaredFile declared(descriptor);
  declared.block().name = folder + "/" + std::string(Settings(file).FILENAMEVALUE);
  ASSERT_EQ(declared.Create(), 0) << descriptor.name;
  ASSERT_EQ(declared.Open(0x12), 0) << descriptor.name;
  const std::optional<size_t> name = FieldNumber(descriptor, descriptor.prefix + ":NAAMCAMP");
  for (const SampleCampsite& campsite : campsites) {
    const size_t number = FieldNumber(descriptor, descriptor.prefix + ":NUMMER").value();
    framework::ClearRecord(declared);
    framework::SetFieldNumber(declared, number,
                              runtime::DecimalRegister::FromInt64(campsite.number));
    if (name) framework::SetFieldBytes(declared, *name, campsite.name + std::string(64, ' '));
    ASSERT_EQ(declared.Add(), 0) << descriptor.name;
  }
  ASSERT_EQ(declared.Close(), 0);
}

// The seven guide files; PROVINCI has no campsite number and stays empty.
inline void WriteSampleGuide(const std::string& folder) {
  for (GuideFile file : kGuideFiles) {
    if (IsWorkingFile(file)) continue;
    WriteGuideFile(folder, file,
                   file == GuideFile::PROVINCI ? std::vector<SampleCampsite>{} : SampleCampsites());
  }
}

}  // namespace tentaria::guide::testing

#endif  // TENTARIA_TESTS_GUIDE_SAMPLE_GUIDE_H_
