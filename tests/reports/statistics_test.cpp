#include "reports/statistics.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "reports/billingperiod.h"
#include "reports/statisticslabels.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

// Day/month/year dates, "$" before the amount, a leading minus.
RegionalSettings BritishDollars() {
  RegionalSettings rs = test::Profile("EN_GB");
  rs.currencySymbol = "$";
  return rs;
}

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return EncodeDate(y, m, d) + EncodeTime(h, n, s, 0);
}

// Prices looked up by the call's start, as a table of three bands would give them.
class TablePricing : public CallPricing {
 public:
  struct Three {
    double cost, lowest, highest;
  };
  void Add(TDateTime start, Three p) { prices_[start] = p; }
  double CallCost(TDateTime s, TDateTime) const override { return prices_.at(s).cost; }
  PricedCall Prices(TDateTime s, TDateTime e) const override {
    const Three& p = prices_.at(s);
    return PricedCall{s, e, p.cost, p.lowest, p.highest};
  }

 private:
  std::map<TDateTime, Three> prices_;
};

std::map<AnalysisLabel, std::string> Fill(const RegionalSettings& rs, const PeriodStatistics& s,
                                          TDateTime today, bool* complete = nullptr) {
  std::map<AnalysisLabel, std::string> texts;
  const bool done = FillAnalysisLabels(
      rs, s, today, [&](AnalysisLabel l, const std::string& t) { texts[l] = t; });
  if (complete) *complete = done;
  return texts;
}

TEST(CostsAnalysis, TwoCallsOfJanuary1999AsTheLabelsShowThem) {
  const RegionalSettings rs = BritishDollars();
  const TDateTime today = At(1999, 3, 10);
  const TDateTime tuesday = At(1999, 1, 12, 17, 58, 30);
  const TDateTime saturday = At(1999, 1, 16, 10, 0, 0);
  TablePricing pricing;
  pricing.Add(tuesday, {1.50, (6 + 40.0 / 60) * 0.05 + 0.10, 1.50});
  pricing.Add(saturday, {0.25, (40.0 / 60) * 0.05 + 0.10, 0.50});

  const ReportPeriod period{At(1999, 1, 1), At(1999, 1, 31, 23, 59, 59)};
  PeriodStatistics stats = StartStatistics(today);
  AddCallToStatistics(stats, period, today, pricing, tuesday, At(1999, 1, 12, 18, 5, 10));
  AddCallToStatistics(stats, period, today, pricing, saturday, At(1999, 1, 16, 10, 0, 40));

  bool complete = false;
  const auto texts = Fill(rs, stats, today, &complete);
  EXPECT_TRUE(complete);
  const std::vector<std::pair<AnalysisLabel, std::string>> expected = {
      {AnalysisLabel::Period, "12/01/1999  -  16/01/1999"},
      {AnalysisLabel::NumberOfCalls, "2"},
      {AnalysisLabel::AverageCallingTime, "00:03:40"},
      {AnalysisLabel::TotalCallingTime, "00:07:20"},
      {AnalysisLabel::AverageCost, "$0.88"},
      {AnalysisLabel::TotalCost, "$1.75"},
      {AnalysisLabel::LowestCost, "$0.57 (-$1.18)"},
      {AnalysisLabel::HighestCost, "$2.00 (+$0.25)"},
      {AnalysisLabel::EstimatedMonthlyCost, "$0.00"},
      {AnalysisLabel::MonthlyCostDuringPeriod, "$10.85"},
  };
  for (const auto& [label, text] : expected) {
    EXPECT_EQ(texts.at(label), text) << static_cast<int>(label);
  }
  EXPECT_EQ(stats.currentMonthCount, 0);
}

TEST(CostsAnalysis, PeriodAndCurrentMonthCountDifferentCalls) {
  const TDateTime today = At(1999, 6, 5);
  struct Call {
    TDateTime start, end;
  };
  const Call calls[] = {
      {At(1999, 5, 31, 23, 0), At(1999, 6, 1, 0, 30)},  // before the period, ends within it
      {At(1999, 6, 1, 8), At(1999, 6, 1, 8, 10)},       // period and current month
      {At(1998, 6, 2, 8), At(1998, 6, 2, 8, 10)},       // June of another year
      {At(1999, 6, 3, 23), At(1999, 6, 4, 0, 15)},      // on the stop date, ends the next day
      {At(1999, 6, 4, 9), At(1999, 6, 4, 9, 5)},        // after the stop date, current month
  };
  TablePricing pricing;
  for (const Call& c : calls) pricing.Add(c.start, {1.0, 0.5, 2.0});
  const ReportPeriod period{At(1999, 6, 1), At(1999, 6, 3, 23, 59, 59)};
  PeriodStatistics stats = StartStatistics(today);
  for (const Call& c : calls) AddCallToStatistics(stats, period, today, pricing, c.start, c.end);

  EXPECT_EQ(stats.count, 2);
  EXPECT_EQ(stats.firstDate, calls[1].start);
  EXPECT_EQ(stats.lastDate, calls[3].end) << "the end of the last call, on the next day";
  EXPECT_DOUBLE_EQ(stats.totalCost, 2.0);
  EXPECT_DOUBLE_EQ(stats.totalLowest, 1.0);
  EXPECT_DOUBLE_EQ(stats.totalHighest, 4.0);
  EXPECT_EQ(stats.currentMonthCount, 3);
  EXPECT_DOUBLE_EQ(stats.currentMonthCost, 3.0);
  EXPECT_EQ(Fill(test::Profile("EN_GB"), stats, today).at(AnalysisLabel::Period),
            "01/06/1999  -  04/06/1999");
}

TEST(CostsAnalysis, WithoutCallsInThePeriodOnlyTheFirstTwoLabelsChange) {
  const TDateTime now = At(2026, 12, 8, 9, 30);
  bool complete = true;
  const auto texts = Fill(test::Profile("EN_US"), StartStatistics(now), now, &complete);
  EXPECT_FALSE(complete);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts.at(AnalysisLabel::Period), "12/8/2026  -  12/8/2026");
  EXPECT_EQ(texts.at(AnalysisLabel::NumberOfCalls), "0");
}

TEST(CostsAnalysis, MonthlyEstimatesCountMonthsOf31Days) {
  struct Case {
    double cost;
    TDateTime first, last, today;
    double estimate, average;
  };
  const Case cases[] = {
      // On the 10th with 20.00 spent: 62.00.
      // The last call is of this month, so the period runs to today: 8 days.
      {20.0, At(1999, 3, 3), At(1999, 3, 9), At(1999, 3, 10), 62.0, 20.0 * 31 / 8},
      // On the first day of a month: 31 times the cost so far.
      {2.0, At(1999, 5, 1), At(1999, 5, 1, 9), At(1999, 5, 1), 62.0, 62.0},
      // Third of March to 20 April, today in June: 48 days.
      {24.0, At(1999, 3, 3), At(1999, 4, 20), At(1999, 6, 5), 24.0 * 31 / 5, 15.5},
      // Last call ended on 2 June, today 5 June: the period ends today, 93 days.
      {31.0, At(1999, 3, 3), At(1999, 6, 2), At(1999, 6, 5), 31.0 * 31 / 5, 31.0 * 31 / 93},
      // Years count 365 days: 1998-12-31 to 1999-01-01 gives 365 - 330 - 30 + 1 = 6.
      {6.0, At(1998, 12, 31), At(1999, 1, 1), At(1999, 3, 1), 6.0 * 31, 31.0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(EstimatedPeriodCost(c.cost, c.today, 1), c.estimate);
    EXPECT_DOUBLE_EQ(AverageMonthlyCost(c.cost, c.first, c.last, c.today), c.average);
  }
}

TEST(CostsAnalysis, CurrentMonthTestAgreesWithIsCurrentMonth) {
  const TDateTime halfMs = 0.5 / 86400000;
  for (const TDateTime today : {At(1999, 6, 5, 12), At(1999, 12, 31, 23, 59), At(2000, 1, 1)}) {
    const CurrentMonthFilter test(today);
    const DateParts d = DecodeDate(today);
    const TDateTime first = EncodeDate(d.year, d.month, 1);
    const TDateTime values[] = {first,
                                first - halfMs,
                                first - 2 * halfMs,
                                first - 1.5,
                                first + 27.999999,
                                first + 40,
                                today - 365.0,
                                today + 1e-3,
                                36006.8430905671,
                                -1.25,
                                EncodeDate(d.year - 1, d.month, 15)};
    for (const TDateTime v : values) EXPECT_EQ(test(v), IsCurrentMonth(v, today)) << v;
    EXPECT_THROW(test(1e9), Error) << "a value that is no date is refused as before";
  }
}

TEST(CostsAnalysis, DifferencesCarryAPlusOnlyAboveZero) {
  const RegionalSettings us = test::Profile("EN_US");
  EXPECT_EQ(CostDifferenceText(us, 0.25), "(+$0.25)");
  EXPECT_EQ(CostDifferenceText(us, 0.0), "($0.00)");
  EXPECT_EQ(CostDifferenceText(us, -0.001), "($0.00)");
  EXPECT_EQ(CostDifferenceText(us, 0.001), "(+$0.00)");
  RegionalSettings brackets = us;
  brackets.negCurrFormat = 0;  // ($1.18)
  EXPECT_EQ(CostDifferenceText(brackets, -1.1833), "(($1.18))");
}

}  // namespace
}  // namespace dorvane
