// What a control shows and edits: its use variable, reached through a
// binding so that the framework can bind a record field later.  Values
// travel as picture values (a number as its decimal text, a text as it is),
// the form display pictures format and read back.
#ifndef TENTARIA_UI_BINDING_H_
#define TENTARIA_UI_BINDING_H_

#include "runtime/picture_value.h"

namespace tentaria::ui {

class Binding {
 public:
  virtual ~Binding() = default;
  virtual runtime::PictureValue Get() const = 0;
  virtual void Set(const runtime::PictureValue& value) = 0;
};

// A binding to a variable that the binding itself holds (a procedure's
// local, a test's variable).
class VariableBinding : public Binding {
 public:
  VariableBinding() = default;
  explicit VariableBinding(runtime::PictureValue value) : value_(std::move(value)) {}

  runtime::PictureValue Get() const override { return value_; }
  void Set(const runtime::PictureValue& value) override { value_ = value; }

 private:
  runtime::PictureValue value_;
};

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_BINDING_H_
