// tvn import, export, schema, info and check, run as real processes on
// real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "platform/file.h"
#include "storage/key_entry.h"
#include "storage/memo_segments.h"
#include "storage/record_file.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tvn_run.h"

namespace {

namespace platform = tentaria::platform;
namespace storage = tentaria::storage;
using tentaria::test_support::ReadTextFile;
using tentaria::test_support::TempFolder;
using tentaria::test_support::WriteTextFile;
using tentaria::tvn_test::ProgramRun;
using tentaria::tvn_test::Quote;
using tentaria::tvn_test::Tvn;

// Every value type of a record, keys with every attribute and descending
// components, a memo, and a group with its members.
const char kDeclaration[] =
    "Gids FILE,DRIVER('TAVRIN'),OWNER(******),CREATE\r\n"
    "K_NR KEY(+G:NR),PRIMARY\r\n"
    "K_NAAM KEY(-G:NAAM),DUP,NOCASE\r\n"
    "K_DATUM KEY(+G:DATUM,-G:S),DUP,OPT\r\n"
    "K_BEDRAG INDEX(-G:BEDRAG,+G:NR),NAME('BEDRAG')\r\n"
    "OPM MEMO(2000),NAME('OPMERK')\r\n"
    "FOTO BLOB\r\n"
    "RECORD\r\n"
    "G:NR LONG\r\n"
    "G:B BYTE\r\n"
    "G:S SHORT\r\n"
    "G:US USHORT\r\n"
    "G:DATUM DATE\r\n"
    "G:TIJD TIME\r\n"
    "G:UL ULONG\r\n"
    "G:SR SREAL\r\n"
    "G:R REAL, DIM(2)\r\n"
    "G:BEDRAG DECIMAL(9,2)\r\n"
    "G:PD PDECIMAL(5,1)\r\n"
    "G:BF BFLOAT8\r\n"
    "G:NAAM STRING(20)\r\n"
    "G:PLAATS CSTRING(16)\r\n"
    "G:CODE PSTRING(8)\r\n"
    "G:ADRES GROUP(12)\r\n"
    "G:STRAAT STRING(8), OVER(G:ADRES)\r\n"
    "G:HUISNR LONG\r\n"
    "END\r\n"
    "END\r\n";

const char kHeader[] =
    "G:NR,G:B,G:S,G:US,G:DATUM,G:TIJD,G:UL,G:SR,G:R[1],G:R[2],G:BEDRAG,G:PD,G:BF,G:NAAM,"
    "G:PLAATS,G:CODE,G:STRAAT,G:HUISNR,OPM,FOTO";

const char* const kWords[] = {"zeeland", "ede",   "ameland", "veluwe", "texel",    "drenthe",
                              "ardenne", "maas",  "schelde", "kempen", "eifel",    "gouda",
                              "breda",   "delft", "zwolle",  "hoorn",  "ootmarsum"};

template <typename T>
std::string Shortest(T value) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string TwoDigits(int n) { return std::string(1, char('0' + n / 10)) + char('0' + n % 10); }

// One generated row: the values the test orders by, and the CSV line.
struct Row {
  int nr;
  int s;
  std::string date;  // "YYYY-MM-DD" or empty
  long long cents;   // G:BEDRAG in hundredths
  std::string name;
  std::string line;
};

std::string Cents(long long cents) {
  std::string sign = cents < 0 ? "-" : "";
  long long magnitude = cents < 0 ? -cents : cents;
  return sign + std::to_string(magnitude / 100) + "." +
         TwoDigits(static_cast<int>(magnitude % 100));
}

Row MakeRow(int i) {
  Row row;
  row.nr = (i * 7919) % 100000 - 50000;  // unique: 7919 is prime to 100000
  row.s = i % 7 == 0 ? 0 : i % 2001 - 1000;
  if (i % 10 != 0) {
    row.date =
        std::to_string(1990 + i % 30) + "-" + TwoDigits(1 + i % 12) + "-" + TwoDigits(1 + i % 28);
  }
  row.cents = (static_cast<long long>(i) * 37) % 20001 - 10000;
  std::string word = kWords[i % 17];
  if (i % 3 == 1) {
    for (char& c : word) c = static_cast<char>(c - 'a' + 'A');
  } else if (i % 3 == 2) {
    word[0] = static_cast<char>(word[0] - 'a' + 'A');
  }
  row.name = word + (i % 5 == 0 ? "" : " " + std::to_string(i % 4));
  std::string time = i % 5 == 0 ? ""
                                : TwoDigits(i % 24) + ":" + TwoDigits(i % 60) + ":" +
                                      TwoDigits(i / 7 % 60) + "." + TwoDigits(i % 100);
  std::string place = i % 2 ? "café " + std::to_string(i % 100) : "Ede, \"centrum\"";
  std::vector<std::string> values = {
      std::to_string(row.nr),
      std::to_string(i % 256),
      std::to_string(row.s),
      std::to_string(i % 65536),
      row.date,
      time,
      std::to_string(static_cast<unsigned>(i) * 40503u),
      Shortest(static_cast<float>(i) / 8),
      Shortest(-1.5 * i),
      Shortest(i / 3.0),
      Cents(row.cents),
      std::to_string(i % 10000 / 10) + "." + std::to_string(i % 10),
      Shortest(static_cast<double>(i)),
      row.name,
      place,
      std::to_string(i % 1000),
      "straat" + std::to_string(i % 10),
      std::to_string(i),
      // Memos of no, one and several segments.
      i % 4 == 0 ? "" : "Opmerking é " + std::string(i % 50 == 1 ? 600 : i % 40, 'x'),
      i % 3 == 0 ? "" : "00FF" + std::string(i % 30 == 1 ? 600 : 2, 'A') + "0D0A",
  };
  for (size_t v = 0; v < values.size(); ++v) {
    if (v > 0) row.line += ",";
    const std::string& value = values[v];
    if (value.find_first_of(",\"") == std::string::npos) {
      row.line += value;
      continue;
    }
    row.line += "\"";
    for (char c : value) row.line += c == '"' ? std::string("\"\"") : std::string(1, c);
    row.line += "\"";
  }
  row.line += "\r\n";
  return row;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// The first column of each exported data line: the G:NR values in the
// order of the export.
std::vector<int> NumbersInOrder(const std::string& csv) {
  std::vector<int> numbers;
  size_t pos = csv.find("\r\n") + 2;  // past the header
  while (pos < csv.size()) {
    size_t end = csv.find("\r\n", pos);
    int nr = 0;
    std::from_chars(csv.data() + pos, csv.data() + csv.size(), nr);
    numbers.push_back(nr);
    // A quoted value holds no line break here, so lines are rows.
    pos = end + 2;
  }
  return numbers;
}

class TvnTableTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) { return folder_ / name; }
  std::string Table(const std::string& file, const std::string& table) {
    return Quote(Path(file) + "\\!" + table);
  }

  TempFolder folder_;
};

TEST_F(TvnTableTest, RoundTripInRecordOrderAndInEveryKeyOrder) {
  constexpr int kRows = 100000;
  std::vector<Row> rows;
  std::string csv = std::string(kHeader) + "\r\n";
  for (int i = 0; i < kRows; ++i) {
    rows.push_back(MakeRow(i));
    csv += rows.back().line;
  }
  WriteTextFile(Path("gids.decl"), kDeclaration);
  WriteTextFile(Path("rows.csv"), csv);

  ProgramRun import =
      Tvn("import " + Table("GIDS.TVN", "campings") + " --decl " + Quote(Path("gids.decl")) +
          " --owner geheim < " + Quote(Path("rows.csv")));
  ASSERT_EQ(import.status, 0) << import.out;

  // Record order is the order of adding.
  ProgramRun exported = Tvn("export " + Table("GIDS.TVN", "CAMPINGS") + " --owner geheim", false);
  ASSERT_EQ(exported.status, 0);
  EXPECT_TRUE(exported.out == csv) << exported.out.substr(0, 2000);

  std::vector<size_t> order(rows.size());
  auto expect_key_order = [&](const std::string& key, auto before, bool (*has_entry)(const Row&)) {
    SCOPED_TRACE(key);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return before(rows[a], rows[b]); });
    std::vector<int> expected;
    for (size_t index : order) {
      if (has_entry(rows[index])) expected.push_back(rows[index].nr);
    }
    ProgramRun run =
        Tvn("export " + Table("GIDS.TVN", "CAMPINGS") + " --owner geheim --key " + key, false);
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(NumbersInOrder(run.out) == expected);
  };
  auto every_row = [](const Row&) { return true; };
  expect_key_order(
      "K_NR", [](const Row& a, const Row& b) { return a.nr < b.nr; }, every_row);
  // Descending, without regard to case; equal names in the order of adding
  // (stable_sort keeps it).  A shorter name is padded with blanks, which
  // sort before letters and digits.
  expect_key_order(
      "k_naam",
      [](const Row& a, const Row& b) {
        std::string x = Upper(a.name) + std::string(20 - a.name.size(), ' ');
        std::string y = Upper(b.name) + std::string(20 - b.name.size(), ' ');
        return x > y;
      },
      every_row);
  // No entry where the date and the number are both empty.
  expect_key_order(
      "K_DATUM",
      [](const Row& a, const Row& b) {
        if (a.date != b.date) return a.date < b.date;
        return a.s > b.s;
      },
      [](const Row& row) { return !row.date.empty() || row.s != 0; });
  // By its external name; the amount descending, then the number.
  expect_key_order(
      "BEDRAG",
      [](const Row& a, const Row& b) {
        if (a.cents != b.cents) return a.cents > b.cents;
        return a.nr < b.nr;
      },
      every_row);

  ProgramRun check = Tvn("check " + Quote(Path("GIDS.TVN")) + " --owner geheim");
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_EQ(check.out, "OK\n");

  ProgramRun info = Tvn("info " + Quote(Path("GIDS.TVN")) + " --owner geheim");
  EXPECT_EQ(info.status, 0) << info.out;
  EXPECT_NE(info.out.find(" 100000  CAMPINGS\n"), std::string::npos) << info.out;
}

TEST_F(TvnTableTest, SchemaReadsBackIntoAnEqualTable) {
  WriteTextFile(Path("gids.decl"), kDeclaration);
  WriteTextFile(Path("rows.csv"), std::string(kHeader) + "\r\n" + MakeRow(1).line);
  ASSERT_EQ(Tvn("import " + Table("A.TVN", "T") + " --decl " + Quote(Path("gids.decl")) + " < " +
                Quote(Path("rows.csv")))
                .status,
            0);
  ProgramRun schema = Tvn("schema " + Table("A.TVN", "T"), false);
  ASSERT_EQ(schema.status, 0);
  // The stored definition keeps names, not the password or CREATE.
  std::string expected = kDeclaration;
  expected.replace(0, expected.find("\r\n"), "T FILE,DRIVER('TAVRIN')");
  expected.replace(expected.find("K_BEDRAG INDEX"), 14, "K_BEDRAG KEY");
  EXPECT_EQ(schema.out, expected + "\r\n");

  // The schema's text creates a table that takes the export of the first.
  WriteTextFile(Path("t.decl"), schema.out);
  ProgramRun exported = Tvn("export " + Table("A.TVN", "T") + " > " + Quote(Path("t.csv")));
  ASSERT_EQ(exported.status, 0);
  ASSERT_EQ(Tvn("import " + Table("A.TVN", "KOPIE") + " --decl " + Quote(Path("t.decl")) + " < " +
                Quote(Path("t.csv")))
                .status,
            0);
  EXPECT_EQ(Tvn("export " + Table("A.TVN", "KOPIE"), false).out, ReadTextFile(Path("t.csv")));
  ProgramRun info = Tvn("info " + Quote(Path("A.TVN")));
  EXPECT_NE(info.out.find("1  KOPIE\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("1  T\n"), std::string::npos) << info.out;
}

TEST_F(TvnTableTest, BadInputNamesItsLineAndLeavesNothingBehind) {
  WriteTextFile(Path("bad.decl"),
                "G FILE,DRIVER('TAVRIN')\nRECORD\nG:NR LONG\nG:X LONGG\nEND\nEND\n");
  WriteTextFile(Path("rows.csv"), "G:NR\n1\n");
  ProgramRun bad_declaration = Tvn("import " + Table("NEW.TVN", "T") + " --decl " +
                                   Quote(Path("bad.decl")) + " < " + Quote(Path("rows.csv")));
  EXPECT_NE(bad_declaration.status, 0);
  EXPECT_NE(bad_declaration.out.find("error 47: Invalid Record Declaration: line 4: unknown type"),
            std::string::npos)
      << bad_declaration.out;

  WriteTextFile(Path("g.decl"),
                "G FILE,DRIVER('TAVRIN')\nK KEY(+G:NR)\nRECORD\nG:NR LONG\nG:D DATE\nEND\nEND\n");
  const struct {
    std::string rows;
    std::string message;
  } bad_rows[] = {
      {"G:NR,G:D\n1,2000-01-01\n2,2000-02-30\n", "line 3, column G:D: '2000-02-30': not a date"},
      {"G:NR,G:D\n1,\n\"2\n\",\n", "line 3, column G:NR: '2\n': not a whole number"},
      {"G:NR\n1\n2\n1\n", "error 40: Creates Duplicate Key: line 4"},
      {"G:NR,G:Q\n1,2\n", "line 1: the table has no column G:Q"},
      {"G:NR,G:D\n1\n", "line 2: 1 values for 2 columns"},
      {"G:NR\n99999999999\n", "line 2, column G:NR: '99999999999': out of range"},
      {"G:NR\n\"1\n", "line 2: a quoted field is not closed"},
  };
  for (const auto& c : bad_rows) {
    WriteTextFile(Path("rows.csv"), c.rows);
    ProgramRun run = Tvn("import " + Table("NEW.TVN", "T") + " --decl " + Quote(Path("g.decl")) +
                         " < " + Quote(Path("rows.csv")));
    EXPECT_NE(run.status, 0) << c.rows;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
  }
  // Neither the file nor a copy of it was left.
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    files += entry.path().string().find("NEW.TVN") != std::string::npos;
  }
  EXPECT_EQ(files, 0u);

  // A bad row added to an existing file leaves it byte for byte as it was.
  WriteTextFile(Path("rows.csv"), "G:NR,G:D\n1,2000-01-01\n");
  ASSERT_EQ(Tvn("import " + Table("OLD.TVN", "T") + " --decl " + Quote(Path("g.decl")) + " < " +
                Quote(Path("rows.csv")))
                .status,
            0);
  std::string before = ReadTextFile(Path("OLD.TVN"));
  WriteTextFile(Path("rows.csv"), "G:NR,G:D\n1,2000-01-01\n2,x\n");
  EXPECT_NE(Tvn("import " + Table("OLD.TVN", "U") + " --decl " + Quote(Path("g.decl")) + " < " +
                Quote(Path("rows.csv")))
                .status,
            0);
  // A table that exists already is refused, not added to.
  ProgramRun again = Tvn("import " + Table("OLD.TVN", "T") + " --decl " + Quote(Path("g.decl")) +
                         " < " + Quote(Path("rows.csv")));
  EXPECT_NE(again.status, 0);
  EXPECT_NE(again.out.find("already has a table T"), std::string::npos) << again.out;
  EXPECT_EQ(ReadTextFile(Path("OLD.TVN")), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()),
                          std::filesystem::directory_iterator()),
            4);  // OLD.TVN, bad.decl, g.decl and rows.csv: no copies
}

TEST_F(TvnTableTest, CheckFindsABrokenFile) {
  WriteTextFile(Path("gids.decl"), kDeclaration);
  std::string csv = std::string(kHeader) + "\r\n";
  for (int i = 0; i < 2000; ++i) csv += MakeRow(i).line;
  WriteTextFile(Path("rows.csv"), csv);
  ASSERT_EQ(Tvn("import " + Table("GIDS.TVN", "T") + " --decl " + Quote(Path("gids.decl")) + " < " +
                Quote(Path("rows.csv")))
                .status,
            0);
  ProgramRun sound = Tvn("check " + Quote(Path("GIDS.TVN")));
  EXPECT_EQ(sound.status, 0) << sound.out;

  // A flipped byte in a row's data outside every key cannot be told from
  // a change; these flips break what the file's structure promises: the
  // root's place, the first page's home address and record count.
  std::string bytes = ReadTextFile(Path("GIDS.TVN"));
  for (size_t offset : {size_t{28}, size_t{512 + 1}, size_t{512 + 10}}) {
    std::string copy = bytes;
    copy[offset] = static_cast<char>(copy[offset] ^ 0x5A);
    WriteTextFile(Path("copy.tvn"), copy);
    ProgramRun run = Tvn("check " + Quote(Path("copy.tvn")));
    EXPECT_NE(run.status, 0) << "byte " << offset << "\n" << run.out;
    EXPECT_EQ(run.out.find("OK\n"), std::string::npos) << run.out;
  }
}

TEST_F(TvnTableTest, CheckFindsKeysOutOfStepWithTheRows) {
  WriteTextFile(Path("g.decl"),
                "G FILE,DRIVER('TAVRIN')\nK KEY(+G:NR)\nL KEY(-G:NR),OPT\nM MEMO(10)\nRECORD\nG:NR "
                "LONG\nEND\nEND\n");
  WriteTextFile(Path("rows.csv"), "G:NR\n1\n2\n3\n");
  ASSERT_EQ(Tvn("import " + Table("K.TVN", "T") + " --decl " + Quote(Path("g.decl")) + " < " +
                Quote(Path("rows.csv")))
                .status,
            0);
  {
    // Take the first entry of key K out behind the table's back.
    std::unique_ptr<storage::RecordFile> file;
    ASSERT_TRUE(
        storage::RecordFile::Open(platform::FileSystem::Default(), Path("K.TVN"),
                                  platform::open_mode::kReadWrite | platform::open_mode::kDenyAll,
                                  platform::Disposition::kOpenExisting, {}, &file)
            .ok());
    std::unique_ptr<storage::RecordCursor> cursor = file->NewCursor();
    ASSERT_TRUE(cursor->Seek(storage::KeyEntryPrefix(1, 0)).ok());
    ASSERT_TRUE(cursor->Valid());
    ASSERT_TRUE(file->Delete(std::string(cursor->key())).ok());
    // And a memo segment of a row that was never added.
    std::string segment = storage::MemoSegmentKey(1, 999, 0, 0);
    ASSERT_TRUE(file->Insert(segment + "tekst", segment.size()).ok());
    ASSERT_TRUE(file->Flush().ok());
  }
  ProgramRun check = Tvn("check " + Quote(Path("K.TVN")));
  EXPECT_NE(check.status, 0);
  EXPECT_NE(check.out.find("table T: key K: no entry for a row: "), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("table T: key K: the counter says 3 entries, the key holds 2"),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("table T: a memo segment of row 999, which is not there"),
            std::string::npos)
      << check.out;
  EXPECT_EQ(check.out.find("key L"), std::string::npos) << check.out;
}

TEST_F(TvnTableTest, CsvTextsKeepTheirLineBreaksQuotesAndEmptyRows) {
  WriteTextFile(Path("s.decl"), "S FILE,DRIVER('TAVRIN')\nRECORD\nS:T STRING(12)\nEND\nEND\n");
  // Blank lines are skipped; a lone empty value is written "".
  WriteTextFile(Path("rows.csv"),
                "S:T\n\n\"twee\nregels\"\n\"\"\n\r\n\"a \"\"b\"\", c\"\n  voor  \n");
  ProgramRun import = Tvn("import " + Quote(Path("S.TVN")) + " --decl " + Quote(Path("s.decl")) +
                          " < " + Quote(Path("rows.csv")));
  ASSERT_EQ(import.status, 0) << import.out;
  EXPECT_EQ(import.out.find("4 rows added to the table UNNAMED"), 0u) << import.out;
  ProgramRun exported = Tvn("export " + Quote(Path("S.TVN")), false);
  EXPECT_EQ(exported.out, "S:T\r\n\"twee\nregels\"\r\n\"\"\r\n\"a \"\"b\"\", c\"\r\n  voor\r\n");
}

TEST_F(TvnTableTest, UsageAndMissingFiles) {
  EXPECT_EQ(Tvn("export").status, 2);
  EXPECT_EQ(Tvn("import " + Table("X.TVN", "T")).status, 2);
  EXPECT_EQ(Tvn("check a b").status, 2);
  ProgramRun missing = Tvn("schema " + Table("NONE.TVN", "T"));
  EXPECT_NE(missing.status, 0);
  EXPECT_NE(missing.out.find("error 2: File Not Found"), std::string::npos) << missing.out;
}

}  // namespace
