// Internal faults met during a driver operation: the message is shown once
// per operation, and the file refuses every later operation but CLOSE and
// NAME with 90.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "runtime/error_state.h"
#include "storage/driver_state.h"
#include "storage/error_texts.h"
#include "storage/table_file.h"
#include "storage/tavrin_driver.h"
#include "tests/storage/driver_fixture.h"

namespace tentaria::storage {
namespace {

using testing::DriverTest;
using testing::kByNumber;
using testing::SetRow;

class DriverFaultTest : public DriverTest {
 protected:
  void SetUp() override {
    previous_ =
        SetFaultMessageHook([this](int fault, std::string_view text, std::string_view file) {
          shown_.push_back({fault, std::string(text), std::string(file)});
        });
  }
  void TearDown() override { SetFaultMessageHook(previous_); }

  // A table of many rows whose pages past the first few are overwritten.
  void MakeDamagedTable() {
    // Made in one flush; the driver would write each row out on its own.
    std::unique_ptr<TableFile> table;
    ASSERT_TRUE(TableFile::Open(platform::FileSystem::Default(),
                                testing::GuestDeclaration(TableName()), TableName(),
                                testing::kExclusive, &table)
                    .ok());
    DeclaredFile rows(testing::GuestDeclaration(TableName()));
    for (int32_t n = 1; n <= 600; ++n) {
      SetRow(rows, n, "Naam" + std::to_string(n));
      uint32_t number = 0;
      ASSERT_TRUE(table->Add(RowBuffer(rows.block()), false, &number).ok());
    }
    ASSERT_TRUE(table->Flush().ok());
    table.reset();
    std::string path = dir_.File("guide.tvn");
    auto size = std::filesystem::file_size(path);
    std::fstream bytes(path, std::ios::in | std::ios::out | std::ios::binary);
    bytes.seekp(static_cast<std::streamoff>(size / 2));
    std::string junk(static_cast<size_t>(size / 4), '\x5A');
    bytes.write(junk.data(), static_cast<std::streamsize>(junk.size()));
  }

  FaultMessageHook previous_;
  std::vector<ShownFault> shown_;
};

TEST_F(DriverFaultTest, AFaultBreaksTheFileUntilItIsClosed) {
  MakeDamagedTable();
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  ASSERT_EQ(file->SetKey(kByNumber), 0);
  int code = 0;
  while ((code = file->Next()) == 0) {
  }
  ASSERT_EQ(code, error::kFileSystemError) << CurrentErrorReport().text;
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_GT(shown_[0].fault, 0);
  EXPECT_EQ(shown_[0].text, "Possible data corruption in file");
  ErrorReport report = CurrentErrorReport();
  EXPECT_EQ(report.text, "File System Error");
  EXPECT_EQ(report.file_error_code, shown_[0].fault);
  EXPECT_EQ(report.file_error, "Possible data corruption in file");
  EXPECT_EQ(report.file, TableName());

  // Every later operation fails the same way and shows the message again.
  uint32_t count = 0;
  EXPECT_EQ(file->Records(&count), error::kFileSystemError);
  EXPECT_EQ(file->SetFile(), error::kFileSystemError);
  SetRow(*file, 9999, "Nieuw");
  EXPECT_EQ(file->Add(), error::kFileSystemError);
  EXPECT_EQ(shown_.size(), 4u);
  EXPECT_EQ(shown_.back().fault, shown_[0].fault);
  // NAME and CLOSE still work; after the close the file opens afresh.
  EXPECT_EQ(file->Call(op::NAME), 0);
  EXPECT_EQ(file->block().answer_text, TableName());
  EXPECT_EQ(file->Close(), 0);
  EXPECT_EQ(file->Open(), 0);
  EXPECT_EQ(file->Records(&count), 0);
  EXPECT_EQ(count, 600u);
}

TEST_F(DriverFaultTest, TheDefaultHookRecordsTheFault) {
  SetFaultMessageHook(nullptr);
  MakeDamagedTable();
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  ASSERT_EQ(file->SetFile(), 0);
  while (file->Next() == 0) {
  }
  ASSERT_EQ(runtime::ErrorCode(), error::kFileSystemError);
  ShownFault last = LastShownFault();
  EXPECT_EQ(last.fault, CurrentErrorReport().file_error_code);
  EXPECT_EQ(last.text, "Possible data corruption in file");
  EXPECT_EQ(last.file, TableName());
}

}  // namespace
}  // namespace tentaria::storage
