// The costs analysis and the logbook over a call store of years of calls, run as the window runs
// them: the store read in blocks, the three prices of every call of the period against a table
// of four bands, and the label texts. Argument: calls in the store (all of them in the period).
#include <benchmark/benchmark.h>

#include "reportrig.h"

namespace {

using namespace dorvane;
using bench::ReportRig;

void BM_CostsAnalysis(benchmark::State& state) {
  const ReportRig rig(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CurrentMonthFigures month;
    const auto stats = RunCostsAnalysis(rig.Run(), month);
    benchmark::DoNotOptimize(stats->totalCost);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LogbookDocument(benchmark::State& state) {
  const ReportRig rig(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    LogbookDocument doc;
    RunLogbookReport(rig.Run(), doc);
    benchmark::DoNotOptimize(doc.Lines().size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_CostsAnalysis)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogbookDocument)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
