#include "storage/declaration_writer.h"

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

void WriteFieldLine(const FieldDescriptor& field, std::string& out) {
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
  }
  if (!field.dimensions.empty()) {
    out.append(", DIM(");
    for (size_t i = 0; i < field.dimensions.size(); ++i) {
      if (i > 0) out.push_back(',');
      out.append(std::to_string(field.dimensions[i]));
    }
    out.append(")");
  }
  out.append(NameClause(field.external_name)).append("\r\n");
}

}  // namespace

std::string WriteDeclaration(std::string_view label, const FileDescriptor& file) {
  std::string out;
  WriteFileLine(label, file, out);
  for (const KeyDescriptor& key : file.keys) WriteKeyLine(key, file.layout, out);
  for (const MemoDescriptor& memo : file.memos) WriteMemoLine(memo, out);
  out.append("RECORD\r\n");
  for (const FieldDescriptor& field : file.layout.fields) WriteFieldLine(field, out);
  out.append("END\r\n");
  out.append("END\r\n\r\n");
  return out;
}

}  // namespace tentaria::storage
