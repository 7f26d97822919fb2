// Compiles and evaluates arbitrary expression text.  Besides crashes and
// sanitizer reports it checks that the text form of every compiled tree
// compiles back to an equal tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "runtime/error_state.h"
#include "runtime/value_types.h"
#include "views/expression_evaluator.h"
#include "views/expression_parser.h"
#include "views/expression_text.h"
#include "views/filter_analysis.h"
#include "views/name_table.h"

namespace {

using tentaria::runtime::ToInt;
using tentaria::runtime::TypeCode;
namespace views = tentaria::views;

struct Fields {
  std::int32_t number = 42;
  char text[10] = {'A', 'm', 's', 't', 'e', 'r', 'd', 'a', 'm', ' '};
  double real = -2.5;
  std::uint8_t decimal[3] = {0x01, 0x23, 0x45};
  std::int32_t vector[3] = {1, 2, 3};
};

views::NameScopes& Names() {
  static Fields fields;
  static views::NameScopes* names = [] {
    tentaria::runtime::SetRuntimeErrorHandler([](int, std::string_view) {});
    auto* table = new views::NameScopes;
    table->Bind("A", {&fields.number, ToInt(TypeCode::LONG), 4, 0, {}});
    table->Bind("GNAW:PLAATS", {fields.text, ToInt(TypeCode::STRING), 10, 0, {}});
    table->Bind("R", {&fields.real, ToInt(TypeCode::REAL), 8, 0, {}});
    table->Bind("D", {fields.decimal, ToInt(TypeCode::DECIMAL), 3, 2, {}});
    table->Bind("V", {fields.vector, ToInt(TypeCode::LONG), 4, 0, {{3, 4}}});
    table->BindProcedure("P", 3, views::ValueClass::kString,
                         [](std::span<const views::Value> args) {
                           return views::Value::String(std::to_string(args.size()));
                         });
    return table;
  }();
  return *names;
}

void Exercise(const views::Node& tree) {
  views::EvaluateTruth(tree);
  views::EvaluateInteger(tree);
  views::EvaluateReal(tree);
  views::EvaluateText(tree);

  std::string form = views::TextForm(tree);
  views::NodePtr again = views::Compile(form, Names());
  if (!again || !views::Equal(tree, *again)) {
    std::fprintf(stderr, "text form does not read back: %s\n", form.c_str());
    std::abort();
  }

  views::NodePtr copy = views::Clone(tree);
  views::AssignLevels(*copy, [](const views::BoundVariable& variable) {
    return variable.type == ToInt(TypeCode::STRING) ? 1 : 2;
  });
  views::StaticTruth(*copy, 1);
  views::RangeConditionOf(*copy, 1);
  views::SplitConjuncts(std::move(copy));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (views::NodePtr tree = views::Compile(text, Names())) Exercise(*tree);
  std::size_t end = 0;
  if (views::NodePtr prefix = views::CompilePrefix(text, 0, &end, Names())) {
    if (end > size) std::abort();
    Exercise(*prefix);
  }
  tentaria::runtime::ClearError();
  return 0;
}
