// The costs analysis and the logbook over a call store of years of calls: the store scan, the
// three prices of every call of the period against a table of four bands, and the label texts.
// Argument: calls in the store (all of them in the report period).
#include <benchmark/benchmark.h>

#include <string>

#include "charges/gridpricing.h"
#include "reports/analysis.h"
#include "reports/logbook.h"

namespace {

using namespace dorvane;

RegionalSettings Settings() {
  RegionalSettings rs = RegionalSettings::UsEnglish();
  rs.longTimeFormat = "hh:nn:ss";
  return rs;
}

const ChargeRows kTable = {
    {"Mon, Tue, Wed, Thu, Fri", "08:00:00 - 17:59:59", "0.10", "0.20", "0.50", "1"},
    {"Mon, Tue, Wed, Thu, Fri", "18:00:00 - 21:59:59", "0.10", "0.12", "0.30", "1"},
    {"Sun, Sat", "00:00:00 - 23:59:59", "0", "0.08", "0.25", "3"},
    {"The time not specified above", "00:00:00 - 23:59:59", "0.10", "0.05", "0", "0"},
};

// One call every 47 minutes from 1 January 1990, 1 to 60 minutes long, in month sections.
std::string StoreText(const RegionalSettings& rs, int calls) {
  std::string text;
  std::string section;
  TDateTime start = EncodeDate(1990, 1, 1);
  for (int i = 0; i < calls; ++i) {
    start += 47.0 / 1440;
    const TDateTime end = start + (1 + i % 60) / 1440.0 + (i % 37) / 86400.0;
    const DateParts d = DecodeDate(start);
    const std::string name = std::to_string(d.year) + "-" + std::to_string(d.month);
    if (name != section) {
      section = name;
      text += "[" + name + "]\r\n";
    }
    text += FloatToStr(rs, start) + "=" + FloatToStr(rs, end) + "\r\n";
  }
  return text;
}

void BM_CostsAnalysis(benchmark::State& state) {
  const RegionalSettings rs = Settings();
  const std::string store = StoreText(rs, static_cast<int>(state.range(0)));
  const ReportPeriod period{0, 1e6};
  const TDateTime today = EncodeDate(1995, 6, 15);
  for (auto _ : state) {
    const GridPricing pricing(rs, kTable);
    PeriodStatistics stats = StartStatistics(today);
    ScanCallStore(
        store, rs,
        [&](TDateTime s, TDateTime e) { AddCallToStatistics(stats, period, today, pricing, s, e); },
        [](int) {});
    FillAnalysisLabels(rs, stats, today, [](AnalysisLabel, const std::string&) {});
    benchmark::DoNotOptimize(stats.totalCost);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["store_bytes"] = static_cast<double>(store.size());
}

void BM_LogbookDocument(benchmark::State& state) {
  const RegionalSettings rs = Settings();
  const std::string store = StoreText(rs, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const GridPricing pricing(rs, kTable);
    LogbookDocument doc;
    LogbookTotals totals = BeginLogbook(doc, 0);
    ScanCallStore(
        store, rs,
        [&](TDateTime s, TDateTime e) {
          AddLogbookCall(doc, rs, totals, s, e, pricing.CallCost(s, e));
        },
        [](int) {});
    FinishLogbook(doc, rs, totals, [](AnalysisLabel, const std::string&) {});
    benchmark::DoNotOptimize(doc.Lines().size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_CostsAnalysis)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogbookDocument)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
