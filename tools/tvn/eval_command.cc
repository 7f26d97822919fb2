// tvn eval: compiles an expression typed on the command line (UTF-8) and
// prints its value in its string form (UTF-8).
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/charset.h"
#include "runtime/error_state.h"
#include "tools/tvn/command.h"
#include "views/expression_evaluator.h"
#include "views/expression_node.h"
#include "views/expression_parser.h"

namespace tentaria::tvn {
namespace {

std::string_view ClassName(views::ValueClass value_class) {
  switch (value_class) {
    case views::ValueClass::kTruth:
      return "truth";
    case views::ValueClass::kInteger:
      return "integer";
    case views::ValueClass::kReal:
      return "real";
    case views::ValueClass::kPicture:
      return "picture";
    case views::ValueClass::kString:
      return "string";
  }
  return "unknown";
}

void PrintUtf8(FILE* stream, std::string_view cp1252) {
  std::string text = platform::Cp1252ToUtf8(cp1252);
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int EvalCommand(const Arguments& arguments) {
  bool show_type = false;
  std::string expression;
  int expressions = 0;
  for (const std::string& argument : arguments) {
    if (argument == "--type") {
      show_type = true;
    } else {
      expression = argument;
      ++expressions;
    }
  }
  if (expressions != 1) {
    std::fputs("usage: tvn eval [--type] EXPRESSION\n", stderr);
    return 2;
  }

  // A run-time error met while evaluating makes the result worthless.
  int runtime_error = 0;
  std::string runtime_text;
  runtime::SetRuntimeErrorHandler([&](int number, std::string_view text) {
    if (runtime_error == 0) {
      runtime_error = number;
      runtime_text = text;
    }
  });

  runtime::ClearError();
  views::NodePtr tree = views::Compile(platform::Utf8ToCp1252(expression));
  if (tree == nullptr) {
    const runtime::ErrorState& error = runtime::CurrentError();
    if (error.code != 0) {
      std::fprintf(stderr, "tvn: error %d: ", error.code);
      PrintUtf8(stderr, error.driver_text);
      std::fputc('\n', stderr);
    } else {
      std::fputs("tvn: syntax error in the expression\n", stderr);
    }
    return 1;
  }

  std::string value = views::EvaluateText(*tree);
  if (runtime_error != 0) {
    std::fprintf(stderr, "tvn: run-time error %d: ", runtime_error);
    PrintUtf8(stderr, runtime_text);
    std::fputc('\n', stderr);
    return 1;
  }
  if (show_type) std::printf("%s: ", ClassName(tree->value_class).data());
  PrintUtf8(stdout, value);
  std::fputc('\n', stdout);
  return 0;
}

}  // namespace tentaria::tvn
