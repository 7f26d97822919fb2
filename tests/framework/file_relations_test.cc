#include "framework/file_relations.h"

#include <memory>

#include "platform/fault_injection.h"
#include "storage/tavrin_driver.h"
#include "tests/framework/file_manager_fixture.h"

namespace tentaria::framework {
namespace {

using testing::Field;
using testing::ManagerTest;
using testing::NameOf;
using testing::NumberOf;
using testing::PlaceDeclaration;
using testing::SetPlace;
using ui::button::kNo;
using ui::button::kOk;
using ui::button::kYes;

// Campsites of a place (C:NR the place's number, C:VOLG the campsite's
// own number) and prices of a campsite (R:VOLG the campsite's number).
constexpr size_t kLinkNumber = 0;
constexpr size_t kLinkSequence = 1;
constexpr size_t kByLinkNumber = 0;
constexpr size_t kByLinkSequence = 1;

storage::FileDescriptor LinkedDeclaration(const std::string& prefix, const std::string& name) {
  storage::FileDescriptor file;
  file.prefix = prefix;
  file.name = name;
  file.layout.record_size = 16;
  file.layout.fields = {Field(runtime::TypeCode::LONG, 0, 4, prefix + ":NR"),
                        Field(runtime::TypeCode::LONG, 4, 4, prefix + ":VOLG"),
                        Field(runtime::TypeCode::STRING, 8, 8, prefix + ":NAAM")};
  file.keys = {{prefix + ":BY_NR", "", storage::key_attribute::DUP, {{0, 0}}},
               {prefix + ":BY_VOLG", "", storage::key_attribute::DUP, {{1, 0}}}};
  return file;
}

void SetLinked(storage::DeclaredFile& file, int32_t number, int32_t sequence) {
  std::memcpy(file.record().data(), &number, 4);
  std::memcpy(file.record().data() + 4, &sequence, 4);
  std::memcpy(file.record().data() + 8, "........", 8);
}

std::pair<int32_t, int32_t> LinkedOf(storage::DeclaredFile& file) {
  int32_t number = 0, sequence = 0;
  std::memcpy(&number, file.record().data(), 4);
  std::memcpy(&sequence, file.record().data() + 4, 4);
  return {number, sequence};
}

class FileRelationsTest : public ManagerTest {
 protected:
  void SetUp() override {
    ManagerTest::SetUp();
    MakePlaces({{"NL", 1, "Epe"}, {"NL", 2, "Ede"}});
    // Place 1 has campsites 11 and 12, place 2 has 21; campsite 11 has
    // two prices, 12 and 21 one each.
    Make("C", "CAMPING.TVN", {{1, 11}, {1, 12}, {2, 21}});
    Make("R", "PRIJS.TVN", {{0, 11}, {0, 11}, {0, 12}, {0, 21}});
  }

  void Make(const std::string& prefix, const std::string& name,
            const std::vector<std::pair<int32_t, int32_t>>& rows) {
    storage::DeclaredFile file(LinkedDeclaration(prefix, folder_ / name));
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(0x12), 0);
    for (const auto& [number, sequence] : rows) {
      SetLinked(file, number, sequence);
      ASSERT_EQ(file.Add(), 0);
    }
    ASSERT_EQ(file.Close(), 0);
  }

  // The three files under their managers, through `driver`; the place's
  // relation to its campsites and the campsite's to its prices get the
  // given modes.
  void Manage(uint8_t update_mode, uint8_t delete_mode, bool use_logout = false,
              storage::DriverDescriptor driver = storage::TavrinDriver()) {
    place_ = std::make_unique<storage::DeclaredFile>(PlaceDeclaration(PlacePath()), driver);
    camping_ = std::make_unique<storage::DeclaredFile>(
        LinkedDeclaration("C", folder_ / "CAMPING.TVN"), driver);
    price_ = std::make_unique<storage::DeclaredFile>(LinkedDeclaration("R", folder_ / "PRIJS.TVN"),
                                                     driver);
    places_.Init(*place_, errors_);
    campings_.Init(*camping_, errors_);
    prices_.Init(*price_, errors_);
    for (FileManager* manager : {&places_, &campings_, &prices_}) {
      ASSERT_EQ(manager->Open(), SeverityQuiet);
    }
    place_relations_.Init(places_, use_logout);
    camping_relations_.Init(campings_, use_logout);
    price_relations_.Init(prices_, use_logout);
    place_relations_.AddRelation(camping_relations_, update_mode, delete_mode, kByLinkNumber);
    place_relations_.AddLink(testing::kNumber, kLinkNumber);
    camping_relations_.AddRelation(place_relations_, relation_mode::kNone, relation_mode::kNone,
                                   testing::kByNumber);
    camping_relations_.AddLink(kLinkNumber, testing::kNumber);
    camping_relations_.AddRelation(price_relations_, update_mode, delete_mode, kByLinkSequence);
    camping_relations_.AddLink(kLinkSequence, kLinkSequence);
  }

  // Reads place `number` into the buffer, as a form would before a change.
  void ReadPlace(int32_t number) {
    SetPlace(*place_, "", number, "");
    ASSERT_EQ(places_.TryFetchByKey(testing::kByNumber), SeverityQuiet);
    place_relations_.Save();
  }

  // What the files hold now, read through opens of their own.
  std::vector<int32_t> Places() {
    storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
    std::vector<int32_t> numbers;
    EXPECT_EQ(file.Open(0x40), 0);
    while (file.Next() == 0) numbers.push_back(NumberOf(file));
    return numbers;
  }
  std::vector<std::pair<int32_t, int32_t>> Rows(const std::string& prefix,
                                                const std::string& name) {
    storage::DeclaredFile file(LinkedDeclaration(prefix, folder_ / name));
    std::vector<std::pair<int32_t, int32_t>> rows;
    EXPECT_EQ(file.Open(0x40), 0);
    while (file.Next() == 0) rows.push_back(LinkedOf(file));
    return rows;
  }
  std::vector<std::pair<int32_t, int32_t>> Campings() { return Rows("C", "CAMPING.TVN"); }
  std::vector<std::pair<int32_t, int32_t>> Prices() { return Rows("R", "PRIJS.TVN"); }

  using Rowset = std::vector<std::pair<int32_t, int32_t>>;
  const Rowset kCampings = {{1, 11}, {1, 12}, {2, 21}};
  const Rowset kPrices = {{0, 11}, {0, 11}, {0, 12}, {0, 21}};

  std::unique_ptr<storage::DeclaredFile> place_, camping_, price_;
  FileManager places_, campings_, prices_;
  FileRelations place_relations_, camping_relations_, price_relations_;
};

TEST_F(FileRelationsTest, RestrictedDeleteIsRefusedWhileRelatedRecordsExist) {
  Manage(relation_mode::kNone, relation_mode::kRestrict);
  ReadPlace(1);
  // The refusal is found during the attempt, under the busy cursor.
  bool busy_at_refusal = false;
  input_.Add([&busy_at_refusal](ui::HeadlessEngine& e) {
    busy_at_refusal = e.busy();
    ASSERT_TRUE(e.AnswerMessage(kOk).ok());
  });
  EXPECT_EQ(place_relations_.Delete(false), SeverityNotify);
  EXPECT_TRUE(busy_at_refusal);
  EXPECT_FALSE(engine_.busy());
  // Refused once, not offered again.
  EXPECT_EQ(Captions(), std::vector<std::string>{"Referential Integrity Delete Error"});
  EXPECT_EQ(LastText(), "This record is referenced from the file " + (folder_ / "CAMPING.TVN") +
                            ". This record cannot be deleted while these references exist.");
  EXPECT_EQ(Places(), (std::vector<int32_t>{1, 2}));

  // A campsite without prices may go; the place it belongs to stays.
  ASSERT_EQ(camping_->SetFile(), 0);
  ASSERT_EQ(campings_.TryNext(), SeverityQuiet);
  ASSERT_EQ(campings_.TryNext(), SeverityQuiet);
  Make("R", "PRIJS.TVN", {{0, 11}});
  EXPECT_EQ(camping_relations_.Delete(false), SeverityQuiet);
  EXPECT_EQ(Campings(), (Rowset{{1, 11}, {2, 21}}));
  EXPECT_EQ(Places(), (std::vector<int32_t>{1, 2}));
}

TEST_F(FileRelationsTest, ClearingDeleteBlanksTheLinksOfRelatedRecords) {
  Manage(relation_mode::kNone, relation_mode::kClear);
  ReadPlace(1);
  EXPECT_EQ(place_relations_.Delete(false), SeverityQuiet);
  EXPECT_EQ(Places(), std::vector<int32_t>{2});
  EXPECT_EQ(Campings(), (Rowset{{0, 11}, {0, 12}, {2, 21}}));
  EXPECT_EQ(Prices(), kPrices);
  EXPECT_TRUE(engine_.messages().empty());
}

TEST_F(FileRelationsTest, CascadingDeleteRemovesEveryLevelInOneTransaction) {
  Manage(relation_mode::kNone, relation_mode::kCascade, true);
  ReadPlace(1);
  EXPECT_EQ(place_relations_.Delete(false), SeverityQuiet);
  EXPECT_EQ(Places(), std::vector<int32_t>{2});
  EXPECT_EQ(Campings(), (Rowset{{2, 21}}));
  EXPECT_EQ(Prices(), (Rowset{{0, 21}}));
  EXPECT_TRUE(engine_.messages().empty());
  // The related files are closed again; the caller's stay open.
  EXPECT_EQ(campings_.Info().OPENED, 1);
  EXPECT_EQ(places_.Info().OPENED, 1);
}

TEST_F(FileRelationsTest, DeleteAsksFirstAndLeavesUnrelatedModesAlone) {
  Manage(relation_mode::kNone, relation_mode::kNone);
  ReadPlace(1);
  Answer(kNo);
  EXPECT_EQ(place_relations_.Delete(), SeverityNotify);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Confirm Delete"});
  EXPECT_EQ(Places(), (std::vector<int32_t>{1, 2}));
  Answer(kYes);
  EXPECT_EQ(place_relations_.Delete(), SeverityQuiet);
  EXPECT_EQ(Places(), std::vector<int32_t>{2});
  EXPECT_EQ(Campings(), kCampings);
}

TEST_F(FileRelationsTest, FailedCommitLeavesEveryFileAsItWasAndOffersToTryAgain) {
  platform::FaultInjectionFileSystem fs;
  Manage(relation_mode::kNone, relation_mode::kCascade, true, storage::TavrinDriver(&fs));
  ReadPlace(1);
  for (FileManager* manager : {&campings_, &prices_}) manager->EnsureOpen();
  fs.ResetCounts();
  fs.FailWrite(1);
  // The busy cursor shows through the attempt and is gone when the question
  // waits for the user.
  bool busy_at_question = true;
  input_.Add([&busy_at_question](ui::HeadlessEngine& e) {
    busy_at_question = e.busy();
    ASSERT_TRUE(e.AnswerMessage(kNo).ok());
  });
  EXPECT_EQ(place_relations_.Delete(false), SeverityNotify);
  EXPECT_FALSE(busy_at_question);
  EXPECT_FALSE(engine_.busy());
  EXPECT_EQ(Captions(), std::vector<std::string>{"Record Delete Error"});
  EXPECT_EQ(Places(), (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(Campings(), kCampings);
  EXPECT_EQ(Prices(), kPrices);

  // Tried again, the second attempt goes through.
  fs.ResetCounts();
  fs.FailWrite(1);
  Answer(kYes);
  EXPECT_EQ(place_relations_.Delete(false), SeverityQuiet);
  EXPECT_EQ(Captions().size(), 2u);
  EXPECT_EQ(Places(), std::vector<int32_t>{2});
  EXPECT_EQ(Campings(), (Rowset{{2, 21}}));
  EXPECT_EQ(Prices(), (Rowset{{0, 21}}));
}

TEST_F(FileRelationsTest, RestrictedUpdatePutsTheOldLinkBack) {
  Manage(relation_mode::kRestrict, relation_mode::kNone);
  ReadPlace(1);
  SetPlace(*place_, "NL", 5, "Epe");
  Answer(kOk);
  EXPECT_EQ(place_relations_.Update(), SeverityNotify);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Referential Integrity Update Error"});
  EXPECT_EQ(NumberOf(*place_), 1);
  EXPECT_EQ(Places(), (std::vector<int32_t>{1, 2}));

  // A change that leaves the links alone is written.
  SetPlace(*place_, "NL", 1, "Epe-Oost");
  EXPECT_EQ(place_relations_.Update(), SeverityQuiet);
  SetPlace(*place_, "", 1, "");
  ASSERT_EQ(places_.TryFetchByKey(testing::kByNumber), SeverityQuiet);
  EXPECT_EQ(NameOf(*place_), "Epe-Oost");
}

TEST_F(FileRelationsTest, CascadingUpdateCarriesTheNewValueToEveryRelatedRecord) {
  Manage(relation_mode::kCascade, relation_mode::kNone, true);
  ReadPlace(1);
  SetPlace(*place_, "NL", 3, "Epe");
  EXPECT_EQ(place_relations_.Update(), SeverityQuiet);
  EXPECT_EQ(Places(), (std::vector<int32_t>{3, 2}));
  EXPECT_EQ(Campings(), (Rowset{{3, 11}, {3, 12}, {2, 21}}));
  // The new value is the saved one now: changed back, it is carried back.
  SetPlace(*place_, "NL", 1, "Epe");
  EXPECT_EQ(place_relations_.Update(), SeverityQuiet);
  EXPECT_EQ(Campings(), kCampings);
  EXPECT_TRUE(engine_.messages().empty());
}

TEST_F(FileRelationsTest, ClearingUpdateBlanksTheRelatedLinks) {
  Manage(relation_mode::kClear, relation_mode::kNone);
  ReadPlace(2);
  SetPlace(*place_, "NL", 7, "Ede");
  EXPECT_EQ(place_relations_.Update(), SeverityQuiet);
  EXPECT_EQ(Campings(), (Rowset{{1, 11}, {1, 12}, {0, 21}}));
  EXPECT_EQ(Places(), (std::vector<int32_t>{1, 7}));
}

}  // namespace
}  // namespace tentaria::framework
