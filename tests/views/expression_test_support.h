// Shared helpers of the evaluator tests: a private name table with a few
// bound fields, and a capture of run-time errors.
#ifndef TENTARIA_TESTS_VIEWS_EXPRESSION_TEST_SUPPORT_H_
#define TENTARIA_TESTS_VIEWS_EXPRESSION_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/error_state.h"
#include "runtime/value_types.h"
#include "views/expression_evaluator.h"
#include "views/expression_node.h"
#include "views/expression_parser.h"
#include "views/name_table.h"

namespace tentaria::views::testing {

// Collects run-time errors instead of printing them.
class RuntimeErrorCapture {
 public:
  RuntimeErrorCapture() {
    previous_ = runtime::SetRuntimeErrorHandler([this](int number, std::string_view text) {
      errors.push_back({number, std::string(text)});
    });
  }
  ~RuntimeErrorCapture() { runtime::SetRuntimeErrorHandler(std::move(previous_)); }

  struct Error {
    int number;
    std::string text;
  };
  std::vector<Error> errors;

 private:
  runtime::RuntimeErrorHandler previous_;
};

inline BoundVariable StringField(char* bytes, int size) {
  return {bytes, runtime::ToInt(runtime::TypeCode::STRING), size, 0, {}};
}

template <typename T>
BoundVariable Scalar(T* value, runtime::TypeCode type) {
  return {value, runtime::ToInt(type), static_cast<int>(sizeof(T)), 0, {}};
}

// A blank-padded STRING field.
template <size_t N>
void Fill(char (&field)[N], std::string_view text) {
  std::memset(field, ' ', N);
  std::memcpy(field, text.data(), std::min(N, text.size()));
}

class ExpressionTest : public ::testing::Test {
 protected:
  void SetUp() override { runtime::ClearError(); }

  NodePtr Tree(std::string_view text) {
    NodePtr tree = Compile(text, names_);
    EXPECT_TRUE(tree) << "does not compile: " << text;
    return tree;
  }
  bool Truth(std::string_view text) {
    NodePtr tree = Tree(text);
    return tree && EvaluateTruth(*tree);
  }
  std::int32_t Integer(std::string_view text) {
    NodePtr tree = Tree(text);
    return tree ? EvaluateInteger(*tree) : -12345;
  }
  double Real(std::string_view text) {
    NodePtr tree = Tree(text);
    return tree ? EvaluateReal(*tree) : -12345;
  }
  std::string Text(std::string_view text) {
    NodePtr tree = Tree(text);
    return tree ? EvaluateText(*tree) : "<no tree>";
  }

  NameScopes names_;
  RuntimeErrorCapture errors_;
};

}  // namespace tentaria::views::testing

#endif  // TENTARIA_TESTS_VIEWS_EXPRESSION_TEST_SUPPORT_H_
