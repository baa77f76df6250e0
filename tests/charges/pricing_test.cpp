#include "charges/pricing.h"

#include <gtest/gtest.h>

namespace dorvane {
namespace {

constexpr double kSecond = 1.0 / 86400;

TEST(CallDuration, MinutesWithSecondsAsSixtiethsAndNoMilliseconds) {
  const TDateTime start = EncodeDate(1999, 1, 12) + EncodeTime(17, 58, 30, 0);
  struct Case {
    double elapsedSeconds;
    double minutes;
  };
  const Case cases[] = {
      {0, 0},
      {400, 6 + 40.0 / 60},
      {59.4, 59.0 / 60},     // milliseconds do not count
      {59.9996, 1.0},        // rounded to the millisecond first
      {59.9994, 59.0 / 60},  // ...which leaves 59.999 s
      {3600, 60},
      {86400, 1440},  // a whole day keeps its minutes
      {90061, 1501 + 1.0 / 60},
      {-30, 0},  // an end before its start
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(CallDuration(start, start + c.elapsedSeconds * kSecond), c.minutes)
        << c.elapsedSeconds << " s";
  }
}

TEST(RoundUpToPeriod, BillsWholeMultiplesOfThePeriod) {
  struct Case {
    double duration, period, billed;
  };
  const Case cases[] = {
      {6, 3, 6},              // an exact multiple stays
      {6 + 1.0 / 60, 3, 9},   // a second over goes to the next multiple
      {6 + 40.0 / 60, 1, 7},  // every begun minute in full
      {6 + 40.0 / 60, 0, 6 + 40.0 / 60},
      {6 + 40.0 / 60, -2, 6 + 40.0 / 60},
      {0.5, 3, 3},  // shorter than the period: one whole period
      {0, 3, 0},    // no call time, nothing billed
      {1.5, 0.5, 1.5},
      {2, 1.5, 3},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(RoundUpToPeriod(c.duration, c.period), c.billed)
        << c.duration << " at " << c.period;
  }
}

TEST(BandPrice, StartCostPlusBilledMinutesAtLeastTheMinimum) {
  const BandRates weekday{0.10, 0.20, 0.50, 1};
  const BandRates weekend{0, 0.08, 0.25, 3};
  const BandRates catchAll{0.10, 0.05, 0, 0};
  const double longCall = 6 + 40.0 / 60;
  const double shortCall = 40.0 / 60;
  EXPECT_DOUBLE_EQ(BandPrice(weekday, longCall), 1.50);
  EXPECT_DOUBLE_EQ(BandPrice(weekend, longCall), 0.72);
  EXPECT_NEAR(BandPrice(catchAll, longCall), 0.4333333, 1e-7);
  EXPECT_DOUBLE_EQ(BandPrice(weekend, shortCall), 0.25);  // 0.24 raised to the minimum
  EXPECT_DOUBLE_EQ(BandPrice(weekday, shortCall), 0.50);
  EXPECT_NEAR(BandPrice(catchAll, shortCall), 0.1333333, 1e-7);
  EXPECT_DOUBLE_EQ(BandPrice(weekend, 6), 0.48);
  // No call time: the start cost, or the minimum when that is higher.
  EXPECT_DOUBLE_EQ(BandPrice(catchAll, 0), 0.10);
  EXPECT_DOUBLE_EQ(BandPrice(weekday, 0), 0.50);
}

}  // namespace
}  // namespace dorvane
