#include "storage/declaration_writer.h"

#include <gtest/gtest.h>

#include "runtime/value_types.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;

FieldDescriptor Field(TypeCode type, std::string label) {
  FieldDescriptor field;
  field.type = static_cast<uint8_t>(type);
  field.label = std::move(label);
  return field;
}

FileDescriptor SampleFile() {
  FileDescriptor file;
  file.name = "GezNAW.TVN";
  file.owner_password = "geheim";
  file.attributes = file_attribute::ENCRYPT | file_attribute::CREATE | file_attribute::THREAD;

  FieldDescriptor number = Field(TypeCode::LONG, "GNAW:NR");
  FieldDescriptor name = Field(TypeCode::STRING, "GNAW:NAAM");
  name.string_length = 30;
  name.external_name = "NAAM";
  FieldDescriptor price = Field(TypeCode::DECIMAL, "GNAW:PRIJS");
  price.digits = 7;
  price.decimals = 2;
  price.dimensions = {3, 2};
  FieldDescriptor date = Field(TypeCode::STRING, "GNAW:DATUM");
  date.picture = "D6";
  file.layout.fields = {number, name, price, date};

  KeyDescriptor by_number{"KEY_NR", "", key_attribute::NOCASE | key_attribute::PRIMARY, {{0, 0}}};
  KeyDescriptor by_name{"KEY_NAAM",
                        "X'NAAM",
                        key_attribute::DUP | key_attribute::OPT | key_attribute::INDEX,
                        {{1, kComponentDescending}, {0, 0}}};
  file.keys = {by_number, by_name};
  file.memos = {MemoDescriptor{"OPM", "OPMERK", 1000, 0},
                MemoDescriptor{"FOTO", "", 0, memo_attribute::BLOB | memo_attribute::BINARY}};
  return file;
}

TEST(DeclarationWriterTest, WritesEveryPartInOrder) {
  EXPECT_EQ(
      WriteDeclaration("GezNAW", SampleFile()),
      "GezNAW FILE,DRIVER('TAVRIN'),OWNER(******),NAME('GezNAW.TVN'),CREATE,ENCRYPT,THREAD\r\n"
      "KEY_NR KEY(+GNAW:NR),NOCASE,PRIMARY\r\n"
      "KEY_NAAM INDEX(-GNAW:NAAM,+GNAW:NR),DUP,OPT,NAME('X''NAAM')\r\n"
      "OPM MEMO(1000),NAME('OPMERK')\r\n"
      "FOTO BLOB,BINARY\r\n"
      "RECORD\r\n"
      "GNAW:NR LONG\r\n"
      "GNAW:NAAM STRING(30),NAME('NAAM')\r\n"
      "GNAW:PRIJS DECIMAL(7,2), DIM(3,2)\r\n"
      "GNAW:DATUM STRING(@D6)\r\n"
      "END\r\n"
      "END\r\n\r\n");
}

TEST(DeclarationWriterTest, OptionsStringUnknownTypesAndBrokenComponents) {
  FileDescriptor file;
  file.driver_options = "/FULLBUILD=on";
  file.attributes = file_attribute::RECLAIM;
  file.layout.fields = {Field(static_cast<TypeCode>(29), "X:A")};
  file.keys = {KeyDescriptor{"K", "", 0, {{7, 0}}}};
  EXPECT_EQ(WriteDeclaration("T", file),
            "T FILE,DRIVER('TAVRIN','/FULLBUILD=on'),RECLAIM\r\n"
            "K KEY(+)\r\n"
            "RECORD\r\n"
            "X:A UNKNOWN\r\n"
            "END\r\n"
            "END\r\n\r\n");
}

}  // namespace
}  // namespace tentaria::storage
