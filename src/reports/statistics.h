// The period statistics of the costs analysis and the logbook: the calls of the report period
// counted and priced, and the current month's calls beside them.
#pragma once

#include "charges/pricing.h"
#include "platform/datetime.h"
#include "reports/billingperiod.h"
#include "reports/reportperiod.h"

namespace dorvane {

// The figures of the calls of a period, in store order: how many, the start of the first, the
// end of the last (which need not be the latest end), their total time and total cost.
struct PeriodTotals {
  TDateTime firstDate = 0;
  TDateTime lastDate = 0;
  int count = 0;
  double totalDuration = 0;  // days
  double totalCost = 0;

  // The start values of a run: both dates now, every total zero. A run without calls shows them.
  static PeriodTotals Starting(TDateTime now);
  // Counts one call of the period at its price.
  void Add(TDateTime start, TDateTime end, double cost);
};

// Every stored call that started in the current month, whatever the period; the cost warnings
// read them.
struct CurrentMonthFigures {
  double cost = 0;
  int count = 0;
};

// The values of one run of the costs analysis: the period's totals, what the calls would have
// cost at the cheapest and at the dearest band, and the current month's figures.
struct PeriodStatistics : PeriodTotals {
  double totalLowest = 0;
  double totalHighest = 0;
  double currentMonthCost = 0;
  int currentMonthCount = 0;
};

// The start values of a run: first and last date now, every total zero. A run without a store
// shows these.
PeriodStatistics StartStatistics(TDateTime now);
// Counts and prices one stored call: in the current month at its own band; in the period at its
// own band and at the cheapest and the dearest band of the table. True when the call lies in the
// period; `priced` (when given) then receives it with its prices.
bool AddCallToStatistics(PeriodStatistics& stats, const ReportPeriod& period,
                         const CurrentMonthFilter& isCurrentMonth, const CallPricing& pricing,
                         TDateTime start, TDateTime end, PricedCall* priced = nullptr);

// The period's total per 31 days, counting years as 365 days and months as 30; the period ends
// today when its last call ended in the current month.
double AverageMonthlyCost(double totalCost, TDateTime firstDate, TDateTime lastDate,
                          TDateTime today);

}  // namespace dorvane
