// The cost warnings at start-up: this month's cost, and its average cost per call, against the
// thresholds the user typed on the Options page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/messages.h"
#include "platform/regional.h"

namespace dorvane {

// One warning's check box and the threshold text as typed.
struct WarningSetting {
  bool checked = false;
  std::string thresholdText = "0";
};

// The text of a warning when its box is checked, the threshold reads as a number and the figure
// lies strictly above it; nothing otherwise.
std::optional<std::string> MonthlyCostWarning(const RegionalSettings& rs,
                                              const WarningSetting& setting, double monthCost);
std::optional<std::string> AverageCostWarning(const RegionalSettings& rs,
                                              const WarningSetting& setting, double averageCost);

// The monthly check, then the average check with the month's cost over its calls. A month
// without calls has no average, so that check is not made. Nothing here reports a failure.
void RunCostWarnings(const RegionalSettings& rs, const WarningSetting& monthly,
                     const WarningSetting& average, double monthCost, int monthCount,
                     MessageService& messages);

}  // namespace dorvane
