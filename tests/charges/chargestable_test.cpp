#include "charges/chargestable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "charges/bandedit.h"
#include "charges/gridpricing.h"
#include "platform/error.h"
#include "settings/settingsfile.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

using test::kDe, test::kUs;

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

TEST(ChargeCells, ListsOfDayNamesMatchWholeNamesAndOtherTextsAnyPart) {
  RegionalSettings rs = kUs;
  // Saturday's abbreviation lies inside Sunday's and Monday's.
  rs.shortDayNames = {"SunSat", "MoSat", "Tu", "We", "Th", "Fr", "Sat"};
  EXPECT_FALSE(BandHasDay(rs, 7, "SunSat, MoSat"));
  EXPECT_TRUE(BandHasDay(rs, 7, "SunSat, Sat"));
  EXPECT_TRUE(BandHasDay(rs, 7, "SunSat to MoSat")) << "typed by hand: any part counts";
  // Two days share "Sn": their full names tell them apart.
  rs.shortDayNames = {"Sn", "Mo", "Ti", "Wo", "To", "Fr", "Sn"};
  rs.longDayNames = {"Snein", "Moandei", "Tiisdei", "Woansdei", "Tongersdei", "Freed", "Sneon"};
  EXPECT_EQ(DaysText(rs, Days({1, 2, 7})), "Snein, Mo, Sneon");
  EXPECT_TRUE(BandHasDay(rs, 7, "Sneon"));
  EXPECT_FALSE(BandHasDay(rs, 1, "Sneon"));
  EXPECT_TRUE(BandHasDay(rs, 1, "Sn, Mo")) << "written before the full names: both days, as then";
  EXPECT_TRUE(BandHasDay(rs, 7, "Sn, Mo"));
}

TEST(ChargeCells, TimeCellsReadBackInFormatsWithUnitsWordsAndDesignators) {
  struct Case {
    const char* format;
    const char* separator;
    const char* am;
    const char* pm;
    const char* cell;  // 06:00 to 18:05:30
  };
  const Case cases[] = {
      {"hh:nn\u5206ss\u79d2", "\u6642", "", "",
       "06\u664200\u520600\u79d2 - 18\u664205\u520630\u79d2"},
      {"hh\uc2dc nn\ubd84 ss\ucd08", ":", "", "",
       "06\uc2dc 00\ubd84 00\ucd08 - 18\uc2dc 05\ubd84 30\ucd08"},
      {"\"kl. \"hh:nn", ".", "", "", "kl. 06.00 - kl. 18.05"},
      {"hh:nn:ss AMPM", ":", "t\u00e9ng-po", "\u0113-po",
       "06:00:00 t\u00e9ng-po - 06:05:30 \u0113-po"},
      {"hh:nn:ss.AMPM", ":", "PD", "MD", "06:00:00.PD - 06:05:30.MD"},
      {"AMPM hh:nn:ss ", ":", "\u4e0a\u5348", "\u4e0b\u5348",
       "\u4e0a\u5348 06:00:00  - \u4e0b\u5348 06:05:30 "},
      {"hh:nn:ss AMPM", ":", "", "", "06:00:00  - 18:05:30 "},  // no designators: 24 hours
  };
  for (const Case& c : cases) {
    RegionalSettings rs = kUs;
    rs.longTimeFormat = c.format;
    rs.timeSeparator = c.separator;
    rs.timeAMString = c.am;
    rs.timePMString = c.pm;
    const std::string cell = TimeWindowText(rs, EncodeTime(6, 0, 0, 0), EncodeTime(18, 5, 30, 0));
    EXPECT_EQ(cell, c.cell);
    for (int hour = 0; hour < 24; ++hour) {
      const TimeWindow w = ReadTimeWindow(
          rs, TimeWindowText(rs, EncodeTime(hour, 59 - hour, 0, 0), EncodeTime(hour, 59, 59, 0)));
      EXPECT_EQ(w.fromHour * 100 + w.fromMinute, hour * 100 + 59 - hour) << cell;
      EXPECT_EQ(w.toHour * 100 + w.toMinute, hour * 100 + 59) << cell;
    }
  }
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
    const PricedCall all = pricing.Prices(c.start, c.end);  // the three in one pass
    EXPECT_EQ(all.cost, pricing.CallCost(c.start, c.end));
    EXPECT_NEAR(all.lowest, c.lowest, 1e-12);
    EXPECT_NEAR(all.highest, c.highest, 1e-12);
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
  EXPECT_DOUBLE_EQ(only.CallCost(s, e), only.Prices(s, e).lowest);
  EXPECT_DOUBLE_EQ(only.CallCost(s, e), only.Prices(s, e).highest);
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

// The band rules applied row by row: the first row whose day and window match (the last row when
// none does), and the cheapest and the dearest price over all rows.
PricedCall ByTheBandRules(const RegionalSettings& rs, const ChargeRows& table, int day,
                          TDateTime start, TDateTime end) {
  const double duration = CallDuration(start, end);
  const TimeParts t = DecodeTime(RoundToMillisecond(start));
  std::size_t row = 0;
  while (row + 1 < table.size() &&
         !(BandHasDay(rs, day, table[row][0]) &&
           ReadTimeWindow(rs, table[row][1]).Contains(t.hour, t.minute))) {
    ++row;
  }
  PricedCall p;
  p.cost = BandPrice(ReadChargeBand(rs, table[row]), duration);
  p.lowest = 1E20;
  p.highest = 0;
  for (const ChargeRow& r : table) {
    const double price = BandPrice(ReadChargeBand(rs, r), duration);
    p.lowest = std::min(p.lowest, price);
    p.highest = std::max(p.highest, price);
  }
  return p;
}

// Whatever the table pricing works out beforehand, each price is the band rules' to the bit.
TEST(GridPricing, PricesEveryCallToTheBitAsTheBandRulesDo) {
  RegionalSettings rs = kUs;
  rs.longTimeFormat = "hh:nn:ss";
  std::mt19937 random(20);
  const auto pick = [&](std::initializer_list<const char*> texts) {
    return std::string(texts.begin()[random() % texts.size()]);
  };
  const auto clock = [&] {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:00", unsigned(random() % 24),
                  unsigned(random() % 60));
    return std::string(text);
  };
  for (int tables = 0; tables < 40; ++tables) {
    ChargeRows table(tables % 10 == 9 ? 70 : 1 + random() % 10);  // and a long table
    for (ChargeRow& row : table) {
      DaySet days{};
      for (int d = 1; d <= 7; ++d) days[static_cast<std::size_t>(d)] = random() % 3 == 0;
      // Few distinct rates and periods, so that bands tie and one band undercuts another.
      row = {DaysText(rs, days),
             clock() + " - " + clock(),
             pick({"0", "0.05", "0.1", "-0.1"}),
             pick({"0", "0.01", "0.2", "0.15", "1e308"}),
             pick({"0", "0.1", "0.5"}),
             pick({"0", "1", "3", "0.5", "-1", "60"})};
    }
    if (tables % 8 == 7) table.front()[2] = "-0";  // priced row by row
    const GridPricing pricing(rs, table);
    for (int calls = 0; calls < 200; ++calls) {
      const TDateTime start = At(1999, 1, 10) + (random() % (8 * 86400)) / 86400.0;
      const TDateTime end = start + (static_cast<double>(random() % 20000) - 2000) / 86400.0;
      const int day = static_cast<int>(random() % 9);  // 0 and 8 are no weekday
      const PricedCall want = ByTheBandRules(rs, table, day, start, end);
      const PricedCall got = pricing.PricesOn(day, start, end);
      SCOPED_TRACE(testing::Message() << "table " << tables << ", call " << calls);
      EXPECT_EQ(std::bit_cast<std::uint64_t>(got.cost), std::bit_cast<std::uint64_t>(want.cost));
      EXPECT_EQ(std::bit_cast<std::uint64_t>(got.lowest),
                std::bit_cast<std::uint64_t>(want.lowest));
      EXPECT_EQ(std::bit_cast<std::uint64_t>(got.highest),
                std::bit_cast<std::uint64_t>(want.highest));
      EXPECT_EQ(std::bit_cast<std::uint64_t>(pricing.CallCostOn(day, start, end)),
                std::bit_cast<std::uint64_t>(want.cost));
    }
  }
}

// The locales installed on this machine, as `locale -a` lists them.
std::vector<std::string> InstalledLocales() {
  std::vector<std::string> names;
  if (FILE* list = popen("locale -a 2>/dev/null", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, list) != nullptr) {
      std::string name(line);
      while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
      if (!name.empty()) names.push_back(name);
    }
    pclose(list);
  }
  return names;
}

// In every installed locale a band the program writes reads back with its days and its times to
// the minute, the editor opens the first-start table, and that table prices a call.
TEST(ChargeCells, EveryInstalledLocaleReadsBackWhatItWrites) {
  const std::vector<std::string> names = InstalledLocales();
  if (names.empty()) GTEST_SKIP() << "no locale list on this machine";
  int checked = 0;
  for (const std::string& name : names) {
    RegionalSettings rs;
    try {
      rs = RegionalSettings::FromLocale(name);
    } catch (const Error&) {
      continue;  // listed but not loadable here
    }
    SCOPED_TRACE(name);
    for (int set = 0; set < 128; ++set) {
      DaySet days{};
      for (int d = 1; d <= 7; ++d) days[static_cast<std::size_t>(d)] = (set >> (d - 1) & 1) != 0;
      const std::string cell = DaysText(rs, days);
      for (int d = 1; d <= 7; ++d) {
        ASSERT_EQ(BandHasDay(rs, d, cell), days[static_cast<std::size_t>(d)]) << cell << " " << d;
      }
    }
    // Every hour and every minute of the hour, in both limits; the seconds vary too.
    for (int i = 0; i < 120; ++i) {
      const int h1 = i % 24, m1 = i * 13 % 60, h2 = (i * 5 + 7) % 24, m2 = (i * 7 + 31) % 60;
      const std::string cell =
          TimeWindowText(rs, EncodeTime(h1, m1, i % 60, 0), EncodeTime(h2, m2, 59 - i % 60, 0));
      TimeWindow w;
      ASSERT_NO_THROW(w = ReadTimeWindow(rs, cell)) << cell;
      ASSERT_EQ((std::array<int, 4>{w.fromHour, w.fromMinute, w.toHour, w.toMinute}),
                (std::array<int, 4>{h1, m1, h2, m2}))
          << cell;
    }
    const ChargeRow first = DefaultChargeCells(rs);
    BandEditorValues v;
    ResetCostEditor(v);
    ASSERT_NO_THROW(BandToEditor(rs, first, v)) << first[1];
    EXPECT_TRUE(v.locked);
    EXPECT_EQ(TimeToStr(rs, v.to), TimeToStr(rs, 0.99999));
    ChargeRows table{first};
    InsertBandAtTop(rs, table, v);
    const GridPricing pricing(rs, table);
    ASSERT_NO_THROW(pricing.CallCost(At(1999, 1, 12, 18), At(1999, 1, 12, 18, 10)));
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace dorvane
