#include "reports/warnings.h"

#include <cmath>

#include "platform/error.h"

namespace dorvane {

namespace {

std::optional<std::string> Warning(const RegionalSettings& rs, const WarningSetting& setting,
                                   double figure, std::string_view prefix) {
  if (!setting.checked) return std::nullopt;
  double threshold = 0;
  if (!TryStrToFloat(rs, setting.thresholdText, threshold)) return std::nullopt;
  if (!(figure > threshold)) return std::nullopt;
  return std::string(prefix) + MoneyToStr(rs, figure) + " this month";
}

}  // namespace

std::optional<std::string> MonthlyCostWarning(const RegionalSettings& rs,
                                              const WarningSetting& setting, double monthCost) {
  return Warning(rs, setting, monthCost, "Costs for Online Time have reached ");
}

std::optional<std::string> AverageCostWarning(const RegionalSettings& rs,
                                              const WarningSetting& setting, double averageCost) {
  return Warning(rs, setting, averageCost, "Average cost per call has reached ");
}

void RunCostWarnings(const RegionalSettings& rs, const WarningSetting& monthly,
                     const WarningSetting& average, double monthCost, int monthCount,
                     MessageService& messages) {
  try {
    if (auto text = MonthlyCostWarning(rs, monthly, monthCost)) messages.Warning(*text);
    if (monthCount == 0) return;  // no calls, no average
    if (auto text = AverageCostWarning(rs, average, monthCost / monthCount)) {
      messages.Warning(*text);
    }
  } catch (const Error&) {
    // A figure that cannot be shown (no number) ends the warnings quietly.
  }
}

}  // namespace dorvane
