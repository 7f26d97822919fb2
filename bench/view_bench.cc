// Views over a table of the record file beside the same queries in SQLite,
// in one run: 200,000 sites with a unique number key and keys on the name,
// on place and name, and on the price (the same indexes in SQLite).
//
//   page     20 rows from the middle of the name order, positioned at a
//            name (SETview / WHERE naam >= ? ORDER BY naam LIMIT 20)
//   prefix   the 100 names that start with a prefix, in name order
//   scan     every row whose price is below 10, in record order
//
// The layout:
//   offset size  field
//   0      4     S:NR      LONG, the unique key
//   4      12    S:NAAM    STRING, DUP key
//   16     10    S:PLAATS  STRING, DUP key with S:NAAM
//   26     4     S:PRIJS   LONG, DUP key
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "runtime/value_types.h"
#include "storage/declared_file.h"
#include "storage/file_interface.h"
#include "views/name_table.h"
#include "views/view_engine.h"

namespace {

using tentaria::storage::DeclaredFile;
namespace storage = tentaria::storage;
namespace views = tentaria::views;

constexpr int32_t kRows = 200000;

std::string Folder() {
  static std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "view-bench-XXXXXX").string();
    return std::string(mkdtemp(pattern.data()));
  }();
  return folder;
}

storage::FieldDescriptor Field(const char* label, tentaria::runtime::TypeCode type, uint16_t offset,
                               uint16_t size) {
  storage::FieldDescriptor field;
  field.type = static_cast<uint8_t>(type);
  field.offset = offset;
  field.size = size;
  if (type == tentaria::runtime::TypeCode::STRING) field.string_length = size;
  field.label = label;
  return field;
}

storage::FileDescriptor Sites() {
  using storage::key_attribute::DUP;
  using tentaria::runtime::TypeCode;
  storage::FileDescriptor file;
  file.prefix = "S";
  file.name = Folder() + "/sites.tvn";
  file.attributes = storage::file_attribute::CREATE;
  file.layout.record_size = 30;
  file.layout.fields = {
      Field("S:NR", TypeCode::LONG, 0, 4), Field("S:NAAM", TypeCode::STRING, 4, 12),
      Field("S:PLAATS", TypeCode::STRING, 16, 10), Field("S:PRIJS", TypeCode::LONG, 26, 4)};
  file.keys = {{"S:K_NR", "", storage::key_attribute::PRIMARY, {{0, 0}}},
               {"S:K_NAAM", "", DUP, {{1, 0}}},
               {"S:K_PLAATS", "", DUP, {{2, 0}, {1, 0}}},
               {"S:K_PRIJS", "", DUP, {{3, 0}}}};
  return file;
}

struct Site {
  int32_t nr;
  char naam[13];
  char plaats[11];
  int32_t prijs;
};

Site MakeSite(int32_t row) {
  Site site{};
  site.nr = row;
  std::snprintf(site.naam, sizeof site.naam, "N%06d", (row * 7) % kRows);
  std::snprintf(site.plaats, sizeof site.plaats, "P%03d", row % 500);
  site.prijs = row % 100;
  return site;
}

void PutSite(DeclaredFile& file, const Site& site) {
  char* record = file.record().data();
  std::memset(record, ' ', 30);
  std::memcpy(record, &site.nr, 4);
  std::memcpy(record + 4, site.naam, std::strlen(site.naam));
  std::memcpy(record + 16, site.plaats, std::strlen(site.plaats));
  std::memcpy(record + 26, &site.prijs, 4);
}

// The table and its view, made once for the run.
struct Tentaria {
  std::unique_ptr<DeclaredFile> file;
  views::NameScopes names;
  std::unique_ptr<views::ViewEngine> view;
};

Tentaria& TentariaSites() {
  static Tentaria* sites = [] {
    auto* t = new Tentaria;
    t->file = std::make_unique<DeclaredFile>(Sites());
    t->file->Share();
    t->file->Call(storage::op::LOGOUT);
    for (int32_t row = 0; row < kRows; ++row) {
      PutSite(*t->file, MakeSite(row));
      t->file->Add();
    }
    t->file->Call(storage::op::COMMIT);
    for (const storage::FieldDescriptor& field : t->file->block().layout.fields) {
      views::BoundVariable variable;
      variable.address = t->file->record().data() + field.offset;
      variable.type = field.type;
      variable.size = field.size;
      t->names.Bind(field.label, variable);
    }
    views::ViewDescriptor descriptor;
    descriptor.files = {{t->file.get(), -1}};
    descriptor.nodes = views::EncodeViewNodes(views::ViewNodeSpec());
    t->view = std::make_unique<views::ViewEngine>(std::move(descriptor), &t->names);
    t->view->Open();
    return t;
  }();
  return *sites;
}

sqlite3* SqliteSites() {
  static sqlite3* db = [] {
    sqlite3* made = nullptr;
    std::string path = Folder() + "/sites.sqlite";
    std::filesystem::remove(path);
    sqlite3_open(path.c_str(), &made);
    sqlite3_exec(made,
                 "CREATE TABLE sites (nr INTEGER, naam TEXT, plaats TEXT, prijs INTEGER);"
                 "CREATE UNIQUE INDEX k_nr ON sites (nr);"
                 "CREATE INDEX k_naam ON sites (naam);"
                 "CREATE INDEX k_plaats ON sites (plaats, naam);"
                 "CREATE INDEX k_prijs ON sites (prijs);"
                 "BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(made, "INSERT INTO sites VALUES (?, ?, ?, ?)", -1, &insert, nullptr);
    for (int32_t row = 0; row < kRows; ++row) {
      Site site = MakeSite(row);
      sqlite3_bind_int(insert, 1, site.nr);
      sqlite3_bind_text(insert, 2, site.naam, -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 3, site.plaats, -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(insert, 4, site.prijs);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(made, "COMMIT", nullptr, nullptr, nullptr);
    return made;
  }();
  return db;
}

// Reads the rows of a statement, touching each column.
int64_t Drain(sqlite3_stmt* statement) {
  int64_t rows = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    for (int c = 0; c < 4; ++c) benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
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

void BM_ViewPage_Tentaria(benchmark::State& state) {
  Tentaria& t = TentariaSites();
  t.view->SetFilter("");
  t.view->SetOrder("S:NAAM");
  for (auto _ : state) {
    PutSite(*t.file, MakeSite(0));
    std::memcpy(t.file->record().data() + 4, "N100000", 7);
    t.view->SetView(1);
    if (ReadView(*t.view, 20) != 20) state.SkipWithError("short page");
  }
}

void BM_ViewPage_Sqlite(benchmark::State& state) {
  sqlite3* db = SqliteSites();
  sqlite3_stmt* page = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM sites WHERE naam >= ? ORDER BY naam LIMIT 20", -1, &page,
                     nullptr);
  for (auto _ : state) {
    sqlite3_bind_text(page, 1, "N100000", -1, SQLITE_STATIC);
    if (Drain(page) != 20) state.SkipWithError("short page");
  }
  sqlite3_finalize(page);
}

void BM_ViewPrefix_Tentaria(benchmark::State& state) {
  Tentaria& t = TentariaSites();
  t.view->SetOrder("S:NAAM");
  t.view->SetFilter("SUB(S:NAAM, 1, 5) = 'N0421'");
  for (auto _ : state) {
    t.view->SetView(0);
    if (ReadView(*t.view, kRows) != 100) state.SkipWithError("wrong count");
  }
}

void BM_ViewPrefix_Sqlite(benchmark::State& state) {
  sqlite3* db = SqliteSites();
  sqlite3_stmt* prefix = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT * FROM sites WHERE naam >= 'N0421' AND naam < 'N0422' ORDER BY naam",
                     -1, &prefix, nullptr);
  for (auto _ : state) {
    if (Drain(prefix) != 100) state.SkipWithError("wrong count");
  }
  sqlite3_finalize(prefix);
}

void BM_ViewFilteredScan_Tentaria(benchmark::State& state) {
  Tentaria& t = TentariaSites();
  t.view->SetOrder("");
  t.view->SetFilter("S:PRIJS < 10 AND S:PLAATS <> 'P007'");
  for (auto _ : state) {
    t.view->SetView(0);
    benchmark::DoNotOptimize(ReadView(*t.view, kRows));
  }
}

void BM_ViewFilteredScan_Sqlite(benchmark::State& state) {
  sqlite3* db = SqliteSites();
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM sites NOT INDEXED WHERE prijs < 10 AND plaats <> 'P007'",
                     -1, &scan, nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(Drain(scan));
  sqlite3_finalize(scan);
}

BENCHMARK(BM_ViewPage_Tentaria)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewPage_Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewPrefix_Tentaria)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewPrefix_Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewFilteredScan_Tentaria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewFilteredScan_Sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
