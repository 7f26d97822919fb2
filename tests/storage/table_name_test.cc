#include "storage/table_name.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "storage/internal_fault.h"
#include "storage/table_definition.h"

namespace tentaria::storage {
namespace {

TEST(TableNameTest, Split) {
  const std::set<std::string, std::less<>> directories = {"C:\\OKV", "C:\\OKV\\!OUD", "!ARCHIEF"};
  IsDirectory is_directory = [&](std::string_view path) {
    return directories.find(path) != directories.end();
  };
  struct Case {
    std::string name;
    std::string path;
    std::string table;
    bool named;
  };
  const Case cases[] = {
      {"DATA.TVN\\!PRICES", "DATA.TVN", "PRICES", true},
      {"DATA", "DATA.TVN", "UNNAMED", false},
      {"data\\!prices", "data.TVN", "PRICES", true},
      {"DATA\\!", "DATA.TVN", "UNNAMED", true},
      {"DATA.TVN\\!PRICES   ", "DATA.TVN", "PRICES", true},
      {"C:\\OKV\\TagFile.tvn", "C:\\OKV\\TagFile.tvn", "UNNAMED", false},
      {"C:\\my.dir\\DATA", "C:\\my.dir\\DATA.TVN", "UNNAMED", false},
      {"C:DATA", "C:DATA.TVN", "UNNAMED", false},
      // A directory whose name begins with "!" is passed over.
      {"C:\\OKV\\!OUD\\DATA\\!Prices", "C:\\OKV\\!OUD\\DATA.TVN", "PRICES", true},
      {"C:\\OKV\\!OUD", "C:\\OKV\\!OUD.TVN", "UNNAMED", false},
      {"!ARCHIEF\\!X", "!ARCHIEF\\!X.TVN", "UNNAMED", false},
      {"DATA\\!A\\!B", "DATA.TVN", "A\\!B", true},
      {"DATA\\!pr\xE9s", "DATA.TVN", "PR\xC9S", true},
  };
  for (const Case& c : cases) {
    TableName result;
    Status s = SplitTableName(c.name, is_directory, &result);
    ASSERT_TRUE(s.ok()) << c.name << ": " << s.ToString();
    EXPECT_EQ(result.path, c.path) << c.name;
    EXPECT_EQ(result.table, c.table) << c.name;
    EXPECT_EQ(result.named, c.named) << c.name;
  }
}

TEST(TableNameTest, InvalidPaths) {
  const std::string long_path(kMaxPathLength - 4, 'a');  // the extension reaches 260
  const std::string names[] = {"",
                               "   ",
                               "\\!PRICES",
                               long_path,
                               long_path + "\\!T",
                               std::string(kMaxPathLength, 'a') + ".TVN"};
  for (const std::string& name : names) {
    TableName result;
    EXPECT_EQ(SplitTableName(name, {}, &result).code(), error_code::kInvalidFilename) << name;
  }
  TableName result;
  EXPECT_TRUE(SplitTableName(std::string(kMaxPathLength - 5, 'a'), {}, &result).ok());
  EXPECT_EQ(result.path.size(), kMaxPathLength - 1);
}

TEST(TableNameTest, NameRecord) {
  EXPECT_EQ(TableNameKey("PRICES"), "\xFEPRICES");
  EXPECT_EQ(EncodeTableNumber(0x01020304), std::string("\x01\x02\x03\x04", 4));
  uint32_t table = 0;
  ASSERT_TRUE(DecodeTableNumber(EncodeTableNumber(0x00FE0001), &table).ok());
  EXPECT_EQ(table, 0x00FE0001u);
  EXPECT_EQ(DecodeTableNumber("abc", &table).code(), error_code::kInvalidDataFile);
}

}  // namespace
}  // namespace tentaria::storage
