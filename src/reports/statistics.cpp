#include "reports/statistics.h"

namespace dorvane {

PeriodTotals PeriodTotals::Starting(TDateTime now) {
  PeriodTotals totals;
  totals.firstDate = now;
  totals.lastDate = now;
  return totals;
}

void PeriodTotals::Add(TDateTime start, TDateTime end, double cost) {
  if (count == 0) firstDate = start;
  ++count;
  totalCost += cost;
  totalDuration += CallSpan(start, end);
  lastDate = end;
}

PeriodStatistics StartStatistics(TDateTime now) {
  PeriodStatistics stats;
  static_cast<PeriodTotals&>(stats) = PeriodTotals::Starting(now);
  return stats;
}

bool AddCallToStatistics(PeriodStatistics& stats, const ReportPeriod& period,
                         const CurrentMonthFilter& isCurrentMonth, const CallPricing& pricing,
                         TDateTime start, TDateTime end, PricedCall* priced) {
  const bool inMonth = isCurrentMonth(start);
  const bool inPeriod = period.InReportPeriod(start);
  // A call of the month and the period is priced once for both: the same price, and the same
  // failure first.
  if (inMonth && !inPeriod) stats.currentMonthCost += pricing.CallCost(start, end);
  if (!inPeriod) {
    if (inMonth) ++stats.currentMonthCount;
    return false;
  }
  const PricedCall call = pricing.Prices(start, end);
  if (inMonth) {
    stats.currentMonthCost += call.cost;
    ++stats.currentMonthCount;
  }
  stats.Add(start, end, call.cost);
  stats.totalLowest += call.lowest;
  stats.totalHighest += call.highest;
  if (priced) *priced = call;
  return true;
}

double AverageMonthlyCost(double totalCost, TDateTime firstDate, TDateTime lastDate,
                          TDateTime today) {
  const DateParts first = DecodeDate(firstDate);
  const DateParts last = DecodeDate(IsCurrentMonth(lastDate, today) ? today : lastDate);
  const int days =
      (last.year - first.year) * 365 + (last.month - first.month) * 30 + (last.day - first.day) + 1;
  return totalCost * (31.0 / days);
}

}  // namespace dorvane
