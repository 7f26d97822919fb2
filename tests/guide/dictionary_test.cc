#include "guide/dictionary.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "guide/file_descriptors.h"
#include "guide/records.h"
#include "guide/relations.h"
#include "platform/file.h"
#include "platform/path.h"
#include "runtime/value_types.h"
#include "storage/table_file.h"
#include "tests/support/temp_folder.h"

namespace tentaria::guide {
namespace {

using namespace storage::file_attribute;
using namespace storage::key_attribute;

std::vector<std::string> KeyLabels(GuideFile file) {
  std::vector<std::string> labels;
  for (const storage::KeyDescriptor& key : Descriptor(file).keys) labels.push_back(key.label);
  return labels;
}

TEST(GuideDescriptorTest, EveryDeclarationIsValidAndMatchesItsBuffer) {
  const size_t fields[] = {16, 92, 50, 1, 1, 37, 6, 67, 9, 5};
  for (GuideFile file : kGuideFiles) {
    const storage::FileDescriptor& declaration = Descriptor(file);
    SCOPED_TRACE(declaration.name);
    Status s =
        storage::ValidateDefinition(declaration, storage::error_code::kInvalidRecordDeclaration);
    EXPECT_TRUE(s.ok()) << s.ToString();
    EXPECT_EQ(declaration.layout.record_size, Buffer(file).size());
    EXPECT_EQ(declaration.layout.fields.size(), fields[static_cast<size_t>(file)]);
    for (const storage::FieldDescriptor& field : declaration.layout.fields) {
      EXPECT_EQ(field.label.substr(0, declaration.prefix.size() + 1), declaration.prefix + ":");
    }
    // Fields follow one another without gaps up to the record's end.
    size_t end = 0;
    for (const storage::FieldDescriptor& field : declaration.layout.fields) {
      EXPECT_EQ(field.offset, end) << field.label;
      end = field.offset + field.size;
    }
    EXPECT_EQ(end, declaration.layout.record_size);
    EXPECT_EQ(declaration.driver, "TAVRIN");
  }
}

TEST(GuideDescriptorTest, TypesOfTheFieldsTheGuideReadsByValue) {
  const storage::FileDescriptor& naw = Descriptor(GuideFile::GezNAW);
  const storage::FieldDescriptor& nummer = naw.layout.fields[0];
  EXPECT_EQ(nummer.type, runtime::ToInt(runtime::TypeCode::DECIMAL));
  EXPECT_EQ(nummer.digits, 5);
  EXPECT_EQ(nummer.decimals, 0);
  const storage::FieldDescriptor& tag = Descriptor(GuideFile::TagFile).layout.fields[0];
  EXPECT_EQ(tag.size, 4);
  EXPECT_EQ(tag.digits, 7);
  EXPECT_EQ(tag.decimals, 2);

  const storage::FileDescriptor& fac = Descriptor(GuideFile::GezFAC);
  const storage::FieldDescriptor& wind = fac.layout.fields[*FieldNumber(fac, "GFAC:WIND")];
  EXPECT_EQ(wind.type, runtime::ToInt(runtime::TypeCode::BYTE));
  EXPECT_EQ(wind.dimensions, std::vector<uint16_t>{3});
  const storage::FieldDescriptor& km = fac.layout.fields[*FieldNumber(fac, "GFAC:CAFEKM")];
  EXPECT_EQ(km.decimals, 1);

  const storage::FileDescriptor& sel = Descriptor(GuideFile::Selectie);
  const storage::FieldDescriptor& from = sel.layout.fields[*FieldNumber(sel, "SEL:EIGPERIODEVAN")];
  EXPECT_EQ(from.type, runtime::ToInt(runtime::TypeCode::STRING));
  EXPECT_EQ(from.picture, "D5");
  EXPECT_EQ(from.string_length, 8);
  EXPECT_EQ(sel.layout.fields[0].type, runtime::ToInt(runtime::TypeCode::BYTE));
  EXPECT_TRUE(sel.layout.fields[0].dimensions.empty());
}

TEST(GuideDescriptorTest, KeysInTheOrderOfTheKeyTable) {
  EXPECT_EQ(KeyLabels(GuideFile::GezNAW),
            (std::vector<std::string>{"GNAW:BY_NUMMER", "GNAW:BY_NAAM", "GNAW:BY_PLAATS",
                                      "GNAW:BY_STREEK", "GNAW:BY_POSTCODE"}));
  EXPECT_EQ(
      KeyLabels(GuideFile::Gezvonde),
      (std::vector<std::string>{"GVD:BY_NUMMER", "GVD:BY_NAAM", "GVD:BY_PLAATS", "GVD:BY_STREEK"}));
  EXPECT_EQ(KeyLabels(GuideFile::TagFile),
            (std::vector<std::string>{"TAG:BY_NUMMER", "TAG:BY_NAAM"}));
  const storage::FileDescriptor& naw = Descriptor(GuideFile::GezNAW);
  EXPECT_EQ(naw.keys[0].attributes, 0u);  // unique and exact
  EXPECT_EQ(naw.keys[3].attributes, DUP | OPT | NOCASE);
  ASSERT_EQ(naw.keys[2].components.size(), 2u);
  EXPECT_EQ(naw.keys[2].components[0].field, *FieldNumber(naw, "GNAW:PLAATS"));
  EXPECT_EQ(naw.keys[2].components[1].field, *FieldNumber(naw, "GNAW:NAAMCAMP"));
  EXPECT_EQ(Descriptor(GuideFile::GezINFO).keys[0].attributes, DUP | NOCASE);
  EXPECT_EQ(Descriptor(GuideFile::Gezvonde).keys[0].attributes, 0u);
  EXPECT_EQ(Descriptor(GuideFile::Selectie).keys[0].attributes, OPT | NOCASE);
  for (GuideFile file : kGuideFiles) {
    for (const storage::KeyDescriptor& key : Descriptor(file).keys) {
      EXPECT_FALSE(key.Has(PRIMARY)) << key.label;
      for (const storage::KeyComponent& component : key.components) {
        EXPECT_FALSE(component.descending()) << key.label;
      }
    }
  }
}

TEST(GuideDescriptorTest, AttributesPasswordsMemoAndNames) {
  for (GuideFile file : kGuideFiles) {
    const storage::FileDescriptor& declaration = Descriptor(file);
    if (file == GuideFile::PROVINCI) {
      EXPECT_EQ(declaration.attributes, RECLAIM);
      EXPECT_TRUE(declaration.owner_password.empty());
      continue;
    }
    EXPECT_EQ(declaration.owner_password, "Quokka") << declaration.name;
    bool per_thread = file != GuideFile::GEZFOTO && file != GuideFile::TagFile;
    EXPECT_EQ(declaration.attributes, ENCRYPT | CREATE | RECLAIM | (per_thread ? THREAD : 0))
        << declaration.name;
  }
  const storage::FileDescriptor& info = Descriptor(GuideFile::GezINFO);
  ASSERT_EQ(info.memos.size(), 1u);
  EXPECT_EQ(info.memos[0].label, "GINF:TEXTVELD");
  EXPECT_EQ(info.memos[0].size, 2000);
  EXPECT_FALSE(info.memos[0].blob());
  EXPECT_FALSE(info.memos[0].binary());

  EXPECT_EQ(Descriptor(GuideFile::GEZFOTO).name, "GEZFOTO");
  EXPECT_EQ(Settings(GuideFile::GEZFOTO).FILENAMEVALUE, "GezFoto");
  EXPECT_EQ(Descriptor(GuideFile::TagFile).name, "C:\\OKV\\TA2000\\TagFile.tvn");
  EXPECT_EQ(Settings(GuideFile::GezNAW).auto_increment_key, "GNAW:BY_NUMMER");
  for (GuideFile file : kGuideFiles) {
    const FileSettings& settings = Settings(file);
    EXPECT_EQ(settings.LOCKRECOVER, 10);
    bool created =
        file == GuideFile::GezNAW || file == GuideFile::PROVINCI || file == GuideFile::TagFile;
    EXPECT_EQ(settings.CREATE, created) << settings.FILENAMEVALUE;
    EXPECT_EQ(IsWorkingFile(file), settings.FILENAMEVALUE.starts_with("C:\\OKV\\TA2000\\"));
    if (file != GuideFile::GezNAW) {
      EXPECT_TRUE(settings.auto_increment_key.empty());
    }
  }
}

TEST(GuideDescriptorTest, RelationsNameRealFieldsAndKeysAndHoldBothWays) {
  for (const RelationLink& link : RelationLinks()) {
    for (auto [file, field, key] : {std::tuple{link.parent, link.parent_field, link.parent_key},
                                    std::tuple{link.child, link.child_field, link.child_key}}) {
      const storage::FileDescriptor& declaration = Descriptor(file);
      std::optional<size_t> field_number = FieldNumber(declaration, field);
      std::optional<size_t> key_number = KeyNumber(declaration, key);
      ASSERT_TRUE(field_number && key_number) << field << " " << key;
      EXPECT_EQ(declaration.keys[*key_number].components[0].field, *field_number) << key;
    }
  }
  auto related = [](GuideFile file) {
    std::vector<GuideFile> files;
    for (const Relation& relation : RelationsOf(file)) {
      files.push_back(relation.FILE);
      EXPECT_EQ(relation.UPDATEMODE, RelationMode::kNone);
      EXPECT_EQ(relation.DELETEMODE, RelationMode::kNone);
    }
    return files;
  };
  using enum GuideFile;
  EXPECT_EQ(related(GezNAW), (std::vector<GuideFile>{TagFile, GezPRIJZ, GezFAC, GezINFO, GezSEL,
                                                     Gezvonde, GEZFOTO}));
  EXPECT_EQ(related(Gezvonde), (std::vector<GuideFile>{GezNAW, GezFAC, GezSEL, GezINFO, GezPRIJZ}));
  EXPECT_EQ(related(GezFAC), (std::vector<GuideFile>{GezNAW, Gezvonde}));
  EXPECT_EQ(related(PROVINCI), std::vector<GuideFile>{});
  std::vector<Relation> photos = RelationsOf(GEZFOTO);
  ASSERT_EQ(photos.size(), 1u);
  EXPECT_EQ(photos[0].LEFT, "GFOT:NUMMER");
  EXPECT_EQ(photos[0].RIGHT, "GNAW:NUMMER");
  EXPECT_EQ(photos[0].HISKEY, "GNAW:BY_NUMMER");
}

TEST(GuideRecordTest, TextFieldsHoldExactlyTheirLength) {
  const std::string name(33, 'N');
  Assign(GNAW.NAAMCAMP, name + "X");
  EXPECT_EQ(Text(GNAW.NAAMCAMP), name);
  Assign(GVD.NAAMCAMP, Text(GNAW.NAAMCAMP));
  Assign(TAG.NAAMCAMP, Text(GNAW.NAAMCAMP));
  EXPECT_EQ(Text(GVD.NAAMCAMP), name.substr(0, 25));
  EXPECT_EQ(Text(TAG.NAAMCAMP), name.substr(0, 25));
  Assign(GNAW.PLAATS, "Ede");
  EXPECT_EQ(std::string(GNAW.PLAATS, sizeof GNAW.PLAATS), "Ede" + std::string(17, ' '));
  EXPECT_EQ(Text(GNAW.PLAATS), "Ede");
  // The buffers are the file's record images.
  EXPECT_EQ(Buffer(GuideFile::GezNAW).data() + 68, reinterpret_cast<uint8_t*>(GNAW.PLAATS));
}

// Every file is created empty where the dictionary places it and opens
// again with the same declaration.
class GuideFilesTest : public test_support::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    std::filesystem::create_directories(guide_folder_);
    saved_folder_ = platform::CurrentFolder();
    platform::SetCurrentFolder(guide_folder_);
    setenv("TENTARIA_DRIVE_C", drive_c_.c_str(), 1);
  }
  void TearDown() override { platform::SetCurrentFolder(saved_folder_); }

  std::string guide_folder_ = home_ / "cd";
  std::string drive_c_ = home_ / "C";
  std::string saved_folder_;
};

TEST_F(GuideFilesTest, WorkingFilesGoThroughTheDriveTableAndGuideFilesToTheGuideFolder) {
  EXPECT_EQ(HostFileName(GuideFile::GezNAW), guide_folder_ + "/GezNAW.TVN");
  EXPECT_EQ(HostFileName(GuideFile::GEZFOTO), guide_folder_ + "/GezFoto.TVN");
  ASSERT_TRUE(MakeWorkingFolder().ok());
  EXPECT_TRUE(std::filesystem::is_directory(drive_c_ + "/OKV/TA2000"));
  EXPECT_TRUE(MakeWorkingFolder().ok());
  EXPECT_EQ(HostFileName(GuideFile::TagFile), drive_c_ + "/OKV/TA2000/TagFile.tvn");
  EXPECT_EQ(HostFileName(GuideFile::Selectie), drive_c_ + "/OKV/TA2000/Selectie.TVN");
}

TEST_F(GuideFilesTest, EveryFileIsCreatedAndReopenedWithItsDeclaration) {
  ASSERT_TRUE(MakeWorkingFolder().ok());
  constexpr int kMode = platform::open_mode::kReadWrite | platform::open_mode::kDenyNone;
  for (GuideFile file : kGuideFiles) {
    storage::FileDescriptor declaration = Descriptor(file);
    SCOPED_TRACE(declaration.name);
    declaration.attributes |= CREATE;  // PROVINCI is declared without it
    std::unique_ptr<storage::TableFile> table;
    Status s = storage::TableFile::Open(platform::FileSystem::Default(), declaration,
                                        HostFileName(file), kMode, &table);
    ASSERT_TRUE(s.ok()) << s.ToString();
    table.reset();
    s = storage::TableFile::Open(platform::FileSystem::Default(), Descriptor(file),
                                 HostFileName(file), kMode, &table);
    ASSERT_TRUE(s.ok()) << s.ToString();
    EXPECT_EQ(table->definition().layout.fields.size(), declaration.layout.fields.size());
    EXPECT_EQ(table->definition().keys.size(), declaration.keys.size());
  }
}

TEST_F(GuideFilesTest, EncipheredFileRefusesAnotherOwner) {
  storage::FileDescriptor declaration = Descriptor(GuideFile::GezSEL);
  constexpr int kMode = platform::open_mode::kReadWrite | platform::open_mode::kDenyNone;
  std::unique_ptr<storage::TableFile> table;
  ASSERT_TRUE(storage::TableFile::Open(platform::FileSystem::Default(), declaration,
                                       HostFileName(GuideFile::GezSEL), kMode, &table)
                  .ok());
  table.reset();
  declaration.owner_password = "Wallaby";
  EXPECT_FALSE(storage::TableFile::Open(platform::FileSystem::Default(), declaration,
                                        HostFileName(GuideFile::GezSEL), kMode, &table)
                   .ok());
}

}  // namespace
}  // namespace tentaria::guide
