// The chart of dorvane-report's html page: the cost of each month of the period as an inline
// SVG bar chart, every month from the first call to the last (months without calls at nothing),
// folded into years when the period is too long for bars that can still be read (billing periods
// instead of months when the bill starts on another day than the 1st), with a table
// of the same figures for readers that do not see the picture.
#pragma once

#include <ostream>
#include <vector>

#include "platform/regional.h"
#include "reports/monthlycosts.h"

namespace dorvane {

// Past this many months the chart shows one bar per year.
inline constexpr std::size_t kMaxChartMonths = 36;

// Writes a <figure> with the chart and the table of its bars; nothing for no months. Money
// follows the regional settings; the geometry never depends on the locale.
void WriteCostChart(std::ostream& out, const RegionalSettings& rs,
                    const std::vector<CostBucket>& months);

}  // namespace dorvane
