// ViewDescriptor: the static description of a view — its files, primary
// file first, and the tree of file nodes that says how they are joined and
// which of their fields are projected.
//
// Byte form of the tree: a pre-order walk of the nodes, each node
//
//   size        field
//   1           join specification n: 0 for the primary node; FFh: a
//               zero-terminated join expression follows; otherwise n
//               16-bit field numbers follow, the parent's linking fields
//   1           inner flag: non-zero for an inner join (joined nodes)
//   2           projection count; FFFFh: no projection (all fields and
//               memos)
//   2 per entry projection entries: a field number, or FFFFh followed by
//               2 more bytes, a memo number
//   1           child count
//   ...         the children, in the same form
//
// Numbers are little-endian and count from 1.  Nesting deeper than 20
// levels is refused.
#ifndef TENTARIA_VIEWS_VIEW_DESCRIPTOR_H_
#define TENTARIA_VIEWS_VIEW_DESCRIPTOR_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "storage/declared_file.h"

namespace tentaria::views {

inline constexpr int kMaxViewNesting = 20;

struct ProjectionEntry {
  bool memo = false;
  uint16_t number = 0;  // from 1

  friend bool operator==(const ProjectionEntry&, const ProjectionEntry&) = default;
};

struct ViewNodeSpec {
  std::vector<uint16_t> link_fields;  // the parent's fields, from 1
  std::optional<std::string> join_expression;
  bool inner = false;
  bool projected = false;
  std::vector<ProjectionEntry> projection;
  std::vector<ViewNodeSpec> children;

  friend bool operator==(const ViewNodeSpec&, const ViewNodeSpec&) = default;
};

// An entry of the view's file list: the file, and for a node joined by
// linking fields the key of that file the link uses (from 0).
struct ViewFileEntry {
  storage::DeclaredFile* file = nullptr;
  int key = -1;
};

struct ViewDescriptor {
  std::vector<ViewFileEntry> files;  // in pre-order, primary file first
  std::string nodes;                 // the byte form above
};

std::string EncodeViewNodes(const ViewNodeSpec& root);
// Fails with 47 for a byte string that ends early, has bytes left over, or
// nests deeper than 20 levels.
Status DecodeViewNodes(std::string_view bytes, ViewNodeSpec* root);
// The number of nodes in the tree.
size_t CountViewNodes(const ViewNodeSpec& root);

// The text form for traces, lines ending in CR LF:
//
//   VIEW(FILE)
//     PROJECT(FIELD(1),MEMO(2))
//     JOIN(KEY,FIELD(3)),INNER
//       ...the joined node's own lines...
//     END
//   END
std::string ViewDescriptorText(const ViewNodeSpec& root);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_VIEW_DESCRIPTOR_H_
