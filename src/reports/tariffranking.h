// The other charges tables a report compares the period with, ranked by what the period would
// have cost under each.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace dorvane {

// What the period would have cost under another charges table.
struct TariffTotal {
  std::string name;    // the settings file as given
  std::size_t column;  // its place among the tables given
  double total = 0;
  double difference = 0;  // total less the period's cost under the own table
};

// Ranks the totals under other charges tables, cheapest first, with their differences; equal
// totals keep the order given.
std::vector<TariffTotal> RankTariffs(const std::vector<std::string>& names,
                                     const std::vector<double>& totals, double ownTotal);

}  // namespace dorvane
