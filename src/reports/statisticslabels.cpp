#include "reports/statisticslabels.h"

#include "platform/error.h"
#include "platform/plaintext.h"
#include "reports/billingperiod.h"

namespace dorvane {

static_assert(
    [] {
      for (std::size_t i = 0; i < kAnalysisLabelCount; ++i) {
        if (static_cast<std::size_t>(kStatisticsLabels[i].label) != i) return false;
      }
      return true;
    }(),
    "the table lists the labels in the order of AnalysisLabel");

std::string CaptionLine(const StatisticsLabel& label) {
  if (label.lead == nullptr) return label.caption;
  return std::string(label.lead) + ' ' + label.caption;
}

std::string CostDifferenceText(const RegionalSettings& rs, double amount) {
  const std::string money = MoneyToStr(rs, amount);
  std::string text;
  text.reserve(money.size() + 3);
  text.push_back('(');
  if (amount > 0) text.push_back('+');
  text.append(money).push_back(')');
  return text;
}

std::string PeriodText(const RegionalSettings& rs, TDateTime firstDate, TDateTime lastDate) {
  return DateToStr(rs, firstDate) + "  -  " + DateToStr(rs, lastDate);
}

bool FillStatisticsLabels(const RegionalSettings& rs, const PeriodTotals& t,
                          const std::function<void(AnalysisLabel, const std::string&)>& setText) {
  setText(AnalysisLabel::Period, PeriodText(rs, t.firstDate, t.lastDate));
  setText(AnalysisLabel::NumberOfCalls, WholeNumber(t.count));
  // An average over no calls is no number: the remaining labels keep their texts.
  if (t.count == 0) return false;
  setText(AnalysisLabel::AverageCallingTime, DurationToStr(rs, t.totalDuration / t.count));
  setText(AnalysisLabel::TotalCallingTime, DurationToStr(rs, t.totalDuration));
  setText(AnalysisLabel::AverageCost, MoneyToStr(rs, t.totalCost / t.count));
  setText(AnalysisLabel::TotalCost, MoneyToStr(rs, t.totalCost));
  return true;
}

bool FillAnalysisLabels(const RegionalSettings& rs, const PeriodStatistics& s, TDateTime today,
                        const std::function<void(AnalysisLabel, const std::string&)>& setText,
                        int billingFirstDay) {
  try {
    if (!FillStatisticsLabels(rs, s, setText)) {
      return false;
    }
    setText(AnalysisLabel::LowestCost, MoneyToStr(rs, s.totalLowest) + " " +
                                           CostDifferenceText(rs, s.totalLowest - s.totalCost));
    setText(AnalysisLabel::HighestCost, MoneyToStr(rs, s.totalHighest) + " " +
                                            CostDifferenceText(rs, s.totalHighest - s.totalCost));
    setText(AnalysisLabel::EstimatedMonthlyCost,
            MoneyToStr(rs, EstimatedPeriodCost(s.currentMonthCost, today, billingFirstDay)));
    setText(AnalysisLabel::MonthlyCostDuringPeriod,
            MoneyToStr(rs, AverageMonthlyCost(s.totalCost, s.firstDate, s.lastDate, today)));
  } catch (const Error&) {
    // A text that cannot be formed (a date out of range, an amount that is no number) ends the
    // filling quietly; the labels not reached keep their texts.
    return false;
  }
  return true;
}

}  // namespace dorvane
