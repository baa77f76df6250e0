// The bill end to end: a settings file with a billing day, holidays and a tariff history, the
// start-up warnings of "dorvane CHECK" and "dorvane-report --period current" give the same
// figures for the current billing period, under two regional settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "charges/chargerow.h"
#include "charges/holidays.h"
#include "e2e/e2e_support.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "reports/billingperiod.h"
#include "support/chargecells.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

using dorvane::e2e::ProgramFolder, dorvane::e2e::ReadFile, dorvane::e2e::WriteFile,
    dorvane::testing::BandCells;

// Runs dorvane-report with the arguments under the locale; its standard output.
std::string RunReport(const fs::path& dir, const std::string& locale,
                      std::vector<std::string> args) {
  dorvane::testing::ProcessRequest request;
  request.program = DORVANE_REPORT_EXE;
  request.args = std::move(args);
  request.environment = {"LC_ALL=" + locale};
  request.output = (dir / "report.txt").string();
  request.errors = (dir / "report.err").string();
  const dorvane::testing::ProgramOutput report = dorvane::testing::RunProgram(request);
  EXPECT_EQ(report.status, 0) << report.err;
  return report.out;
}

// The text after "caption " on the line that starts with the caption.
std::string LineValue(const std::string& text, const std::string& caption) {
  const std::size_t at = text.find(caption + " ");
  if (at == std::string::npos) return "(no " + caption + ")";
  const std::size_t from = at + caption.size() + 1;
  return text.substr(from, text.find('\n', from) - from);
}

// Monday to Saturday by day at `dayRate`, the rest at `otherRate`.
std::string Table(const dorvane::RegionalSettings& rs, double dayRate, double otherRate) {
  std::string days = rs.shortDayNames[1];
  for (std::size_t d = 2; d <= 6; ++d) days += ", " + rs.shortDayNames[d];
  return "Count=2\r\n" +
         BandCells(rs, 1, days, dorvane::TimeToStr(rs, 0) + " - " + dorvane::TimeToStr(rs, 0.99999),
                   0.1, dayRate) +
         BandCells(rs, 2, dorvane::kCatchAllBandText,
                   dorvane::TimeToStr(rs, 0) + " - " + dorvane::TimeToStr(rs, 0.99999), 0,
                   otherRate);
}

class BillRun : public ::testing::TestWithParam<const char*> {};

TEST_P(BillRun, StartUpWarningsAndReportAgreeOnTheCurrentBillingPeriod) {
  const std::string locale = GetParam();
  dorvane::RegionalSettings rs;
  try {
    rs = dorvane::RegionalSettings::FromLocale(locale);
  } catch (const dorvane::Error&) {
    GTEST_SKIP() << locale << " is not installed";
  }
  ProgramFolder folder(std::string("bill-") + (locale[0] == 'd' ? "de" : "gb"));
  // Today is where the real clock says: the billing day is chosen so that the current period
  // began some days ago, and its first day is a holiday priced as a Sunday.
  const dorvane::TDateTime now = dorvane::SystemClock().Now();
  const int today = dorvane::DecodeDate(now).day;
  const int firstDay = today > 5 && today <= 28 ? today - 4 : 27;
  const dorvane::BillingPeriod period = dorvane::CurrentBillingPeriod(now, firstDay);
  const dorvane::BillingPeriod previous = dorvane::PreviousBillingPeriod(period, firstDay);
  WriteFile(folder.Dir() / "dorvane.INI",
            "[Warn Monthly Cost]\r\nWarn=1\r\nCost=-1\r\n[Warn Average Cost]\r\nWarn=1\r\n"
            "Cost=-1\r\n[Billing]\r\nFirstDay=" +
                std::to_string(firstDay) +
                "\r\n[Holidays]\r\nCount=1\r\nDay1=" + dorvane::IsoDayText(period.first) +
                "\r\n[strgrdCost]\r\nValidFrom=" + dorvane::IsoDayText(period.first + 1) + "\r\n" +
                Table(rs, 0.2, 0.05) + "[strgrdCost " + dorvane::IsoDayText(previous.first) +
                "]\r\n" + Table(rs, 0.3, 0.1));
  std::string store = "[calls]\r\n";
  const dorvane::TDateTime starts[] = {previous.first + 0.5, period.first - 0.5, period.first + 0.4,
                                       period.first + 1.4, period.first + 1.7};
  for (const dorvane::TDateTime start : starts) {
    store +=
        dorvane::FloatToStr(rs, start) + "=" + dorvane::FloatToStr(rs, start + 7.5 / 1440) + "\r\n";
  }
  WriteFile(folder.Dir() / "dorvane.DB", store);

  dorvane::e2e::RunOptions options;
  options.locale = locale;
  ASSERT_EQ(folder.Run(options).status, 0) << folder.MessageText();
  const std::string report =
      RunReport(folder.Root(), locale,
                {"--period", "current", "--settings", (folder.Dir() / "dorvane.INI").string(),
                 "--store", (folder.Dir() / "dorvane.DB").string()});
  const std::string total = LineValue(report, "Total Cost:");
  EXPECT_EQ(LineValue(report, "Number of Calls:"), "3");
  EXPECT_EQ(folder.MessageText(), "Warning: Costs for Online Time have reached " + total +
                                      " this month\nWarning: Average cost per call has reached " +
                                      LineValue(report, "Average Cost per Call:") + " this month\n")
      << report;
}

INSTANTIATE_TEST_SUITE_P(Locales, BillRun, ::testing::Values("en_GB.UTF-8", "de_DE.UTF-8"),
                         [](const auto& info) { return std::string(info.param).substr(0, 5); });

}  // namespace
