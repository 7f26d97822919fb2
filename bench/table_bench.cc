// A table of the record file beside the same table in SQLite, in one run:
// one million rows of a 261-byte layout with five keys (a unique number key
// and four DUP NOCASE text keys) added in one transaction, look-ups by the
// number key, and all rows read in the order of a NOCASE key.  Both store
// to real files in a temporary folder and commit with their ordinary
// durability (flushes to disk).
//
// The layout:
//   offset size  field
//   0      4     NR        LONG, the unique key
//   4      40    NAAM      STRING, DUP NOCASE
//   44     30    PLAATS    STRING, DUP NOCASE (the key of the ordered read)
//   74     30    REGIO     STRING, DUP NOCASE
//   104    20    LAND      STRING, DUP NOCASE
//   124    137   OMSCHR    STRING
#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include <benchmark/benchmark.h>

#include "platform/file.h"
#include "runtime/value_types.h"
#include "storage/key_entry.h"
#include "storage/record_file.h"
#include "storage/table_definition.h"
#include "storage/table_file.h"

namespace {

using tentaria::Status;
using tentaria::runtime::TypeCode;
using tentaria::storage::FieldDescriptor;
using tentaria::storage::FileDescriptor;
using tentaria::storage::TableFile;

constexpr uint32_t kRows = 1000000;
constexpr int kLookups = 100000;
constexpr uint16_t kRowSize = 261;
constexpr size_t kOrderKey = 2;  // PLAATS

struct Column {
  const char* name;
  uint16_t offset;
  uint16_t size;
};
constexpr std::array<Column, 6> kColumns = {{{"NR", 0, 4},
                                             {"NAAM", 4, 40},
                                             {"PLAATS", 44, 30},
                                             {"REGIO", 74, 30},
                                             {"LAND", 104, 20},
                                             {"OMSCHR", 124, 137}}};

FileDescriptor Campings() {
  FileDescriptor file;
  file.prefix = "CAM";
  file.attributes = tentaria::storage::file_attribute::CREATE;
  file.layout.record_size = kRowSize;
  for (const Column& column : kColumns) {
    FieldDescriptor field;
    bool number = column.offset == 0;
    field.type = static_cast<uint8_t>(number ? TypeCode::LONG : TypeCode::STRING);
    field.offset = column.offset;
    field.size = column.size;
    if (!number) field.string_length = column.size;
    field.label = std::string("CAM:") + column.name;
    file.layout.fields.push_back(field);
  }
  using tentaria::storage::key_attribute::DUP;
  using tentaria::storage::key_attribute::NOCASE;
  using tentaria::storage::key_attribute::PRIMARY;
  file.keys = {{"CAM:KEYNR", "", PRIMARY, {{0, 0}}},
               {"CAM:KEYNAAM", "", DUP | NOCASE, {{1, 0}}},
               {"CAM:KEYPLAATS", "", DUP | NOCASE, {{2, 0}}},
               {"CAM:KEYREGIO", "", DUP | NOCASE, {{3, 0}}},
               {"CAM:KEYLAND", "", DUP | NOCASE, {{4, 0}}}};
  return file;
}

// The texts of one row, without trailing blanks; the table's row holds
// them blank-padded to their field sizes.
struct Camping {
  int32_t number;
  std::array<std::string, 5> texts;
};

constexpr std::array<std::string_view, 8> kFirst = {
    "De", "Het", "Camping", "Park", "Vakantiepark", "Hoeve", "Kampeerterrein", "Boerderij"};
constexpr std::array<std::string_view, 8> kSecond = {"Zonnige", "Groene", "Stille", "Oude",
                                                     "Blauwe",  "Hoge",   "Lage",   "Wilde"};
constexpr std::array<std::string_view, 8> kThird = {"Duinen", "Heide",  "Bossen", "Vennen",
                                                    "Weiden", "Polder", "Oever",  "Akkers"};
constexpr std::array<std::string_view, 3> kLands = {"Nederland", "Belgie", "Luxemburg"};

// Rows are made in a scrambled order of their numbers (each number once),
// so that no key is filled in its own order.
Camping MakeCamping(uint32_t row) {
  uint32_t mixed = row * 2654435761u;
  Camping c;
  c.number = static_cast<int32_t>(uint64_t{row} * 7919u % kRows + 1);
  c.texts[0] = std::string(kFirst[mixed % 8]) + " " + std::string(kSecond[(mixed >> 3) % 8]) + " " +
               std::string(kThird[(mixed >> 6) % 8]) + " " + std::to_string(mixed % 9973);
  // Towns and regions in mixed case, so that NOCASE matters.
  uint32_t town = (mixed >> 9) % 1500;
  c.texts[1] =
      (town % 2 ? "Sint-" : "") + std::string(kThird[town % 8]) + "dorp " + std::to_string(town);
  if (town % 3 == 0) c.texts[1][0] = static_cast<char>(c.texts[1][0] | 0x20);
  uint32_t region = town % 60;
  c.texts[2] = (region % 2 ? "REGIO " : "Regio ") + std::string(kSecond[region % 8]) + " " +
               std::to_string(region);
  c.texts[3] = std::string(kLands[region % 3]);
  c.texts[4] = "Kampeerplaatsen aan het water, sanitair, winkel en speeltuin; rij " +
               std::to_string(row) + ".";
  return c;
}

std::string RowOf(const Camping& c) {
  std::string row(kRowSize, ' ');
  std::memcpy(row.data(), &c.number, 4);
  for (size_t i = 0; i < c.texts.size(); ++i) {
    const Column& column = kColumns[i + 1];
    row.replace(column.offset, std::min<size_t>(c.texts[i].size(), column.size), c.texts[i], 0,
                column.size);
  }
  return row;
}

// A row with only the number filled in, to look up by the number key.
std::string NumberRow(int32_t number) {
  std::string row(kRowSize, ' ');
  std::memcpy(row.data(), &number, 4);
  return row;
}

// A temporary folder for the benchmark's files, removed with them when
// the program ends: each run writes some hundreds of megabytes.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "table-bench-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string Folder() {
  static BenchFolder folder;
  return folder.path();
}

std::string TentariaPath() { return Folder() + "/campings.tvn"; }
std::string SqlitePath() { return Folder() + "/campings.sqlite"; }

std::unique_ptr<TableFile> OpenTentaria() {
  std::unique_ptr<TableFile> table;
  Status s = TableFile::Open(
      tentaria::platform::FileSystem::Default(), Campings(), TentariaPath() + "\\!CAMPINGS",
      tentaria::platform::open_mode::kReadWrite | tentaria::platform::open_mode::kDenyAll, &table);
  if (!s.ok()) std::fprintf(stderr, "open: %s\n", s.ToString().c_str());
  return table;
}

// The same cache size as in the record file benchmark: 64 MiB each.
sqlite3* OpenSqlite() {
  sqlite3* db = nullptr;
  sqlite3_open(SqlitePath().c_str(), &db);
  sqlite3_exec(db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
  return db;
}

void Check(bool ok, benchmark::State& state, const char* what) {
  if (!ok) state.SkipWithError(what);
}

void BM_TableAdd_Tentaria(benchmark::State& state) {
  for (auto _ : state) {
    std::filesystem::remove(TentariaPath());
    std::unique_ptr<TableFile> table = OpenTentaria();
    if (!table) return state.SkipWithError("open");
    uint32_t number = 0;
    for (uint32_t row = 0; row < kRows; ++row) {
      Check(table->Add(RowOf(MakeCamping(row)), false, &number).ok(), state, "add");
    }
    Check(table->Flush().ok(), state, "flush");
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_TableAdd_Sqlite(benchmark::State& state) {
  for (auto _ : state) {
    std::filesystem::remove(SqlitePath());
    sqlite3* db = OpenSqlite();
    sqlite3_exec(db,
                 "CREATE TABLE campings (nr INTEGER, naam TEXT, plaats TEXT, regio TEXT, "
                 "land TEXT, omschr TEXT);"
                 "CREATE UNIQUE INDEX keynr ON campings (nr);"
                 "CREATE INDEX keynaam ON campings (naam COLLATE NOCASE);"
                 "CREATE INDEX keyplaats ON campings (plaats COLLATE NOCASE);"
                 "CREATE INDEX keyregio ON campings (regio COLLATE NOCASE);"
                 "CREATE INDEX keyland ON campings (land COLLATE NOCASE);",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO campings VALUES (?, ?, ?, ?, ?, ?)", -1, &insert, nullptr);
    for (uint32_t row = 0; row < kRows; ++row) {
      Camping c = MakeCamping(row);
      sqlite3_bind_int(insert, 1, c.number);
      for (size_t i = 0; i < c.texts.size(); ++i) {
        size_t size = std::min<size_t>(c.texts[i].size(), kColumns[i + 1].size);
        sqlite3_bind_text(insert, static_cast<int>(i + 2), c.texts[i].data(),
                          static_cast<int>(size), SQLITE_TRANSIENT);
      }
      Check(sqlite3_step(insert) == SQLITE_DONE, state, "insert");
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK, state, "commit");
    sqlite3_close(db);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

int32_t LookupNumber(std::mt19937& random) {
  return MakeCamping(static_cast<uint32_t>(random() % kRows)).number;
}

void BM_TableLookup_Tentaria(benchmark::State& state) {
  std::unique_ptr<TableFile> table = OpenTentaria();
  if (!table) return state.SkipWithError("open");
  std::mt19937 random(1);
  std::string row;
  uint32_t record_number = 0;
  for (auto _ : state) {
    for (int i = 0; i < kLookups; ++i) {
      Status s = table->GetByKey(0, NumberRow(LookupNumber(random)), &row, &record_number);
      Check(s.ok(), state, "get");
    }
  }
  state.SetItemsProcessed(state.iterations() * kLookups);
}

void BM_TableLookup_Sqlite(benchmark::State& state) {
  sqlite3* db = OpenSqlite();
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM campings WHERE nr = ?", -1, &select, nullptr);
  std::mt19937 random(1);
  for (auto _ : state) {
    for (int i = 0; i < kLookups; ++i) {
      sqlite3_bind_int(select, 1, LookupNumber(random));
      Check(sqlite3_step(select) == SQLITE_ROW, state, "select");
      for (int column = 0; column < 6; ++column) {
        benchmark::DoNotOptimize(sqlite3_column_text(select, column));
      }
      sqlite3_reset(select);
    }
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kLookups);
}

// Walks the entries of the order key and reads each row by its record
// number, as a key-ordered read of the table does.
void BM_TableOrderedRead_Tentaria(benchmark::State& state) {
  std::unique_ptr<TableFile> table = OpenTentaria();
  if (!table) return state.SkipWithError("open");
  std::string prefix =
      tentaria::storage::KeyEntryPrefix(table->table_number(), static_cast<uint8_t>(kOrderKey));
  std::string row;
  for (auto _ : state) {
    auto cursor = table->record_file()->NewCursor();
    uint32_t count = 0;
    for (Status s = cursor->Seek(prefix);
         s.ok() && cursor->Valid() && cursor->key().starts_with(prefix); s = cursor->Next()) {
      tentaria::storage::ParsedKeyEntry entry;
      std::string_view key = cursor->key();
      Status parsed = tentaria::storage::ParseKeyEntry(table->definition(), key,
                                                       cursor->record().substr(key.size()), &entry);
      if (!parsed.ok() || !table->GetByPointer(entry.record_number, &row).ok()) break;
      benchmark::DoNotOptimize(row.data());
      ++count;
    }
    Check(count == kRows, state, "row count");
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_TableOrderedRead_Sqlite(benchmark::State& state) {
  sqlite3* db = OpenSqlite();
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM campings ORDER BY plaats COLLATE NOCASE", -1, &scan,
                     nullptr);
  for (auto _ : state) {
    uint32_t count = 0;
    while (sqlite3_step(scan) == SQLITE_ROW) {
      for (int column = 0; column < 6; ++column) {
        benchmark::DoNotOptimize(sqlite3_column_text(scan, column));
      }
      ++count;
    }
    sqlite3_reset(scan);
    Check(count == kRows, state, "row count");
  }
  sqlite3_finalize(scan);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(BM_TableAdd_Tentaria)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableAdd_Sqlite)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableLookup_Tentaria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableLookup_Sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableOrderedRead_Tentaria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableOrderedRead_Sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
