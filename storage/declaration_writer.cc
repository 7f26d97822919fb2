#include "storage/declaration_writer.h"

#include <algorithm>

#include "runtime/value_types.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;

std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  out.push_back('\'');
  return out;
}

std::string NameClause(std::string_view external_name) {
  return external_name.empty() ? std::string() : ",NAME(" + Quoted(external_name) + ")";
}

void WriteFileLine(std::string_view label, const FileDescriptor& file, std::string& out) {
  out.append(label).append(" FILE,DRIVER(").append(Quoted(file.driver));
  if (!file.driver_options.empty()) out.append(",").append(Quoted(file.driver_options));
  out.append(")");
  if (!file.owner_password.empty()) out.append(",OWNER(******)");
  out.append(NameClause(file.name));
  if (file.Has(file_attribute::CREATE)) out.append(",CREATE");
  if (file.Has(file_attribute::ENCRYPT)) out.append(",ENCRYPT");
  if (file.Has(file_attribute::RECLAIM)) out.append(",RECLAIM");
  if (file.Has(file_attribute::THREAD)) out.append(",THREAD");
  out.append("\r\n");
}

void WriteKeyLine(const KeyDescriptor& key, const RecordLayout& layout, std::string& out) {
  out.append(key.label).append(key.Has(key_attribute::INDEX) ? " INDEX(" : " KEY(");
  for (size_t i = 0; i < key.components.size(); ++i) {
    const KeyComponent& component = key.components[i];
    if (i > 0) out.push_back(',');
    out.push_back(component.descending() ? '-' : '+');
    if (component.field < layout.fields.size()) out.append(layout.fields[component.field].label);
  }
  out.append(")");
  if (key.Has(key_attribute::DUP)) out.append(",DUP");
  if (key.Has(key_attribute::OPT)) out.append(",OPT");
  if (key.Has(key_attribute::NOCASE)) out.append(",NOCASE");
  if (key.Has(key_attribute::PRIMARY)) out.append(",PRIMARY");
  out.append(NameClause(key.external_name)).append("\r\n");
}

void WriteMemoLine(const MemoDescriptor& memo, std::string& out) {
  out.append(memo.label);
  if (memo.blob()) {
    out.append(" BLOB");
  } else {
    out.append(" MEMO(").append(std::to_string(memo.size)).append(")");
  }
  out.append(NameClause(memo.external_name));
  if (memo.binary()) out.append(",BINARY");
  out.append("\r\n");
}

bool IsDecimal(int type) {
  return type == ToInt(TypeCode::DECIMAL) || type == ToInt(TypeCode::PDECIMAL);
}

bool IsString(int type) {
  return type == ToInt(TypeCode::STRING) || type == ToInt(TypeCode::CSTRING) ||
         type == ToInt(TypeCode::PSTRING);
}

// The field that field `index` lies over: an earlier field at the same
// offset, when the field does not start where the text puts it by itself.
const FieldDescriptor* OverField(const RecordLayout& layout, size_t index) {
  std::span<const FieldDescriptor> earlier(layout.fields.data(), index);
  const FieldDescriptor& field = layout.fields[index];
  if (field.offset == NextFieldOffset(earlier)) return nullptr;
  for (const FieldDescriptor& other : earlier) {
    if (other.offset == field.offset) return &other;
  }
  return nullptr;
}

void WriteFieldLine(const RecordLayout& layout, size_t index, std::string& out) {
  const FieldDescriptor& field = layout.fields[index];
  out.append(field.label).append(" ").append(runtime::DeclarationTypeName(field.type));
  if (IsDecimal(field.type)) {
    out.append("(")
        .append(std::to_string(field.digits))
        .append(",")
        .append(std::to_string(field.decimals))
        .append(")");
  } else if (IsString(field.type) && field.picture.empty()) {
    out.append("(").append(std::to_string(field.string_length)).append(")");
  } else if (!field.picture.empty()) {
    out.append("(@").append(field.picture).append(")");
  } else if (field.type == ToInt(TypeCode::GROUP)) {
    // A group's size is that of one element, as for a string.
    out.append("(")
        .append(std::to_string(field.size / std::max<uint32_t>(field.Elements(), 1)))
        .append(")");
  }
  if (!field.dimensions.empty()) {
    out.append(", DIM(");
    for (size_t i = 0; i < field.dimensions.size(); ++i) {
      if (i > 0) out.push_back(',');
      out.append(std::to_string(field.dimensions[i]));
    }
    out.append(")");
  }
  if (const FieldDescriptor* over = OverField(layout, index)) {
    out.append(", OVER(").append(over->label).append(")");
  }
  out.append(NameClause(field.external_name)).append("\r\n");
}

}  // namespace

uint32_t NextFieldOffset(std::span<const FieldDescriptor> earlier) {
  if (earlier.empty()) return 0;
  const FieldDescriptor& last = earlier.back();
  uint32_t last_end = uint32_t{last.offset} + last.size;
  for (const FieldDescriptor& group : earlier.first(earlier.size() - 1)) {
    uint32_t group_end = uint32_t{group.offset} + group.size;
    if (group.type == ToInt(TypeCode::GROUP) && group.offset <= last.offset &&
        last_end < group_end) {
      return last_end;
    }
  }
  uint32_t end = 0;
  for (const FieldDescriptor& field : earlier) {
    end = std::max(end, uint32_t{field.offset} + field.size);
  }
  return end;
}

std::string WriteDeclaration(std::string_view label, const FileDescriptor& file) {
  std::string out;
  WriteFileLine(label, file, out);
  for (const KeyDescriptor& key : file.keys) WriteKeyLine(key, file.layout, out);
  for (const MemoDescriptor& memo : file.memos) WriteMemoLine(memo, out);
  out.append("RECORD\r\n");
  for (size_t i = 0; i < file.layout.fields.size(); ++i) WriteFieldLine(file.layout, i, out);
  out.append("END\r\n");
  out.append("END\r\n\r\n");
  return out;
}

}  // namespace tentaria::storage
