// Views over joined files: inner and outer joins over three levels, by
// linking fields and by a join expression, with filters placed at the file
// they read; and the view description in its byte and text forms.
#include <gtest/gtest.h>

#include "tests/views/view_fixture.h"

namespace tentaria::views {
namespace {

using testing::GetSite;
using testing::Site;

// Sites (S) join towns (T) by place through T's key on PLAATS and NAAM;
// towns join regions (R) by the expression R:NR = T:PRIJS.
class ViewJoinTest : public testing::ViewTest {
 protected:
  void SetUp() override {
    sites_ = MakeSites("SITES", "S",
                       {{1, "Bosrand", "Ede", 0},
                        {2, "Heide", "Ermelo", 0},
                        {3, "Duin", "Putten", 0},
                        {4, "Meer", "Ede", 0}});
    towns_ = MakeSites(
        "TOWNS", "T",
        {{11, "Oost", "Ede", 100}, {12, "West", "Ede", 200}, {13, "Noord", "Putten", 300}});
    regions_ = MakeSites("REGIONS", "R", {{100, "Veluwe", "", 0}, {300, "Kust", "", 0}});
  }

  std::unique_ptr<ViewEngine> JoinedView(bool towns_inner, bool regions_inner) {
    ViewNodeSpec regions;
    regions.join_expression = "R:NR = T:PRIJS";
    regions.inner = regions_inner;
    ViewNodeSpec towns;
    towns.link_fields = {3};  // S:PLAATS
    towns.inner = towns_inner;
    towns.children = {regions};
    ViewNodeSpec root;
    root.children = {towns};
    ViewDescriptor descriptor;
    descriptor.files = {{sites_.get(), -1}, {towns_.get(), 2}, {regions_.get(), -1}};
    descriptor.nodes = EncodeViewNodes(root);
    auto view = std::make_unique<ViewEngine>(std::move(descriptor), &names_);
    EXPECT_EQ(view->Open(), 0);
    EXPECT_EQ(view->SetOrder("S:NR"), 0);
    return view;
  }

  // Each row as site/town/region numbers.
  std::vector<std::string> Rows(ViewEngine& view) {
    std::vector<std::string> rows;
    while (view.Next() == 0) {
      rows.push_back(std::to_string(GetSite(*sites_).nr) + "/" +
                     std::to_string(GetSite(*towns_).nr) + "/" +
                     std::to_string(GetSite(*regions_).nr));
    }
    return rows;
  }

  std::unique_ptr<storage::DeclaredFile> sites_, towns_, regions_;
};

TEST_F(ViewJoinTest, InnerJoinsDropParentsWithoutMatches) {
  auto view = JoinedView(true, true);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(Rows(*view), (std::vector<std::string>{"1/11/100", "3/13/300", "4/11/100"}));
}

TEST_F(ViewJoinTest, OuterJoinsGiveOneClearedRow) {
  auto view = JoinedView(false, false);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(Rows(*view), (std::vector<std::string>{"1/11/100", "1/12/0", "2/0/0", "3/13/300",
                                                   "4/11/100", "4/12/0"}));
  // The cleared record: blank texts, zero numbers.
  ASSERT_EQ(view->SetView(), 0);
  ASSERT_EQ(view->Skip(3), 0);
  EXPECT_EQ(GetSite(*towns_).naam, "");
  EXPECT_EQ(std::string(towns_->record().data() + 4, 12), std::string(12, ' '));
  // Mixed: an outer town whose region must match.
  view = JoinedView(false, true);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(Rows(*view), (std::vector<std::string>{"1/11/100", "2/0/0", "3/13/300", "4/11/100"}));
}

TEST_F(ViewJoinTest, FilterConjunctsGoToTheFileTheyRead) {
  auto view = JoinedView(true, false);
  ASSERT_EQ(view->SetFilter("S:NR < 4 AND T:NAAM <> 'Oost' AND 1 = 1"), 0);
  ASSERT_EQ(view->SetView(), 0);
  EXPECT_EQ(Rows(*view), (std::vector<std::string>{"1/12/0", "3/13/300"}));
  std::string plan = view->DescribePlan();
  // The site condition filters the sites, the town condition the towns.
  size_t site_condition = plan.find("condition S:NR < 4");
  size_t town_condition = plan.find("condition T:NAAM <> 'Oost'");
  size_t town_scan = plan.find("KeyScan T key T:K_PLAATS");
  ASSERT_NE(site_condition, std::string::npos) << plan;
  ASSERT_NE(town_condition, std::string::npos) << plan;
  ASSERT_NE(town_scan, std::string::npos) << plan;
  EXPECT_LT(site_condition, town_condition);
  EXPECT_LT(town_condition, town_scan);
  // The linking field bounds the town key: a range, not a scan of all towns.
  EXPECT_NE(plan.find("range T:PLAATS from S:PLAATS to S:PLAATS"), std::string::npos) << plan;
}

TEST_F(ViewJoinTest, PositionsCoverEveryFile) {
  auto view = JoinedView(false, false);
  ASSERT_EQ(view->SetView(), 0);
  ASSERT_EQ(view->Skip(4), 0);  // 3/13/300
  std::string position;
  ASSERT_EQ(view->Position(&position), 0);
  ASSERT_EQ(view->Next(), 0);
  ASSERT_EQ(view->Reget(position), 0);
  EXPECT_EQ(GetSite(*sites_).nr, 3);
  EXPECT_EQ(GetSite(*towns_).nr, 13);
  EXPECT_EQ(GetSite(*regions_).nr, 300);
  ASSERT_EQ(view->Call(storage::op::GET_PROPERTY, {{view_property::FileCountProperty}, {}}), 0);
  EXPECT_EQ(view->answer(), 3);
  ASSERT_EQ(view->Call(storage::op::GET_PROPERTY, {{view_property::FileProperty, 3}, {}}), 0);
  EXPECT_EQ(view->answer_file(), regions_.get());
}

TEST(ViewDescriptorTest, ByteAndTextForms) {
  ViewNodeSpec regions;
  regions.join_expression = "R:NR = T:PRIJS";
  ViewNodeSpec towns;
  towns.link_fields = {3, 1};
  towns.inner = true;
  towns.projected = true;
  towns.projection = {{false, 2}, {true, 1}};
  towns.children = {regions};
  ViewNodeSpec root;
  root.children = {towns};
  std::string bytes = EncodeViewNodes(root);
  EXPECT_EQ(bytes.substr(0, 5), std::string("\x00\x00\xFF\xFF\x01", 5));
  EXPECT_EQ(bytes.substr(5, 15),
            std::string("\x02\x03\x00\x01\x00\x01\x02\x00\x02\x00\xFF\xFF\x01\x00\x01", 15));
  ViewNodeSpec back;
  ASSERT_TRUE(DecodeViewNodes(bytes, &back).ok());
  EXPECT_EQ(back, root);
  EXPECT_EQ(CountViewNodes(back), 3u);
  EXPECT_EQ(ViewDescriptorText(root),
            "VIEW(FILE)\r\n"
            "  JOIN(KEY,FIELD(3),FIELD(1)),INNER\r\n"
            "    PROJECT(FIELD(2),MEMO(1))\r\n"
            "    JOIN(R:NR = T:PRIJS)\r\n"
            "    END\r\n"
            "  END\r\n"
            "END\r\n");
  // Cut short, bytes left over, nested too deep.
  EXPECT_EQ(DecodeViewNodes(bytes.substr(0, bytes.size() - 1), &back).code(), 47);
  EXPECT_EQ(DecodeViewNodes(bytes + "x", &back).code(), 47);
  ViewNodeSpec deep;
  for (int i = 0; i < 21; ++i) {
    ViewNodeSpec parent;
    parent.link_fields = {1};
    parent.children = {deep};
    deep = parent;
  }
  EXPECT_EQ(DecodeViewNodes(EncodeViewNodes(deep), &back).code(), 47);
}

}  // namespace
}  // namespace tentaria::views
