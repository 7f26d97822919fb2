// The plan of a view over real record files: the key chosen for an order
// in each direction case, key ranges from comparisons and prefix matches,
// filters under NOT, AND and OR, sorting that spills to its temporary file,
// and proof by counted driver reads that ranges and positioning read only
// what they need.
#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "storage/file_interface.h"
#include "tests/views/view_fixture.h"
#include "views/plan_builder.h"
#include "views/record_buffer.h"

namespace tentaria::views {
namespace {

using storage::KeyDescriptor;
using storage::key_attribute::DUP;
using testing::Component;
using testing::GetSite;
using testing::kNaam;
using testing::kNr;
using testing::kPlaats;
using testing::PutSite;
using testing::Site;
using Numbers = std::vector<int32_t>;

class ViewPlanTest : public testing::ViewTest {
 protected:
  static std::vector<Site> Towns() {
    // Pairs of equal places with names in both orders.
    return {{1, "Beek", "Ede", 1},      {2, "Anker", "Ede", 2}, {3, "Dal", "Putten", 3},
            {4, "Cirkel", "Putten", 4}, {5, "Eik", "Epe", 5},   {6, "Anker", "Epe", 6}};
  }
  // A site table with one key over PLAATS and NAAM in the given directions.
  std::unique_ptr<ViewEngine> ViewWithKey(bool plaats_descending, bool naam_descending) {
    std::vector<KeyDescriptor> keys = {
        {"S:K_NR", "", storage::key_attribute::PRIMARY, {Component(kNr)}},
        {"S:K_PN",
         "",
         DUP,
         {Component(kPlaats, plaats_descending), Component(kNaam, naam_descending)}}};
    sites_ = MakeSites("SITES", "S", Towns(), keys);
    return SingleView(*sites_);
  }
  std::unique_ptr<storage::DeclaredFile> sites_;
};

TEST_F(ViewPlanTest, TwoDescendingComponentsReadADescendingKeyForwards) {
  auto view = ViewWithKey(true, true);
  ASSERT_EQ(view->SetOrder("-S:PLAATS, -S:NAAM"), 0);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(ReadAll(*view, *sites_), (Numbers{3, 4, 5, 6, 1, 2}));
  std::string plan = view->DescribePlan();
  EXPECT_NE(plan.find("order delivered by the key"), std::string::npos) << plan;
  EXPECT_NE(plan.find("KeyScan S key S:K_PN forward"), std::string::npos) << plan;
}

TEST_F(ViewPlanTest, TwoDescendingComponentsReadAnAscendingKeyBackwards) {
  auto view = ViewWithKey(false, false);
  ASSERT_EQ(view->SetOrder("-S:PLAATS, -S:NAAM"), 0);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(ReadAll(*view, *sites_), (Numbers{3, 4, 5, 6, 1, 2}));
  std::string plan = view->DescribePlan();
  EXPECT_NE(plan.find("order delivered by the key"), std::string::npos) << plan;
  EXPECT_NE(plan.find("key S:K_PN backward"), std::string::npos) << plan;
  // And backwards through the view: the key forwards.
  EXPECT_EQ(ReadAll(*view, *sites_, false), (Numbers{2, 1, 6, 5, 4, 3}));
}

TEST_F(ViewPlanTest, MixedKeyDirectionsSortWithinEqualFirstValues) {
  auto view = ViewWithKey(true, false);
  ASSERT_EQ(view->SetOrder("-S:PLAATS, -S:NAAM"), 0);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(ReadAll(*view, *sites_), (Numbers{3, 4, 5, 6, 1, 2}));
  std::string plan = view->DescribePlan();
  EXPECT_NE(plan.find("sorting components 2 to 2"), std::string::npos) << plan;
  EXPECT_NE(plan.find("GroupNode prefix 1"), std::string::npos) << plan;
  // Backwards the groups come in reverse and each group from its end.
  EXPECT_EQ(ReadAll(*view, *sites_, false), (Numbers{2, 1, 6, 5, 4, 3}));
  // Turning round inside a group.
  ASSERT_EQ(view->SetView(), 0);
  for (int32_t nr : {3, 4, 5}) {
    ASSERT_EQ(view->Next(), 0);
    EXPECT_EQ(GetSite(*sites_).nr, nr);
  }
  ASSERT_EQ(view->Previous(), 0);
  EXPECT_EQ(GetSite(*sites_).nr, 4);
  ASSERT_EQ(view->Previous(), 0);
  EXPECT_EQ(GetSite(*sites_).nr, 3);
  EXPECT_EQ(view->Previous(), 33);
}

TEST_F(ViewPlanTest, AnOrderTextIgnoresTheCurrentKeyForOrdering) {
  auto view = ViewWithKey(false, false);
  ASSERT_EQ(sites_->SetKey(1), 0);
  ASSERT_EQ(view->SetOrder("S:NR"), 0);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(ReadAll(*view, *sites_), (Numbers{1, 2, 3, 4, 5, 6}));
  EXPECT_NE(view->DescribePlan().find("key S:K_NR"), std::string::npos);
  // The order may name the current key's fields: still the key choice.
  ASSERT_EQ(view->SetOrder("S:PLAATS"), 0);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(ReadAll(*view, *sites_), (Numbers{2, 1, 6, 5, 4, 3}));
}

TEST_F(ViewPlanTest, PrefixMatchReadsTheKeyFromThePrefixToItsSuccessor) {
  auto reads = std::make_shared<int64_t>(0);
  sites_ = std::make_unique<storage::DeclaredFile>(
      testing::SiteDeclaration(folder_ / "sites.tvn", "S"), testing::CountingDriver(reads));
  ASSERT_EQ(sites_->Share(), 0);
  std::vector<Site> rows;
  for (const char* name : {"Abb", "Abc", "Abcd", "Abc zee", "Abd", "abc", "Ab", "Abca"}) {
    rows.push_back({static_cast<int32_t>(rows.size() + 1), name, "Ede", 1});
  }
  AddAll(*sites_, rows);
  testing::BindFields(names_, *sites_);
  auto view = SingleView(*sites_);
  ASSERT_EQ(view->SetOrder("S:NAAM"), 0);
  ASSERT_EQ(view->SetFilter("SUB(S:NAAM, 1, 3) = 'Abc'"), 0);
  ASSERT_EQ(view->SetView(), 0);
  *reads = 0;
  EXPECT_EQ(ReadAll(*view, *sites_), (Numbers{2, 4, 8, 3}));
  // Four matches and the entry that ends the range.
  EXPECT_EQ(*reads, 5);
  std::string plan = view->DescribePlan();
  EXPECT_NE(plan.find("range S:NAAM from 'Abc' to 'Abd'"), std::string::npos) << plan;
  // A length that differs from the text is a plain condition.
  ASSERT_EQ(view->SetFilter("SUB(S:NAAM, 1, 2) = 'Abc'"), 0);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(ReadAll(*view, *sites_), Numbers{});
  EXPECT_EQ(view->DescribePlan().find("range"), std::string::npos);
}

TEST_F(ViewPlanTest, QueryPrefixOfACaseFreeKeyReadsTheKeyRange) {
  using storage::key_attribute::DUP;
  using storage::key_attribute::NOCASE;
  std::vector<storage::KeyDescriptor> keys = {
      {"S:K_NR", "", storage::key_attribute::PRIMARY, {Component(kNr)}},
      {"S:K_NAAM", "", DUP | NOCASE, {Component(kNaam)}}};
  auto reads = std::make_shared<int64_t>(0);
  sites_ = std::make_unique<storage::DeclaredFile>(
      testing::SiteDeclaration(folder_ / "sites.tvn", "S", keys), testing::CountingDriver(reads));
  ASSERT_EQ(sites_->Share(), 0);
  std::vector<Site> rows;
  for (const char* name : {"Abb", "Abc", "abcd", "ABC zee", "Abd", "aBc", "Ab", "Zz"}) {
    rows.push_back({static_cast<int32_t>(rows.size() + 1), name, "Ede", 1});
  }
  AddAll(*sites_, rows);
  testing::BindFields(names_, *sites_);
  auto view = SingleView(*sites_);
  ASSERT_EQ(view->SetOrder("UPPER(S:NAAM), S:NR"), 0);
  // The form a query window gives a prefix of a case-free field.
  ASSERT_EQ(view->SetFilter("SUB(UPPER(S:NAAM), 1, 3) = 'ABC'"), 0);
  ASSERT_EQ(view->SetView(), 0);
  *reads = 0;
  EXPECT_EQ(ReadAll(*view, *sites_), (Numbers{2, 6, 4, 3}));
  EXPECT_EQ(*reads, 5);
  std::string plan = view->DescribePlan();
  EXPECT_NE(plan.find("range UPPER(S:NAAM) from 'ABC' to 'ABD'"), std::string::npos) << plan;
  // A prefix in lower case matches no upper-cased name, range or not.
  ASSERT_EQ(view->SetFilter("SUB(UPPER(S:NAAM), 1, 3) = 'Abc'"), 0);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(ReadAll(*view, *sites_), Numbers{});
}

TEST_F(ViewPlanTest, CollationSuccessor) {
  EXPECT_EQ(CollationSuccessor("Abc"), "Abd");
  EXPECT_EQ(CollationSuccessor("A\xFF"), "B ");
  EXPECT_EQ(CollationSuccessor("\xFF\xFF"), std::nullopt);
  EXPECT_EQ(CollationSuccessor("Ab "), std::nullopt);
  EXPECT_EQ(CollationSuccessor(""), std::nullopt);
}

TEST_F(ViewPlanTest, RangesThroughNotAndOr) {
  auto reads = std::make_shared<int64_t>(0);
  sites_ = std::make_unique<storage::DeclaredFile>(
      testing::SiteDeclaration(folder_ / "sites.tvn", "S"), testing::CountingDriver(reads));
  ASSERT_EQ(sites_->Share(), 0);
  std::vector<Site> rows;
  for (int32_t nr = 1; nr <= 200; ++nr) rows.push_back({nr, "N", "Ede", nr % 7});
  AddAll(*sites_, rows);
  testing::BindFields(names_, *sites_);
  auto view = SingleView(*sites_);
  ASSERT_EQ(view->SetOrder(""), 0);  // the scan may use any key
  struct Case {
    const char* filter;
    Numbers expected;
    int64_t max_reads;
  };
  const Case cases[] = {
      {"NOT (S:NR < 198)", {198, 199, 200}, 4}, {"S:NR >= 10 AND S:NR <= 12", {10, 11, 12}, 4},
      {"S:NR = 20 OR S:NR = 22", {20, 22}, 4},  {"NOT (S:NR < 50 OR S:NR > 51)", {50, 51}, 3},
      {"S:NR > 100 AND S:NR < 100", {}, 0},     {"S:NR < 3 OR S:PRIJS = 100", {1, 2}, 201},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(view->SetFilter(c.filter), 0);
    ASSERT_EQ(view->SetView(), 0);
    *reads = 0;
    EXPECT_EQ(ReadAll(*view, *sites_), c.expected) << c.filter;
    EXPECT_LE(*reads, c.max_reads) << c.filter << "\n" << view->DescribePlan();
  }
}

TEST_F(ViewPlanTest, ProjectionWithoutMemosSendsNomemo) {
  auto sent = std::make_shared<int64_t>(0);
  storage::FileDescriptor declaration = testing::SiteDeclaration(folder_ / "sites.tvn", "S");
  declaration.memos = {{"S:INFO", "", 200, 0}};
  storage::DriverDescriptor driver = storage::TavrinDriver();
  storage::DispatchEntry inner = driver.dispatch;
  driver.dispatch = [inner, sent](int operation, storage::FileControlBlock& block,
                                  const storage::OperationArguments& args) {
    if (operation == storage::op::NOMEMO) ++*sent;
    return inner(operation, block, args);
  };
  sites_ = std::make_unique<storage::DeclaredFile>(declaration, driver);
  ASSERT_EQ(sites_->Open(), 0);
  PutSite(*sites_, {1, "Een", "Ede", 1});
  sites_->memo(0) = "lange tekst";
  ASSERT_EQ(sites_->Add(), 0);
  ViewNodeSpec node;
  node.projected = true;
  node.projection = {{false, 1}, {false, 2}};
  ViewDescriptor descriptor;
  descriptor.files = {{sites_.get(), -1}};
  descriptor.nodes = EncodeViewNodes(node);
  ViewEngine view(descriptor, &names_);
  ASSERT_EQ(view.Open(), 0);
  sites_->memo(0).clear();
  ASSERT_EQ(view.Next(), 0);
  EXPECT_EQ(*sent, 1);
  EXPECT_EQ(sites_->memo(0), "");
}

TEST(RecordBufferTest, KeepsRecordsPastItsMemoryBlockInATemporaryFile) {
  RecordBuffer buffer;
  std::vector<std::string> records;
  for (int i = 0; i < 700; ++i) {
    records.push_back(std::string(static_cast<size_t>(i % 97), static_cast<char>('a' + i % 26)) +
                      std::to_string(i));
    ASSERT_TRUE(buffer.Add(records.back()).ok());
  }
  ASSERT_TRUE(buffer.spilled());
  std::string path = buffer.spill_path();
  std::string record;
  for (size_t i : {size_t{0}, size_t{350}, size_t{699}, size_t{1}, size_t{698}}) {
    ASSERT_TRUE(buffer.Read(i, &record).ok());
    EXPECT_EQ(record, records[i]);
  }
  buffer.Clear();
  ASSERT_TRUE(buffer.Add("kort").ok());
  ASSERT_TRUE(buffer.Read(0, &record).ok());
  EXPECT_EQ(record, "kort");
  {
    RecordBuffer small;
    ASSERT_TRUE(small.Add("een").ok());
    EXPECT_FALSE(small.spilled());
  }
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(ViewPlanTest, ALargeSortSpillsAndComesBackInOrder) {
  // 3000 records of 30 bytes and their positions: far past one block.
  std::vector<Site> rows;
  for (int32_t nr = 1; nr <= 3000; ++nr) {
    rows.push_back({nr, "N" + std::to_string(nr * 7919 % 3001), "Ede", nr % 13});
  }
  sites_ = MakeSites("SITES", "S", rows);
  auto view = SingleView(*sites_);
  ASSERT_EQ(view->SetOrder("-S:PRIJS, S:NR"), 0);
  ASSERT_EQ(view->SetView(), 0);
  Numbers numbers = ReadAll(*view, *sites_);
  ASSERT_EQ(numbers.size(), 3000u);
  for (size_t i = 1; i < numbers.size(); ++i) {
    int32_t a = numbers[i - 1], b = numbers[i];
    ASSERT_TRUE(a % 13 > b % 13 || (a % 13 == b % 13 && a < b)) << i;
  }
}

// 100,000 sites named N00000 to N99999 in record order, keyed by name.
class LargeViewTest : public testing::ViewTest {
 protected:
  void SetUp() override {
    std::vector<KeyDescriptor> keys = {
        {"S:K_NR", "", storage::key_attribute::PRIMARY, {Component(kNr)}},
        {"S:K_NAAM", "", DUP, {Component(kNaam)}}};
    sites_ = std::make_unique<storage::DeclaredFile>(
        testing::SiteDeclaration(folder_ / "sites.tvn", "S", keys),
        testing::CountingDriver(reads_));
    ASSERT_EQ(sites_->Share(), 0);
    std::vector<Site> rows;
    char name[8];
    for (int32_t nr = 0; nr < 100000; ++nr) {
      std::snprintf(name, sizeof name, "N%05d", (nr * 7) % 100000);
      rows.push_back({nr, name, "Ede", nr % 100});
    }
    AddAll(*sites_, rows);
    testing::BindFields(names_, *sites_);
    view_ = SingleView(*sites_);
  }
  std::shared_ptr<int64_t> reads_ = std::make_shared<int64_t>(0);
  std::unique_ptr<storage::DeclaredFile> sites_;
  std::unique_ptr<ViewEngine> view_;
};

TEST_F(LargeViewTest, RangesAndPositioningReadOnlyWhatTheyNeed) {
  // A prefix filter on the key's first component: the 100 matches and the
  // entry that ends the range.
  ASSERT_EQ(view_->SetOrder("S:NAAM"), 0);
  ASSERT_EQ(view_->SetFilter("SUB(S:NAAM, 1, 4) = 'N042'"), 0);
  ASSERT_EQ(view_->SetView(), 0);
  *reads_ = 0;
  Numbers numbers = ReadAll(*view_, *sites_);
  EXPECT_EQ(numbers.size(), 100u);
  EXPECT_EQ(*reads_, 101);
  // A page of 20 rows from the middle of the name order.
  ASSERT_EQ(view_->SetFilter(""), 0);
  PutSite(*sites_, {0, "N50000", "", 0});
  ASSERT_EQ(view_->SetView(1), 0);
  *reads_ = 0;
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(view_->Next(), 0);
    char expected[8];
    std::snprintf(expected, sizeof expected, "N%05d", 50000 + i);
    EXPECT_EQ(GetSite(*sites_).naam, expected);
  }
  EXPECT_EQ(*reads_, 20);
}

}  // namespace
}  // namespace tentaria::views
