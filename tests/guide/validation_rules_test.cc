#include "guide/validation_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/error_manager.h"
#include "guide/dictionary.h"
#include "guide/records.h"
#include "runtime/decimal.h"
#include "ui/headless_engine.h"

namespace tentaria::guide {
namespace {

class ValidationRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_.set_input(&input_);
    errors_.Init(engine_);
  }
  // Checks one field with the user pressing OK on any message.
  int Check(GuideFile file, std::string_view label) {
    input_.Add([](ui::HeadlessEngine& e) { (void)e.AnswerMessage(ui::button::kOk); });
    return CheckField(file, *FieldNumber(Descriptor(file), label), Buffer(file), errors_);
  }

  ui::HeadlessEngine engine_;
  ui::ActionInput input_;
  framework::ErrorManager errors_;
};

TEST_F(ValidationRulesTest, NumberOfPhotosMustLieBetweenZeroAndFive) {
  for (int photos : {0, 5}) {
    GFOT.AANTALFOTOS = static_cast<uint8_t>(photos);
    EXPECT_EQ(Check(GuideFile::GEZFOTO, "GFOT:AANTALFOTOS"), 0) << photos;
  }
  EXPECT_TRUE(engine_.messages().empty());
  GFOT.AANTALFOTOS = 6;
  EXPECT_EQ(Check(GuideFile::GEZFOTO, "GFOT:AANTALFOTOS"), framework::SeverityNotify);
  ASSERT_EQ(engine_.messages().size(), 1u);
  EXPECT_EQ(engine_.messages()[0].box.text,
            "The value of GFOT:AANTALFOTOS must be between 0 and 5.");
  EXPECT_EQ(engine_.messages()[0].box.caption, "Range Error");
}

TEST_F(ValidationRulesTest, DistanceToWaterIsCheckedWithItsDecimalPlace) {
  runtime::DecimalRegister::FromText("5.0").StoreDecimal(SEL.AANWATERKM, 1);
  EXPECT_EQ(Check(GuideFile::Selectie, "SEL:AANWATERKM"), 0);
  runtime::DecimalRegister::FromText("5.1").StoreDecimal(SEL.AANWATERKM, 1);
  EXPECT_EQ(Check(GuideFile::Selectie, "SEL:AANWATERKM"), framework::SeverityNotify);
  EXPECT_EQ(engine_.messages().back().box.text,
            "The value of Afstand in kilometers must be between 0 and 5.");
  runtime::DecimalRegister::FromText("-0.1").StoreDecimal(SEL.AANWATERKM, 1);
  EXPECT_EQ(Check(GuideFile::Selectie, "SEL:AANWATERKM"), framework::SeverityNotify);
}

TEST_F(ValidationRulesTest, FieldsWithoutRulesAreAccepted) {
  GFOT.AANTALFOTOS = 9;
  EXPECT_EQ(Check(GuideFile::GEZFOTO, "GFOT:FOTO1"), 0);
  runtime::DecimalRegister::FromInt64(99).StoreDecimal(SEL.SNACKBARKM, 1);
  EXPECT_EQ(Check(GuideFile::Selectie, "SEL:SNACKBARKM"), 0);
  EXPECT_EQ(CheckField(GuideFile::GEZFOTO, 99, Buffer(GuideFile::GEZFOTO), errors_), 0);
  EXPECT_TRUE(engine_.messages().empty());
}

}  // namespace
}  // namespace tentaria::guide
