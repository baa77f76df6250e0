// The two report runs over the call store, the costs analysis and the logbook: the store and
// period checks, one pass over the store in blocks, the prices against a snapshot of the charges
// table, the totals and the label texts. The window, the benchmarks and the command-line tools
// all run them through here.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "charges/chargerow.h"
#include "charges/tariffhistory.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "reports/logbook.h"
#include "reports/reportperiod.h"
#include "reports/statistics.h"
#include "reports/statisticslabels.h"

namespace dorvane {

// The inputs of a report run: what it reads, where it shows progress and labels, and the period
// and charges it works on. The references must outlive the run.
struct ReportInputs {
  const FileSystem& files;
  MessageService& messages;  // the note on a refused period
  const Clock& clock;
  const RegionalSettings& regional;
  std::string storePath;
  ReportPeriod period;
  // The bands in grid order, the catch-all band last: the grid as it stood when the run began.
  ChargeRows charges;
  // The progress bar, 0 to 100: whenever its position changes during the pass, and 0 at the end
  // of a run that got that far. May be empty.
  std::function<void(int position)> progress;
  // The statistics labels, each text as it is formed, in the order they are filled. May be empty.
  std::function<void(AnalysisLabel, const std::string&)> setLabel;
  // The store opened once by the caller, so that this run reads the version an earlier pass
  // read; null to open the store here.
  const LineSnapshot* store = nullptr;
  // The earlier tables, the date of `charges` and the holidays; empty: `charges` prices every
  // call on its own weekday.
  TariffCalendar calendar = {};
  // The day of the month a billing period begins: "this month" is the current billing period.
  int billingFirstDay = 1;
};

// The costs analysis. Resets `currentMonth` to zero before anything else, and sets it once the
// store has been read to its end.
// - No store: no period check; the labels show the start values (today's date twice, "0").
// - Period refused: the note "Invalid Report Period"; no label, no progress; returns nothing.
// - A store that cannot be read throws Error "Unable to read %s"; a call line that does not
//   convert throws ConvertError; no label changes then.
// `onCall` (when given) receives every call of the period with its three prices, in store order.
std::optional<PeriodStatistics> RunCostsAnalysis(
    const ReportInputs& run, CurrentMonthFigures& currentMonth,
    const std::function<void(const PricedCall&)>& onCall = {});

// The logbook report into `doc`: the title block, one line per call of the period, the summary.
// The checks and failures are those of the costs analysis; the document keeps what was written
// before a failure, and the title block alone after a refused period (then nothing is returned).
std::optional<PeriodTotals> RunLogbookReport(const ReportInputs& run, LogbookDocument& doc);

// What "Create Report" builds on the page with this tag: the costs analysis on page 1, the
// logbook on page 2, nothing elsewhere.
enum class PageReport { None, CostsAnalysis, Logbook };
PageReport ReportOfPage(int pageTag);

}  // namespace dorvane
