#include "tools/tvn/table_access.h"

#include <filesystem>
#include <utility>

#include "platform/file.h"
#include "runtime/collation.h"
#include "storage/table_definition_stream.h"
#include "storage/table_name.h"

namespace tentaria::tvn {
namespace {

constexpr int kFileNotFound = 2;
constexpr int kRecordNotFound = 35;

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool IsExistingDirectory(std::string_view path) {
  std::error_code ignored;
  return std::filesystem::is_directory(std::filesystem::path(std::string(path)), ignored);
}

}  // namespace

Status OpenForReading(const std::string& path, const std::string& owner,
                      std::unique_ptr<storage::RecordFile>* file) {
  storage::RecordFileOptions options;
  options.owner_password = owner;
  return storage::RecordFile::Open(platform::FileSystem::Default(), path,
                                   platform::open_mode::kRead | platform::open_mode::kDenyWrite,
                                   platform::Disposition::kOpenExisting, std::move(options), file);
}

Status ListTables(storage::RecordFile* file, std::vector<TableEntry>* tables) {
  std::unique_ptr<storage::RecordCursor> cursor = file->NewCursor();
  const std::string prefix(1, static_cast<char>(storage::kTableNameKind));
  Status s = cursor->Seek(prefix);
  for (; s.ok() && cursor->Valid() && cursor->key().starts_with(prefix); s = cursor->Next()) {
    TableEntry entry;
    entry.name = std::string(cursor->key().substr(1));
    s = storage::DecodeTableNumber(cursor->record().substr(cursor->key().size()), &entry.number);
    if (!s.ok()) return s;
    tables->push_back(std::move(entry));
  }
  return s;
}

Status LoadTable(storage::RecordFile* file, std::string_view name, StoredTable* table) {
  std::string key = storage::TableNameKey(name);
  std::string record;
  Status s = file->Get(key, &record);
  if (s.code() == kRecordNotFound) {
    return Status::Error(kFileNotFound, "the file has no table " + std::string(name));
  }
  if (!s.ok()) return s;
  uint32_t number = 0;
  s = storage::DecodeTableNumber(std::string_view(record).substr(key.size()), &number);
  if (!s.ok()) return s;

  storage::DefinitionBlockSource source = [file, number](uint16_t block, std::string* data,
                                                         bool* found) {
    std::string block_key = storage::DefinitionBlockKey(number, block);
    std::string block_record;
    Status got = file->Get(block_key, &block_record);
    *found = got.ok();
    if (got.code() == kRecordNotFound) return Status::Ok();
    if (!got.ok()) return got;
    *data = block_record.substr(block_key.size());
    return Status::Ok();
  };
  storage::FileDescriptor definition;
  s = storage::ReadDefinition(source, &definition);
  if (!s.ok()) return s;

  storage::KeyCollation collation;
  std::string sort_key = storage::SortOrderKey(number);
  std::string sort_order;
  s = file->Get(sort_key, &sort_order);
  if (s.ok()) {
    runtime::CollationTables tables;
    bool oem = false;
    s = storage::DecodeSortOrder(std::string_view(sort_order).substr(sort_key.size()), &tables,
                                 &oem);
    if (!s.ok()) return s;
    collation = storage::KeyCollation(tables, oem);
    if (oem) definition.attributes |= storage::file_attribute::OEM;
  } else if (s.code() != kRecordNotFound) {
    return s;
  }
  table->name = std::string(name);
  table->number = number;
  table->definition = std::move(definition);
  table->collation = collation;
  return Status::Ok();
}

Status ReadCounters(storage::RecordFile* file, uint32_t table, uint8_t subtype,
                    storage::Counters* counters) {
  std::string key = storage::CountersKey(table, subtype);
  std::string record;
  Status s = file->Get(key, &record);
  if (!s.ok()) return s;
  return storage::DecodeCounters(std::string_view(record).substr(key.size()), counters);
}

Status OpenTableForReading(std::string_view name, const std::string& owner,
                           std::unique_ptr<storage::RecordFile>* file, StoredTable* table) {
  storage::TableName split;
  Status s = storage::SplitTableName(name, IsExistingDirectory, &split);
  if (s.ok()) s = OpenForReading(split.path, owner, file);
  if (s.ok()) s = LoadTable(file->get(), split.table, table);
  return s;
}

int FindKey(const storage::FileDescriptor& definition, std::string_view name) {
  std::string wanted = Upper(name);
  for (size_t k = 0; k < definition.keys.size(); ++k) {
    const storage::KeyDescriptor& key = definition.keys[k];
    if (Upper(key.label) == wanted ||
        (!key.external_name.empty() && Upper(key.external_name) == wanted)) {
      return static_cast<int>(k);
    }
  }
  return -1;
}

}  // namespace tentaria::tvn
