#include "storage/table_definition_records.h"

#include "storage/bytes.h"
#include "storage/internal_fault.h"

namespace tentaria::storage {
namespace {

constexpr size_t kCountersSize = 8;

std::string KindKey(uint32_t table, uint8_t kind) {
  std::string key = TablePrefix(table);
  key.push_back(static_cast<char>(kind));
  return key;
}

const uint8_t* Bytes(std::string_view data) {
  return reinterpret_cast<const uint8_t*>(data.data());
}

}  // namespace

std::string TablePrefix(uint32_t table) {
  std::string prefix(4, '\0');
  StoreBigU32(reinterpret_cast<uint8_t*>(prefix.data()), table);
  return prefix;
}

std::string DefinitionBlockKey(uint32_t table, uint16_t block) {
  std::string key = KindKey(table, kDefinitionBlockKind);
  key.push_back(static_cast<char>(block & 0xFF));
  key.push_back(static_cast<char>(block >> 8));
  return key;
}

std::string CountersKey(uint32_t table, uint8_t subtype) {
  std::string key = KindKey(table, kCountersKind);
  key.push_back(static_cast<char>(subtype));
  return key;
}

std::string EncodeCounters(const Counters& counters) {
  std::string data(kCountersSize, '\0');
  uint8_t* p = reinterpret_cast<uint8_t*>(data.data());
  StoreU32(p, counters.count);
  StoreU32(p + 4, counters.out_of_date);
  return data;
}

Status DecodeCounters(std::string_view data, Counters* counters) {
  if (data.size() < kCountersSize) {
    return Status::Error(error_code::kInvalidDataFile, "counters record too short");
  }
  counters->count = LoadU32(Bytes(data));
  counters->out_of_date = LoadU32(Bytes(data) + 4);
  return Status::Ok();
}

std::vector<KeyedRecord> NewTableCounters(uint32_t table, size_t key_count) {
  std::vector<KeyedRecord> records;
  records.push_back({CountersKey(table, kRowsCounter), EncodeCounters({})});
  for (size_t key = 0; key < key_count; ++key) {
    records.push_back({CountersKey(table, static_cast<uint8_t>(key)), EncodeCounters({})});
  }
  return records;
}

std::string SortOrderKey(uint32_t table) {
  std::string key = KindKey(table, kSortOrderKind);
  key.push_back('\x01');
  return key;
}

std::string EncodeSortOrder(const runtime::CollationTables& tables, bool oem) {
  std::string data(1 + runtime::kCollationTablesSize, '\0');
  data[0] = oem ? '\x01' : '\0';
  runtime::SerializeCollation(tables, reinterpret_cast<uint8_t*>(data.data()) + 1);
  return data;
}

Status DecodeSortOrder(std::string_view data, runtime::CollationTables* tables, bool* oem) {
  if (data.size() != 1 + runtime::kCollationTablesSize ||
      !runtime::DeserializeCollation(Bytes(data) + 1, data.size() - 1, tables)) {
    return Status::Error(error_code::kInvalidDataFile, "sort-order record of the wrong size");
  }
  *oem = data[0] != 0;
  return Status::Ok();
}

}  // namespace tentaria::storage
