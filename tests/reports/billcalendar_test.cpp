// The bill reproduced: a year of calls priced across two tariff changes and public holidays,
// counted by a billing period from the 15th, against figures worked out by hand.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "charges/holidays.h"
#include "cli/reportcli.h"
#include "platform/messages.h"
#include "reports/billingperiod.h"
#include "reports/reportrun.h"
#include "settings/settingsfile.h"
#include "settings/tariffsettings.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

namespace fs = std::filesystem;

TDateTime At(int y, int m, int d, int h = 0, int n = 0) {
  return EncodeDate(y, m, d) + EncodeTime(h, n, 0, 0);
}

TEST(Holidays, EasterSundayOfKnownYears) {
  const struct {
    int year, month, day;
  } cases[] = {{1818, 3, 22}, {2000, 4, 23}, {2019, 4, 21}, {2024, 3, 31},
               {2025, 4, 20}, {2026, 4, 5},  {2038, 4, 25}, {2285, 3, 22}};
  for (const auto& c : cases) {
    EXPECT_EQ(EasterSunday(c.year), EncodeDate(c.year, c.month, c.day)) << c.year;
  }
}

TEST(Holidays, RulesReadBackAndMatchTheirDays) {
  const struct {
    const char* text;
    bool valid;
    TDateTime holiday;     // a day the rule makes a holiday
    TDateTime notHoliday;  // one it does not
  } cases[] = {
      {"12-25", true, EncodeDate(2031, 12, 25), EncodeDate(2031, 12, 26)},
      {"02-29", true, EncodeDate(2028, 2, 29), EncodeDate(2027, 3, 1)},
      {"2026-12-24", true, EncodeDate(2026, 12, 24), EncodeDate(2027, 12, 24)},
      {"Easter+1", true, EncodeDate(2026, 4, 6), EncodeDate(2026, 4, 5)},
      {"Easter-2", true, EncodeDate(2025, 4, 18), EncodeDate(2025, 4, 20)},
      {"Easter+50", true, EncodeDate(2026, 5, 25), EncodeDate(2026, 5, 24)},
      {"Easter", true, EncodeDate(2026, 4, 5), EncodeDate(2026, 4, 6)},
      {"02-30", false, 0, 0},
      {"13-01", false, 0, 0},
      {"2026-02-29", false, 0, 0},
      {"Easter+x", false, 0, 0},
      {"Easter+", false, 0, 0},
      {"Easter*1", false, 0, 0},
      {"12/25", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<HolidayRule> rule = ParseHolidayRule(c.text);
    ASSERT_EQ(rule.has_value(), c.valid);
    if (!rule) continue;
    EXPECT_EQ(HolidayRuleText(*rule), c.text);
    const Holidays holidays(1, {*rule});
    EXPECT_TRUE(holidays.IsHoliday(c.holiday + 0.5));
    EXPECT_FALSE(holidays.IsHoliday(c.notHoliday + 0.5));
  }
}

TEST(BillingPeriod, RunsFromTheFirstDayToTheDayBeforeItNextMonth) {
  const struct {
    TDateTime day;
    int firstDay;
    TDateTime first, last;
    int dayNumber;
  } cases[] = {
      {EncodeDate(2026, 12, 15), 15, EncodeDate(2026, 12, 15), EncodeDate(2027, 1, 14), 1},
      {EncodeDate(2027, 1, 14), 15, EncodeDate(2026, 12, 15), EncodeDate(2027, 1, 14), 31},
      {EncodeDate(2026, 3, 14), 15, EncodeDate(2026, 2, 15), EncodeDate(2026, 3, 14), 28},
      {EncodeDate(2026, 1, 3), 28, EncodeDate(2025, 12, 28), EncodeDate(2026, 1, 27), 7},
      {EncodeDate(2026, 2, 28), 1, EncodeDate(2026, 2, 1), EncodeDate(2026, 2, 28), 28},
  };
  for (const auto& c : cases) {
    const BillingPeriod p = BillingPeriodOf(c.day + 0.75, c.firstDay);
    EXPECT_EQ(p.first, c.first);
    EXPECT_EQ(p.LastDay(), c.last);
    EXPECT_EQ(p.DayNumber(c.day + 0.75), c.dayNumber);
    EXPECT_DOUBLE_EQ(EstimatedPeriodCost(2, c.day, c.firstDay), 2.0 * 31 / c.dayNumber);
  }
  const BillingPeriod previous =
      PreviousBillingPeriod(BillingPeriodOf(EncodeDate(2026, 1, 20), 15), 15);
  EXPECT_EQ(previous.first, EncodeDate(2025, 12, 15));
  EXPECT_EQ(previous.LastDay(), EncodeDate(2026, 1, 14));
}

// The cells of a band in the notation of `rs`.
std::string Band(const RegionalSettings& rs, int row, const std::string& days,
                 const std::string& window, double start, double perMinute) {
  const std::string cells[] = {days, window, FloatToStr(rs, start), FloatToStr(rs, perMinute),
                               "0",  "1"};
  std::string text;
  for (int c = 0; c < kChargeColumns; ++c) {
    text += ChargeCellKey(c, row) + "=" + cells[c] + "\n";
  }
  return text;
}

// Weekdays 08:00 to 17:59 at `dayRate` a minute, everything else at `otherRate`.
std::string Table(const RegionalSettings& rs, double dayStart, double dayRate, double otherRate) {
  const std::string weekdays = rs.shortDayNames[1] + ", " + rs.shortDayNames[2] + ", " +
                               rs.shortDayNames[3] + ", " + rs.shortDayNames[4] + ", " +
                               rs.shortDayNames[5];
  const std::string window =
      TimeToStr(rs, EncodeTime(8, 0, 0, 0)) + " - " + TimeToStr(rs, EncodeTime(17, 59, 59, 0));
  const std::string all = TimeToStr(rs, 0) + " - " + TimeToStr(rs, 0.99999);
  return "Count=2\n" + Band(rs, 1, weekdays, window, dayStart, dayRate) +
         Band(rs, 2, kCatchAllBandText, all, 0, otherRate);
}

struct Call {
  TDateTime start;
  double cost, lowest, highest;
};

// Every call lasts ten minutes from 10:00. Tables: before 2026 one rate of 0.1 a minute; from
// 2026-01-01 weekdays 0.3, else 0.1; from 2026-07-01 weekdays 0.1 + 0.2 a minute, else 0.05.
// Easter Monday and Christmas are priced as Sundays; 2026-12-24 is a weekday like any other.
const Call kCalls[] = {
    {At(2024, 12, 20, 10), 1.00, 1.00, 1.00},  // before every date: the earliest table
    {At(2025, 6, 10, 10), 1.00, 1.00, 1.00},   // Tuesday, 2025 table
    {At(2026, 1, 14, 10), 3.00, 1.00, 3.00},   // Wednesday, 2026 table
    {At(2026, 4, 6, 10), 1.00, 1.00, 3.00},    // Easter Monday: a Sunday
    {At(2026, 4, 7, 10), 3.00, 1.00, 3.00},    // the Tuesday after
    {At(2026, 6, 30, 10), 3.00, 1.00, 3.00},   // the last day of the 2026 table
    {At(2026, 7, 1, 10), 2.10, 0.50, 2.10},    // the first of the table in force now
    {At(2026, 12, 14, 10), 2.10, 0.50, 2.10},  // last day of a billing period
    {At(2026, 12, 24, 10), 2.10, 0.50, 2.10},  // Thursday, not listed
    {At(2026, 12, 25, 10), 0.50, 0.50, 2.10},  // Christmas on a Friday: a Sunday
};

class BillCalendar : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("dorvane-bill-" + std::to_string(getpid()) + "-" + GetParam());
    fs::create_directories(dir_);
    settings_ = (dir_ / "t.INI").string();
    store_ = (dir_ / "t.DB").string();
    rs_ = test::Profile(GetParam());
    std::ofstream(settings_, std::ios::binary)
        << "[Billing]\nFirstDay=15\n"
        << "[Holidays]\nPricedAs=1\nCount=3\nDay1=12-25\nDay2=Easter+1\nDay3=2027-01-05\n"
        << "[strgrdCost]\nValidFrom=2026-07-01\n"
        << Table(rs_, 0.1, 0.2, 0.05) << "[strgrdCost 2026-01-01]\n"
        << Table(rs_, 0, 0.3, 0.1) << "[strgrdCost 2025-01-01]\n"
        << Table(rs_, 0, 0.1, 0.1);
    std::string text = "[2024-12]\r\n";
    for (const Call& c : kCalls) {
      text += FloatToStr(rs_, c.start) + "=" + FloatToStr(rs_, c.start + 10.0 / 1440) + "\r\n";
    }
    std::ofstream(store_, std::ios::binary) << text;
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  std::string settings_;
  std::string store_;
  RegionalSettings rs_;
};

TEST_P(BillCalendar, EachCallThePeriodAndTheEstimateAsWorkedOutByHand) {
  std::vector<std::string> problems;
  const TariffSettings tariff = LoadTariffSettings(ProfileFile(settings_), rs_, &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(tariff.billingFirstDay, 15);
  const RealFileSystem files(dir_.string(), {settings_, store_});
  SilentMessages messages;
  for (const auto& [today, estimate] :
       {std::pair{EncodeDate(2026, 12, 15), 2.60 * 31}, {EncodeDate(2027, 1, 14), 2.60}}) {
    const FixedClock clock(today + 0.5);
    std::map<AnalysisLabel, std::string> labels;
    const ReportInputs run{
        .files = files,
        .messages = messages,
        .clock = clock,
        .regional = rs_,
        .storePath = store_,
        .period = {EncodeDate(2024, 1, 1), At(2026, 12, 31, 23, 59)},
        .charges = SettingsFile(settings_).LoadChargesTable(rs_),
        .progress = {},
        .setLabel = [&](AnalysisLabel l, const std::string& t) { labels[l] = t; },
        .calendar = tariff.calendar,
        .billingFirstDay = tariff.billingFirstDay};
    std::size_t n = 0;
    CurrentMonthFigures period;
    const auto stats = RunCostsAnalysis(run, period, [&](const PricedCall& call) {
      ASSERT_LT(n, std::size(kCalls));
      const Call& c = kCalls[n++];
      SCOPED_TRACE(DateToStr(rs_, c.start));
      EXPECT_NEAR(call.cost, c.cost, 1e-9);
      EXPECT_NEAR(call.lowest, c.lowest, 1e-9);
      EXPECT_NEAR(call.highest, c.highest, 1e-9);
    });
    ASSERT_TRUE(stats);
    EXPECT_EQ(n, std::size(kCalls));
    EXPECT_NEAR(stats->totalCost, 18.80, 1e-9);
    EXPECT_NEAR(stats->totalLowest, 8.00, 1e-9);
    EXPECT_NEAR(stats->totalHighest, 22.40, 1e-9);
    // The billing period from 15 December holds the calls of the 24th and the 25th, not the 14th.
    EXPECT_EQ(period.count, 2);
    EXPECT_NEAR(period.cost, 2.60, 1e-9);
    EXPECT_EQ(labels[AnalysisLabel::EstimatedMonthlyCost], MoneyToStr(rs_, estimate));
  }

  // dorvane-report groups the same calls by billing period, named by its first day.
  std::ostringstream out;
  std::ostringstream err;
  const FixedClock clock(EncodeDate(2027, 1, 14));
  ASSERT_EQ(RunDorvaneReport({"--settings", settings_, "--store", store_, "--from", "2024-01-01",
                              "--to", "2026-12-31", "--format", "monthly-csv"},
                             {files, clock, rs_, "", "", out, err}),
            kReportDone)
      << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(out.str(),
            "billing_period,calls,total_time_s,total_cost\r\n"
            "2024-12-15,1,600,1\r\n"
            "2025-05-15,1,600,1\r\n"
            "2025-12-15,1,600,3\r\n"
            "2026-03-15,2,1200,4\r\n"
            "2026-06-15,2,1200,5.1\r\n"
            "2026-11-15,1,600,2.1\r\n"
            "2026-12-15,2,1200,2.6\r\n");

  // --period: the billing periods around today, 2027-01-14.
  const auto periodText = [&](const char* which) {
    std::ostringstream text;
    EXPECT_EQ(RunDorvaneReport({"--settings", settings_, "--store", store_, "--period", which,
                                "--today", "2027-01-14", "--format", "monthly-csv"},
                               {files, clock, rs_, "", "", text, err}),
              kReportDone);
    return text.str();
  };
  EXPECT_EQ(periodText("current"),
            "billing_period,calls,total_time_s,total_cost\r\n2026-12-15,2,1200,2.6\r\n");
  EXPECT_EQ(periodText("previous"),
            "billing_period,calls,total_time_s,total_cost\r\n2026-11-15,1,600,2.1\r\n");
}

INSTANTIATE_TEST_SUITE_P(Profiles, BillCalendar, ::testing::Values("EN_GB", "DE"));

TEST(BillCalendar, InvalidEntriesAreToldAndLeftOut) {
  const fs::path dir = fs::temp_directory_path() / ("dorvane-billbad-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "t.INI").string();
  const RegionalSettings rs = test::Profile("EN_GB");
  const struct {
    const char* text;
    std::vector<std::string> problems;
  } cases[] = {
      {"[Billing]\nFirstDay=0\n", {"[Billing] FirstDay=0 is not valid and is left out."}},
      {"[Billing]\nFirstDay=31\n", {"[Billing] FirstDay=31 is not valid and is left out."}},
      {"[Holidays]\nPricedAs=9\nCount=3\nDay1=12-25\nDay2=02-30\nDay3=Easter+x\n",
       {"[Holidays] PricedAs=9 is not valid and is left out.",
        "[Holidays] Day2=02-30 is not valid and is left out.",
        "[Holidays] Day3=Easter+x is not valid and is left out."}},
      {"[strgrdCost]\nValidFrom=2026-13-01\n[strgrdCost 2025-02-30]\nCount=1\n",
       {"[strgrdCost] ValidFrom=2026-13-01 is not valid and is left out.",
        "[strgrdCost 2025-02-30] is not valid and is left out."}},
      {"[Billing]\nFirstDay=1\n[Holidays]\nCount=0\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    std::vector<std::string> problems;
    const TariffSettings s = LoadTariffSettingsReadOnly(ProfileFile(path), rs, &problems);
    EXPECT_EQ(problems, c.problems);
    // What is left out falls back to the default; what is valid stays.
    EXPECT_EQ(s.billingFirstDay, 1);
    EXPECT_EQ(s.calendar.holidays.PricedAs(), 1);
    EXPECT_FALSE(s.calendar.validFrom);
    EXPECT_TRUE(s.calendar.earlier.empty());
  }
  EXPECT_EQ(LoadTariffSettings(ProfileFile(path), rs, nullptr), TariffSettings{});
  fs::remove_all(dir);
}

}  // namespace
}  // namespace dorvane
