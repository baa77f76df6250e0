// The statistics labels of the two report pages: which there are, and the texts a run gives them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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

// The colours of the statistics labels' values and of the logbook's text.
enum class TextColor { Black, Navy, Maroon, Purple };

// The colour as 0xRRGGBB: the design's dark colours.
constexpr std::uint32_t TextColorRgb(TextColor color) {
  switch (color) {
    case TextColor::Navy:
      return 0x000080;
    case TextColor::Maroon:
      return 0x800000;
    case TextColor::Purple:
      return 0x800080;
    case TextColor::Black:
      break;
  }
  return 0x000000;
}

// A statistics label as every report shows it: the window beside its value, the logbook's
// summary, and dorvane-report's analysis as text and HTML.
struct StatisticsLabel {
  AnalysisLabel label;
  const char* caption;  // with its colon
  TextColor color;      // of the value; black is the window's own text colour
  // The words before the caption on its line, shared with the caption of the next label (the
  // window sets them apart, above both); nullptr for none.
  const char* lead = nullptr;
};

inline constexpr std::size_t kAnalysisLabelCount = 10;
// The labels both report pages show, Period to TotalCost; the rest are the costs analysis' own.
inline constexpr std::size_t kBothPagesLabelCount = 6;

// Every statistics label, in the order of AnalysisLabel.
inline constexpr std::array<StatisticsLabel, kAnalysisLabelCount> kStatisticsLabels = {{
    {AnalysisLabel::Period, "Period:", TextColor::Black},
    {AnalysisLabel::NumberOfCalls, "Number of Calls:", TextColor::Purple},
    {AnalysisLabel::AverageCallingTime, "Average Time per Call:", TextColor::Navy},
    {AnalysisLabel::TotalCallingTime, "Total Time:", TextColor::Navy},
    {AnalysisLabel::AverageCost, "Average Cost per Call:", TextColor::Maroon},
    {AnalysisLabel::TotalCost, "Total Cost:", TextColor::Maroon},
    {AnalysisLabel::LowestCost, "lowest charge:", TextColor::Maroon, "If you had always called at"},
    {AnalysisLabel::HighestCost, "highest charge:", TextColor::Maroon},
    {AnalysisLabel::EstimatedMonthlyCost, "Estimated cost for this month:", TextColor::Maroon},
    {AnalysisLabel::MonthlyCostDuringPeriod,
     "Average monthly cost during selected period:", TextColor::Maroon},
}};

constexpr const StatisticsLabel& StatisticsLabelOf(AnalysisLabel label) {
  return kStatisticsLabels[static_cast<std::size_t>(label)];
}

// The caption as one line of text shows it: its lead, if any, and the caption ("If you had
// always called at lowest charge:").
std::string CaptionLine(const StatisticsLabel& label);

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
