#include "reports/tariffranking.h"

#include <algorithm>

namespace dorvane {

std::vector<TariffTotal> RankTariffs(const std::vector<std::string>& names,
                                     const std::vector<double>& totals, double ownTotal) {
  std::vector<TariffTotal> ranked;
  for (std::size_t i = 0; i < names.size(); ++i) {
    ranked.push_back(TariffTotal{names[i], i, totals[i], totals[i] - ownTotal});
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const TariffTotal& a, const TariffTotal& b) { return a.total < b.total; });
  return ranked;
}

}  // namespace dorvane
