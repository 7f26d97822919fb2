#include "storage/table_name.h"

#include "platform/charset.h"
#include "storage/bytes.h"
#include "storage/internal_fault.h"
#include "storage/table_definition.h"

namespace tentaria::storage {
namespace {

std::string_view ClipTrailingBlanks(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

bool HasExtension(std::string_view path) {
  size_t last_part = path.find_last_of("\\/:");
  size_t start = last_part == std::string_view::npos ? 0 : last_part + 1;
  return path.find('.', start) != std::string_view::npos;
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(platform::CharUpper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace

Status SplitTableName(std::string_view name, const IsDirectory& is_directory, TableName* result) {
  name = ClipTrailingBlanks(name);
  std::string_view path = name;
  std::string_view table;
  bool named = false;
  for (size_t at = name.find(kTableSeparator); at != std::string_view::npos;
       at = name.find(kTableSeparator, at + 1)) {
    std::string_view left = name.substr(0, at);
    if (!left.empty() && is_directory && is_directory(left)) continue;
    path = left;
    table = name.substr(at + kTableSeparator.size());
    named = true;
    break;
  }
  std::string full_path(path);
  if (!full_path.empty() && !HasExtension(full_path)) full_path.append(kDefaultExtension);
  if (full_path.empty() || full_path.size() >= kMaxPathLength) {
    return Status::Error(error_code::kInvalidFilename, "table name: invalid path");
  }
  result->path = std::move(full_path);
  result->table = table.empty() ? std::string(kUnnamedTable) : UpperCase(table);
  result->named = named;
  return Status::Ok();
}

std::string TableNameKey(std::string_view table) {
  std::string key(1, static_cast<char>(kTableNameKind));
  key.append(table);
  return key;
}

std::string EncodeTableNumber(uint32_t table) {
  std::string data(4, '\0');
  StoreBigU32(reinterpret_cast<uint8_t*>(data.data()), table);
  return data;
}

Status DecodeTableNumber(std::string_view data, uint32_t* table) {
  if (data.size() != 4) {
    return Status::Error(error_code::kInvalidDataFile, "table name record of the wrong size");
  }
  *table = LoadBigU32(reinterpret_cast<const uint8_t*>(data.data()));
  return Status::Ok();
}

}  // namespace tentaria::storage
