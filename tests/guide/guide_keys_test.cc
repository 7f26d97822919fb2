// The guide's keys on real tables: the order and the entries each key's
// attributes give.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "guide/file_descriptors.h"
#include "guide/records.h"
#include "platform/file.h"
#include "runtime/decimal.h"
#include "storage/error_texts.h"
#include "storage/key_entry.h"
#include "storage/record_file.h"
#include "storage/table_file.h"
#include "tests/support/temp_folder.h"

namespace tentaria::guide {
namespace {

constexpr int kMode = platform::open_mode::kReadWrite | platform::open_mode::kDenyNone;

template <size_t N>
void SetNumber(uint8_t (&field)[N], int64_t value, int decimals = 0) {
  runtime::DecimalRegister::FromInt64(value).StoreDecimal(field, decimals);
}

template <typename Record>
std::string_view Row(const Record& record) {
  return {reinterpret_cast<const char*>(&record), sizeof(Record)};
}

class GuideKeysTest : public ::testing::Test {
 protected:
  std::unique_ptr<storage::TableFile> Create(GuideFile file) {
    std::unique_ptr<storage::TableFile> table;
    Status s = storage::TableFile::Open(platform::FileSystem::Default(), Descriptor(file),
                                        folder_ / Descriptor(file).prefix, kMode, &table);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return table;
  }

  // The campsite numbers in the order of a key, and the record numbers
  // they were added under.
  std::vector<int> Order(storage::TableFile* table, size_t key) {
    std::string prefix = storage::KeyEntryPrefix(table->table_number(), static_cast<uint8_t>(key));
    storage::RecordCursor cursor(table->record_file());
    std::vector<int> numbers;
    for (Status s = cursor.Seek(prefix); s.ok() && cursor.Valid(); s = cursor.Next()) {
      if (!cursor.key().starts_with(prefix)) break;
      storage::ParsedKeyEntry entry;
      std::string_view data = cursor.record().substr(cursor.key().size());
      EXPECT_TRUE(storage::ParseKeyEntry(table->definition(), cursor.key(), data, &entry).ok());
      numbers.push_back(campsite_[entry.record_number]);
    }
    return numbers;
  }

  void AddCampsite(storage::TableFile* table, int number, std::string_view name,
                   std::string_view town, std::string_view region, std::string_view postcode) {
    GezNAWRecord record;
    std::memset(&record, ' ', sizeof record);
    SetNumber(record.NUMMER, number);
    Assign(record.NAAMCAMP, name);
    Assign(record.PLAATS, town);
    Assign(record.STREEK, region);
    Assign(record.POSTCODE, postcode);
    uint32_t record_number = 0;
    Status s = table->Add(Row(record), false, &record_number);
    ASSERT_TRUE(s.ok()) << s.ToString();
    campsite_[record_number] = number;
  }

  test_support::TempFolder folder_;
  std::map<uint32_t, int> campsite_;  // record number -> campsite number
};

TEST_F(GuideKeysTest, CampsiteKeysOrderAndLeaveOutAsDeclared) {
  auto naw = Create(GuideFile::GezNAW);
  AddCampsite(naw.get(), 1, "de Meenthe", "Steenwijk", "Kop van Overijssel", "8332 AA");
  AddCampsite(naw.get(), 2, "Zonneweide", "Ede", "", "6711 AB");
  AddCampsite(naw.get(), 3, "De Meenthe", "Balkbrug", "Vechtdal", "");
  AddCampsite(naw.get(), 4, "Alpha", "Arnhem", "Veluwe", "6800 AA");
  AddCampsite(naw.get(), 5, "de Paal", "Bergeijk", "Kempen", "5571 TN");
  AddCampsite(naw.get(), 6, "", "Ede", "", "");

  // NOCASE puts both Meenthes together, by town after the name.
  EXPECT_EQ(Order(naw.get(), 1), (std::vector<int>{6, 4, 3, 1, 5, 2}));
  EXPECT_EQ(Order(naw.get(), 2), (std::vector<int>{4, 3, 5, 6, 2, 1}));
  // OPT leaves out a record only when every key field is blank: a campsite
  // without region but with a name comes first by region; one without
  // region, postcode and name is in neither order.
  EXPECT_EQ(Order(naw.get(), 3), (std::vector<int>{2, 5, 1, 3, 4}));
  EXPECT_EQ(Order(naw.get(), 4), (std::vector<int>{3, 5, 2, 4, 1}));
  uint32_t count = 0;
  ASSERT_TRUE(naw->RecordsInKey(3, &count).ok());
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(Order(naw.get(), 0), (std::vector<int>{1, 2, 3, 4, 5, 6}));

  // BY_NUMMER is unique: a second campsite 3 is refused.
  GezNAWRecord again;
  std::memset(&again, ' ', sizeof again);
  SetNumber(again.NUMMER, 3);
  uint32_t record_number = 0;
  EXPECT_EQ(naw->Add(Row(again), false, &record_number).code(),
            storage::error::kCreatesDuplicateKey);
  ASSERT_TRUE(naw->Records(&count).ok());
  EXPECT_EQ(count, 6u);
}

TEST_F(GuideKeysTest, FoundSetNumbersCompareExactlyAndNamesWithoutCase) {
  auto found = Create(GuideFile::Gezvonde);
  const std::pair<int, const char*> rows[] = {{12, "de Meenthe"}, {7, "DE MEENTHE"}, {9, "Abel"}};
  for (const auto& [number, name] : rows) {
    GezvondeRecord record;
    std::memset(&record, ' ', sizeof record);
    SetNumber(record.NUMMER, number);
    Assign(record.NAAMCAMP, name);
    uint32_t record_number = 0;
    ASSERT_TRUE(found->Add(Row(record), false, &record_number).ok());
    campsite_[record_number] = number;
  }
  EXPECT_EQ(Order(found.get(), 0), (std::vector<int>{7, 9, 12}));
  EXPECT_EQ(Order(found.get(), 1), (std::vector<int>{9, 12, 7}));
}

TEST_F(GuideKeysTest, InformationRecordsMayShareANumberAndTheFirstIsFound) {
  auto info = Create(GuideFile::GezINFO);
  std::vector<uint32_t> added;
  for (int number : {8, 3, 8}) {
    GezINFORecord record;
    SetNumber(record.NUMMER, number);
    uint32_t record_number = 0;
    ASSERT_TRUE(info->Add(Row(record), false, &record_number).ok());
    added.push_back(record_number);
  }
  GezINFORecord wanted;
  SetNumber(wanted.NUMMER, 8);
  std::string found;
  uint32_t record_number = 0;
  ASSERT_TRUE(info->GetByKey(0, Row(wanted), &found, &record_number).ok());
  EXPECT_EQ(record_number, added[0]);
  SetNumber(wanted.NUMMER, 4);
  EXPECT_EQ(info->GetByKey(0, Row(wanted), &found, &record_number).code(),
            storage::error::kRecordNotFound);
}

TEST_F(GuideKeysTest, MarkedCampsitesWithoutNameHaveNoNameEntry) {
  auto tags = Create(GuideFile::TagFile);
  TagFileRecord record;
  std::memset(&record, ' ', sizeof record);
  SetNumber(record.NUMMER, 1234, 2);
  uint32_t record_number = 0;
  ASSERT_TRUE(tags->Add(Row(record), false, &record_number).ok());
  uint32_t count = 0;
  ASSERT_TRUE(tags->RecordsInKey(0, &count).ok());
  EXPECT_EQ(count, 1u);
  ASSERT_TRUE(tags->RecordsInKey(1, &count).ok());
  EXPECT_EQ(count, 0u);
  // The two-place number holds a campsite number as its value.
  EXPECT_EQ(runtime::DecimalRegister::LoadDecimal(record.NUMMER, 2).ToText(), "1234.00");
}

}  // namespace
}  // namespace tentaria::guide
