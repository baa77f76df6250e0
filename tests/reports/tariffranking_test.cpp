#include "reports/tariffranking.h"

#include <gtest/gtest.h>

namespace dorvane {
namespace {

TEST(TariffRanking, TariffsRankCheapestFirstKeepingTheOrderOfEqualOnes) {
  const auto ranked = RankTariffs({"a", "b", "c"}, {2.0, 1.0, 2.0}, 1.5);
  ASSERT_EQ(ranked.size(), 3u);
  EXPECT_EQ(ranked[0].name, "b");
  EXPECT_EQ(ranked[0].difference, -0.5);
  EXPECT_EQ(ranked[1].name, "a");
  EXPECT_EQ(ranked[2].column, 2u);
}

}  // namespace
}  // namespace dorvane
