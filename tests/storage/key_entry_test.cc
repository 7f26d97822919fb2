#include "storage/key_entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "runtime/collation.h"
#include "runtime/value_types.h"
#include "storage/internal_fault.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;
using Row = std::vector<uint8_t>;

constexpr uint32_t kTable = 0x00000102;

// Rows of: NAME STRING(6) at 0, AMOUNT LONG at 6, CODE CSTRING(4) at 10.
FileDescriptor Table(uint32_t name_key_attributes) {
  FileDescriptor file;
  file.layout.record_size = 14;
  auto field = [](TypeCode type, uint16_t offset, uint16_t size, const char* label) {
    FieldDescriptor f;
    f.type = static_cast<uint8_t>(type);
    f.offset = offset;
    f.size = size;
    f.label = label;
    return f;
  };
  file.layout.fields = {field(TypeCode::STRING, 0, 6, "T:NAME"),
                        field(TypeCode::LONG, 6, 4, "T:AMOUNT"),
                        field(TypeCode::CSTRING, 10, 4, "T:CODE")};
  file.keys = {
      {"T:BY_CODE", "", 0, {{2, 0}}},
      // name ascending, amount descending
      {"T:BY_NAME", "", name_key_attributes, {{0, 0}, {1, kComponentDescending}}},
  };
  return file;
}

Row MakeRow(const std::string& name, int32_t amount, const std::string& code) {
  Row row(14, 0);
  std::string padded = name;
  padded.resize(6, ' ');
  std::memcpy(row.data(), padded.data(), 6);
  std::memcpy(row.data() + 6, &amount, 4);
  std::memcpy(row.data() + 10, code.data(), std::min<size_t>(code.size(), 3));
  return row;
}

std::string RowName(const Row& row) { return std::string(row.begin(), row.begin() + 6); }
int32_t RowAmount(const Row& row) {
  int32_t amount;
  std::memcpy(&amount, row.data() + 6, 4);
  return amount;
}

KeyedRecord Entry(const FileDescriptor& file, size_t key, const Row& row, uint32_t record_number,
                  bool* has_entry = nullptr) {
  KeyedRecord entry;
  bool has = false;
  Status s = BuildKeyEntry(file, kTable, key, row, record_number, KeyCollation(), &entry, &has);
  EXPECT_TRUE(s.ok()) << s.ToString();
  if (has_entry != nullptr) *has_entry = has;
  return entry;
}

// Entries in tree order must list the rows by upper-cased name, then by
// amount from the largest, then (DUP) by record number.
TEST(KeyEntryTest, TreeOrderIsKeyOrder) {
  FileDescriptor file = Table(key_attribute::DUP | key_attribute::NOCASE);
  std::mt19937 rng(7);
  const char* names[] = {"anna", "ANNA", "Bert", "bert", "cor", "", "Anne"};
  struct Listed {
    std::string key;
    std::string name;
    int32_t amount;
    uint32_t record_number;
  };
  std::vector<Listed> listed;
  for (uint32_t record_number = 1; record_number <= 300; ++record_number) {
    Row row = MakeRow(names[rng() % std::size(names)], static_cast<int32_t>(rng() % 7) - 3, "");
    KeyedRecord entry = Entry(file, 1, row, record_number * 0x10001);
    EXPECT_TRUE(entry.data.empty());
    listed.push_back({entry.key, runtime::ToUpper(runtime::CollationTables(), RowName(row)),
                      RowAmount(row), record_number * 0x10001});
  }
  std::sort(listed.begin(), listed.end(),
            [](const Listed& a, const Listed& b) { return a.key < b.key; });
  for (size_t i = 1; i < listed.size(); ++i) {
    const Listed& a = listed[i - 1];
    const Listed& b = listed[i];
    EXPECT_LT(std::make_tuple(a.name, -a.amount, a.record_number),
              std::make_tuple(b.name, -b.amount, b.record_number));
  }
}

TEST(KeyEntryTest, UniqueAndDuplicateLayouts) {
  Row row = MakeRow("Piet", 1, "AB");
  FileDescriptor unique = Table(0);
  KeyedRecord entry = Entry(unique, 1, row, 0x01020304);
  EXPECT_EQ(entry.key.size(), 5u + 10u);
  EXPECT_EQ(entry.key.substr(0, 5), std::string("\x00\x00\x01\x02\x01", 5));
  EXPECT_EQ(entry.data, std::string("\x01\x02\x03\x04", 4));
  // Equal values of a unique key collide on the record key.
  EXPECT_EQ(Entry(unique, 1, row, 99).key, entry.key);

  FileDescriptor dup = Table(key_attribute::DUP);
  KeyedRecord first = Entry(dup, 1, row, 5);
  KeyedRecord second = Entry(dup, 1, row, 6);
  EXPECT_EQ(first.key.size(), 5u + 10u + 4u);
  EXPECT_LT(first.key, second.key);
  // Record numbers 0 and 0xFFFFFFFF bracket every entry of the value.
  std::string value = first.key.substr(5, 10);
  EXPECT_LT(KeyEntryKey(kTable, 1, value, true, 0), first.key);
  EXPECT_GT(KeyEntryKey(kTable, 1, value, true, 0xFFFFFFFF), second.key);
  EXPECT_EQ(first.key.substr(0, 5), KeyEntryPrefix(kTable, 1));
}

TEST(KeyEntryTest, OptLeavesOutEmptyValuesOnly) {
  struct Case {
    const char* name;
    Row row;
    bool has_entry;
  } cases[] = {
      {"all empty", MakeRow("", 0, ""), false},
      {"name set", MakeRow("x", 0, ""), true},
      {"amount set", MakeRow("", -1, ""), true},
  };
  FileDescriptor file = Table(key_attribute::OPT);
  for (const Case& c : cases) {
    bool has_entry = !c.has_entry;
    Entry(file, 1, c.row, 1, &has_entry);
    EXPECT_EQ(has_entry, c.has_entry) << c.name;
  }
  // Without OPT an empty value has its entry.
  bool has_entry = false;
  Entry(Table(0), 1, MakeRow("", 0, ""), 1, &has_entry);
  EXPECT_TRUE(has_entry);
}

TEST(KeyEntryTest, ParseAndDecodeGiveTheRowBack) {
  for (uint32_t attributes : {0u, key_attribute::DUP}) {
    FileDescriptor file = Table(attributes);
    Row row = MakeRow("Kees", -77, "Q1");
    KeyedRecord entry = Entry(file, 1, row, 4242);
    ParsedKeyEntry parsed;
    ASSERT_TRUE(ParseKeyEntry(file, entry.key, entry.data, &parsed).ok());
    EXPECT_EQ(parsed.table, kTable);
    EXPECT_EQ(parsed.key_number, 1);
    EXPECT_EQ(parsed.record_number, 4242u);
    std::string decoded;
    ASSERT_TRUE(DecodeKeyValue(file, 1, parsed.value, KeyCollation(), &decoded).ok());
    ASSERT_EQ(decoded.size(), 14u);
    EXPECT_EQ(decoded.substr(0, 10), std::string(row.begin(), row.begin() + 10));
  }
}

TEST(KeyEntryTest, MalformedEntriesAreRefused) {
  FileDescriptor file = Table(key_attribute::DUP);
  KeyedRecord entry = Entry(file, 1, MakeRow("Jan", 1, ""), 3);
  struct Case {
    const char* name;
    std::string key;
    std::string data;
  } cases[] = {
      {"short key", entry.key.substr(0, 4), ""},
      {"key cut", entry.key.substr(0, entry.key.size() - 1), ""},
      {"data on a DUP key", entry.key, std::string("\0\0\0\x03", 4)},
      {"unknown key number", entry.key.substr(0, 4) + "\x05" + entry.key.substr(5), ""},
  };
  for (const Case& c : cases) {
    ParsedKeyEntry parsed;
    EXPECT_EQ(ParseKeyEntry(file, c.key, c.data, &parsed).code(), error_code::kInvalidDataFile)
        << c.name;
  }
  std::string row;
  EXPECT_EQ(DecodeKeyValue(file, 1, "short", KeyCollation(), &row).code(),
            error_code::kInvalidDataFile);
}

TEST(KeyEntryTest, RowsShorterThanTheRecordAreRefused) {
  FileDescriptor file = Table(0);
  Row row(13, ' ');
  KeyedRecord entry;
  bool has_entry = false;
  EXPECT_EQ(BuildKeyEntry(file, kTable, 0, row, 1, KeyCollation(), &entry, &has_entry).code(),
            error_code::kInvalidRecordDeclaration);
  EXPECT_EQ(
      BuildKeyEntry(file, kTable, 2, MakeRow("", 0, ""), 1, KeyCollation(), &entry, &has_entry)
          .code(),
      error_code::kInvalidRecordDeclaration);
}

}  // namespace
}  // namespace tentaria::storage
