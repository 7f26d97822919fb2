// The record file engine beside SQLite, in one run: one million records of
// about 260 bytes with 9-byte keys inserted in one commit, random look-ups,
// and a full ordered scan.  Both store to real files in a temporary folder
// and commit with their ordinary durability (flushes to disk).
#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>

#include <benchmark/benchmark.h>

#include "platform/file.h"
#include "storage/record_file.h"

namespace {

using tentaria::Status;
using tentaria::storage::RecordFile;

constexpr uint32_t kRecords = 1000000;
constexpr size_t kRecordLength = 260;
constexpr int kLookups = 100000;

std::string Key(uint32_t row) {
  std::string key = {0, 0, 0, 1, '\xF3'};
  for (int shift = 24; shift >= 0; shift -= 8) key.push_back(static_cast<char>(row >> shift));
  return key;
}

// A row-like record: the key, then text that compresses somewhat.
std::string Record(uint32_t row) {
  std::string record = Key(row);
  std::string text = "Camping " + std::to_string(row) + " aan het water, ";
  while (record.size() < kRecordLength) record += text;
  record.resize(kRecordLength);
  record.replace(kRecordLength - 40, 20, 20, ' ');
  return record;
}

// A temporary folder for the benchmark's files, removed with them when
// the program ends: each run writes some hundreds of megabytes.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "storage-bench-XXXXXX").string();
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

std::string TentariaPath() { return Folder() + "/bench.tvn"; }
std::string SqlitePath() { return Folder() + "/bench.sqlite"; }

std::unique_ptr<RecordFile> OpenTentaria(tentaria::platform::Disposition disposition) {
  std::unique_ptr<RecordFile> file;
  Status s = RecordFile::Open(
      tentaria::platform::FileSystem::Default(), TentariaPath(),
      tentaria::platform::open_mode::kReadWrite | tentaria::platform::open_mode::kDenyAll,
      disposition, {}, &file);
  if (!s.ok()) std::fprintf(stderr, "open: %s\n", s.ToString().c_str());
  return file;
}

// Both engines keep a page cache of the same size: SQLite 64 MiB, the
// record file its default budget of 64 MiB of clean pages.
sqlite3* OpenSqlite() {
  sqlite3* db = nullptr;
  sqlite3_open(SqlitePath().c_str(), &db);
  sqlite3_exec(db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
  return db;
}

void Check(bool ok, benchmark::State& state, const char* what) {
  if (!ok) state.SkipWithError(what);
}

void BM_Insert_Tentaria(benchmark::State& state) {
  for (auto _ : state) {
    std::filesystem::remove(TentariaPath());
    auto file = OpenTentaria(tentaria::platform::Disposition::kCreateNew);
    for (uint32_t row = 0; row < kRecords; ++row) {
      Check(file->Insert(Record(row), 9).ok(), state, "insert");
    }
    Check(file->Flush().ok(), state, "flush");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Insert_Sqlite(benchmark::State& state) {
  for (auto _ : state) {
    std::filesystem::remove(SqlitePath());
    sqlite3* db = OpenSqlite();
    sqlite3_exec(db, "CREATE TABLE r (k BLOB PRIMARY KEY, v BLOB) WITHOUT ROWID", nullptr, nullptr,
                 nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO r VALUES (?, ?)", -1, &insert, nullptr);
    for (uint32_t row = 0; row < kRecords; ++row) {
      std::string record = Record(row);
      sqlite3_bind_blob(insert, 1, record.data(), 9, SQLITE_TRANSIENT);
      sqlite3_bind_blob(insert, 2, record.data() + 9, static_cast<int>(record.size() - 9),
                        SQLITE_TRANSIENT);
      Check(sqlite3_step(insert) == SQLITE_DONE, state, "insert");
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK, state, "commit");
    sqlite3_close(db);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Lookup_Tentaria(benchmark::State& state) {
  auto file = OpenTentaria(tentaria::platform::Disposition::kOpenExisting);
  std::mt19937 random(1);
  std::string record;
  for (auto _ : state) {
    for (int i = 0; i < kLookups; ++i) {
      Check(file->Get(Key(random() % kRecords), &record).ok(), state, "get");
    }
  }
  state.SetItemsProcessed(state.iterations() * kLookups);
}

void BM_Lookup_Sqlite(benchmark::State& state) {
  sqlite3* db = OpenSqlite();
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(db, "SELECT v FROM r WHERE k = ?", -1, &select, nullptr);
  std::mt19937 random(1);
  std::string record;
  for (auto _ : state) {
    for (int i = 0; i < kLookups; ++i) {
      std::string key = Key(random() % kRecords);
      sqlite3_bind_blob(select, 1, key.data(), 9, SQLITE_STATIC);
      Check(sqlite3_step(select) == SQLITE_ROW, state, "select");
      record.assign(static_cast<const char*>(sqlite3_column_blob(select, 0)),
                    sqlite3_column_bytes(select, 0));
      sqlite3_reset(select);
    }
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kLookups);
}

void BM_Scan_Tentaria(benchmark::State& state) {
  auto file = OpenTentaria(tentaria::platform::Disposition::kOpenExisting);
  for (auto _ : state) {
    auto cursor = file->NewCursor();
    uint64_t count = 0;
    for (Status s = cursor->SeekToFirst(); s.ok() && cursor->Valid(); s = cursor->Next()) {
      benchmark::DoNotOptimize(cursor->record().data());
      ++count;
    }
    Check(count == kRecords, state, "scan count");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Scan_Sqlite(benchmark::State& state) {
  sqlite3* db = OpenSqlite();
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(db, "SELECT k, v FROM r ORDER BY k", -1, &scan, nullptr);
  for (auto _ : state) {
    uint64_t count = 0;
    while (sqlite3_step(scan) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_blob(scan, 1));
      ++count;
    }
    sqlite3_reset(scan);
    Check(count == kRecords, state, "scan count");
  }
  sqlite3_finalize(scan);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

BENCHMARK(BM_Insert_Tentaria)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Insert_Sqlite)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lookup_Tentaria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lookup_Sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan_Tentaria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan_Sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
