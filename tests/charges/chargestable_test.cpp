#include "charges/chargestable.h"

#include <gtest/gtest.h>

#include <string>

#include "charges/gridpricing.h"
#include "platform/error.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

const RegionalSettings kUs = test::Profile("EN_US");
const RegionalSettings kDe = test::Profile("DE");

DaySet Days(std::initializer_list<int> numbers) {
  DaySet days{};
  for (int d : numbers) days[static_cast<std::size_t>(d)] = true;
  return days;
}

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return EncodeDate(y, m, d) + EncodeTime(h, n, s, 0);
}

TEST(ChargeCells, WrittenInTheFormatsOfTheSettings) {
  EXPECT_EQ(DaysText(kUs, Days({6, 2, 4, 3, 5})), "Mon, Tue, Wed, Thu, Fri");
  EXPECT_EQ(DaysText(kUs, Days({7, 1})), "Sun, Sat");
  EXPECT_EQ(DaysText(kUs, Days({})), "");
  EXPECT_EQ(TimeWindowText(kUs, EncodeTime(8, 0, 0, 0), EncodeTime(18, 0, 0, 0)),
            "8:00:00 AM - 6:00:00 PM");
  EXPECT_EQ(TimeWindowText(kDe, EncodeTime(8, 0, 0, 0), At(1999, 1, 1, 18)), "08:00:00 - 18:00:00");
  const auto header = CostHeaderCaptions(kDe);
  EXPECT_EQ(header[2], "Start Cost [EUR]");
  EXPECT_EQ(header[3], "EUR per Minute");
  EXPECT_EQ(header[4], "Minimum EUR");

  ChargeRow row{"The time not specified above", "x", "a", "b", "c", "d"};
  WriteChargeBand(kUs, row, /*isLastRow=*/true, Days({2}), 0, EncodeTime(23, 59, 59, 0),
                  {"0,3", "1", "2", "3"});
  EXPECT_EQ(row, (ChargeRow{"The time not specified above", "12:00:00 AM - 11:59:59 PM", "0,3", "1",
                            "2", "3"}));
  WriteChargeBand(kUs, row, false, Days({2}), 0, 0, {"1", "2", "3", "4"});
  EXPECT_EQ(row[0], "Mon");
}

TEST(ChargeCells, DaysMatchTheirNamesCaseSensitively) {
  EXPECT_TRUE(BandHasDay(kUs, 2, "Mon, Tue"));
  EXPECT_TRUE(BandHasDay(kUs, 3, "Mon, Tue"));
  EXPECT_FALSE(BandHasDay(kUs, 1, "Mon, Tue"));
  EXPECT_FALSE(BandHasDay(kUs, 2, "mon, tue"));
  EXPECT_FALSE(BandHasDay(kUs, 2, ""));
  // A table saved under English names matches no weekday under German ones.
  RegionalSettings german = kDe;
  german.shortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
  EXPECT_FALSE(BandHasDay(german, 4, "Mon, Tue, Wed"));
  EXPECT_TRUE(BandHasDay(german, 2, "Mon, Tue")) << "a name found anywhere in the cell counts";
  EXPECT_TRUE(BandHasDay(german, 3, "Mo, Di"));
}

TEST(ChargeCells, TimeWindowsIncludeBothLimitsToTheMinute) {
  struct Case {
    const RegionalSettings& rs;
    const char* cell;
    int hour, minute;
    bool inside;
  };
  const Case cases[] = {
      {kDe, "08:00:00 - 18:00:00", 8, 0, true},
      {kDe, "08:00:00 - 18:00:00", 18, 0, true},
      {kDe, "08:00:00 - 18:00:00", 7, 59, false},
      {kDe, "08:00:00 - 18:00:00", 18, 1, false},
      {kDe, "08:00:30 - 18:00:00", 8, 0, true},  // seconds do not count
      {kDe, "22:00:00 - 06:00:00", 23, 0, false},
      {kDe, "22:00:00 - 06:00:00", 3, 0, false},
      {kUs, "8:00:00 AM - 6:00:00 PM", 17, 59, true},
      {kUs, "12:00:00 AM - 11:59:59 PM", 0, 0, true},
      {kUs, "12:00:00 AM - 11:59:59 PM", 23, 59, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BandHasTime(c.rs, c.hour, c.minute, c.cell), c.inside)
        << c.cell << " at " << c.hour << ":" << c.minute;
  }
}

TEST(ChargeCells, CellsThatDoNotConvertNameTheirText) {
  struct Case {
    const char* cell;
    const char* message;
  };
  const Case times[] = {
      {"08:00:00 18:00:00", "'' is not a valid time"},
      {"08:00:00 - late", "'late' is not a valid time"},
      {"early - 18:00:00", "'early' is not a valid time"},
      {"08:00:00 -", "'' is not a valid time"},
  };
  for (const Case& c : times) {
    try {
      BandHasTime(kDe, 8, 0, c.cell);
      ADD_FAILURE() << c.cell;
    } catch (const ConvertError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
  const ChargeRow row{"Mon", "08:00:00 - 18:00:00", "0,3", "0.1", "x", "0"};
  try {
    ReadChargeBand(kDe, row);
    ADD_FAILURE();
  } catch (const ConvertError& e) {
    EXPECT_EQ(std::string(e.what()), "'0.1' is not a valid floating point value");
  }
}

// The table of three bands: weekdays by day, weekends, and the catch-all band.
ChargeRows ExampleTable() {
  return {
      {"Mon, Tue, Wed, Thu, Fri", "08:00:00 - 17:59:59", "0.10", "0.20", "0.50", "1"},
      {"Sun, Sat", "00:00:00 - 23:59:59", "0", "0.08", "0.25", "3"},
      {"The time not specified above", "00:00:00 - 23:59:59", "0.10", "0.05", "0", "0"},
  };
}

TEST(GridPricing, PricesAtTheBandInForceAndAtTheCheapestAndDearest) {
  RegionalSettings rs = kUs;
  rs.longTimeFormat = "hh:nn:ss";
  const ChargeRows table = ExampleTable();
  const GridPricing pricing(rs, table);
  struct Case {
    TDateTime start, end;
    double cost, lowest, highest;
  };
  const Case cases[] = {
      {At(1999, 1, 12, 17, 58, 30), At(1999, 1, 12, 18, 5, 10), 1.50, 0.10 + (6 + 40.0 / 60) * 0.05,
       1.50},
      {At(1999, 1, 16, 10), At(1999, 1, 16, 10, 0, 40), 0.25, 0.10 + 40.0 / 60 * 0.05, 0.50},
      {At(1999, 1, 12, 17, 59, 59), At(1999, 1, 12, 18, 0, 59), 0.50, 0.15,
       0.50},  // row 1, raised to its minimum
      {At(1999, 1, 12, 18), At(1999, 1, 12, 18, 1), 0.15, 0.15, 0.50},  // catch-all band
      {At(1999, 1, 12, 7), At(1999, 1, 12, 7), 0.10, 0.10, 0.50},       // no call time
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(pricing.CallCost(c.start, c.end), c.cost, 1e-12);
    EXPECT_NEAR(pricing.LowestCallCost(c.start, c.end), c.lowest, 1e-12);
    EXPECT_NEAR(pricing.HighestCallCost(c.start, c.end), c.highest, 1e-12);
  }
}

TEST(GridPricing, TheUpperOfTwoOverlappingBandsWinsAndTheCatchAllAloneIsEverything) {
  RegionalSettings rs = kUs;
  rs.longTimeFormat = "hh:nn:ss";
  ChargeRows table = ExampleTable();
  table.insert(table.begin(), ChargeRow{"Tue", "17:00:00 - 18:30:00", "1", "1", "0", "0"});
  EXPECT_DOUBLE_EQ(GridPricing(rs, table).CallCost(At(1999, 1, 12, 17, 58), At(1999, 1, 12, 18)),
                   3.0);

  const ChargeRows alone = {ExampleTable().back()};
  const GridPricing only(rs, alone);
  const TDateTime s = At(1999, 1, 12, 17, 58, 30);
  const TDateTime e = At(1999, 1, 12, 18, 5, 10);
  EXPECT_DOUBLE_EQ(only.CallCost(s, e), only.LowestCallCost(s, e));
  EXPECT_DOUBLE_EQ(only.CallCost(s, e), only.HighestCallCost(s, e));
}

TEST(GridPricing, ABadCellFailsOnlyThePricesThatReachIt) {
  RegionalSettings rs = kUs;
  rs.longTimeFormat = "hh:nn:ss";
  ChargeRows table = ExampleTable();
  table[1][1] = "weekend";  // the Sunday/Saturday window is damaged
  const GridPricing pricing(rs, table);
  // A Tuesday never reads row 2's window.
  EXPECT_DOUBLE_EQ(pricing.CallCost(At(1999, 1, 12, 9), At(1999, 1, 12, 9, 1)), 0.50);
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      pricing.CallCost(At(1999, 1, 16, 9), At(1999, 1, 16, 9, 1));
      ADD_FAILURE() << "a Saturday call needs the damaged cell";
    } catch (const ConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'' is not a valid time");
    }
  }
  EXPECT_THROW(GridPricing(rs, ChargeRows{}), Error);
}

}  // namespace
}  // namespace dorvane
