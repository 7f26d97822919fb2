// make-guide, run as a real process: the guide it writes is the same for
// the same seed, every file passes the integrity check and opens under the
// guide's declarations, the campsites the program names are there, and the
// edges the guide's windows must handle occur.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "guide/file_descriptors.h"
#include "guide/records.h"
#include "pictures/icon_decoder.h"
#include "pictures/linked_pictures.h"
#include "pictures/picture_loader.h"
#include "platform/charset.h"
#include "platform/file.h"
#include "platform/path.h"
#include "runtime/decimal.h"
#include "runtime/error_state.h"
#include "storage/declared_file.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tvn_run.h"
#include "tools/make-guide/linked/guide_linked_pictures.h"

namespace {

namespace guide = tentaria::guide;
namespace platform = tentaria::platform;
namespace runtime = tentaria::runtime;
namespace storage = tentaria::storage;
using tentaria::test_support::ReadTextFile;
using tentaria::test_support::TempFolder;
using tentaria::tvn_test::ProgramRun;
using tentaria::tvn_test::Quote;
using tentaria::tvn_test::Tvn;

constexpr std::array<const char*, 7> kGuideFiles = {
    "GezNAW.TVN",   "GezFAC.TVN",   "GezSEL.TVN",  "GezINFO.TVN",
    "PROVINCI.TVN", "GezPRIJZ.TVN", "GEZFOTO.TVN",
};

ProgramRun MakeGuide(const std::string& arguments) {
  return tentaria::tvn_test::RunProgram(MAKE_GUIDE_PROGRAM, arguments);
}

int64_t Number(const uint8_t (&field)[3], int decimals = 0) {
  runtime::DecimalRegister value = runtime::DecimalRegister::LoadDecimal(field, decimals);
  runtime::DecimalRegister scale = runtime::DecimalRegister::FromInt64(decimals == 0 ? 1 : 10);
  return runtime::Multiply(value, scale).ToInt64();
}

// A guide file opened read-only under its declaration in the guide folder.
class GuideFile {
 public:
  GuideFile(const std::string& folder, guide::GuideFile file)
      : declaration_(Declaration(folder, file)), file_(declaration_) {
    EXPECT_EQ(file_.Open(platform::open_mode::kRead | platform::open_mode::kDenyNone), 0)
        << declaration_.name << ": " << runtime::ErrorCode();
  }

  // The rows in the order of the key (by its label), or in record order.
  template <typename Record>
  std::vector<Record> Rows(const char* key = nullptr) {
    std::vector<Record> rows;
    if (key != nullptr) {
      EXPECT_EQ(file_.SetKey(*guide::KeyNumber(declaration_, key)), 0);
    } else {
      EXPECT_EQ(file_.SetFile(), 0);
    }
    while (file_.Next() == 0) {
      Record record;
      std::memcpy(&record, file_.record().data(), sizeof record);
      rows.push_back(record);
      if (!declaration_.memos.empty()) memos_.push_back(file_.memo(0));
    }
    return rows;
  }

  const std::vector<std::string>& memos() const { return memos_; }

 private:
  static storage::FileDescriptor Declaration(const std::string& folder, guide::GuideFile file) {
    storage::FileDescriptor declaration = guide::Descriptor(file);
    declaration.name = folder + "/" + declaration.name;
    return declaration;
  }

  storage::FileDescriptor declaration_;
  storage::DeclaredFile file_;
  std::vector<std::string> memos_;
};

std::string Utf8(std::string_view latin) { return platform::Cp1252ToUtf8(latin); }

// One sample guide of the default size, made once for the tests that only
// read it.
class SampleGuideTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder();
    ProgramRun run = MakeGuide("--out " + Quote(folder_->path()));
    ASSERT_EQ(run.status, 0) << run.out;
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }
  static const std::string& folder() { return folder_->path(); }

  static TempFolder* folder_;
};

TempFolder* SampleGuideTest::folder_ = nullptr;

TEST(MakeGuideTest, TheSameSeedGivesTheSameFilesAndAnotherSeedAnotherGuide) {
  TempFolder first, second, other;
  ASSERT_EQ(MakeGuide("--out " + Quote(first.path()) + " --seed 7 --count 300").status, 0);
  ASSERT_EQ(MakeGuide("--out " + Quote(second.path()) + " --seed 7 --count 300").status, 0);
  ASSERT_EQ(MakeGuide("--out " + Quote(other.path()) + " --seed 8 --count 300").status, 0);
  for (const char* name : kGuideFiles) {
    std::string bytes = ReadTextFile(first / name);
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(bytes, ReadTextFile(second / name)) << name;
  }
  EXPECT_NE(ReadTextFile(first / "GezNAW.TVN"), ReadTextFile(other / "GezNAW.TVN"));
  // The pictures too: every one the same for the seed, drawn anew for
  // another seed.
  size_t pictures = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(first.path())) {
    if (!entry.is_regular_file() || entry.path().extension() == ".TVN") continue;
    const std::string relative = std::filesystem::relative(entry.path(), first.path()).string();
    ++pictures;
    ASSERT_EQ(ReadTextFile(entry.path().string()), ReadTextFile(second / relative)) << relative;
  }
  EXPECT_GT(pictures, 300u);
  EXPECT_NE(ReadTextFile(first / "FAdvert/A1218.JPG"), ReadTextFile(other / "FAdvert/A1218.JPG"));
  EXPECT_NE(ReadTextFile(first / "FCAMP/F1218A.JPG"), ReadTextFile(other / "FCAMP/F1218A.JPG"));
  // Writing again into a folder that holds a guide replaces its files.
  ASSERT_EQ(MakeGuide("--out " + Quote(other.path()) + " --seed 7 --count 300").status, 0);
  EXPECT_EQ(ReadTextFile(first / "GezNAW.TVN"), ReadTextFile(other / "GezNAW.TVN"));
}

TEST(MakeGuideTest, RefusesCountsItCannotMakeAndMissingArguments) {
  TempFolder folder;
  ProgramRun few = MakeGuide("--out " + Quote(folder.path()) + " --count 36");
  EXPECT_EQ(few.status, 2);
  EXPECT_NE(few.out.find("--count must lie between 37"), std::string::npos) << few.out;
  // Campsite numbers have five digits.
  ProgramRun many = MakeGuide("--out " + Quote(folder.path()) + " --count 100000");
  EXPECT_EQ(many.status, 2);
  EXPECT_NE(many.out.find("99999"), std::string::npos) << many.out;
  EXPECT_EQ(MakeGuide("--count 100").status, 2);
  EXPECT_EQ(MakeGuide("--out " + Quote(folder.path()) + " --seed zeven").status, 2);
  EXPECT_FALSE(std::filesystem::exists(folder / "GezNAW.TVN"));
}

TEST_F(SampleGuideTest, EveryFilePassesTheCheck) {
  for (const char* name : kGuideFiles) {
    // PROVINCI is the one guide file that is not enciphered.
    std::string owner = std::string(name) == "PROVINCI.TVN" ? "" : " --owner Quokka";
    ProgramRun check = Tvn("check " + Quote(folder() + "/" + name) + owner);
    EXPECT_EQ(check.status, 0) << name << ": " << check.out;
    EXPECT_EQ(check.out, "OK\n") << name;
  }
}

TEST_F(SampleGuideTest, TheCampsitesTheProgramNamesAreThere) {
  struct Named {
    int number;
    const char* name;
    const char* country;
  };
  // The featured campsites of the search and the advertised campsites.
  const Named kNamed[] = {
      {138, "het Haasje", "Nederland"},
      {151, "De Heimolen", "Nederland"},
      {157, "De Reebok", "Nederland"},
      {159, "Dennenoord", "Nederland"},
      {171, "Lithse Ham", "Nederland"},
      {174, "Herperduin", "Nederland"},
      {180, "De Breyenburg", "Nederland"},
      {181, "De Ullingse Bergen", "Nederland"},
      {198, "Sud", "België"},
      {207, "De Brugse Heide", "Nederland"},
      {319, "De Meenthe", "Nederland"},
      {392, "Vlintenholt", "Nederland"},
      {400, "De Valkenhof", "Nederland"},
      {600, "Camping-Jachthaven De Kluft", "Nederland"},
      {940, "De Roland", "Nederland"},
      {963, "Beringerzand", "Nederland"},
      {1006, "De Wolfsberg", "Nederland"},
      {1030, "Eurocamping Vessem", "Nederland"},
      {1183, "Zilverstrand", "België"},
      {1206, "Auf Kengert", "Luxemburg"},
      {1212, "Bissen", "Luxemburg"},
      {1215, "Trois Frontieres", "Luxemburg"},
      {1218, "Nommerlayen", "Luxemburg"},
      {1220, "Steinfort", "Luxemburg"},
      {1227, "Um Bierg", "Luxemburg"},
      {1245, "Woltzdal", "Luxemburg"},
      {1248, "Des Ardennes", "Luxemburg"},
      {1250, "Baalse Hei", "België"},
      {1255, "Fort Bdmar", "België"},
      {1303, "Fauwater", "België"},
      {1313, "Berkenstrand", "België"},
      {1366, "Domain de L'Eau Rouge", "België"},
      {1373, "Tony", "België"},
      {1408, "île de Faigneul", "België"},
      {1419, "Pont de Bergueme", "België"},
      {1426, "Le Roptai", "België"},
      {1462, "Diepvennen", "België"},
  };
  const std::set<int> kAdvertised = {151,  159,  171,  198,  940,  1030, 1183,
                                     1215, 1218, 1220, 1245, 1366, 1408};
  GuideFile names(folder(), guide::GuideFile::GezNAW);
  std::map<int64_t, guide::GezNAWRecord> by_number;
  for (const auto& row : names.Rows<guide::GezNAWRecord>("GNAW:BY_NUMMER")) {
    by_number[Number(row.NUMMER)] = row;
  }
  for (const Named& named : kNamed) {
    ASSERT_TRUE(by_number.contains(named.number)) << named.number;
    const guide::GezNAWRecord& row = by_number[named.number];
    EXPECT_EQ(Utf8(guide::Text(row.NAAMCAMP)), named.name) << named.number;
    EXPECT_EQ(Utf8(guide::Text(row.LAND)), named.country) << named.number;
    // The search shows each one's first photo, the menu its advertisement.
    EXPECT_EQ(guide::Text(row.FOTO), "2") << named.number;
    EXPECT_EQ(guide::Text(row.ADVER), kAdvertised.contains(named.number) ? "J" : "N")
        << named.number;
  }
  // Texts are Windows-1252 inside: "België" has its diaeresis as one byte.
  EXPECT_EQ(guide::Text(by_number[1183].LAND), "Belgi\xEB");
}

TEST_F(SampleGuideTest, CountriesProvincesAndNumbersFitTheGuide) {
  GuideFile names(folder(), guide::GuideFile::GezNAW);
  std::vector<guide::GezNAWRecord> rows = names.Rows<guide::GezNAWRecord>();
  ASSERT_EQ(rows.size(), 1500u);
  GuideFile provinces(folder(), guide::GuideFile::PROVINCI);
  std::set<std::string> province_names;
  for (const auto& row : provinces.Rows<guide::PROVINCIRecord>("PRO:BY_PROVINCIE")) {
    province_names.insert(Utf8(guide::Text(row.PROVINCIE)));
  }
  EXPECT_TRUE(province_names.contains("Alle Provincies"));
  EXPECT_TRUE(province_names.contains("Liège"));
  std::map<std::string, int> per_country;
  for (const auto& row : rows) {
    std::string country = Utf8(guide::Text(row.LAND));
    std::string province = Utf8(guide::Text(row.PROVINCIE));
    std::string telephone(guide::Text(row.TELEFOON));
    ++per_country[country];
    EXPECT_TRUE(province_names.contains(province)) << province;
    ASSERT_FALSE(telephone.empty());
    // Dutch and Belgian numbers carry their area code, Luxembourg's none.
    EXPECT_EQ(telephone[0] == '0', country != "Luxemburg") << telephone;
    if (country == "Luxemburg") {
      EXPECT_EQ(province, "Luxemburg");
    }
    std::string_view language = guide::Text(row.TAAL);
    EXPECT_TRUE(language == "N" || language == "F" || language == "D") << language;
    if (country == "Nederland") {
      EXPECT_EQ(language, "N");
    }
  }
  EXPECT_EQ(per_country.size(), 3u);
  EXPECT_GT(per_country["Nederland"], per_country["België"]);
  EXPECT_GT(per_country["België"], per_country["Luxemburg"]);
  EXPECT_GT(per_country["Luxemburg"], 20);
}

TEST_F(SampleGuideTest, TheEdgesOfTheGuideOccur) {
  GuideFile names(folder(), guide::GuideFile::GezNAW);
  std::vector<guide::GezNAWRecord> rows = names.Rows<guide::GezNAWRecord>();
  size_t without_region = 0, without_postcode = 0, without_info = 0, without_advert = 0;
  std::map<int64_t, std::string> photos;
  std::set<int64_t> with_info;
  for (const auto& row : rows) {
    without_region += guide::Text(row.STREEK).empty();
    without_postcode += guide::Text(row.POSTCODE).empty();
    without_advert += guide::Text(row.ADVER) == "N";
    photos[Number(row.NUMMER)] = std::string(guide::Text(row.FOTO));
    if (guide::Text(row.INFO) == "N") {
      ++without_info;
    } else {
      with_info.insert(Number(row.NUMMER));
    }
  }
  EXPECT_GT(without_region, 0u);
  EXPECT_GT(without_postcode, 0u);
  EXPECT_GT(without_info, 0u);
  EXPECT_GT(without_advert, 0u);
  // A campsite keeps its name, so the optional keys over region or
  // postcode and name hold it all the same; without region or postcode it
  // comes first in their order.
  std::vector<guide::GezNAWRecord> by_region = names.Rows<guide::GezNAWRecord>("GNAW:BY_STREEK");
  ASSERT_EQ(by_region.size(), rows.size());
  for (size_t i = 0; i < by_region.size(); ++i) {
    EXPECT_EQ(guide::Text(by_region[i].STREEK).empty(), i < without_region) << i;
  }
  std::vector<guide::GezNAWRecord> by_postcode =
      names.Rows<guide::GezNAWRecord>("GNAW:BY_POSTCODE");
  ASSERT_EQ(by_postcode.size(), rows.size());
  for (size_t i = 0; i < by_postcode.size(); ++i) {
    EXPECT_EQ(guide::Text(by_postcode[i].POSTCODE).empty(), i < without_postcode) << i;
  }

  // Every campsite with information has one or two records, the others none.
  GuideFile information(folder(), guide::GuideFile::GezINFO);
  std::map<int64_t, int> texts;
  std::vector<guide::GezINFORecord> records =
      information.Rows<guide::GezINFORecord>("GINF:BY_NUMMER");
  for (size_t i = 0; i < records.size(); ++i) {
    ++texts[Number(records[i].NUMMER)];
    const std::string& text = information.memos()[i];
    EXPECT_GT(text.size(), 40u);
    EXPECT_LE(text.size(), guide::kInformationTextSize);
  }
  size_t twice = 0;
  for (const auto& [number, count] : texts) {
    EXPECT_TRUE(with_info.contains(number)) << number;
    twice += count == 2;
    EXPECT_LE(count, 2);
  }
  EXPECT_EQ(texts.size(), with_info.size());
  EXPECT_GT(twice, 0u);

  // Photo counts agree with the picture names.
  GuideFile pictures(folder(), guide::GuideFile::GEZFOTO);
  size_t without_photos = 0;
  std::set<int64_t> pictured;
  for (const auto& row : pictures.Rows<guide::GEZFOTORecord>()) {
    int64_t number = Number(row.NUMMER);
    pictured.insert(number);
    EXPECT_EQ(std::to_string(row.AANTALFOTOS), photos[number]) << number;
    EXPECT_EQ(guide::Text(row.FOTO1).empty(), row.AANTALFOTOS < 1) << number;
    EXPECT_EQ(guide::Text(row.FOTO2).empty(), row.AANTALFOTOS < 2) << number;
  }
  for (const auto& [number, count] : photos) {
    if (count == "0") ++without_photos;
    if (count != "0") {
      EXPECT_TRUE(pictured.contains(number)) << number;
    }
  }
  EXPECT_GT(without_photos, 0u);
}

TEST_F(SampleGuideTest, KeysGiveSensibleOrders) {
  GuideFile names(folder(), guide::GuideFile::GezNAW);
  int64_t previous = 0;
  for (const auto& row : names.Rows<guide::GezNAWRecord>("GNAW:BY_NUMMER")) {
    EXPECT_LT(previous, Number(row.NUMMER));
    previous = Number(row.NUMMER);
  }
  // Names and towns ascend without regard to case ("de Linde" beside "De
  // Linde"); only letters without accents are compared here.
  auto ascending = [](const std::vector<std::string>& texts) {
    char last = 0;
    for (const std::string& text : texts) {
      unsigned char first = static_cast<unsigned char>(text[0]);
      if (first >= 0x80) continue;
      char letter = static_cast<char>(std::toupper(first));
      if (letter < last) return false;
      last = letter;
    }
    return true;
  };
  std::vector<std::string> by_name, by_town;
  bool lower_case_name = false;
  for (const auto& row : names.Rows<guide::GezNAWRecord>("GNAW:BY_NAAM")) {
    by_name.emplace_back(guide::Text(row.NAAMCAMP));
    lower_case_name |= by_name.back().starts_with("de ");
  }
  for (const auto& row : names.Rows<guide::GezNAWRecord>("GNAW:BY_PLAATS")) {
    by_town.emplace_back(guide::Text(row.PLAATS));
  }
  EXPECT_TRUE(lower_case_name);
  EXPECT_TRUE(ascending(by_name));
  EXPECT_TRUE(ascending(by_town));
}

TEST_F(SampleGuideTest, EveryCampsiteHasItsRecordsAndConsistentAnswers) {
  GuideFile names(folder(), guide::GuideFile::GezNAW);
  GuideFile answers(folder(), guide::GuideFile::GezSEL);
  GuideFile facilities(folder(), guide::GuideFile::GezFAC);
  GuideFile prices(folder(), guide::GuideFile::GezPRIJZ);
  std::set<int64_t> numbers;
  for (const auto& row : names.Rows<guide::GezNAWRecord>()) numbers.insert(Number(row.NUMMER));
  std::set<int64_t> answered, priced, facilitated;
  for (const auto& row : answers.Rows<guide::GezSELRecord>("GSEL:BY_NUMMER")) {
    answered.insert(Number(row.NUMMER));
    // A plain yes lies within the distance the search allows; the search
    // would count it as no otherwise.
    if (row.AANWATER[0] == 1 && row.AANWATER[1] == 0) {
      EXPECT_LE(Number(row.AANWATERKM, 1), 50);
    }
    if (row.OVERDBAD[0] == 1 && row.OVERDBAD[1] == 0) {
      EXPECT_LE(Number(row.OVERDBADKM, 1), 100);
    }
    if (row.TENNIS[0] == 1 && row.TENNIS[1] == 0) {
      EXPECT_LE(Number(row.TENNISKM, 1), 75);
    }
    if (row.JACHTHAVEN[0] == 1 && row.JACHTHAVEN[1] == 0) {
      EXPECT_LE(Number(row.JACHTHAVENKM, 1), 150);
    }
  }
  for (const auto& row : facilities.Rows<guide::GezFACRecord>("GFAC:BY_NUMMER")) {
    facilitated.insert(Number(row.NUMMER));
    EXPECT_GT(Number(row.PLAATSENTOER), 0);
    EXPECT_GT(Number(row.AFSTANDSTAD, 1), 0);
  }
  std::set<std::string> currencies;
  for (const auto& row : prices.Rows<guide::GezPRIJZRecord>("GPRI:BY_NUMMER")) {
    priced.insert(Number(row.NUMMER));
    currencies.emplace(guide::Text(row.GULDENSFRANKEN));
    EXPECT_FALSE(guide::Text(row.VOLWASSENEN).empty());
  }
  EXPECT_EQ(answered, numbers);
  EXPECT_EQ(facilitated, numbers);
  EXPECT_EQ(priced, numbers);
  EXPECT_EQ(currencies, (std::set<std::string>{"Nederlandse guldens", "Belgische franken",
                                               "Luxemburgse franken"}));
}

}  // namespace

namespace picture_checks {

// The file of a name as the program gives it ("Logo\\OKV.BMP"), found
// through the program's own path mapping (backslashes as folders, names
// compared without regard to case).  Empty when there is none.
std::string FindPicture(const std::string& folder, std::string_view name) {
  const std::string path = platform::HostPathIn(folder, name);
  return std::filesystem::is_regular_file(path) ? path : std::string();
}

template <size_t N>
std::string Field(const char (&field)[N]) {
  return std::string(guide::Text(field));
}

// Icons have no decoder in the table of formats (the format is chosen by
// the name), so they are decoded as icons.
tentaria::pictures::PicturePtr DecodeFile(const std::string& path) {
  const std::string bytes = ReadTextFile(path);
  const std::span data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  if (std::filesystem::path(path).extension() == ".ico" ||
      std::filesystem::path(path).extension() == ".ICO") {
    return tentaria::pictures::DecodeIcon(data);
  }
  return tentaria::pictures::DecodePicture(data);
}

}  // namespace picture_checks

TEST_F(SampleGuideTest, EveryPictureTheProgramNamesExistsAndDecodes) {
  struct Named {
    std::string name;
    int width, height;  // 0 when any size will do
  };
  std::vector<Named> names = {
      {"bkgrnd01.gif", 128, 128},     {"bkgrnd03.gif", 128, 128},     {"Intro.bmp", 480, 300},
      {"okvlgkl.gif", 0, 0},          {"Logo\\OKV.BMP", 0, 0},        {"Logo\\L1218.BMP", 0, 0},
      {"FCAMP/F1218A.JPG", 320, 240}, {"FCAMP/F1218B.JPG", 320, 240}, {"Kaart/Kaart.GIF", 0, 0},
  };
  for (const char* icon :
       {"Cd.ico", "DOORWAY.ICO", "Doorway.ico", "INFO.ICO", "Info.ico", "CALC.ICO", "BOEK.ICO",
        "Boek.ico", "FOTO.ICO", "Foto.ico", "VRAAG.ICO", "Tent.ico", "Tent2.ico", "Redlight.ico"}) {
    names.push_back({icon, 32, 32});
  }
  for (const char* advert :
       {"A1366", "A1408", "A198",  "A1183", "A6a",   "A151",  "A159", "A1030", "A171",   "A16a",
        "A940",  "A7a",   "A1218", "A1220", "A1215", "A1245", "A11a", "A12a",  "A1218b", "A10a"}) {
    names.push_back({std::string("FAdvert\\") + advert + ".JPG", 400, 300});
  }
  for (int slot = 1; slot <= 20; ++slot) {
    names.push_back({"FAdvert\\A" + std::to_string(slot) + ".BMP", 160, 120});
  }
  for (const char* map :
       {"Ned_Zee", "Ned_NoB", "Ned_Lim", "Ned_ZuH", "Ned_NoH", "Ned_Utr", "Ned_Ove", "Ned_Gel",
        "Ned_Fle", "Ned_Dre", "Ned_Fri", "Ned_Gro", "Bel_OoV", "Bel_WeV", "Bel_Ant", "Bel_Lim",
        "Bel_Hai", "Bel_Nam", "Bel_Lie", "Bel_Lux", "Bel_Bra", "Lux_Lux"}) {
    names.push_back({std::string("Kaart/") + map + ".GIF", 440, 400});
  }

  for (const Named& named : names) {
    const std::string path = picture_checks::FindPicture(folder(), named.name);
    ASSERT_FALSE(path.empty()) << named.name;
    tentaria::pictures::PicturePtr picture = picture_checks::DecodeFile(path);
    ASSERT_NE(picture, nullptr) << named.name;
    if (named.width != 0) {
      EXPECT_EQ(picture->width, named.width) << named.name;
      EXPECT_EQ(picture->height, named.height) << named.name;
    }
  }
  // One file per name: the program's lookup ignores case, so two spellings
  // of one icon must not be two files.
  EXPECT_EQ(picture_checks::FindPicture(folder(), "DOORWAY.ICO"),
            picture_checks::FindPicture(folder(), "Doorway.ico"));
}

TEST_F(SampleGuideTest, CampsitePicturesAreThoseTheirPictureRecordsName) {
  using picture_checks::Field;
  GuideFile names(folder(), guide::GuideFile::GezNAW);
  std::map<int64_t, bool> advertises;
  for (const auto& row : names.Rows<guide::GezNAWRecord>()) {
    advertises[Number(row.NUMMER)] = guide::Text(row.ADVER) == "J";
  }
  GuideFile pictures(folder(), guide::GuideFile::GEZFOTO);
  std::set<std::string> named;
  size_t logos = 0, adverts = 0;
  for (const auto& row : pictures.Rows<guide::GEZFOTORecord>()) {
    const int64_t number = Number(row.NUMMER);
    for (const std::string& photo : {Field(row.FOTO1), Field(row.FOTO2)}) {
      if (!photo.empty()) named.insert("FCAMP/F" + photo + ".JPG");
    }
    if (!Field(row.LOGO).empty()) {
      named.insert("Logo/" + Field(row.LOGO) + ".BMP");
      ++logos;
    }
    if (!Field(row.ADVER).empty()) {
      named.insert("FAdvert/" + Field(row.ADVER) + ".JPG");
      ++adverts;
    }
    // The advertisement window builds the name from the campsite number.
    EXPECT_EQ(std::filesystem::exists(folder() + "/FAdvert/A" + std::to_string(number) + ".JPG"),
              advertises[number])
        << number;
  }
  EXPECT_GT(logos, 300u);
  EXPECT_GT(adverts, 36u);
  // Every file in the campsite folders is named by a record (besides the
  // publisher's logo and the advertisements the program itself names).
  for (const char* sub : {"FCAMP", "Logo"}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder() + "/" + sub)) {
      const std::string relative = std::string(sub) + "/" + entry.path().filename().string();
      if (relative == "Logo/OKV.BMP") continue;
      EXPECT_TRUE(named.contains(relative)) << relative;
    }
  }
  // Each named file decodes; a sample of every tenth keeps the test short.
  size_t i = 0;
  for (const std::string& relative : named) {
    ASSERT_TRUE(std::filesystem::exists(folder() + "/" + relative)) << relative;
    if (i++ % 10 == 0) {
      EXPECT_NE(picture_checks::DecodeFile(folder() + "/" + relative), nullptr) << relative;
    }
  }
}

TEST_F(SampleGuideTest, TheLinkedPicturesAreTheGuidesOwn) {
  TempFolder linked;
  ProgramRun run = MakeGuide("--linked-pictures " + Quote(linked.path()));
  ASSERT_EQ(run.status, 0) << run.out;
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(linked.path())) {
    ++files;
  }
  EXPECT_EQ(files, 3u);
  tentaria::pictures::LinkedPictures registry;
  tentaria::RegisterGuideLinkedPictures(registry);
  for (const auto& [file, resource] :
       {std::pair{"bkgrnd01.gif", "BKGRND01_GIF"}, std::pair{"bkgrnd03.gif", "BKGRND03_GIF"},
        std::pair{"Intro.bmp", "INTRO_BMP"}}) {
    const std::string bytes = ReadTextFile(linked / file);
    EXPECT_EQ(bytes, ReadTextFile(folder() + "/" + file)) << file;
    const auto compiled = registry.Find(resource);
    ASSERT_TRUE(compiled.has_value()) << resource;
    EXPECT_EQ(std::string(compiled->begin(), compiled->end()), bytes) << resource;
  }
}
