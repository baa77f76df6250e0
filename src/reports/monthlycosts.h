// The cost of a report period month by month, for the charts of the window and of the html
// report: one bucket per month from the first call to the last, months without calls included
// at zero, folded into years when a period is too long for one bar per month. When the bill
// starts on another day than the 1st, a "month" is a billing period, named by its first day.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "charges/pricing.h"
#include "platform/datetime.h"
#include "platform/regional.h"

namespace dorvane {

// One bar of a chart: a month, or a whole year (month 0).
struct CostBucket {
  int year = 0;
  int month = 0;  // 1 to 12; 0 for a year
  int day = 1;    // the day of `month` the billing period starts on; 1 for a calendar month
  int calls = 0;
  double duration = 0;                   // days: each call's end less its start
  double cost = 0;                       // at the band in force at each call's start
  double lowest = 0;                     // at the cheapest band
  double highest = 0;                    // at the dearest band
  std::vector<double> tariffCosts = {};  // under each other charges table, in the order given
};

// The bucket a call belongs to, by its start: the billing period from `billingFirstDay`
// (with 1, or a day outside 1..28, the calendar month), as a number that counts months
// (the store's month key, MonthOf) of the period's first day. Every chart groups calls by this
// one rule: MonthlyCosts::Add works it out the same way, once per period for calls in order.
int CostBucketKey(TDateTime start, int billingFirstDay = 1);

// The one aggregation by month of the charts, dorvane-report's monthly forms and its HTML page.
class MonthlyCosts {
 public:
  explicit MonthlyCosts(int billingFirstDay = 1, std::size_t tariffCount = 0);
  // A call of the period, and its costs under the `tariffCount` other charges tables.
  void Add(const PricedCall& call, const std::vector<double>& tariffCosts = {});
  bool Empty() const { return months_.empty(); }
  // True when the buckets are billing periods from another day than the 1st.
  bool BillingPeriods() const { return firstDay_ > 1; }
  // Every month from the first month with a call to the last, in calendar order; a month
  // without calls is there with zeros.
  std::vector<CostBucket> Months() const;
  // Only the months that hold calls, in calendar order.
  std::vector<CostBucket> MonthsWithCalls() const;

 private:
  int firstDay_;  // the billing period's first day, 1..28
  std::size_t tariffCount_;
  std::map<int, CostBucket> months_;
  // The billing period of the last call added, [first, next), and its key; an empty range
  // before the first call.
  TDateTime periodFirst_ = 0;
  TDateTime periodNext_ = 0;
  int periodKey_ = 0;
};

// The months folded into calendar years, in order; a year holds the sums of its months.
std::vector<CostBucket> FoldIntoYears(const std::vector<CostBucket>& months);

// The bars to draw: the months, or their years when there are more than `maxBars` months.
std::vector<CostBucket> ChartBuckets(const std::vector<CostBucket>& months, std::size_t maxBars);

// The mean cost of the buckets (months without calls count); 0 for none.
double AverageBucketCost(const std::vector<CostBucket>& buckets);

// "1999-01" for a month, "1999-01-15" for a billing period from the 15th, "1999" for a year:
// names other programs can read too.
std::string BucketIsoName(const CostBucket& bucket);

// "Jan 1999" (the regional short month name), "15 Jan 1999" for a billing period from the 15th,
// or "1999" for a year.
std::string BucketName(const RegionalSettings& rs, const CostBucket& bucket);

}  // namespace dorvane
