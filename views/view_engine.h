// The view engine: an open view over a primary file and the files joined
// to it, driven through the numbered operations of the file interface.
//
// Call takes an operation number and its arguments and returns the error
// code (also left in the runtime's error state).  Arguments:
//
//   SETview            numbers[0] count of order components to position at
//   SKIP               numbers[0] count, negative backwards
//   REGETfile, RESETfile
//                      texts[0] a position from POSITIONfile
//   HOLDfilesec        numbers[0] seconds (passed to the primary file)
//   SET_PROPERTY       numbers[0] property, numbers[1] index (0: none);
//                      texts[0] the value (OrderValueProperty: without a
//                      text, numbers[2] as an integer value)
//   GET_PROPERTY       numbers[0] property, numbers[1] index (0: none)
//
// Answers: POSITIONfile and GET_PROPERTY of a text give answer_text();
// RECORDSfile and the counts answer(); FileProperty answer_file().
//
// With "Profile" non-zero in section "RTVIEW" of the user profile, each
// operation is appended to the trace file ("TraceFile", default VIEW.LOG,
// placed as the driver's trace is) as a file-trace line prefixed with
// "VIEW:" and the view's identity in hexadecimal; the first line of a view
// is preceded by its description in text form.  Unless "TraceIntoFiles" is
// non-zero there, the record files' own traces (section "RTTAVRIN") are
// silent while the view has a plan, so they show the program's reads, not
// every step of the view.
//
// A view position is, for each file of the view in pre-order, a 16-bit
// little-endian length followed by that file's own saved position (of its
// key when the view reads the file by a key).
#ifndef TENTARIA_VIEWS_VIEW_ENGINE_H_
#define TENTARIA_VIEWS_VIEW_ENGINE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "storage/file_interface.h"
#include "views/name_table.h"
#include "views/plan_builder.h"
#include "views/view_descriptor.h"

namespace tentaria::views {

namespace view_property {
inline constexpr int64_t FilterProperty = 0x7CB8;
inline constexpr int64_t OrderProperty = 0x7CE6;
inline constexpr int64_t OrderValueProperty = 0x7345;
inline constexpr int64_t FileCountProperty = 0x7325;
inline constexpr int64_t FileProperty = 0x7326;
}  // namespace view_property

inline constexpr int kFileNotOpen = 37;

class ViewEngine {
 public:
  // The view's files must stay open and in place while the view is used
  // and until it is destroyed; its filter and order name fields through
  // `names`.  The trace switches are read from the user profile here.
  explicit ViewEngine(ViewDescriptor descriptor, const NameScopes* names = &ProcessNames());

  int Call(int operation, const storage::OperationArguments& args = {});

  int Open() { return Call(storage::op::OPEN); }
  int Close() { return Call(storage::op::CLOSE); }
  int SetView(int64_t count = 0) { return Call(storage::op::SETview, {{count}, {}}); }
  int Next() { return Call(storage::op::NEXT); }
  int Previous() { return Call(storage::op::PREVIOUS); }
  int Skip(int64_t count) { return Call(storage::op::SKIP, {{count}, {}}); }
  int Position(std::string* position);
  int Reget(const std::string& position) { return Call(storage::op::REGETfile, {{}, {position}}); }
  int Reset(const std::string& position) { return Call(storage::op::RESETfile, {{}, {position}}); }
  int ResetView() { return Call(storage::op::RESETviewfile); }
  int Records(int64_t* count);
  int Watch() { return Call(storage::op::WATCH); }
  int Flush() { return Call(storage::op::FLUSH); }
  int SetFilter(const std::string& text);
  int SetOrder(const std::string& text);
  int SetOrderValue(int64_t component, const std::string& value);

  int64_t answer() const { return answer_; }
  const std::string& answer_text() const { return answer_text_; }
  storage::DeclaredFile* answer_file() const { return answer_file_; }

  // The plan as text (empty while there is none), for showing how a view
  // reads its files.
  std::string DescribePlan() const;
  // The number of order components in force.
  size_t order_size() const { return order_.size(); }
  bool open() const { return open_; }

 private:
  int Dispatch(int operation, const storage::OperationArguments& args);
  int Step(bool backward);
  int Build();
  void DiscardPlan();
  void DiscardIfStale();
  int SetProperty(const storage::OperationArguments& args);
  int GetProperty(const storage::OperationArguments& args);
  void ParseOrder(const std::string& text);
  void Trace(int operation, int code, int64_t started);
  storage::DeclaredFile& primary() const { return *descriptor_.files.front().file; }

  ViewDescriptor descriptor_;
  ViewNodeSpec nodes_;
  int nodes_error_ = 0;
  const NameScopes* names_;
  bool open_ = false;
  bool stale_ = false;
  std::string filter_;
  std::string order_text_;
  std::vector<OrderEntry> order_;
  bool order_set_ = false;
  Plan plan_;
  bool watch_pending_ = false;
  bool backward_ = false;
  std::vector<std::optional<Value>> positioning_;
  uint32_t saved_record_ = 0;
  int pending_ = 0;  // 1: start at the positioning values, 2: at the saved record

  bool profile_ = false;
  bool trace_into_files_ = false;
  std::string trace_file_;
  bool traced_ = false;

  int64_t answer_ = 0;
  std::string answer_text_;
  storage::DeclaredFile* answer_file_ = nullptr;
};

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_VIEW_ENGINE_H_
