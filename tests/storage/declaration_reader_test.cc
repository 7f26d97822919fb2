#include "storage/declaration_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/value_types.h"
#include "storage/declaration_writer.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;

// Lays fields one after another, as a program declares them.
class LayoutBuilder {
 public:
  FieldDescriptor& Add(TypeCode type, std::string label, uint16_t element_size,
                       std::vector<uint16_t> dimensions = {}) {
    FieldDescriptor field;
    field.type = static_cast<uint8_t>(type);
    field.label = std::move(label);
    field.dimensions = std::move(dimensions);
    field.offset = end_;
    field.size = static_cast<uint16_t>(element_size * field.Elements());
    end_ = static_cast<uint16_t>(end_ + field.size);
    file_.layout.fields.push_back(field);
    file_.layout.record_size = std::max(file_.layout.record_size, end_);
    return file_.layout.fields.back();
  }
  // A field over the bytes of field `index`; over a group, the first of
  // its members, which the next fields follow.
  FieldDescriptor& AddOver(size_t index, TypeCode type, std::string label, uint16_t size) {
    FieldDescriptor field;
    field.type = static_cast<uint8_t>(type);
    field.label = std::move(label);
    field.offset = file_.layout.fields[index].offset;
    field.size = size;
    if (file_.layout.fields[index].type == static_cast<uint8_t>(TypeCode::GROUP)) {
      end_ = static_cast<uint16_t>(field.offset + size);
    }
    file_.layout.fields.push_back(field);
    return file_.layout.fields.back();
  }
  FileDescriptor& file() { return file_; }

 private:
  FileDescriptor file_;
  uint16_t end_ = 0;
};

FileDescriptor EveryKind() {
  LayoutBuilder b;
  b.Add(TypeCode::BYTE, "T:B", 1);
  b.Add(TypeCode::SHORT, "T:S", 2);
  b.Add(TypeCode::USHORT, "T:US", 2);
  b.Add(TypeCode::DATE, "T:D", 4);
  b.Add(TypeCode::TIME, "T:T", 4).picture = "T4";
  b.Add(TypeCode::LONG, "T:L", 4, {3}).external_name = "LANG";
  b.Add(TypeCode::ULONG, "T:UL", 4);
  b.Add(TypeCode::SREAL, "T:SR", 4);
  b.Add(TypeCode::REAL, "T:R", 8);
  FieldDescriptor& decimal = b.Add(TypeCode::DECIMAL, "T:DEC", 4, {2, 3});
  decimal.digits = 7;
  decimal.decimals = 2;
  FieldDescriptor& pdecimal = b.Add(TypeCode::PDECIMAL, "T:PDEC", 6);
  pdecimal.digits = 11;
  pdecimal.decimals = 0;
  b.Add(TypeCode::BFLOAT4, "T:BF4", 4);
  b.Add(TypeCode::BFLOAT8, "T:BF8", 8);
  b.Add(TypeCode::STRING, "T:STR", 20).string_length = 20;
  b.Add(TypeCode::CSTRING, "T:CSTR", 8, {4}).string_length = 8;
  b.Add(TypeCode::PSTRING, "T:PSTR", 11).string_length = 11;
  FieldDescriptor& pictured = b.Add(TypeCode::STRING, "T:DATUM", 10);
  pictured.picture = "D6";
  pictured.string_length = 10;
  // A group with its members over it, then a field over a string.
  b.Add(TypeCode::GROUP, "T:ADRES", 14);
  b.AddOver(b.file().layout.fields.size() - 1, TypeCode::STRING, "T:STRAAT", 10).string_length = 10;
  b.Add(TypeCode::LONG, "T:HUISNR", 4);
  b.AddOver(13, TypeCode::STRING, "T:STR5", 5).string_length = 5;
  b.Add(TypeCode::BYTE, "T:LAATST", 1);

  FileDescriptor file = b.file();
  file.driver_options = "/TCF=a,b";
  file.name = "C:\\Gids\\It's.TVN";
  file.attributes = file_attribute::CREATE | file_attribute::ENCRYPT | file_attribute::RECLAIM |
                    file_attribute::THREAD;
  file.keys = {
      {"K_UNIEK", "", key_attribute::PRIMARY, {{6, 0}}},
      {"K_DUP",
       "X'K",
       key_attribute::DUP | key_attribute::NOCASE,
       {{13, kComponentDescending}, {1, 0}}},
      {"K_OPT",
       "",
       key_attribute::OPT | key_attribute::DUP | key_attribute::INDEX,
       {{3, 0}, {15, kComponentDescending}}},
  };
  file.memos = {{"OPM", "OPMERK", 4000, 0},
                {"BIN", "", 100, memo_attribute::BINARY},
                {"FOTO", "FOTO.BLB", 0, memo_attribute::BLOB | memo_attribute::BINARY}};
  return file;
}

void ExpectSameDeclaration(const FileDescriptor& a, const FileDescriptor& b) {
  EXPECT_EQ(a.driver, b.driver);
  EXPECT_EQ(a.driver_options, b.driver_options);
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.attributes, b.attributes);
  EXPECT_EQ(a.layout.record_size, b.layout.record_size);
  ASSERT_EQ(a.layout.fields.size(), b.layout.fields.size());
  for (size_t i = 0; i < a.layout.fields.size(); ++i) {
    const FieldDescriptor& x = a.layout.fields[i];
    const FieldDescriptor& y = b.layout.fields[i];
    SCOPED_TRACE(x.label);
    EXPECT_EQ(x.type, y.type);
    EXPECT_EQ(x.offset, y.offset);
    EXPECT_EQ(x.size, y.size);
    EXPECT_EQ(x.label, y.label);
    EXPECT_EQ(x.external_name, y.external_name);
    EXPECT_EQ(x.dimensions, y.dimensions);
    EXPECT_EQ(x.picture, y.picture);
    EXPECT_EQ(x.digits, y.digits);
    EXPECT_EQ(x.decimals, y.decimals);
    EXPECT_EQ(x.string_length, y.string_length);
  }
  ASSERT_EQ(a.keys.size(), b.keys.size());
  for (size_t k = 0; k < a.keys.size(); ++k) {
    SCOPED_TRACE(a.keys[k].label);
    EXPECT_EQ(a.keys[k].label, b.keys[k].label);
    EXPECT_EQ(a.keys[k].external_name, b.keys[k].external_name);
    EXPECT_EQ(a.keys[k].attributes, b.keys[k].attributes);
    ASSERT_EQ(a.keys[k].components.size(), b.keys[k].components.size());
    for (size_t c = 0; c < a.keys[k].components.size(); ++c) {
      EXPECT_EQ(a.keys[k].components[c].field, b.keys[k].components[c].field);
      EXPECT_EQ(a.keys[k].components[c].attributes, b.keys[k].components[c].attributes);
    }
  }
  ASSERT_EQ(a.memos.size(), b.memos.size());
  for (size_t m = 0; m < a.memos.size(); ++m) {
    EXPECT_EQ(a.memos[m].label, b.memos[m].label);
    EXPECT_EQ(a.memos[m].external_name, b.memos[m].external_name);
    EXPECT_EQ(a.memos[m].size, b.memos[m].size);
    EXPECT_EQ(a.memos[m].attributes, b.memos[m].attributes);
  }
}

TEST(DeclarationReaderTest, ReadsBackWhatTheWriterWrites) {
  FileDescriptor original = EveryKind();
  original.owner_password = "geheim";
  ASSERT_TRUE(ValidateDefinition(original, 47).ok());
  std::string text = WriteDeclaration("Proef", original);

  std::string label;
  FileDescriptor read;
  Status s = ReadDeclaration(text, &label, &read);
  ASSERT_TRUE(s.ok()) << s.ToString() << "\n" << text;
  EXPECT_EQ(label, "Proef");
  // The password never travels in the text.
  EXPECT_EQ(read.owner_password, "");
  original.owner_password.clear();
  ExpectSameDeclaration(original, read);
  EXPECT_EQ(WriteDeclaration("Proef", read), WriteDeclaration("Proef", original));
}

TEST(DeclarationReaderTest, AcceptsHandWrittenText) {
  std::string label;
  FileDescriptor file;
  Status s = ReadDeclaration(
      "Gids file,driver('TAVRIN'),owner(******)\n"
      "\n"
      "  K key(nr),dup\n"
      "record\n"
      "NR long\n"
      "NAAM string(30) , name('naam')\n"
      "end\n"
      "end\n",
      &label, &file);
  ASSERT_TRUE(s.ok()) << s.ToString();
  EXPECT_EQ(file.owner_password, "");
  EXPECT_EQ(file.layout.record_size, 34);
  ASSERT_EQ(file.keys.size(), 1u);
  EXPECT_EQ(file.keys[0].attributes, key_attribute::DUP);
  EXPECT_FALSE(file.keys[0].components[0].descending());
  EXPECT_EQ(file.layout.fields[1].offset, 4);
  EXPECT_EQ(file.layout.fields[1].external_name, "naam");
}

TEST(DeclarationReaderTest, FaultsNameTheirLine) {
  const std::string head = "T FILE,DRIVER('TAVRIN')\r\n";
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"", "line 1: "},
      {"T TABLE\r\n", "line 1: expected FILE"},
      {"T FILE,CREATE\r\nRECORD\r\nEND\r\nEND\r\n", "line 1: the FILE line names no DRIVER"},
      {head + "K KEY(+A),UNIQUE\r\nRECORD\r\nA LONG\r\nEND\r\nEND\r\n",
       "line 2: unknown key attribute 'UNIQUE'"},
      {head + "K KEY(+B)\r\nRECORD\r\nA LONG\r\nEND\r\nEND\r\n",
       "line 2: the key names no field B"},
      {head + "M MEMO(70000)\r\nRECORD\r\nA LONG\r\nEND\r\nEND\r\n", "line 2: a memo's size"},
      {head + "RECORD\r\nA LONGG\r\nEND\r\nEND\r\n", "line 3: unknown type 'LONGG'"},
      {head + "RECORD\r\nA LONG\r\nB DECIMAL(5,6)\r\nEND\r\nEND\r\n", "line 4: a decimal's places"},
      {head + "RECORD\r\nA STRING\r\nEND\r\nEND\r\n", "line 3: STRING takes 1 argument"},
      {head + "RECORD\r\nA STRING(@Q9)\r\nEND\r\nEND\r\n", "line 3: invalid picture"},
      {head + "RECORD\r\nA MEMO\r\nEND\r\nEND\r\n", "line 3: a field cannot be of type MEMO"},
      {head + "RECORD\r\nA LONG, OVER(B)\r\nEND\r\nEND\r\n", "line 3: OVER names no earlier"},
      {head + "RECORD\r\nA LONG\r\nA SHORT\r\nEND\r\nEND\r\n", "line 4: field A twice"},
      {head + "RECORD\r\nA STRING(60000), DIM(2)\r\nEND\r\nEND\r\n", "line 3: the field makes"},
      {head + "RECORD\r\nA STRING('X)\r\nEND\r\nEND\r\n", "line 3: a quoted text is not closed"},
      {head + "RECORD\r\nA LONG\r\nEND\r\n", "line 4: the declaration ends"},
      {head + "RECORD\r\nA LONG\r\nEND\r\nEND\r\nB LONG\r\n", "line 6: text after"},
      // Valid text, but a key that cannot be built: the record's END line.
      {head + "K KEY(+A)\r\nRECORD\r\nA STRING(16000)\r\nEND\r\nEND\r\n", "line 5: "},
  };
  for (const auto& c : cases) {
    std::string label = "unchanged";
    FileDescriptor file;
    file.name = "unchanged";
    Status s = ReadDeclaration(c.text, &label, &file);
    EXPECT_EQ(s.code(), 47) << c.text;
    EXPECT_EQ(s.message().rfind(c.message, 0), 0u) << s.message() << "\n" << c.text;
    EXPECT_EQ(label, "unchanged");
    EXPECT_EQ(file.name, "unchanged");
  }
}

}  // namespace
}  // namespace tentaria::storage
