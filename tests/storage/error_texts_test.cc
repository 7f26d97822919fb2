// Texts of operating-system errors kept beside the runtime's own, and the
// driver's own text that goes with code 90.
#include "storage/error_texts.h"

#include <gtest/gtest.h>

namespace tentaria::storage {
namespace {

TEST(SystemErrorTextTest, KeptUnderThreeHundredPlusTheNumber) {
  EXPECT_EQ(ErrorText(301), "Invalid Function");
  EXPECT_EQ(ErrorText(305), "Access Denied");
  EXPECT_EQ(ErrorText(332), "Sharing Violation");
  EXPECT_EQ(ErrorText(333), "Lock Violation");
  EXPECT_EQ(ErrorText(339), "Disk Full");
  EXPECT_EQ(ErrorText(391), "Unknown Error");
  EXPECT_EQ(SystemErrorText(32), "Sharing Violation");
  // The runtime's own codes keep their own texts.
  EXPECT_EQ(ErrorText(32), "File Is Already Locked");
  EXPECT_EQ(ErrorText(90), "File System Error");
}

TEST(SystemErrorTextTest, NumbersWithoutATextFallBackToCode81) {
  EXPECT_EQ(SystemErrorText(0), "");
  EXPECT_EQ(SystemErrorText(45), "");
  EXPECT_EQ(SystemErrorText(92), "");
  EXPECT_EQ(ErrorText(345), "Unknown Error Posted: 345");
  EXPECT_EQ(ErrorText(392), "Unknown Error Posted: 392");
  EXPECT_EQ(ErrorText(300), "Unknown Error Posted: 300");
}

TEST(DriverErrorTextTest, OwnMessageFirstThenTheSystemText) {
  EXPECT_EQ(DriverErrorText(Status::Error(90, "No space left on device")),
            "No space left on device");
  EXPECT_EQ(DriverErrorText(Status::Error(33)), "Lock Violation");
  EXPECT_EQ(DriverErrorText(Status::Error(200)), "");
}

}  // namespace
}  // namespace tentaria::storage
