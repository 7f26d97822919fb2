#include "views/view_descriptor.h"

namespace tentaria::views {

namespace {

constexpr int kInvalidDeclaration = 47;
constexpr uint8_t kJoinExpression = 0xFF;
constexpr uint16_t kNoProjection = 0xFFFF;
constexpr uint16_t kMemoEntry = 0xFFFF;

void Put16(std::string* out, uint16_t value) {
  out->push_back(static_cast<char>(value & 0xFF));
  out->push_back(static_cast<char>(value >> 8));
}

void EncodeNode(const ViewNodeSpec& node, std::string* out) {
  if (node.join_expression) {
    out->push_back(static_cast<char>(kJoinExpression));
    out->append(*node.join_expression);
    out->push_back('\0');
  } else {
    out->push_back(static_cast<char>(node.link_fields.size()));
    for (uint16_t field : node.link_fields) Put16(out, field);
  }
  out->push_back(node.inner ? 1 : 0);
  if (!node.projected) {
    Put16(out, kNoProjection);
  } else {
    Put16(out, static_cast<uint16_t>(node.projection.size()));
    for (const ProjectionEntry& entry : node.projection) {
      if (entry.memo) Put16(out, kMemoEntry);
      Put16(out, entry.number);
    }
  }
  out->push_back(static_cast<char>(node.children.size()));
  for (const ViewNodeSpec& child : node.children) EncodeNode(child, out);
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool Byte(uint8_t* value) {
    if (bytes_.empty()) return false;
    *value = static_cast<uint8_t>(bytes_[0]);
    bytes_.remove_prefix(1);
    return true;
  }
  bool Word(uint16_t* value) {
    uint8_t low = 0, high = 0;
    if (!Byte(&low) || !Byte(&high)) return false;
    *value = static_cast<uint16_t>(low | (high << 8));
    return true;
  }
  bool Text(std::string* text) {
    size_t end = bytes_.find('\0');
    if (end == std::string_view::npos) return false;
    text->assign(bytes_.substr(0, end));
    bytes_.remove_prefix(end + 1);
    return true;
  }
  bool empty() const { return bytes_.empty(); }

 private:
  std::string_view bytes_;
};

bool DecodeNode(Reader* in, int depth, ViewNodeSpec* node) {
  if (depth > kMaxViewNesting) return false;
  uint8_t links = 0;
  if (!in->Byte(&links)) return false;
  if (links == kJoinExpression) {
    std::string text;
    if (!in->Text(&text)) return false;
    node->join_expression = std::move(text);
  } else {
    node->link_fields.resize(links);
    for (uint16_t& field : node->link_fields) {
      if (!in->Word(&field)) return false;
    }
  }
  uint8_t inner = 0;
  uint16_t count = 0;
  if (!in->Byte(&inner) || !in->Word(&count)) return false;
  node->inner = inner != 0;
  node->projected = count != kNoProjection;
  for (uint16_t i = 0; node->projected && i < count; ++i) {
    ProjectionEntry entry;
    if (!in->Word(&entry.number)) return false;
    if (entry.number == kMemoEntry) {
      entry.memo = true;
      if (!in->Word(&entry.number)) return false;
    }
    node->projection.push_back(entry);
  }
  uint8_t children = 0;
  if (!in->Byte(&children)) return false;
  node->children.resize(children);
  for (ViewNodeSpec& child : node->children) {
    if (!DecodeNode(in, depth + 1, &child)) return false;
  }
  return true;
}

void NodeText(const ViewNodeSpec& node, int depth, std::string* out) {
  std::string indent(static_cast<size_t>(depth) * 2, ' ');
  if (node.projected) {
    *out += indent + "PROJECT(";
    for (size_t i = 0; i < node.projection.size(); ++i) {
      if (i > 0) *out += ",";
      *out += node.projection[i].memo ? "MEMO(" : "FIELD(";
      *out += std::to_string(node.projection[i].number) + ")";
    }
    *out += ")\r\n";
  }
  for (const ViewNodeSpec& child : node.children) {
    *out += indent + "JOIN(";
    if (child.join_expression) {
      *out += *child.join_expression;
    } else {
      *out += "KEY";
      for (uint16_t field : child.link_fields) *out += ",FIELD(" + std::to_string(field) + ")";
    }
    *out += ")";
    if (child.inner) *out += ",INNER";
    *out += "\r\n";
    NodeText(child, depth + 1, out);
    *out += indent + "END\r\n";
  }
}

}  // namespace

std::string EncodeViewNodes(const ViewNodeSpec& root) {
  std::string out;
  EncodeNode(root, &out);
  return out;
}

Status DecodeViewNodes(std::string_view bytes, ViewNodeSpec* root) {
  Reader in(bytes);
  *root = ViewNodeSpec();
  if (!DecodeNode(&in, 1, root)) {
    return Status::Error(kInvalidDeclaration,
                         "the view's node description is cut short or too deep");
  }
  if (!in.empty()) {
    return Status::Error(kInvalidDeclaration, "bytes are left over after the view's nodes");
  }
  return Status::Ok();
}

size_t CountViewNodes(const ViewNodeSpec& root) {
  size_t count = 1;
  for (const ViewNodeSpec& child : root.children) count += CountViewNodes(child);
  return count;
}

std::string ViewDescriptorText(const ViewNodeSpec& root) {
  std::string out = "VIEW(FILE)\r\n";
  NodeText(root, 1, &out);
  out += "END\r\n";
  return out;
}

}  // namespace tentaria::views
