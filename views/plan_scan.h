// The nodes that read one file: FileScan reads it in record order or by
// its key from end to end; KeyScan reads it by a chosen key, within the
// key range that conditions allow, or from positioning values.
#ifndef TENTARIA_VIEWS_PLAN_SCAN_H_
#define TENTARIA_VIEWS_PLAN_SCAN_H_

#include <optional>
#include <vector>

#include "views/plan_node.h"

namespace tentaria::views {

class FileScan : public PlanNode {
 public:
  // `record_order`: the scan keeps to record order and takes no key.
  FileScan(const PlanContext* context, int index, bool record_order);

  int Start() override;
  int Fetch() override;
  int Position(std::string* position) override;
  int Reget(std::string_view* position) override;
  int Reset(std::string_view* position) override;
  int StartAtRecord(uint32_t record_number) override;
  void Clear() override;
  void Reverse() override { backward_ = !backward_; }
  int64_t Count() override;
  int FirstLevel() const override { return index_ + 1; }
  int LastLevel() const override { return index_ + 1; }
  bool OfferRange(PlanNodePtr& self, const FieldRange& range) override;
  size_t OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) override;
  void Watch() override { watch_ = true; }
  void Describe(std::string* out, int depth) const override;

  bool record_order() const { return record_order_; }

 protected:
  storage::DeclaredFile& file() const { return *context_->files[index_].file; }
  const PlanFile& plan_file() const { return context_->files[index_]; }
  // Positions the file before its first read; 33 for an empty range.
  virtual int Begin();
  // Whether the record just read lies beyond the end of the range.
  virtual bool BeyondRange() const { return false; }
  // The key the scan reads by, -1 for record order.
  virtual int ReadKey() const { return -1; }
  // Whether the file is read with PREVIOUS.
  virtual bool ReadsBackward() const { return backward_; }
  int ReadOne();

  int index_;
  bool record_order_;
  bool backward_ = false;
  bool positioned_ = false;  // false: the next fetch positions anew
  bool watch_ = false;
};

class KeyScan : public FileScan {
 public:
  // Usable flags per key: 1 usable, -1 usable read backwards, 0 not usable.
  KeyScan(const FileScan& scan, std::vector<int> usable, bool order_fixed);

  int StartAt(std::span<const Value> values) override;
  int Reset(std::string_view* position) override;
  int StartAtRecord(uint32_t record_number) override;
  int64_t Count() override;
  bool OfferRange(PlanNodePtr& self, const FieldRange& range) override;
  size_t OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) override;
  void Describe(std::string* out, int depth) const override;

  // The key the scan reads by (choosing it when not yet chosen), and
  // whether it reads it backwards.
  int ChosenKey() const;
  bool ChosenBackward() const;

 protected:
  int Begin() override;
  bool BeyondRange() const override;
  int ReadKey() const override { return ChosenKey(); }
  bool ReadsBackward() const override { return backward_ != ChosenBackward(); }

 private:
  struct RangeCheck {
    int field = 0;
    NodePtr expression;  // the field, or UPPER(field)
    Value bound;
    bool strict = false;
    bool equality = false;
    bool values_descend = false;  // values fall along the scan
  };

  // Works out the range on the current record buffers: the end checks,
  // and with `write` the key value to position at.  False for an empty
  // range.
  bool ComputeRange(bool write);
  // Whether the range may be used with key `key`.
  bool Fits(const FieldRange& range, size_t key) const;
  const FieldRange* RangeFor(size_t key, size_t component) const;
  bool ComponentDescendsInScan(size_t key, size_t component) const;

  std::vector<int> usable_;
  bool order_fixed_;
  std::vector<FieldRange> ranges_;
  mutable int chosen_ = -1;
  std::vector<Value> start_values_;
  bool start_at_values_ = false;
  std::vector<RangeCheck> checks_;
  size_t ordered_components_ = 0;  // order components the key delivers
};

// The key choice for an order over a file's keys: narrows `usable` (keys
// not usable on entry stay so) and returns how many leading components the
// surviving keys deliver in order.  An empty order leaves `usable` alone.
size_t ChooseKeysForOrder(const PlanContext& context, int index, std::span<const OrderEntry> order,
                          std::vector<int>* usable);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_PLAN_SCAN_H_
