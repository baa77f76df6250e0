// The statistics labels of the two report pages: which there are, and the texts a run gives them.
#pragma once

#include <functional>
#include <string>

#include "platform/datetime.h"
#include "platform/regional.h"
#include "reports/statistics.h"

namespace dorvane {

// The statistics labels in the order they are filled.
enum class AnalysisLabel {
  Period,
  NumberOfCalls,
  AverageCallingTime,
  TotalCallingTime,
  AverageCost,
  TotalCost,
  LowestCost,
  HighestCost,
  EstimatedMonthlyCost,
  MonthlyCostDuringPeriod,
};

// The six statistics labels that both report pages show, Period to TotalCost, in order. With no
// call the averages cannot be formed: filling stops after the number of calls and returns false.
bool FillStatisticsLabels(const RegionalSettings& rs, const PeriodTotals& totals,
                          const std::function<void(AnalysisLabel, const std::string&)>& setText);

// Hands each label its text in order. With no call in the period the averages cannot be formed:
// filling stops after the number of calls and returns false, the rest keep their texts. A text
// that cannot be formed for another reason also stops the filling there.
// The estimate of this month is that of the current billing period (EstimatedPeriodCost).
bool FillAnalysisLabels(const RegionalSettings& rs, const PeriodStatistics& stats, TDateTime today,
                        const std::function<void(AnalysisLabel, const std::string&)>& setText,
                        int billingFirstDay = 1);

// "12/01/1999  -  16/01/1999": the first and the last date of the period's calls.
std::string PeriodText(const RegionalSettings& rs, TDateTime firstDate, TDateTime lastDate);

// "(+$0.25)", "($0.00)", "(-$1.18)": the money text in brackets, a plus sign only above zero.
std::string CostDifferenceText(const RegionalSettings& rs, double amount);

}  // namespace dorvane
