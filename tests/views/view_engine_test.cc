// The view engine over real record files: reading in record order or by
// the primary file's key, stepping and skipping, positioning with SETview,
// saved positions, properties, and the failures a program sees.
#include <gtest/gtest.h>

#include "runtime/error_state.h"
#include "storage/file_interface.h"
#include "tests/views/view_fixture.h"

namespace tentaria::views {
namespace {

using testing::GetSite;
using testing::PutSite;
using testing::Site;
using Numbers = std::vector<int32_t>;
namespace op = storage::op;

const std::vector<Site> kSites = {{40, "Zonneweide", "Ede", 25},  {10, "Bosrand", "Putten", 18},
                                  {30, "Meerzicht", "Ede", 30},   {20, "Heidezicht", "Ermelo", 22},
                                  {50, "Akkerhof", "Putten", 15}, {60, "Molenwiek", "Epe", 20}};

class ViewEngineTest : public testing::ViewTest {
 protected:
  void SetUp() override {
    sites_ = MakeSites("SITES", "S", kSites);
    view_ = SingleView(*sites_);
  }
  Numbers All(bool forward = true) { return ReadAll(*view_, *sites_, forward); }

  std::unique_ptr<storage::DeclaredFile> sites_;
  std::unique_ptr<ViewEngine> view_;
};

TEST_F(ViewEngineTest, PlainViewReadsRecordOrderAndCountsTheFile) {
  ASSERT_EQ(sites_->SetFile(), 0);
  EXPECT_EQ(All(), (Numbers{40, 10, 30, 20, 50, 60}));
  int64_t count = 0;
  ASSERT_EQ(view_->Records(&count), 0);
  EXPECT_EQ(count, 6);
  // After 33 the view starts again.
  EXPECT_EQ(All(false), (Numbers{60, 50, 20, 30, 10, 40}));
}

// A row is tested against every operand of an AND that has an effect,
// even when an earlier one failed; the result is that of the whole test.
TEST_F(ViewEngineTest, FilterCallsEveryProcedureOfItsConditions) {
  int calls = 0;
  names_.BindProcedure("P", 1, ValueClass::kInteger, [&](std::span<const Value> args) {
    ++calls;
    return args[0];
  });
  ASSERT_EQ(sites_->SetFile(), 0);
  ASSERT_EQ(view_->SetFilter("S:PRIJS > 100 AND P(S:NR) > 0"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All(), (Numbers{}));
  EXPECT_EQ(calls, 6);
  ASSERT_EQ(view_->SetFilter("P(S:NR) > 0 AND S:PRIJS >= 20 AND S:NR > 30"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All(), (Numbers{40, 60}));
  EXPECT_EQ(calls, 12);
  ASSERT_EQ(view_->SetFilter("S:PRIJS >= 20 AND (S:NR > 30 OR S:PLAATS = 'Ede')"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All(), (Numbers{40, 30, 60}));
}

TEST_F(ViewEngineTest, FollowsThePrimaryFilesKeyAndThenCountsNothing) {
  ASSERT_EQ(sites_->SetKey(1), 0);
  EXPECT_EQ(All(), (Numbers{50, 10, 20, 30, 60, 40}));
  int64_t count = 0;
  ASSERT_EQ(view_->Records(&count), 0);
  EXPECT_EQ(count, -1);
}

TEST_F(ViewEngineTest, FilterOrSortMakesTheCountUnknown) {
  ASSERT_EQ(sites_->SetFile(), 0);
  ASSERT_EQ(view_->SetFilter("S:PRIJS >= 20"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All(), (Numbers{40, 30, 20, 60}));
  int64_t count = 0;
  ASSERT_EQ(view_->Records(&count), 0);
  EXPECT_EQ(count, -1);
  ASSERT_EQ(view_->SetFilter(""), 0);
  ASSERT_EQ(view_->SetOrder("S:PRIJS"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All(), (Numbers{50, 10, 60, 20, 40, 30}));
  ASSERT_EQ(view_->Records(&count), 0);
  EXPECT_EQ(count, -1);
}

TEST_F(ViewEngineTest, SkipStepsAndStopsAtTheFirstFailure) {
  ASSERT_EQ(sites_->SetFile(), 0);
  EXPECT_EQ(view_->Skip(0), 0);
  ASSERT_EQ(view_->Skip(4), 0);
  EXPECT_EQ(GetSite(*sites_).nr, 20);
  // Two records left: the third step fails and the view starts again.
  EXPECT_EQ(view_->Skip(5), 33);
  EXPECT_EQ(runtime::ErrorCode(), 33);
  ASSERT_EQ(view_->Next(), 0);
  EXPECT_EQ(GetSite(*sites_).nr, 40);
  ASSERT_EQ(view_->Skip(-1), 33);
  ASSERT_EQ(view_->Previous(), 0);
  EXPECT_EQ(GetSite(*sites_).nr, 60);
}

TEST_F(ViewEngineTest, SetViewWithoutValuesStartsAtEitherEnd) {
  ASSERT_EQ(view_->SetOrder("S:NAAM"), 0);
  ASSERT_EQ(view_->SetView(0), 0);
  ASSERT_EQ(view_->Previous(), 0);
  EXPECT_EQ(GetSite(*sites_).naam, "Zonneweide");
  ASSERT_EQ(view_->SetView(0), 0);
  ASSERT_EQ(view_->Next(), 0);
  EXPECT_EQ(GetSite(*sites_).naam, "Akkerhof");
}

TEST_F(ViewEngineTest, SetViewPositionsAtTheValueInTheRecordBuffer) {
  ASSERT_EQ(view_->SetOrder("S:NAAM"), 0);
  PutSite(*sites_, {0, "M", "", 0});
  // A count beyond the order's one component counts as one.
  ASSERT_EQ(view_->SetView(3), 0);
  ASSERT_EQ(view_->Next(), 0);
  EXPECT_EQ(GetSite(*sites_).naam, "Meerzicht");
  ASSERT_EQ(view_->Next(), 0);
  EXPECT_EQ(GetSite(*sites_).naam, "Molenwiek");
  // Backwards from a value: the last record at or before it.
  PutSite(*sites_, {0, "M", "", 0});
  ASSERT_EQ(view_->SetView(1), 0);
  ASSERT_EQ(view_->Previous(), 0);
  EXPECT_EQ(GetSite(*sites_).naam, "Heidezicht");
}

TEST_F(ViewEngineTest, OrderValuesSetAsPropertyPositionASortedView) {
  // PRIJS descending: no key stores it so, the view sorts.
  ASSERT_EQ(view_->SetOrder("-S:PRIJS, S:NAAM"), 0);
  ASSERT_EQ(view_->SetOrderValue(1, "21"), 0);
  ASSERT_EQ(view_->SetView(1), 0);
  EXPECT_EQ(All(), (Numbers{60, 10, 50}));
  ASSERT_EQ(view_->Call(op::GET_PROPERTY, {{view_property::OrderValueProperty, 2}, {}}), 0);
  EXPECT_EQ(testing::Trimmed(view_->answer_text()), GetSite(*sites_).naam);
}

TEST_F(ViewEngineTest, SavedPositionsResetAndRegetTheView) {
  ASSERT_EQ(view_->SetOrder("S:NAAM"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  ASSERT_EQ(view_->Skip(4), 0);
  std::string position;
  ASSERT_EQ(view_->Position(&position), 0);
  EXPECT_EQ(GetSite(*sites_).naam, "Meerzicht");
  ASSERT_EQ(view_->Skip(1), 0);
  ASSERT_EQ(view_->Reget(position), 0);
  EXPECT_EQ(GetSite(*sites_).naam, "Meerzicht");
  ASSERT_EQ(view_->Reset(position), 0);
  EXPECT_EQ(All(), (Numbers{30, 60, 40}));
  // A position that runs out before its file.
  EXPECT_EQ(view_->Reget(position.substr(0, 1)), 81);
}

TEST_F(ViewEngineTest, ResetViewStartsAtThePrimaryFilesRecord) {
  ASSERT_EQ(view_->SetOrder("S:NAAM"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  ASSERT_EQ(view_->Skip(3), 0);
  EXPECT_EQ(GetSite(*sites_).naam, "Heidezicht");
  ASSERT_EQ(view_->ResetView(), 0);
  EXPECT_EQ(All(), (Numbers{20, 30, 60, 40}));
}

TEST_F(ViewEngineTest, ANewFilterTakesEffectAtTheNextSetView) {
  ASSERT_EQ(sites_->SetFile(), 0);
  ASSERT_EQ(view_->Next(), 0);
  ASSERT_EQ(view_->SetFilter("S:PLAATS = 'Putten'"), 0);
  // The plan that exists goes on.
  ASSERT_EQ(view_->Next(), 0);
  EXPECT_EQ(GetSite(*sites_).nr, 10);
  ASSERT_EQ(view_->Next(), 0);
  EXPECT_EQ(GetSite(*sites_).nr, 30);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All(), (Numbers{10, 50}));
}

TEST_F(ViewEngineTest, UnboundFilterNameFailsEveryReadUntilReplaced) {
  EXPECT_EQ(view_->SetFilter("S:ONBEKEND = 1"), 801);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(view_->Next(), 801);
  EXPECT_EQ(view_->Previous(), 801);
  EXPECT_EQ(runtime::ErrorCode(), 801);
  ASSERT_EQ(view_->SetFilter("S:NR > 45"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All(), (Numbers{50, 60}));
}

TEST_F(ViewEngineTest, FilterWithASyntaxErrorShowsEveryRecord) {
  ASSERT_EQ(sites_->SetFile(), 0);
  EXPECT_EQ(view_->SetFilter("S:NR >"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All().size(), 6u);
}

TEST_F(ViewEngineTest, OrderComponentThatDoesNotCompileEndsTheList) {
  view_->SetOrder("S:PLAATS, -S:NR, S:ONBEKEND, S:NAAM");
  EXPECT_EQ(view_->order_size(), 2u);
  ASSERT_EQ(view_->Call(op::GET_PROPERTY, {{view_property::OrderProperty, 2}, {}}), 0);
  EXPECT_EQ(view_->answer_text(), "S:NR");
  ASSERT_EQ(view_->Call(op::GET_PROPERTY, {{view_property::OrderProperty}, {}}), 0);
  EXPECT_EQ(view_->answer_text(), "S:PLAATS, -S:NR, S:ONBEKEND, S:NAAM");
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All(), (Numbers{40, 30, 60, 20, 50, 10}));
}

TEST_F(ViewEngineTest, FileProperties) {
  ASSERT_EQ(view_->Call(op::GET_PROPERTY, {{view_property::FileCountProperty}, {}}), 0);
  EXPECT_EQ(view_->answer(), 1);
  ASSERT_EQ(view_->Call(op::GET_PROPERTY, {{view_property::FileProperty, 1}, {}}), 0);
  EXPECT_EQ(view_->answer_file(), sites_.get());
  ASSERT_EQ(view_->Call(op::GET_PROPERTY, {{view_property::FileProperty, 2}, {}}), 0);
  EXPECT_EQ(view_->answer_file(), nullptr);
  ASSERT_EQ(view_->SetFilter("S:NR = 1"), 0);
  ASSERT_EQ(view_->Call(op::GET_PROPERTY, {{view_property::FilterProperty}, {}}), 0);
  EXPECT_EQ(view_->answer_text(), "S:NR = 1");
}

TEST_F(ViewEngineTest, RecordOperationsGoToThePrimaryFile) {
  ASSERT_EQ(view_->SetOrder("S:NR"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  ASSERT_EQ(view_->Next(), 0);
  PutSite(*sites_, {10, "Bosrand", "Nunspeet", 19});
  ASSERT_EQ(view_->Call(op::PUT), 0);
  ASSERT_EQ(view_->Next(), 0);
  ASSERT_EQ(view_->Call(op::DELETE), 0);
  // A second DELETE finds no current row: the file's own error comes back.
  EXPECT_NE(view_->Call(op::DELETE), 0);
  EXPECT_EQ(view_->Call(op::BUFFER), 0);
  ASSERT_EQ(view_->SetView(), 0);
  EXPECT_EQ(All(), (Numbers{10, 30, 40, 50, 60}));
  ASSERT_EQ(view_->SetView(), 0);
  ASSERT_EQ(view_->Next(), 0);
  EXPECT_EQ(GetSite(*sites_).plaats, "Nunspeet");
}

TEST_F(ViewEngineTest, AViewThatIsNotOpenAnswers37) {
  ASSERT_EQ(view_->Close(), 0);
  EXPECT_EQ(view_->Next(), 37);
  EXPECT_EQ(view_->SetView(), 37);
  EXPECT_EQ(view_->SetFilter("S:NR = 1"), 37);
  EXPECT_EQ(runtime::ErrorCode(), 37);
  ASSERT_EQ(view_->Open(), 0);
  EXPECT_EQ(view_->Next(), 0);
}

}  // namespace
}  // namespace tentaria::views
