// Views over the sample guide's campsite file beside the same queries in
// SQLite, in one run, on the same rows with the same indexes.
//
// The guide is the largest the campsite number allows: NUMMER is
// DECIMAL(5,0), so 99,999 campsites.  It is read from the folder named by
// TENTARIA_BENCH_GUIDE, or written into a temporary folder by the
// make-guide program built beside this benchmark.  SQLite gets GezNAW's
// rows as read through the storage engine, in record order, with one
// index per key of GezNAW (the case-free keys over NOCASE columns).
//
//   page     20 rows from the middle of the name order, positioned at a
//            name (SETview / WHERE naamcamp >= ? ORDER BY ... LIMIT 20)
//   prefix   the campsites whose name starts with "De Zon", in name order,
//            written as a query window writes it:
//            SUB(UPPER(GNAW:NAAMCAMP),1,6) = 'DE ZON' / LIKE 'DE ZON%'
//   scan     every Belgian campsite with photos, in record order (no key
//            helps)
//
// Our side runs twice: /0 on the file opened shared, as the program opens
// its files (every operation checks under a lock whether another process
// changed the file), and /1 on the file opened alone for reading (others
// may read, none may write), where those checks fall away.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "guide/file_descriptors.h"
#include "storage/declared_file.h"
#include "storage/file_interface.h"
#include "views/name_table.h"
#include "views/view_engine.h"

namespace {

namespace guide = tentaria::guide;
namespace storage = tentaria::storage;
namespace views = tentaria::views;

constexpr int kCampsites = 99999;
constexpr char kPrefixFilter[] = "SUB(UPPER(GNAW:NAAMCAMP),1,6) = 'DE ZON'";
constexpr char kScanFilter[] = "GNAW:LAND = 'Belgi\xEB' AND GNAW:FOTO <> '0'";

// Folders the run made, removed at its end.
std::vector<std::string>& MadeFolders() {
  static std::vector<std::string> folders;
  return folders;
}

std::string TemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "view-bench-XXXXXX").string();
  std::string folder = mkdtemp(pattern.data());
  MadeFolders().push_back(folder);
  return folder;
}

// The guide folder: given, or made once by make-guide (without pictures:
// only the record files are measured).
const std::string& GuideFolder() {
  static const std::string folder = [] {
    if (const char* given = std::getenv("TENTARIA_BENCH_GUIDE")) return std::string(given);
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    std::filesystem::path tool = self.parent_path() / ".." / "tools" / "make-guide" / "make-guide";
    std::string made = TemporaryFolder();
    std::string command = tool.string() + " --out " + made + " --count " +
                          std::to_string(kCampsites) + " --no-pictures > /dev/null";
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "view_bench: '%s' failed; set TENTARIA_BENCH_GUIDE\n", command.c_str());
      std::exit(1);
    }
    return made;
  }();
  return folder;
}

struct Tentaria {
  std::unique_ptr<storage::DeclaredFile> naw;
  views::NameScopes names;
  std::unique_ptr<views::ViewEngine> view;
};

Tentaria* OpenGuide(int mode) {
  auto* t = new Tentaria;
  storage::FileDescriptor declaration = guide::Descriptor(guide::GuideFile::GezNAW);
  declaration.name = GuideFolder() + "/GezNAW.TVN";
  t->naw = std::make_unique<storage::DeclaredFile>(declaration);
  if (t->naw->Open(mode) != 0) {
    std::fprintf(stderr, "view_bench: cannot open %s\n", declaration.name.c_str());
    std::exit(1);
  }
  for (const storage::FieldDescriptor& field : t->naw->block().layout.fields) {
    views::BoundVariable variable;
    variable.address = t->naw->record().data() + field.offset;
    variable.type = field.type;
    variable.size = field.size;
    variable.decimals = field.decimals;
    t->names.Bind(field.label, variable);
  }
  views::ViewDescriptor descriptor;
  descriptor.files = {{t->naw.get(), -1}};
  descriptor.nodes = views::EncodeViewNodes(views::ViewNodeSpec());
  t->view = std::make_unique<views::ViewEngine>(std::move(descriptor), &t->names);
  t->view->Open();
  return t;
}

// The guide's file as the program opens it, shared with other processes
// (every read checks for their changes), or read alone (others may read).
Tentaria& TentariaGuide(bool alone = false) {
  namespace mode = tentaria::platform::open_mode;
  static Tentaria* shared = OpenGuide(mode::kRead | mode::kDenyNone);
  static Tentaria* single = OpenGuide(mode::kRead | mode::kDenyWrite);
  return alone ? *single : *shared;
}

// The text of a field of the current GezNAW record, trailing blanks cut.
std::string FieldText(storage::DeclaredFile& file, const storage::FieldDescriptor& field) {
  std::string text(file.record().data() + field.offset, field.size);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

sqlite3* SqliteGuide() {
  static sqlite3* db = [] {
    sqlite3* made = nullptr;
    std::string path = TemporaryFolder() + "/guide.sqlite";
    sqlite3_open(path.c_str(), &made);
    sqlite3_exec(made,
                 "CREATE TABLE gnaw (nummer INTEGER, naamcamp TEXT COLLATE NOCASE,"
                 " straatcamp TEXT, postcode TEXT COLLATE NOCASE, plaats TEXT COLLATE NOCASE,"
                 " provincie TEXT, land TEXT, streek TEXT COLLATE NOCASE, telefoon TEXT,"
                 " fax TEXT, url TEXT, email TEXT, taal TEXT, foto TEXT, info TEXT, adver TEXT);"
                 "CREATE UNIQUE INDEX by_nummer ON gnaw (nummer);"
                 "CREATE INDEX by_naam ON gnaw (naamcamp, plaats);"
                 "CREATE INDEX by_plaats ON gnaw (plaats, naamcamp);"
                 "CREATE INDEX by_streek ON gnaw (streek, naamcamp);"
                 "CREATE INDEX by_postcode ON gnaw (postcode, naamcamp);"
                 "BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(made, "INSERT INTO gnaw VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1,
                       &insert, nullptr);
    storage::DeclaredFile& naw = *TentariaGuide().naw;
    const auto& fields = naw.block().layout.fields;
    naw.SetFile();
    while (naw.Next() == 0) {
      const uint8_t* nummer = reinterpret_cast<const uint8_t*>(naw.record().data());
      // DECIMAL(5,0): the sign nibble, then five digits.
      int number = (nummer[0] & 0x0F) * 10000 + (nummer[1] >> 4) * 1000 + (nummer[1] & 0x0F) * 100 +
                   (nummer[2] >> 4) * 10 + (nummer[2] & 0x0F);
      sqlite3_bind_int(insert, 1, number);
      for (size_t f = 1; f < fields.size(); ++f) {
        std::string text = FieldText(naw, fields[f]);
        sqlite3_bind_text(insert, static_cast<int>(f + 1), text.data(),
                          static_cast<int>(text.size()), SQLITE_TRANSIENT);
      }
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(made, "COMMIT; ANALYZE", nullptr, nullptr, nullptr);
    return made;
  }();
  return db;
}

int64_t SqliteCount(const char* sql) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(SqliteGuide(), sql, -1, &statement, nullptr);
  int64_t rows = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) ++rows;
  sqlite3_finalize(statement);
  return rows;
}

// The name in the middle of the name order, where the page starts.
const std::string& MiddleName() {
  static const std::string name = [] {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(SqliteGuide(),
                       "SELECT naamcamp FROM gnaw ORDER BY naamcamp, plaats LIMIT 1 OFFSET ?", -1,
                       &statement, nullptr);
    sqlite3_bind_int(statement, 1, kCampsites / 2);
    sqlite3_step(statement);
    std::string text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return text;
  }();
  return name;
}

// Reads the rows of a statement, touching each column.
int64_t Drain(sqlite3_stmt* statement) {
  int64_t rows = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    for (int c = 0; c < 16; ++c) benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
    ++rows;
  }
  sqlite3_reset(statement);
  return rows;
}

int64_t ReadView(views::ViewEngine& view, int64_t limit) {
  int64_t rows = 0;
  while (rows < limit && view.Next() == 0) ++rows;
  return rows;
}

void SetUpPage(views::ViewEngine& view) {
  view.SetFilter("");
  view.SetOrder("UPPER(GNAW:NAAMCAMP), UPPER(GNAW:PLAATS)");
}

void PositionPage(Tentaria& t) {
  const storage::FieldDescriptor& naam = t.naw->block().layout.fields[1];
  char* at = t.naw->record().data() + naam.offset;
  std::memset(at, ' ', naam.size);
  std::memcpy(at, MiddleName().data(), std::min<size_t>(naam.size, MiddleName().size()));
  t.view->SetView(1);
}

void BM_ViewPage_Tentaria(benchmark::State& state) {
  Tentaria& t = TentariaGuide(state.range(0) != 0);
  SetUpPage(*t.view);
  for (auto _ : state) {
    PositionPage(t);
    if (ReadView(*t.view, 20) != 20) state.SkipWithError("short page");
  }
}

void BM_ViewPage_Sqlite(benchmark::State& state) {
  sqlite3_stmt* page = nullptr;
  sqlite3_prepare_v2(SqliteGuide(),
                     "SELECT * FROM gnaw WHERE naamcamp >= ? ORDER BY naamcamp, plaats LIMIT 20",
                     -1, &page, nullptr);
  for (auto _ : state) {
    sqlite3_bind_text(page, 1, MiddleName().data(), -1, SQLITE_STATIC);
    if (Drain(page) != 20) state.SkipWithError("short page");
  }
  sqlite3_finalize(page);
}

constexpr char kSqlitePrefix[] =
    "SELECT * FROM gnaw WHERE naamcamp LIKE 'DE ZON%' ORDER BY naamcamp, plaats";
constexpr char kSqliteScan[] =
    "SELECT * FROM gnaw NOT INDEXED WHERE land = 'Belgi\xEB' AND foto <> '0'";

void BM_ViewPrefix_Tentaria(benchmark::State& state) {
  Tentaria& t = TentariaGuide(state.range(0) != 0);
  int64_t expected = SqliteCount(kSqlitePrefix);
  t.view->SetOrder("UPPER(GNAW:NAAMCAMP), UPPER(GNAW:PLAATS)");
  t.view->SetFilter(kPrefixFilter);
  for (auto _ : state) {
    t.view->SetView(0);
    if (ReadView(*t.view, kCampsites) != expected) state.SkipWithError("count differs");
  }
  state.counters["rows"] = static_cast<double>(expected);
}

void BM_ViewPrefix_Sqlite(benchmark::State& state) {
  sqlite3_stmt* prefix = nullptr;
  sqlite3_prepare_v2(SqliteGuide(), kSqlitePrefix, -1, &prefix, nullptr);
  int64_t rows = 0;
  for (auto _ : state) rows = Drain(prefix);
  state.counters["rows"] = static_cast<double>(rows);
  sqlite3_finalize(prefix);
}

void BM_ViewFilteredScan_Tentaria(benchmark::State& state) {
  Tentaria& t = TentariaGuide(state.range(0) != 0);
  int64_t expected = SqliteCount(kSqliteScan);
  t.view->SetOrder("");
  t.view->SetFilter(kScanFilter);
  for (auto _ : state) {
    t.view->SetView(0);
    if (ReadView(*t.view, kCampsites) != expected) state.SkipWithError("count differs");
  }
  state.counters["rows"] = static_cast<double>(expected);
}

void BM_ViewFilteredScan_Sqlite(benchmark::State& state) {
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(SqliteGuide(), kSqliteScan, -1, &scan, nullptr);
  int64_t rows = 0;
  for (auto _ : state) rows = Drain(scan);
  state.counters["rows"] = static_cast<double>(rows);
  sqlite3_finalize(scan);
}

// Argument 0: the file shared as the program opens it; 1: read alone.
BENCHMARK(BM_ViewPage_Tentaria)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewPage_Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewPrefix_Tentaria)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewPrefix_Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewFilteredScan_Tentaria)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewFilteredScan_Sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // Both sides are loaded before any timing starts.
  TentariaGuide(false);
  TentariaGuide(true);
  SqliteGuide();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const std::string& folder : MadeFolders()) std::filesystem::remove_all(folder);
  return 0;
}
