#include "reports/reportrun.h"

#include <memory>

#include "charges/tariffhistory.h"
#include "platform/error.h"
#include "reports/storescan.h"

namespace dorvane {

namespace {

void ShowProgress(const ReportInputs& run, int position) {
  if (run.progress) run.progress(position);
}

std::function<void(AnalysisLabel, const std::string&)> LabelSink(const ReportInputs& run) {
  if (run.setLabel) return run.setLabel;
  return [](AnalysisLabel, const std::string&) {};
}

// The store's lines for a run. Without a store there is nothing to read and no period check;
// with one, a refused period shows the note and ends the run.
struct OpenedStore {
  bool refused = false;
  std::unique_ptr<LineSource> lines;  // nullptr: no store
};

OpenedStore OpenStoreForReport(const ReportInputs& run) {
  OpenedStore store;
  if (run.store == nullptr && !run.files.Exists(run.storePath)) return store;
  if (!run.period.Valid()) {
    run.messages.Note(kInvalidReportPeriod);
    store.refused = true;
    return store;
  }
  store.lines = run.store != nullptr ? run.store->Lines() : run.files.OpenLines(run.storePath);
  if (!store.lines) throw Error(FormatMessage(kUnableToRead, run.storePath));
  return store;
}

// One pass over the store: every call line to onCall, the bar moved after every line.
void ScanStore(const ReportInputs& run, LineSource& lines,
               const std::function<void(TDateTime start, TDateTime end)>& onCall) {
  ScanCallStore(
      lines, run.regional, onCall, [&](int position) { ShowProgress(run, position); },
      run.storePath);
  if (lines.Failed()) throw Error(FormatMessage(kUnableToRead, run.storePath));
}

}  // namespace

std::optional<PeriodStatistics> RunCostsAnalysis(
    const ReportInputs& run, CurrentMonthFigures& currentMonth,
    const std::function<void(const PricedCall&)>& onCall) {
  const TDateTime now = run.clock.Now();
  PeriodStatistics stats = StartStatistics(now);
  // The warnings read these after every run, also after one that ends early.
  currentMonth = CurrentMonthFigures{};
  const OpenedStore store = OpenStoreForReport(run);
  if (store.refused) return std::nullopt;
  if (store.lines) {
    const CalendarPricing pricing(run.regional, run.charges, run.calendar);
    const CurrentMonthFilter isCurrentMonth(now, run.billingFirstDay);
    PricedCall call;
    ScanStore(run, *store.lines, [&](TDateTime start, TDateTime end) {
      if (AddCallToStatistics(stats, run.period, isCurrentMonth, pricing, start, end, &call) &&
          onCall) {
        onCall(call);
      }
    });
    currentMonth = CurrentMonthFigures{stats.currentMonthCost, stats.currentMonthCount};
  }
  FillAnalysisLabels(run.regional, stats, now, LabelSink(run), run.billingFirstDay);
  ShowProgress(run, 0);
  return stats;
}

std::optional<PeriodTotals> RunLogbookReport(const ReportInputs& run, LogbookDocument& doc) {
  PeriodTotals totals = BeginLogbook(doc, run.clock.Now());
  const OpenedStore store = OpenStoreForReport(run);
  if (store.refused) return std::nullopt;
  if (store.lines) {
    const CalendarPricing pricing(run.regional, run.charges, run.calendar);
    ScanStore(run, *store.lines, [&](TDateTime start, TDateTime end) {
      if (!run.period.InReportPeriod(start)) return;
      AddLogbookCall(doc, run.regional, totals, start, end, pricing.CallCost(start, end));
    });
  }
  FinishLogbook(doc, run.regional, totals, LabelSink(run));
  ShowProgress(run, 0);
  return totals;
}

PageReport ReportOfPage(int pageTag) {
  switch (pageTag) {
    case 1:
      return PageReport::CostsAnalysis;
    case 2:
      return PageReport::Logbook;
    default:
      return PageReport::None;
  }
}

}  // namespace dorvane
