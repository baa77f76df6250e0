// One row of the charges table as the grid holds it: six cell texts, Days, Time, start cost,
// cost per minute, minimum cost and minimum period.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace dorvane {

inline constexpr int kChargeColumns = 6;
// The Days cell of the catch-all band, the table's last row.
inline constexpr const char* kCatchAllBandText = "The time not specified above";

using ChargeRow = std::array<std::string, kChargeColumns>;

// The bands in grid order, the catch-all band last.
using ChargeRows = std::vector<ChargeRow>;

}  // namespace dorvane
