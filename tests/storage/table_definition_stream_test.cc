#include "storage/table_definition_stream.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/value_types.h"
#include "storage/internal_fault.h"
#include "storage/table_definition_records.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;

FieldDescriptor Field(TypeCode type, uint16_t offset, uint16_t size, std::string label) {
  FieldDescriptor field;
  field.type = static_cast<uint8_t>(type);
  field.offset = offset;
  field.size = size;
  field.label = std::move(label);
  return field;
}

// A table shaped like the guide's campsite file, with a memo and a
// facility array.
FileDescriptor Campsites() {
  FileDescriptor file;
  file.prefix = "GNAW";
  file.name = "GezNAW.TVN";
  file.layout.record_size = 64;
  FieldDescriptor number = Field(TypeCode::DECIMAL, 0, 3, "GNAW:NUMMER");
  number.digits = 5;
  number.picture = "n_5";
  FieldDescriptor name = Field(TypeCode::STRING, 3, 33, "GNAW:NAAMCAMP");
  name.string_length = 33;
  name.picture = "s33";
  FieldDescriptor place = Field(TypeCode::STRING, 36, 20, "GNAW:PLAATS");
  place.string_length = 20;
  place.picture = "s20";
  FieldDescriptor flags = Field(TypeCode::BYTE, 56, 3, "GNAW:FLAGS");
  flags.dimensions = {3};
  FieldDescriptor price = Field(TypeCode::PDECIMAL, 59, 4, "GNAW:PRIJS");
  price.digits = 7;
  price.decimals = 2;
  file.layout.fields = {number, name, place, flags, price};
  file.keys = {
      {"GNAW:BY_NUMMER", "", 0, {{0, 0}}},
      {"GNAW:BY_NAAM", "", key_attribute::DUP | key_attribute::NOCASE, {{1, 0}, {2, 0}}},
      {"GNAW:BY_PRIJS", "PRICES", key_attribute::DUP | key_attribute::OPT, {{4, 1}}},
  };
  file.memos = {{"GNAW:TEXTVELD", "", 2000, 0}};
  return file;
}

std::string Stream(const std::vector<std::string>& blocks) {
  std::string stream;
  for (const std::string& block : blocks) stream += block;
  return stream;
}

std::vector<std::string> Write(const FileDescriptor& file) {
  std::vector<std::string> blocks;
  Status s = WriteDefinition(file, &blocks);
  EXPECT_TRUE(s.ok()) << s.ToString();
  return blocks;
}

DefinitionMatch Compare(const std::vector<std::string>& blocks, const FileDescriptor& declared) {
  DefinitionMatch match = DefinitionMatch::kSame;
  Status s = CompareDefinition(BlockListSource(blocks), declared, &match);
  EXPECT_TRUE(s.ok()) << s.ToString();
  return match;
}

TEST(TableDefinitionStreamTest, HeaderAndFirstField) {
  std::string stream = Stream(Write(Campsites()));
  const std::string header("\x01\x00\x40\x00\x05\x00\x01\x00\x03\x00", 10);
  EXPECT_EQ(stream.substr(0, 10), header);
  // type, offset, name, elements, size, two words, digits, places
  const std::string first_field(
      "\x0A\x00\x00GNAW:NUMMER\x00\x01\x00\x03\x00\x00\x00\x00\x00\x05\x00", 25);
  EXPECT_EQ(stream.substr(10, 25), first_field);
}

TEST(TableDefinitionStreamTest, VersionTwoOnlyWithABlob) {
  FileDescriptor file = Campsites();
  EXPECT_EQ(Stream(Write(file))[0], '\x01');
  file.memos.push_back({"GNAW:FOTO", "", 0, memo_attribute::BLOB | memo_attribute::BINARY});
  EXPECT_EQ(Stream(Write(file))[0], '\x02');
}

TEST(TableDefinitionStreamTest, ReadBackGivesTheDeclaration) {
  FileDescriptor declared = Campsites();
  declared.layout.fields[2].external_name = "PLACE";
  declared.keys[0].attributes |= key_attribute::PRIMARY | key_attribute::INDEX;
  std::vector<std::string> blocks = Write(declared);

  FileDescriptor read;
  read.name = "kept";
  ASSERT_TRUE(ReadDefinition(BlockListSource(blocks), &read).ok());
  EXPECT_EQ(read.name, "kept");
  ASSERT_EQ(read.layout.fields.size(), 5u);
  EXPECT_EQ(read.layout.record_size, 64);
  const FieldDescriptor& place = read.layout.fields[2];
  EXPECT_EQ(place.label, "PLACE");  // the name kept in the file
  EXPECT_EQ(place.offset, 36);
  EXPECT_EQ(place.picture, "s20");
  EXPECT_EQ(read.layout.fields[3].dimensions, std::vector<uint16_t>{3});
  EXPECT_EQ(read.layout.fields[4].decimals, 2);
  ASSERT_EQ(read.keys.size(), 3u);
  EXPECT_EQ(read.keys[0].attributes, key_attribute::PRIMARY);  // INDEX is not stored
  EXPECT_EQ(read.keys[2].external_name, "PRICES");
  EXPECT_TRUE(read.keys[2].components[0].descending());
  EXPECT_EQ(read.memos[0].size, 2000);
  // What was read writes the same stream again.
  EXPECT_EQ(Stream(Write(read)), Stream(blocks));
}

TEST(TableDefinitionStreamTest, LongDefinitionsSpanBlocks) {
  FileDescriptor file = Campsites();
  for (int i = 0; i < 60; ++i) {
    FieldDescriptor extra = Field(TypeCode::LONG, 0, 4, "GNAW:EXTRA" + std::to_string(i));
    file.layout.fields.push_back(extra);
  }
  std::vector<std::string> blocks = Write(file);
  ASSERT_GE(blocks.size(), 3u);
  for (size_t i = 0; i + 1 < blocks.size(); ++i) EXPECT_EQ(blocks[i].size(), 512u);
  EXPECT_LT(blocks.back().size(), 512u);
  EXPECT_FALSE(blocks.back().empty());
  FileDescriptor read;
  ASSERT_TRUE(ReadDefinition(BlockListSource(blocks), &read).ok());
  EXPECT_EQ(read.layout.fields.back().label, "GNAW:EXTRA59");
  EXPECT_EQ(Compare(blocks, file), DefinitionMatch::kSame);

  // Lengthen one label until the stream fills its blocks exactly: an empty
  // block then ends it.
  size_t length = Stream(blocks).size();
  file.layout.fields[0].label.append(512 - length % 512, 'X');
  blocks = Write(file);
  EXPECT_EQ(Stream(blocks).size() % 512, 0u);
  EXPECT_TRUE(blocks.back().empty());
  EXPECT_EQ(blocks[blocks.size() - 2].size(), 512u);
  EXPECT_EQ(Compare(blocks, file), DefinitionMatch::kSame);
}

TEST(TableDefinitionStreamTest, CompareTellsEssentialFromTolerated) {
  struct Case {
    const char* name;
    std::function<void(FileDescriptor&)> change;
    DefinitionMatch expected;
  };
  using M = DefinitionMatch;
  const Case cases[] = {
      {"nothing", [](FileDescriptor&) {}, M::kSame},
      {"field renamed", [](FileDescriptor& f) { f.layout.fields[1].label = "GNAW:NAME"; },
       M::kTolerated},
      {"picture", [](FileDescriptor& f) { f.layout.fields[1].picture = "s30"; }, M::kTolerated},
      {"string length", [](FileDescriptor& f) { f.layout.fields[1].string_length = 30; },
       M::kTolerated},
      {"decimal places", [](FileDescriptor& f) { f.layout.fields[0].decimals = 1; }, M::kTolerated},
      {"key renamed", [](FileDescriptor& f) { f.keys[1].label = "GNAW:BY_NAME"; }, M::kTolerated},
      {"memo renamed", [](FileDescriptor& f) { f.memos[0].external_name = "TXT"; }, M::kTolerated},
      {"memo made binary",
       [](FileDescriptor& f) { f.memos[0].attributes = memo_attribute::BINARY; }, M::kSame},
      {"PRIMARY", [](FileDescriptor& f) { f.keys[0].attributes |= key_attribute::PRIMARY; },
       M::kSame},
      {"INDEX", [](FileDescriptor& f) { f.keys[0].attributes |= key_attribute::INDEX; }, M::kSame},
      {"field size", [](FileDescriptor& f) { f.layout.fields[2].size = 19; }, M::kEssential},
      {"field offset", [](FileDescriptor& f) { f.layout.fields[2].offset = 37; }, M::kEssential},
      {"field type", [](FileDescriptor& f) { f.layout.fields[2].type = 19; }, M::kEssential},
      {"elements", [](FileDescriptor& f) { f.layout.fields[3].dimensions = {1}; }, M::kEssential},
      {"further attribute", [](FileDescriptor& f) { f.layout.fields[3].further_attributes[1] = 7; },
       M::kEssential},
      {"record size", [](FileDescriptor& f) { f.layout.record_size = 65; }, M::kEssential},
      {"DUP", [](FileDescriptor& f) { f.keys[0].attributes |= key_attribute::DUP; }, M::kEssential},
      {"NOCASE", [](FileDescriptor& f) { f.keys[1].attributes &= ~key_attribute::NOCASE; },
       M::kEssential},
      {"direction", [](FileDescriptor& f) { f.keys[2].components[0].attributes = 0; },
       M::kEssential},
      {"component field", [](FileDescriptor& f) { f.keys[1].components[1].field = 0; },
       M::kEssential},
      {"extra component",
       [](FileDescriptor& f) {
         f.keys[0].components.push_back({2, 0});
       },
       M::kEssential},
      {"extra key", [](FileDescriptor& f) { f.keys.push_back(f.keys[0]); }, M::kEssential},
      {"memo size", [](FileDescriptor& f) { f.memos[0].size = 1000; }, M::kEssential},
      // A tolerated difference before an essential one does not hide it.
      {"renamed and resized",
       [](FileDescriptor& f) {
         f.layout.fields[0].label = "X";
         f.keys[2].components[0].field = 3;
       },
       M::kEssential},
  };
  std::vector<std::string> stored = Write(Campsites());
  for (const Case& c : cases) {
    FileDescriptor declared = Campsites();
    c.change(declared);
    EXPECT_EQ(Compare(stored, declared), c.expected) << c.name;
  }
}

TEST(TableDefinitionStreamTest, BlobSizeIsNotBinding) {
  FileDescriptor file = Campsites();
  file.memos.push_back({"GNAW:FOTO", "", 100, memo_attribute::BLOB});
  std::vector<std::string> stored = Write(file);
  file.memos[1].size = 5000;
  EXPECT_EQ(Compare(stored, file), DefinitionMatch::kTolerated);
}

TEST(TableDefinitionStreamTest, WriteRefusesBadDeclarations) {
  struct Case {
    const char* name;
    std::function<void(FileDescriptor&)> change;
  };
  const Case cases[] = {
      {"field beyond the record", [](FileDescriptor& f) { f.layout.fields[2].size = 100; }},
      {"array not whole", [](FileDescriptor& f) { f.layout.fields[3].dimensions = {2}; }},
      {"component without field", [](FileDescriptor& f) { f.keys[0].components[0].field = 9; }},
      {"key without components", [](FileDescriptor& f) { f.keys[0].components.clear(); }},
      {"zero byte in a label", [](FileDescriptor& f) { f.keys[0].label.push_back('\0'); }},
      {"record too long", [](FileDescriptor& f) { f.layout.record_size = 15070; }},
      {"too many keys", [](FileDescriptor& f) { f.keys.resize(kMaxKeys + 1, f.keys[0]); }},
  };
  for (const Case& c : cases) {
    FileDescriptor file = Campsites();
    c.change(file);
    std::vector<std::string> blocks;
    EXPECT_EQ(WriteDefinition(file, &blocks).code(), error_code::kInvalidRecordDeclaration)
        << c.name;
    DefinitionMatch match;
    EXPECT_EQ(CompareDefinition(BlockListSource(blocks), file, &match).code(),
              error_code::kInvalidRecordDeclaration)
        << c.name;
  }
}

// Stored streams that are damaged or hostile are refused, never followed.
TEST(TableDefinitionStreamTest, DamagedStreamsAreRefused) {
  auto u16 = [](int v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
  };
  auto header = [&](int version, int size, int fields, int memos, int keys) {
    return u16(version) + u16(size) + u16(fields) + u16(memos) + u16(keys);
  };
  std::string long_field =
      std::string("\x01") + u16(0) + "F" + std::string(1, '\0') + u16(1) + u16(1) + u16(0) + u16(0);
  struct Case {
    const char* name;
    std::vector<std::string> blocks;
  };
  const Case cases[] = {
      {"no blocks at all", {}},
      {"unknown version", {header(3, 1, 1, 0, 0) + long_field}},
      {"hostile key count", {header(1, 1, 1, 0, 0xFFFF) + long_field}},
      {"hostile memo count", {header(1, 1, 1, 0xFFFF, 0) + long_field}},
      {"field outside the record", {header(1, 0, 1, 0, 0) + long_field}},
      {"component naming no field",
       {header(1, 1, 1, 0, 1) + long_field + std::string(2, '\0') + "\x01" + u16(1) + u16(5) +
        u16(0)}},
      {"key of 65535 components read from zeros",
       {header(1, 0, 0, 0, 1) + std::string(3, '\0') + u16(0xFFFF)}},
      {"block over 512 bytes", {std::string(513, '\x01')}},
  };
  for (const Case& c : cases) {
    FileDescriptor read = Campsites();
    Status s = ReadDefinition(BlockListSource(c.blocks), &read);
    EXPECT_EQ(s.code(), error_code::kInvalidDataFile) << c.name << ": " << s.ToString();
    EXPECT_EQ(read.layout.fields.size(), 5u) << c.name;  // untouched
  }
}

TEST(TableDefinitionStreamTest, TextThatNeverEndsStopsAtTheLastBlock) {
  // A byte field whose name runs through every one of the 65536 possible
  // blocks without a zero.
  const std::string start("\x01\x00\x01\x00\x01\x00\x00\x00\x00\x00\x01\x00\x00", 13);
  DefinitionBlockSource source = [&](uint16_t block, std::string* data, bool* found) {
    *data = std::string(512, 'A');
    if (block == 0) data->replace(0, start.size(), start);
    *found = true;
    return Status::Ok();
  };
  FileDescriptor read;
  EXPECT_EQ(ReadDefinition(source, &read).code(), error_code::kInvalidDataFile);
  DefinitionMatch match;
  FileDescriptor declared;
  declared.layout.record_size = 1;
  declared.layout.fields = {Field(TypeCode::BYTE, 0, 1, "F")};
  EXPECT_EQ(CompareDefinition(source, declared, &match).code(), error_code::kInvalidDataFile);
}

TEST(TableDefinitionStreamTest, MissingBlocksReadAsZeros) {
  // A stream of exactly 512 bytes: header (10) and one LONG field (12 and
  // its label).  Its empty last block may be missing altogether.
  FileDescriptor file;
  file.layout.record_size = 4;
  file.layout.fields = {Field(TypeCode::LONG, 0, 4, std::string(490, 'L'))};
  std::vector<std::string> blocks = Write(file);
  ASSERT_EQ(blocks.size(), 2u);
  blocks.pop_back();
  FileDescriptor read;
  EXPECT_TRUE(ReadDefinition(BlockListSource(blocks), &read).ok());
  EXPECT_EQ(read.layout.fields.size(), 1u);
  EXPECT_EQ(Compare(blocks, file), DefinitionMatch::kSame);
}

TEST(TableDefinitionStreamTest, SourceFailuresEndTheWalk) {
  DefinitionBlockSource failing = [](uint16_t, std::string*, bool*) {
    return Status::Error(tentaria::error_code::kAccessDenied, "locked");
  };
  FileDescriptor read;
  EXPECT_EQ(ReadDefinition(failing, &read).code(), tentaria::error_code::kAccessDenied);
  DefinitionMatch match;
  EXPECT_EQ(CompareDefinition(failing, Campsites(), &match).code(),
            tentaria::error_code::kAccessDenied);
}

TEST(TableDefinitionRecordsTest, KeysAndData) {
  EXPECT_EQ(DefinitionBlockKey(0x01020304, 0x0201), std::string("\x01\x02\x03\x04\xFA\x01\x02", 7));
  EXPECT_EQ(CountersKey(7, kRowsCounter), std::string("\x00\x00\x00\x07\xF6\xF3", 6));
  EXPECT_EQ(SortOrderKey(7), std::string("\x00\x00\x00\x07\xFB\x01", 6));

  std::vector<KeyedRecord> counters = NewTableCounters(7, 2);
  ASSERT_EQ(counters.size(), 3u);
  EXPECT_EQ(counters[2].key, CountersKey(7, 1));
  EXPECT_EQ(counters[0].data, std::string(8, '\0'));
  Counters decoded;
  ASSERT_TRUE(DecodeCounters(EncodeCounters({5, 0x01020304}), &decoded).ok());
  EXPECT_EQ(decoded.count, 5u);
  EXPECT_EQ(decoded.out_of_date, 0x01020304u);
  EXPECT_EQ(DecodeCounters("short", &decoded).code(), error_code::kInvalidDataFile);

  runtime::CollationTables tables;
  runtime::SetSequenceWeights(&tables, "ba");
  std::string sort_order = EncodeSortOrder(tables, true);
  ASSERT_EQ(sort_order.size(), 1153u);
  EXPECT_EQ(sort_order[0], '\x01');
  runtime::CollationTables read;
  bool oem = false;
  ASSERT_TRUE(DecodeSortOrder(sort_order, &read, &oem).ok());
  EXPECT_TRUE(oem);
  EXPECT_TRUE(read == tables);
  EXPECT_EQ(DecodeSortOrder(sort_order.substr(1), &read, &oem).code(),
            error_code::kInvalidDataFile);
}

}  // namespace
}  // namespace tentaria::storage
