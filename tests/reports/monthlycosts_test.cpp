// The months of a chart: every month from the first call to the last, and years for a long
// period.
#include "reports/monthlycosts.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "capture/storeformat.h"
#include "platform/datetime.h"

namespace dorvane {
namespace {

PricedCall Call(int year, int month, int day, double cost) {
  const TDateTime start = EncodeDate(year, month, day) + 0.5;
  return PricedCall{
      .start = start, .end = start + 0.01, .cost = cost, .lowest = cost / 2, .highest = cost * 2};
}

// A bucket's first day, its calls and its cost.
struct Bucket {
  int year, month, day, calls;
  double cost;
};

void ExpectBuckets(const std::vector<CostBucket>& got, const std::vector<Bucket>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].year, want[i].year);
    EXPECT_EQ(got[i].month, want[i].month);
    EXPECT_EQ(got[i].day, want[i].day);
    EXPECT_EQ(got[i].calls, want[i].calls);
    EXPECT_DOUBLE_EQ(got[i].cost, want[i].cost);
  }
}

TEST(MonthlyCosts, EveryMonthFromTheFirstCallToTheLastEmptyOnesAtNothing) {
  MonthlyCosts costs;
  EXPECT_TRUE(costs.Months().empty());
  // Out of order, across a year's end, the same month twice.
  costs.Add(Call(1999, 2, 3, 4.0));
  costs.Add(Call(1998, 11, 30, 1.5));
  costs.Add(Call(1999, 2, 28, 1.0));
  const std::vector<CostBucket> months = costs.Months();
  ASSERT_NO_FATAL_FAILURE(ExpectBuckets(
      months,
      {{1998, 11, 1, 1, 1.5}, {1998, 12, 1, 0, 0}, {1999, 1, 1, 0, 0}, {1999, 2, 1, 2, 5.0}}));
  EXPECT_DOUBLE_EQ(months[3].lowest, 2.5);
  EXPECT_DOUBLE_EQ(months[3].highest, 10.0);
  EXPECT_DOUBLE_EQ(AverageBucketCost(months), 6.5 / 4);
}

// A bill from the 15th: the 14th still belongs to the period that began the month before, and
// a period across the year's end is the year it began in.
TEST(MonthlyCosts, ABillFromAnotherDayCountsBillingPeriods) {
  MonthlyCosts costs(15, 1);  // and the cost under one other charges table
  costs.Add(Call(1998, 12, 15, 1.0), {0.5});
  costs.Add(Call(1999, 1, 14, 2.0), {0.25});
  costs.Add(Call(1999, 1, 15, 4.0));
  costs.Add(Call(1999, 3, 20, 8.0));
  const std::vector<CostBucket> periods = costs.Months();
  ASSERT_NO_FATAL_FAILURE(ExpectBuckets(
      periods,
      {{1998, 12, 15, 2, 3.0}, {1999, 1, 15, 1, 4.0}, {1999, 2, 15, 0, 0}, {1999, 3, 15, 1, 8.0}}));
  EXPECT_EQ(periods[0].tariffCosts, std::vector<double>{0.75});
  EXPECT_EQ(FoldIntoYears(periods).front().cost, 3.0);
  // The monthly forms list only the periods with calls, named by their first day.
  std::vector<std::string> names;
  for (const CostBucket& p : costs.MonthsWithCalls()) names.push_back(BucketIsoName(p));
  EXPECT_EQ(names, (std::vector<std::string>{"1998-12-15", "1999-01-15", "1999-03-15"}));
  // A first day outside 1..28 counts calendar months, as the bill does.
  EXPECT_EQ(CostBucketKey(EncodeDate(1999, 1, 14), 31), CostBucketKey(EncodeDate(1999, 1, 1)));
  EXPECT_EQ(CostBucketKey(EncodeDate(1999, 1, 14), 15), CostBucketKey(EncodeDate(1998, 12, 1)));
}

// Each call lands in the bucket of its own start, whatever the call before it: back and forth
// across a period's first day, a start that rounds to the millisecond into the next period, and
// dates before 30 December 1899 (whose time counts away from zero).
TEST(MonthlyCosts, EachCallInTheBucketOfItsOwnStartWhateverCameBefore) {
  constexpr double kMs = 1.0 / 86400000;
  const TDateTime next = EncodeDate(1999, 2, 15);
  const std::vector<TDateTime> starts = {
      EncodeDate(1999, 1, 14) + 0.5,
      EncodeDate(1999, 1, 15),
      next - 0.6 * kMs,
      next - 0.4 * kMs,  // 15 February 00:00:00.000
      EncodeDate(1999, 1, 20),
      EncodeDate(1999, 1, 14) + 0.999,
      next - 0.6 * kMs,
      EncodeDate(1899, 12, 29) - 0.25,  // 29 December 1899, 06:00
      EncodeDate(1900, 1, 1) + 0.5,
      EncodeDate(1899, 12, 1) - 0.75};
  for (const int firstDay : {1, 15}) {
    SCOPED_TRACE(firstDay);
    MonthlyCosts costs(firstDay);
    std::map<int, double> want;  // each call's cost a power of two: a sum names its calls
    double cost = 1;
    for (const TDateTime start : starts) {
      costs.Add(PricedCall{.start = start, .end = start, .cost = cost});
      want[CostBucketKey(start, firstDay)] += cost;
      cost *= 2;
    }
    std::map<int, double> got;
    for (const CostBucket& b : costs.MonthsWithCalls()) {
      EXPECT_EQ(b.day, firstDay);
      got[MonthOf(EncodeDate(b.year, b.month, b.day))] = b.cost;
    }
    EXPECT_EQ(got, want);
  }
}

TEST(MonthlyCosts, ALongPeriodFoldsIntoYearsThatKeepEveryTotal) {
  MonthlyCosts costs(1, 2);  // and the costs under two other charges tables
  costs.Add(Call(1990, 1, 1, 1.0), {10.0, 20.0});
  costs.Add(Call(1990, 12, 31, 2.0), {30.0, 40.0});
  costs.Add(Call(1998, 12, 1, 4.0), {50.0, 60.0});  // 108 months in all
  const std::vector<CostBucket> months = costs.Months();
  ASSERT_EQ(months.size(), 108u);
  EXPECT_EQ(ChartBuckets(months, 108).size(), 108u);
  const std::vector<CostBucket> years = ChartBuckets(months, 36);
  ASSERT_EQ(years.size(), 9u);
  EXPECT_EQ(years[0].month, 0);
  EXPECT_EQ(years[0].calls, 2);
  EXPECT_DOUBLE_EQ(years[0].cost, 3.0);
  EXPECT_EQ(years[4].calls, 0);
  EXPECT_DOUBLE_EQ(years[8].highest, 8.0);
  EXPECT_NEAR(years[0].duration, 0.02, 1e-9);
  EXPECT_EQ(years[0].tariffCosts, (std::vector<double>{40.0, 60.0}));
  EXPECT_EQ(years[4].tariffCosts, (std::vector<double>{0.0, 0.0}));
  EXPECT_EQ(BucketIsoName(years[8]), "1998");
  EXPECT_EQ(BucketIsoName(months[1]), "1990-02");
  RegionalSettings rs = RegionalSettings::UsEnglish();
  EXPECT_EQ(BucketName(rs, years[8]), "1998");
  EXPECT_EQ(BucketName(rs, months[1]), "Feb 1990");
}

}  // namespace
}  // namespace dorvane
