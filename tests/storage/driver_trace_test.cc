// The driver's trace: switches from the user profile, where the trace file
// lands, and the exact form of operation and field lines.
#include "storage/driver_trace.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/path.h"
#include "platform/profile.h"
#include "runtime/date_time.h"
#include "runtime/value_types.h"
#include "storage/file_interface.h"
#include "tests/support/temp_folder.h"

namespace tentaria::storage {
namespace {

using test_support::ReadTextFile;

TEST(TraceLineTest, SuccessFailureAndDriverErrors) {
  EXPECT_EQ(FormatTraceLine(op::ADD, "GNAW:NAW.TVN", 0, "", 5),
            "ADD GNAW:NAW.TVN Time Taken: 0.05 secs\r\n");
  EXPECT_EQ(FormatTraceLine(op::ADD, "GNAW:NAW.TVN", 40, "", 123),
            "ADD GNAW:NAW.TVN Error: Creates Duplicate Key Time Taken: 1.23 secs\r\n");
  EXPECT_EQ(FormatTraceLine(op::NEXT, "", 90, "Lock Violation", 12345),
            "NEXT File Error: Lock Violation Time Taken: 123.45 secs\r\n");
  // The error part follows the table of texts, unnamed codes included.
  EXPECT_EQ(FormatTraceLine(op::PUT, "X", 78, "", 0),
            "PUT X Error: Invalid Number Of Parameters  Time Taken: 0.00 secs\r\n");
  EXPECT_EQ(FormatTraceLine(35, "X", 0, "", 100), "(35) X Time Taken: 1.00 secs\r\n");
}

FieldDescriptor Field(runtime::TypeCode type, uint16_t offset, uint16_t size, std::string label) {
  FieldDescriptor field;
  field.type = static_cast<uint8_t>(type);
  field.offset = offset;
  field.size = size;
  field.label = std::move(label);
  return field;
}

void PutU32(std::string* row, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*row)[offset + i] = static_cast<char>(value >> (8 * i));
}

TEST(TraceFieldsTest, EachTypeInItsForm) {
  using runtime::TypeCode;
  RecordLayout layout;
  layout.fields = {
      Field(TypeCode::BYTE, 0, 1, "T:FLAG"),
      Field(TypeCode::STRING, 1, 6, "T:NAAM"),
      Field(TypeCode::CSTRING, 7, 6, "T:PLAATS"),
      Field(TypeCode::PSTRING, 13, 5, "T:LAND"),
      Field(TypeCode::DATE, 18, 4, "T:DATUM"),
      Field(TypeCode::DATE, 22, 4, "T:LEEG"),
      Field(TypeCode::TIME, 26, 4, "T:TIJD"),
      Field(TypeCode::TIME, 30, 4, "T:FOUTTIJD"),
      Field(TypeCode::LONG, 34, 4, "T:NUMMER"),
      Field(TypeCode::BYTE, 38, 2, "T:A_VERY_LONG_FIELD_LABEL"),
  };
  layout.fields.back().dimensions = {2};
  std::string row(40, '\0');
  row[0] = '\x0A';
  row.replace(1, 6, "Ede   ");
  row.replace(7, 4, "Putt");
  row.replace(13, 5, "\x02NLxx");
  PutU32(&row, 18, runtime::PackDate(runtime::Date(7, 14, 2000)));
  PutU32(&row, 22, 2000 * 65536 + 5);  // month 0: no date
  PutU32(&row, 26, runtime::PackTime(runtime::PartsToTimeValue(13, 45, 30, 25)));
  PutU32(&row, 30, 25u << 24);  // hour 25
  PutU32(&row, 34, 0x01020304);
  row[38] = '\xFF';
  row[39] = '\x01';
  EXPECT_EQ(FormatTraceFields(layout, row),
            "T:FLAG            :0AH\r\n"
            "T:NAAM            :'Ede   '\r\n"
            "T:PLAATS          :'Putt'\r\n"
            "T:LAND            :'NL'\r\n"
            "T:DATUM           :14 July 2000 (72882)\r\n"
            "T:LEEG            :Invalid date (131072005)\r\n"
            "T:TIJD            :13:45:30.25 (4953026)\r\n"
            "T:FOUTTIJD        :Invalid time (419430400)\r\n"
            "T:NUMMER          :04030201\r\n"
            "T:A_VERY_LONG_FIELD_LABEL[1]:FFH\r\n"
            "T:A_VERY_LONG_FIELD_LABEL[2]:01H\r\n");
  // A row shorter than its layout lists only the fields it holds.
  EXPECT_EQ(FormatTraceFields(layout, row.substr(0, 7)),
            "T:FLAG            :0AH\r\nT:NAAM            :'Ede   '\r\n");
}

class TraceSettingsTest : public test_support::TempHomeTest {};

TEST_F(TraceSettingsTest, DefaultsWithoutTheSection) {
  TraceSettings settings = ReadTraceSettings(false, "");
  EXPECT_FALSE(settings.on);
  EXPECT_EQ(settings.trace_file, "TAVRIN.LOG");
  EXPECT_FALSE(settings.details);
}

TEST_F(TraceSettingsTest, DetailsOfEncipheredFilesOnlyWhenAllowed) {
  ASSERT_TRUE(platform::WriteProfileString("RTTAVRIN", "Profile", "1"));
  ASSERT_TRUE(platform::WriteProfileString("RTTAVRIN", "TraceFile", "C:\\logs\\gids.log"));
  ASSERT_TRUE(platform::WriteProfileString("RTTAVRIN", "Details", "1"));
  TraceSettings plain = ReadTraceSettings(false, "");
  EXPECT_TRUE(plain.on);
  EXPECT_EQ(plain.trace_file, "C:\\logs\\gids.log");
  EXPECT_TRUE(plain.details);
  EXPECT_FALSE(ReadTraceSettings(true, "/NOCOMPRESS").details);
  EXPECT_TRUE(ReadTraceSettings(true, "/AllowDetails=1").details);
}

TEST_F(TraceSettingsTest, LongTraceFileNameIsCut) {
  ASSERT_TRUE(platform::WriteProfileString("RTTAVRIN", "TraceFile", std::string(300, 'x')));
  EXPECT_EQ(ReadTraceSettings(false, "").trace_file, std::string(260, 'x'));
}

TEST_F(TraceSettingsTest, PlainNamesLandInTheStateFolder) {
  EXPECT_EQ(TraceFileHostPath("TAVRIN.LOG"), platform::StateFolder() + "/TAVRIN.LOG");
  EXPECT_EQ(TraceFileHostPath("C:\\gids.log"), platform::DriveFolder('C') + "/gids.log");
}

TEST_F(TraceSettingsTest, WriterAppendsLinesAndDetailsOnlyWhenAsked) {
  RecordLayout layout;
  layout.fields = {Field(runtime::TypeCode::BYTE, 0, 1, "T:FLAG")};
  std::string path = platform::StateFolder() + "/TAVRIN.LOG";

  DriverTrace off(TraceSettings{});
  EXPECT_TRUE(off.Write(op::ADD, "a", 0, "", 0, &layout, "\x01").ok());
  EXPECT_FALSE(std::filesystem::exists(path));

  DriverTrace on(TraceSettings{true, "TAVRIN.LOG", false});
  EXPECT_TRUE(on.Write(op::ADD, "a", 0, "", 1 << 30, &layout, "\x01").ok());
  DriverTrace detailed(TraceSettings{true, "tavrin.log", true});
  EXPECT_TRUE(detailed.Write(op::GETfilekey, "a", 35, "", 1 << 30, &layout, "\x01").ok());
  // A clock behind the start never shows a negative time.
  EXPECT_EQ(ReadTextFile(path),
            "ADD a Time Taken: 0.00 secs\r\n"
            "GETfilekey a Error: Record Not Found Time Taken: 0.00 secs\r\n"
            "T:FLAG            :01H\r\n");
}

}  // namespace
}  // namespace tentaria::storage
