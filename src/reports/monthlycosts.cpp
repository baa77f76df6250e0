#include "reports/monthlycosts.h"

#include <algorithm>
#include <iterator>

#include "capture/storeformat.h"
#include "platform/plaintext.h"
#include "reports/billingperiod.h"

namespace dorvane {

namespace {

constexpr TDateTime kOneSecond = 1.0 / 86400;

}  // namespace

int CostBucketKey(TDateTime start, int billingFirstDay) {
  return MonthOf(BillingPeriodOf(start, billingFirstDay).first);
}

MonthlyCosts::MonthlyCosts(int billingFirstDay, std::size_t tariffCount)
    : firstDay_(BillingFirstDay(billingFirstDay)), tariffCount_(tariffCount) {}

void MonthlyCosts::Add(const PricedCall& call, const std::vector<double>& tariffCosts) {
  // Calls come mostly in calendar order: while a start lies in the last call's period, its key
  // is the last one. Only a start from the period's first day 00:00 up to a second before the
  // next period is taken as inside without splitting its date (so the rounding to the
  // millisecond cannot carry it over), and only in periods from 30 December 1899 on (a date-time
  // before it counts its time away from zero); any other start finds its period anew.
  if (!(call.start >= periodFirst_ && call.start < periodNext_ - kOneSecond)) {
    const BillingPeriod period = BillingPeriodOf(call.start, firstDay_);
    periodKey_ = MonthOf(period.first);
    periodFirst_ = period.first >= 0 ? period.first : 0;
    periodNext_ = period.first >= 0 ? period.next : 0;
  }
  const int key = periodKey_;
  CostBucket& m = months_[key];
  if (m.calls == 0) {
    m.year = key / 12;
    m.month = key % 12 + 1;
    m.day = firstDay_;
    m.tariffCosts.assign(tariffCount_, 0.0);
  }
  m.calls += 1;
  m.duration += CallSpan(call.start, call.end);
  m.cost += call.cost;
  m.lowest += call.lowest;
  m.highest += call.highest;
  for (std::size_t i = 0; i < tariffCount_ && i < tariffCosts.size(); ++i) {
    m.tariffCosts[i] += tariffCosts[i];
  }
}

std::vector<CostBucket> MonthlyCosts::Months() const {
  std::vector<CostBucket> months;
  if (months_.empty()) return months;
  const int first = months_.begin()->first;
  const int last = std::prev(months_.end())->first;
  months.reserve(static_cast<std::size_t>(last - first + 1));
  for (int key = first; key <= last; ++key) {
    const auto found = months_.find(key);
    if (found != months_.end()) {
      months.push_back(found->second);
    } else {
      months.push_back(CostBucket{.year = key / 12,
                                  .month = key % 12 + 1,
                                  .day = firstDay_,
                                  .tariffCosts = std::vector<double>(tariffCount_, 0.0)});
    }
  }
  return months;
}

std::vector<CostBucket> MonthlyCosts::MonthsWithCalls() const {
  std::vector<CostBucket> months;
  months.reserve(months_.size());
  for (const auto& [key, month] : months_) months.push_back(month);
  return months;
}

std::vector<CostBucket> FoldIntoYears(const std::vector<CostBucket>& months) {
  std::vector<CostBucket> years;
  for (const CostBucket& m : months) {
    if (years.empty() || years.back().year != m.year) years.push_back(CostBucket{.year = m.year});
    CostBucket& y = years.back();
    y.calls += m.calls;
    y.duration += m.duration;
    y.cost += m.cost;
    y.lowest += m.lowest;
    y.highest += m.highest;
    y.tariffCosts.resize(std::max(y.tariffCosts.size(), m.tariffCosts.size()), 0.0);
    for (std::size_t i = 0; i < m.tariffCosts.size(); ++i) y.tariffCosts[i] += m.tariffCosts[i];
  }
  return years;
}

std::vector<CostBucket> ChartBuckets(const std::vector<CostBucket>& months, std::size_t maxBars) {
  if (months.size() <= maxBars) return months;
  return FoldIntoYears(months);
}

double AverageBucketCost(const std::vector<CostBucket>& buckets) {
  if (buckets.empty()) return 0;
  double total = 0;
  for (const CostBucket& b : buckets) total += b.cost;
  return total / static_cast<double>(buckets.size());
}

std::string BucketIsoName(const CostBucket& bucket) {
  std::string name;
  AppendFixedDigits(name, bucket.year, 4);
  if (bucket.month < 1 || bucket.month > 12) return name;
  name += '-';
  AppendFixedDigits(name, bucket.month, 2);
  if (bucket.day > 1) {
    name += '-';
    AppendFixedDigits(name, bucket.day, 2);
  }
  return name;
}

std::string BucketName(const RegionalSettings& rs, const CostBucket& bucket) {
  std::string year = WholeNumber(bucket.year);
  if (bucket.month < 1 || bucket.month > 12) return year;
  if (bucket.day > 1) {
    return WholeNumber(bucket.day) + ' ' +
           rs.shortMonthNames[static_cast<std::size_t>(bucket.month - 1)] + ' ' + year;
  }
  return rs.shortMonthNames[static_cast<std::size_t>(bucket.month - 1)] + ' ' + year;
}

}  // namespace dorvane
