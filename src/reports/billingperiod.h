// The billing period: the stretch of days one phone bill covers, from a fixed day of a month
// (00:00) to the day before that day of the next month. With the first day 1 it is the calendar
// month. "This month" of the costs analysis and the warnings is the current billing period.
#pragma once

#include "platform/datetime.h"

namespace dorvane {

inline constexpr int kFirstBillingDayMin = 1;
inline constexpr int kFirstBillingDayMax = 28;

// The day the bill starts on: a day outside 1..28 counts as 1, the calendar month.
constexpr int BillingFirstDay(int firstDay) {
  return firstDay >= kFirstBillingDayMin && firstDay <= kFirstBillingDayMax ? firstDay : 1;
}

struct BillingPeriod {
  TDateTime first = 0;  // its first day, 00:00
  TDateTime next = 0;   // the first day of the next period, 00:00

  TDateTime LastDay() const { return next - 1; }
  // True when the date of `value` (rounded to the millisecond) lies in the period.
  bool Contains(TDateTime value) const;
  // 1 on the period's first day, 2 on the next, ...
  int DayNumber(TDateTime value) const;
};

// The billing period that holds the date of `value`; a first day outside 1..28 counts as 1.
BillingPeriod BillingPeriodOf(TDateTime value, int firstDay);
// The period that holds today.
inline BillingPeriod CurrentBillingPeriod(TDateTime today, int firstDay) {
  return BillingPeriodOf(today, firstDay);
}
// The period before the one given.
BillingPeriod PreviousBillingPeriod(const BillingPeriod& period, int firstDay);

// Same year and month as today.
bool IsCurrentMonth(TDateTime value, TDateTime today);

// IsCurrentMonth against one today, for a pass over many calls: the days of the month are
// worked out once, and only a value near them is split into its date. With a billing day other
// than 1 the month is the current billing period.
class CurrentMonthFilter {
 public:
  CurrentMonthFilter(TDateTime today, int billingFirstDay = 1);  // NOLINT: a today stands for
                                                                 // its month's test
  bool operator()(TDateTime value) const;

 private:
  TDateTime today_;
  TDateTime first_;  // the month's (or billing period's) first day
  TDateTime next_;   // the next one's first day
  bool calendarMonth_ = true;
};

// The period's cost so far stretched to 31 days: cost x 31 / d, d being today's day number
// within the current billing period. With the first day 1 this is the calendar month's estimate.
double EstimatedPeriodCost(double periodCost, TDateTime today, int firstDay);

}  // namespace dorvane
