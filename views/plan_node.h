// The plan of an open view: a tree of record sources.  The view engine
// calls the root; each node calls its children and reads the record files
// only through the generic file interface (DeclaredFile).
//
// Every operation returns the file interface's error code; 33 "Record Not
// Available" means that a node has no further record in its direction.
#ifndef TENTARIA_VIEWS_PLAN_NODE_H_
#define TENTARIA_VIEWS_PLAN_NODE_H_

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "views/expression_node.h"
#include "views/plan_field.h"
#include "views/plan_range.h"

namespace tentaria::views {

inline constexpr int kNoMoreRecords = 33;
inline constexpr int kRecordNotFound = 35;
inline constexpr int kUnknownErrorPosted = 81;

// One component of a view's order.
struct OrderEntry {
  NodePtr expression;
  bool descending = false;
  uint32_t offset = 0;  // where the component's text starts in the order text
  uint32_t length = 0;
};

// What every node of one plan shares.
struct PlanContext {
  std::vector<PlanFile> files;
  std::span<const OrderEntry> order;
};

class PlanNode;
using PlanNodePtr = std::unique_ptr<PlanNode>;

class PlanNode {
 public:
  explicit PlanNode(const PlanContext* context) : context_(context) {}
  virtual ~PlanNode() = default;

  // Back to before the first record in the current direction.
  virtual int Start() = 0;
  // The next record in the current direction into the record buffers.
  virtual int Fetch() = 0;
  // Appends the node's current position: per file, a 16-bit little-endian
  // length and the file's own saved position.
  virtual int Position(std::string* position) = 0;
  // Reads again the records of a position; consumes the node's items.
  virtual int Reget(std::string_view* position) = 0;
  // The next fetch starts at the records of a position; consumes the items.
  virtual int Reset(std::string_view* position) = 0;
  // Clears the record buffers of the node's files.
  virtual void Clear() = 0;
  virtual void Reverse() = 0;
  // Records the node delivers, or -1 when that cannot be known unread.
  virtual int64_t Count() { return -1; }
  // Start so that the first record is the first at or after the values of
  // the leading order components.
  virtual int StartAt(std::span<const Value> values) {
    static_cast<void>(values);
    return Start();
  }
  // Start so that the first record is the primary file's record with this
  // number (a node that cannot simply starts).
  virtual int StartAtRecord(uint32_t record_number) {
    static_cast<void>(record_number);
    return Start();
  }
  // The levels of the files under the node.
  virtual int FirstLevel() const = 0;
  virtual int LastLevel() const = 0;
  // Takes a condition; returns the node that now heads the branch (by
  // default a FilterNode over this one).
  virtual PlanNodePtr Attach(PlanNodePtr self, NodePtr condition);
  // Offers a key range; true when it was taken.  A node may replace itself
  // through `self` (a FileScan becomes a KeyScan).
  virtual bool OfferRange(PlanNodePtr& self, const FieldRange& range) {
    static_cast<void>(self);
    static_cast<void>(range);
    return false;
  }
  // How many leading components of the order the node delivers in order;
  // may replace itself by a node that does.
  virtual size_t OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) {
    static_cast<void>(self);
    static_cast<void>(order);
    return 0;
  }
  // Arms change watching on the records the next read reads.
  virtual void Watch() = 0;
  // The node and its children as text, one node a line, indented by depth.
  virtual void Describe(std::string* out, int depth) const = 0;

 protected:
  const PlanContext* context_;
};

// Appends one file's item to a position value.
void AppendPositionItem(std::string* position, std::string_view item);
// Takes one item off a position value; false when the value runs out.
bool TakePositionItem(std::string_view* position, std::string* item);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_PLAN_NODE_H_
