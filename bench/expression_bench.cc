// Evaluating a browse filter on bound record fields, as a view does for
// every record it reads.
#include <benchmark/benchmark.h>

#include <cstring>

#include "runtime/value_types.h"
#include "views/expression_evaluator.h"
#include "views/expression_parser.h"
#include "views/name_table.h"

namespace {

using tentaria::runtime::ToInt;
using tentaria::runtime::TypeCode;
namespace views = tentaria::views;

void BM_EvaluateBrowseFilter(benchmark::State& state) {
  char plaats[25];
  char foto[1];
  std::memset(plaats, ' ', sizeof plaats);
  std::memcpy(plaats, "Amsterdam", 9);
  foto[0] = '1';
  views::NameScopes names;
  names.Bind("GNAW:PLAATS", {plaats, ToInt(TypeCode::STRING), sizeof plaats, 0, {}});
  names.Bind("GNAW:FOTO", {foto, ToInt(TypeCode::STRING), sizeof foto, 0, {}});
  views::NodePtr filter = views::Compile("UPPER(GNAW:PLAATS) >= 'AMS' AND GNAW:FOTO <> '0'", names);
  if (!filter) {
    state.SkipWithError("filter does not compile");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(views::EvaluateTruth(*filter));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateBrowseFilter);

}  // namespace

BENCHMARK_MAIN();
