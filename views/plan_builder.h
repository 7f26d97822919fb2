// Building the plan of a view from its description, filter and order.
#ifndef TENTARIA_VIEWS_PLAN_BUILDER_H_
#define TENTARIA_VIEWS_PLAN_BUILDER_H_

#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "views/name_table.h"
#include "views/plan_node.h"
#include "views/view_descriptor.h"

namespace tentaria::views {

struct PlanInputs {
  const ViewNodeSpec* nodes = nullptr;
  std::span<const ViewFileEntry> files;
  std::string_view filter;  // empty: no filter
  std::span<const OrderEntry> order;
  bool order_set = false;  // without an order, the view follows the primary file's key
  const NameScopes* names = nullptr;
  bool trace_into_files = false;  // false: the files' own traces are silent while the plan exists
};

// Keeps the operation traces of record files silent for its lifetime, so
// that a traced file does not log every read a view makes of it.
class TraceSilence {
 public:
  TraceSilence() = default;
  explicit TraceSilence(std::vector<storage::DeclaredFile*> files);
  TraceSilence(TraceSilence&& other) noexcept : files_(std::exchange(other.files_, {})) {}
  TraceSilence& operator=(TraceSilence&& other) noexcept;
  TraceSilence(const TraceSilence&) = delete;
  TraceSilence& operator=(const TraceSilence&) = delete;
  ~TraceSilence() { Restore(); }

 private:
  void Restore();

  std::vector<storage::DeclaredFile*> files_;
};

struct Plan {
  std::unique_ptr<PlanContext> context;
  PlanNodePtr root;
  TraceSilence silence;
};

// Builds and starts the plan.  Fails with the error code the build or the
// start left (801 for a filter or join expression naming an unbound
// variable); the plan is then empty.
int BuildPlan(const PlanInputs& inputs, Plan* plan);

// The rewrite of SUB(f, 1, n) = c, for a text field f of a view file or
// UPPER of one and a c of length n that reads no view file, into f >= c
// AND f < s, with s the collation successor of c; everything else is left
// alone.  Levels must be assigned; the rewritten parts get theirs.
void NormaliseFilter(NodePtr* filter);

// The collation successor of a text: the lowest text above every text that
// starts with it.  None for a text of highest-weight characters only, an
// empty text, or one that ends in a space.
std::optional<std::string> CollationSuccessor(std::string_view text);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_PLAN_BUILDER_H_
