#include "platform/rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/error.h"
#include "support/tsv.h"

namespace dorvane {
namespace {

TEST(RoundVectors, HalvesGoToTheEvenNeighbour) {
  test::CheckRows(DORVANE_TEST_DATA "/reference/misc.tsv", 3, "Round(Double)", 18,
                  [](const test::TsvRow& row) {
                    const double value = test::BitsValue(row[4]);
                    if (row[5] == "EXC") {
                      EXPECT_THROW(Round(value), Error);
                    } else {
                      EXPECT_EQ(Round(value), std::stoll(row[6]));
                    }
                  });
}

TEST(Round, RefusesWhatHasNoWholeNumber) {
  for (double value :
       {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(), 9223372036854775808.0, -9223372036854777856.0}) {
    SCOPED_TRACE(value);
    EXPECT_THROW(Round(value), Error);
  }
  EXPECT_EQ(Round(-9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(Round(-0.0), 0);
}

}  // namespace
}  // namespace dorvane
