#include "storage/file_interface.h"

#include <gtest/gtest.h>

#include "runtime/error_state.h"
#include "storage/error_texts.h"

namespace tentaria::storage {
namespace {

TEST(OperationNameTest, NamesUnnamedAndInternalNumbers) {
  struct Case {
    int number;
    const char* name;
  };
  for (const Case& c :
       {Case{0, "(0)"}, Case{1, "ADD"}, Case{14, "EOF"}, Case{34, "BUILDdynfilter"},
        Case{35, "(35)"}, Case{39, "(39)"}, Case{40, "ROLLBACK"}, Case{47, "SETkeykeyptr"},
        Case{68, "NULL"}, Case{86, "GETPROPERTYkey"}, Case{87, "Internal"}, Case{88, "DO_PROPERTY"},
        Case{91, "Internal"}, Case{94, "Internal"}, Case{95, "COUNTRECORDS"}, Case{96, "(96)"},
        Case{-1, "(-1)"}}) {
    EXPECT_EQ(OperationName(c.number), c.name) << c.number;
  }
}

TEST(OperationNameTest, ConstantsMatchTheNameTable) {
  EXPECT_EQ(OperationName(op::OPEN), "OPEN");
  EXPECT_EQ(OperationName(op::FLUSH), "FLUSH");
  EXPECT_EQ(OperationName(op::WATCH), "WATCH");
  EXPECT_EQ(OperationName(op::SEND), "SEND");
  EXPECT_EQ(OperationName(op::BLOB_SET_PROP), "BLOB_SET_PROP");
  EXPECT_EQ(OperationName(op::ENDVIEW), "ENDVIEW");
}

TEST(TavrinDescriptorTest, DeclaresItsOperationsTypesAndNames) {
  DriverDescriptor d = TavrinDescriptor();
  EXPECT_EQ(d.operations.size(), 70u);
  for (int number : {35, 39, 51, 53, 55, 59, 68, 70, 73, 74, 80, 87, 95, 0}) {
    EXPECT_FALSE(d.Supports(number)) << number;
  }
  for (int number : {1, 34, 36, 50, 52, 54, 56, 58, 60, 67, 71, 72, 75, 79, 85, 86}) {
    EXPECT_TRUE(d.Supports(number)) << number;
  }
  EXPECT_EQ(d.types,
            (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 19, 20, 21, 27, 22, 24}));
  EXPECT_EQ(d.library, "R5TVN.DLL");
  EXPECT_EQ(d.linked_library, "R5TVNS.DLL");
  EXPECT_EQ(d.description, "Tavrin (TVN)");

  std::string encoded = d.Encode();
  ASSERT_EQ(encoded.size(), 8u + 1 + 70 + 1 + 17);
  EXPECT_EQ(encoded.substr(0, 8), std::string("TAVRIN\0\0", 8));
  EXPECT_EQ(static_cast<unsigned char>(encoded[8]), 70);
  EXPECT_EQ(static_cast<unsigned char>(encoded[8 + 1 + 70]), 17);
}

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime::ClearError();
    driver_ = TavrinDescriptor();
    block_.name = "C:\\GUIDE\\DATA.TVN";
  }
  DriverDescriptor driver_;
  FileControlBlock block_;
  OperationArguments args_;
};

TEST_F(DispatchTest, WithoutEntryEveryOperationIsUnsupported) {
  EXPECT_EQ(Dispatch(driver_, op::OPEN, block_, args_), 80);
  EXPECT_EQ(runtime::CurrentError().file, block_.name);
}

TEST_F(DispatchTest, UnsupportedOperationNeverReachesTheDriver) {
  int calls = 0;
  driver_.dispatch = [&](int, FileControlBlock&, const OperationArguments&) {
    ++calls;
    return 0;
  };
  EXPECT_EQ(Dispatch(driver_, op::NULL_, block_, args_), 80);
  EXPECT_EQ(Dispatch(driver_, 200, block_, args_), 80);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(CurrentErrorReport().text, "Unsupported File Driver Function");
}

TEST_F(DispatchTest, PassesOperationArgumentsAndResult) {
  driver_.dispatch = [](int operation, FileControlBlock& block, const OperationArguments& args) {
    if (operation == op::GETkeyptr && args.numbers.at(0) == 7) return 0;
    if (operation == op::RENAME) {
      runtime::SetDriverError(90, 12, "disc full", block.name);
      return 90;
    }
    return 35;  // returned without setting the state
  };
  runtime::SetError(35);
  args_.numbers = {7};
  EXPECT_EQ(Dispatch(driver_, op::GETkeyptr, block_, args_), 0);
  EXPECT_EQ(runtime::ErrorCode(), 0);

  EXPECT_EQ(Dispatch(driver_, op::GETfilekey, block_, args_), 35);
  EXPECT_EQ(runtime::CurrentError().file, block_.name);

  EXPECT_EQ(Dispatch(driver_, op::RENAME, block_, args_), 90);
  ErrorReport report = CurrentErrorReport();
  EXPECT_EQ(report.text, "File System Error");
  EXPECT_EQ(report.file_error_code, 12);
  EXPECT_EQ(report.file_error, "disc full");
  EXPECT_EQ(report.file, block_.name);
}

TEST(ErrorTextTest, OwnTextsAndUnknownCodes) {
  struct Case {
    int code;
    const char* text;
  };
  for (const Case& c :
       {Case{0, ""}, Case{2, "File Not Found"}, Case{40, "Creates Duplicate Key"},
        Case{53, "Invalid Mobrel File"}, Case{65, "Unable To ROLLBACK Transaction"},
        Case{78, "Invalid Number Of Parameters "}, Case{89, "Record Changed By Another Station"},
        Case{96, "Remote Object Not Found"}, Case{1, "Unknown Error Posted: 1"},
        Case{94, "Unknown Error Posted: 94"}, Case{-3, "Unknown Error Posted: -3"}}) {
    EXPECT_EQ(ErrorText(c.code), c.text) << c.code;
  }
}

}  // namespace
}  // namespace tentaria::storage
