// Helpers of the driver tests: a guest table declared as a program would,
// rows written into the record buffer, and a fresh folder per test.
#ifndef TENTARIA_TESTS_STORAGE_DRIVER_FIXTURE_H_
#define TENTARIA_TESTS_STORAGE_DRIVER_FIXTURE_H_

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/error_state.h"
#include "runtime/value_types.h"
#include "storage/declared_file.h"
#include "storage/table_definition.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage::testing {

inline constexpr size_t kByNumber = 0;  // unique key on G:NR
inline constexpr size_t kByName = 1;    // DUP NOCASE key on G:NAAM

// Rows of a LONG number and a 10-byte name, with a memo of remarks.
inline FileDescriptor GuestDeclaration(const std::string& name) {
  FileDescriptor file;
  file.prefix = "G";
  file.name = name;
  file.attributes = file_attribute::CREATE;
  file.layout.record_size = 14;
  FieldDescriptor number;
  number.type = static_cast<uint8_t>(runtime::TypeCode::LONG);
  number.size = 4;
  number.label = "G:NR";
  FieldDescriptor text;
  text.type = static_cast<uint8_t>(runtime::TypeCode::STRING);
  text.offset = 4;
  text.size = 10;
  text.string_length = 10;
  text.label = "G:NAAM";
  file.layout.fields = {number, text};
  file.keys = {{"G:KEYNR", "", key_attribute::PRIMARY, {{0, 0}}},
               {"G:KEYNAAM", "", key_attribute::DUP | key_attribute::NOCASE, {{1, 0}}}};
  file.memos = {{"G:OPMERK", "", 2000, 0}};
  return file;
}

inline void SetRow(DeclaredFile& file, int32_t number, std::string name) {
  std::memcpy(file.record().data(), &number, 4);
  name.resize(10, ' ');
  std::memcpy(file.record().data() + 4, name.data(), 10);
}

inline int32_t NumberOf(DeclaredFile& file) {
  int32_t number = 0;
  std::memcpy(&number, file.record().data(), 4);
  return number;
}

inline std::string NameOf(DeclaredFile& file) {
  std::string name(file.record().data() + 4, 10);
  return name.substr(0, name.find_last_not_of(' ') + 1);
}

class DriverTest : public ::testing::Test {
 protected:
  std::string TableName(const std::string& table = "GASTEN") const {
    return dir_.File("guide.tvn") + "\\!" + table;
  }
  std::unique_ptr<DeclaredFile> Declare(const std::string& table = "GASTEN") const {
    return std::make_unique<DeclaredFile>(GuestDeclaration(TableName(table)));
  }
  // Adds rows with these numbers and names; answers their record numbers.
  std::vector<uint32_t> AddRows(DeclaredFile& file,
                                const std::vector<std::pair<int32_t, std::string>>& rows) {
    std::vector<uint32_t> pointers;
    for (const auto& [number, name] : rows) {
      SetRow(file, number, name);
      EXPECT_EQ(file.Add(), 0) << number;
      uint32_t pointer = 0;
      EXPECT_EQ(file.Pointer(&pointer), 0);
      pointers.push_back(pointer);
    }
    return pointers;
  }
  // The numbers that NEXT (or PREVIOUS) reads until it fails.
  std::vector<int32_t> ReadAll(DeclaredFile& file, bool forward = true) {
    std::vector<int32_t> numbers;
    while ((forward ? file.Next() : file.Previous()) == 0) numbers.push_back(NumberOf(file));
    EXPECT_EQ(runtime::ErrorCode(), 33);
    return numbers;
  }

  TempDir dir_;
};

}  // namespace tentaria::storage::testing

#endif  // TENTARIA_TESTS_STORAGE_DRIVER_FIXTURE_H_
