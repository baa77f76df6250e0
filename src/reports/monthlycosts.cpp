#include "reports/monthlycosts.h"

#include <iterator>

#include "platform/plaintext.h"
#include "reports/billingperiod.h"

namespace dorvane {

namespace {

int ValidFirstDay(int firstDay) {
  return firstDay >= kFirstBillingDayMin && firstDay <= kFirstBillingDayMax ? firstDay : 1;
}

}  // namespace

int CostBucketKey(TDateTime start, int billingFirstDay) {
  const DateParts d = DecodeDate(BillingPeriodOf(start, ValidFirstDay(billingFirstDay)).first);
  return d.year * 12 + d.month - 1;
}

MonthlyCosts::MonthlyCosts(int billingFirstDay) : firstDay_(ValidFirstDay(billingFirstDay)) {}

void MonthlyCosts::Add(const PricedCall& call) {
  const int key = CostBucketKey(call.start, firstDay_);
  CostBucket& m = months_[key];
  m.year = key / 12;
  m.month = key % 12 + 1;
  m.day = firstDay_;
  m.calls += 1;
  m.cost += call.cost;
  m.lowest += call.lowest;
  m.highest += call.highest;
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
      months.push_back(CostBucket{.year = key / 12, .month = key % 12 + 1, .day = firstDay_});
    }
  }
  return months;
}

std::vector<CostBucket> FoldIntoYears(const std::vector<CostBucket>& months) {
  std::vector<CostBucket> years;
  for (const CostBucket& m : months) {
    if (years.empty() || years.back().year != m.year) years.push_back(CostBucket{.year = m.year});
    CostBucket& y = years.back();
    y.calls += m.calls;
    y.cost += m.cost;
    y.lowest += m.lowest;
    y.highest += m.highest;
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
