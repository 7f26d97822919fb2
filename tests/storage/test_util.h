// Helpers shared by the record file tests: a fresh temporary folder and
// record builders.
#ifndef TENTARIA_TESTS_STORAGE_TEST_UTIL_H_
#define TENTARIA_TESTS_STORAGE_TEST_UTIL_H_

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file.h"
#include "storage/record_file.h"
#include "tests/support/temp_folder.h"

namespace tentaria::storage::testing {

// A fresh temporary folder with the record files of one test.
class TempDir : public test_support::TempFolder {
 public:
  std::string File(const std::string& name) const { return *this / name; }
};

inline constexpr int kExclusive = platform::open_mode::kReadWrite | platform::open_mode::kDenyAll;
inline constexpr int kShared = platform::open_mode::kReadWrite | platform::open_mode::kDenyNone;

// A 9-byte key like a data row's: table number, kind byte, record number.
inline std::string RowKey(uint32_t row) {
  std::string key = {0, 0, 0, 1, '\xF3'};
  for (int shift = 24; shift >= 0; shift -= 8) key.push_back(static_cast<char>(row >> shift));
  return key;
}

inline std::string RowRecord(uint32_t row, size_t data_length) {
  std::string record = RowKey(row);
  for (size_t i = 0; i < data_length; ++i) {
    record.push_back(static_cast<char>('a' + (row * 7 + i / 16) % 26));
  }
  return record;
}

inline std::unique_ptr<RecordFile> OpenFile(const std::string& path, int mode = kExclusive,
                                            RecordFileOptions options = {}) {
  std::unique_ptr<RecordFile> file;
  Status s = RecordFile::Open(platform::FileSystem::Default(), path, mode,
                              platform::Disposition::kOpenOrCreate, std::move(options), &file);
  EXPECT_TRUE(s.ok()) << s.ToString();
  return file;
}

inline std::vector<std::string> Problems(RecordFile* file) {
  std::vector<std::string> problems;
  Status s = file->CheckIntegrity(&problems);
  if (!s.ok() && problems.empty()) problems.push_back(s.ToString());
  return problems;
}

// Every record in key order.
inline std::vector<std::string> AllRecords(RecordFile* file) {
  std::vector<std::string> records;
  auto cursor = file->NewCursor();
  for (Status s = cursor->SeekToFirst(); s.ok() && cursor->Valid(); s = cursor->Next()) {
    records.emplace_back(cursor->record());
  }
  return records;
}

}  // namespace tentaria::storage::testing

#endif  // TENTARIA_TESTS_STORAGE_TEST_UTIL_H_
