// tvn query: a table's rows read through a view, with a filter and an
// order given as expressions over the table's fields, printed as CSV like
// tvn export; or the plan the view built to read them.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/charset.h"
#include "platform/file.h"
#include "runtime/error_state.h"
#include "storage/declared_file.h"
#include "storage/error_texts.h"
#include "tools/tvn/command.h"
#include "tools/tvn/command_support.h"
#include "tools/tvn/csv.h"
#include "tools/tvn/field_text.h"
#include "tools/tvn/table_access.h"
#include "views/expression_parser.h"
#include "views/name_table.h"
#include "views/view_engine.h"

namespace tentaria::tvn {
namespace {

constexpr char kUsage[] =
    "usage: tvn query FILE[\\!TABLE] [--owner PASSWORD] [--filter EXPRESSION]\n"
    "                 [--order ORDERTEXT] [--key NAME] [--from VALUES] [--backward]\n"
    "                 [--limit N] [--plan]\n";

// Takes a flag without a value out of the arguments.
bool TakeFlag(Arguments* arguments, const std::string& flag) {
  for (auto it = arguments->begin(); it != arguments->end(); ++it) {
    if (*it == flag) {
      arguments->erase(it);
      return true;
    }
  }
  return false;
}

// "tvn: WHAT: error CODE: TEXT" with the runtime's text for the code, or
// the driver's own text where it set one.
int ReportRuntimeError(const std::string& what, int code) {
  const runtime::ErrorState& error = runtime::CurrentError();
  std::string text = error.code == code && !error.driver_text.empty() ? error.driver_text
                                                                      : storage::ErrorText(code);
  std::fprintf(stderr, "tvn: %s: error %d: %s\n", what.c_str(), code,
               platform::Cp1252ToUtf8(text).c_str());
  return 1;
}

// The values of --from, separated by commas.
std::vector<std::string> SplitValues(const std::string& text) {
  std::vector<std::string> values;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    values.push_back(text.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) return values;
    start = comma + 1;
  }
}

void BindFields(views::NameScopes& names, storage::DeclaredFile& file) {
  for (const storage::FieldDescriptor& field : file.block().layout.fields) {
    views::BoundVariable variable;
    variable.address = file.record().data() + field.offset;
    variable.type = field.type;
    variable.size = field.size;
    variable.decimals = field.decimals;
    names.Bind(field.label, variable);
  }
}

// The number of order components in an order text, counted at its commas
// outside quotes and parentheses.
size_t OrderComponents(const std::string& text) {
  if (text.find_first_not_of(" \t") == std::string::npos) return 0;
  size_t count = 1;
  int depth = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == '\'') quoted = !quoted;
    if (quoted) continue;
    if (c == '(' || c == '[') ++depth;
    if (c == ')' || c == ']') --depth;
    if (c == ',' && depth == 0) ++count;
  }
  return count;
}

}  // namespace

int QueryCommand(const Arguments& arguments) {
  Arguments rest = arguments;
  bool backward = TakeFlag(&rest, "--backward");
  bool show_plan = TakeFlag(&rest, "--plan");
  ParsedArguments parsed;
  if (!ParseArguments(rest, {"--owner", "--filter", "--order", "--key", "--from", "--limit"},
                      &parsed) ||
      parsed.positional.size() != 1) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  long long limit = -1;
  if (parsed.options.contains("--limit")) {
    char* end = nullptr;
    limit = std::strtoll(parsed.options["--limit"].c_str(), &end, 10);
    if (*end != '\0' || limit < 0) {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  const std::string& name = parsed.positional[0];
  const std::string owner = parsed.options["--owner"];

  // The table's own definition serves as the declaration.
  StoredTable table;
  {
    std::unique_ptr<storage::RecordFile> file;
    Status s = OpenTableForReading(platform::Utf8ToCp1252(name), owner, &file, &table);
    if (!s.ok()) return ReportFailure(name, s);
  }
  storage::FileDescriptor declaration = table.definition;
  declaration.name = platform::Utf8ToCp1252(name);
  declaration.owner_password = owner;
  declaration.attributes &= ~storage::file_attribute::CREATE;
  storage::DeclaredFile file(declaration);
  int code = file.Open(platform::open_mode::kRead | platform::open_mode::kDenyNone);
  if (code != 0) return ReportRuntimeError(name, code);

  if (parsed.options.contains("--key")) {
    int key = FindKey(declaration, platform::Utf8ToCp1252(parsed.options["--key"]));
    if (key < 0) {
      std::fprintf(stderr, "tvn: %s: the table has no key %s\n", name.c_str(),
                   parsed.options["--key"].c_str());
      return 1;
    }
    code = file.SetKey(static_cast<size_t>(key));
    if (code != 0) return ReportRuntimeError(name, code);
  } else {
    file.SetFile();
  }

  views::NameScopes names;
  BindFields(names, file);
  views::ViewDescriptor descriptor;
  descriptor.files = {{&file, -1}};
  descriptor.nodes = views::EncodeViewNodes(views::ViewNodeSpec());
  views::ViewEngine view(std::move(descriptor), &names);
  code = view.Open();
  if (code != 0) return ReportRuntimeError(name, code);

  if (parsed.options.contains("--filter")) {
    std::string filter = platform::Utf8ToCp1252(parsed.options["--filter"]);
    code = view.SetFilter(filter);
    if (code != 0) return ReportRuntimeError("filter", code);
    if (!filter.empty() && !views::Compile(filter, names)) {
      std::fputs("tvn: filter: the expression does not compile\n", stderr);
      return 1;
    }
  }
  if (parsed.options.contains("--order")) {
    std::string order = platform::Utf8ToCp1252(parsed.options["--order"]);
    code = view.SetOrder(order);
    if (code != 0) return ReportRuntimeError("order", code);
    if (view.order_size() != OrderComponents(order)) {
      std::fprintf(stderr, "tvn: order: component %zu does not compile\n", view.order_size() + 1);
      return 1;
    }
  }
  if (parsed.options.contains("--from")) {
    std::vector<std::string> values = SplitValues(platform::Utf8ToCp1252(parsed.options["--from"]));
    if (values.size() > view.order_size()) {
      std::fputs("tvn: --from: more values than order components\n", stderr);
      return 1;
    }
    for (size_t i = 0; i < values.size(); ++i) {
      view.SetOrderValue(static_cast<int64_t>(i + 1), values[i]);
    }
    view.SetView(static_cast<int64_t>(values.size()));
  } else {
    view.SetView(0);
  }

  if (show_plan) {
    int64_t count = 0;
    code = view.Records(&count);
    if (code != 0) return ReportRuntimeError(name, code);
    WriteOut(platform::Cp1252ToUtf8(view.DescribePlan()));
    return std::fflush(stdout) == 0 ? 0 : 1;
  }

  storage::FileDescriptor definition = storage::DeclarationOf(file.block());
  std::vector<Column> columns = TableColumns(definition);
  std::string out;
  std::vector<std::string> cells;
  for (const Column& column : columns) cells.push_back(column.heading);
  AppendCsvRecord(cells, &out);
  for (long long rows = 0; limit < 0 || rows < limit; ++rows) {
    code = backward ? view.Previous() : view.Next();
    if (code == views::kNoMoreRecords) break;
    if (code != 0) {
      WriteOut(out);
      return ReportRuntimeError(name, code);
    }
    std::string_view row(file.record().data(), file.record().size());
    cells.clear();
    for (const Column& column : columns) {
      cells.push_back(column.memo
                          ? MemoColumnText(definition.memos[column.field], file.memo(column.field))
                          : ColumnText(definition, column, row));
    }
    AppendCsvRecord(cells, &out);
    if (out.size() >= (1 << 16)) {
      WriteOut(out);
      out.clear();
    }
  }
  WriteOut(out);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace tentaria::tvn
