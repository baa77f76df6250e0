// dorvane-report against the window's own report runs: on the same files, under the same
// settings, its texts are theirs to the character.
#include "cli/reportcli.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "cli/reportexport.h"
#include "platform/messages.h"
#include "reports/reportrun.h"
#include "settings/settingsfile.h"
#include "support/files.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

namespace fs = std::filesystem;

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return EncodeDate(y, m, d) + EncodeTime(h, n, s, 0);
}

TEST(ReportCli, TextsAreTheWindowRunsTexts) {
  const testing::TempDir dir;
  const std::string settings = dir.File("t.INI");
  const std::string store = dir.File("t.DB");
  for (const char* profile : {"EN_GB", "DE", "T12_DOT"}) {
    SCOPED_TRACE(profile);
    const RegionalSettings rs = test::Profile(profile);
    // A weekday band and the catch-all band; calls before, in and after the period, one that
    // starts at midnight, one that ends before it starts, one that runs into the next day.
    const ChargeRows bands = {
        {rs.shortDayNames[1] + ", " + rs.shortDayNames[2],
         TimeToStr(rs, EncodeTime(8, 0, 0, 0)) + " - " + TimeToStr(rs, EncodeTime(17, 59, 59, 0)),
         FloatToStr(rs, 0.1), FloatToStr(rs, 0.2), FloatToStr(rs, 0.5), "1"},
        DefaultChargeCells(rs)};
    SettingsFile(settings).Save(Options{}, 1, bands);
    std::string text = "[1999-1]\r\n";
    for (auto [s, e] : {std::pair{At(1998, 12, 31, 23), At(1999, 1, 1, 1)},
                        {At(1999, 1, 11, 17, 58, 30), At(1999, 1, 11, 18, 5, 10)},
                        {At(1999, 1, 12), At(1999, 1, 12, 0, 0, 40)},
                        {At(1999, 1, 13, 9), At(1999, 1, 13, 8)},
                        {At(1999, 1, 31, 23, 30), At(1999, 2, 1, 0, 15)},
                        {At(1999, 2, 1, 10), At(1999, 2, 1, 10, 3)}}) {
      text += FloatToStr(rs, s) + "=" + FloatToStr(rs, e) + "\r\n";
    }
    testing::WriteBytes(store, text);

    const RealFileSystem files(dir.Path(), {settings, store});
    FixedClock clock{At(2000, 1, 1)};
    SilentMessages messages;
    std::map<AnalysisLabel, std::string> labels;
    const TDateTime today = EncodeDate(1999, 1, 20);
    struct Today : Clock {
      TDateTime day;
      TDateTime Now() const override { return day; }
    } fixed;
    fixed.day = today;
    const ReportInputs run{
        .files = files,
        .messages = messages,
        .clock = fixed,
        .regional = rs,
        .storePath = store,
        .period = {EncodeDate(1999, 1, 1), At(1999, 1, 31, 23, 59, 59)},
        .charges = bands,
        .progress = {},
        .setLabel = [&](AnalysisLabel l, const std::string& t) { labels[l] = t; }};
    CurrentMonthFigures month;
    ASSERT_TRUE(RunCostsAnalysis(run, month));
    ASSERT_EQ(labels.size(), kAnalysisLabelCount);
    std::string expected;
    for (std::size_t i = 0; i < kAnalysisLabelCount; ++i) {
      expected +=
          CaptionLine(kStatisticsLabels[i]) + " " + labels[static_cast<AnalysisLabel>(i)] + "\n";
    }
    LogbookDocument doc;
    ASSERT_TRUE(RunLogbookReport(run, doc));

    const auto report = [&](std::vector<std::string> args) {
      std::ostringstream out;
      std::ostringstream err;
      args.insert(args.end(), {"--settings", settings, "--store", store, "--month", "1999-01",
                               "--today", "1999-01-20"});
      EXPECT_EQ(RunDorvaneReport(args, {files, clock, rs, "", "", out, err}), kReportDone)
          << err.str();
      return out.str();
    };
    EXPECT_EQ(report({}), expected);
    EXPECT_EQ(report({"--logbook"}), doc.PlainText());
  }
}

// A merge that lands between the period pass and the report: every read of the store is
// followed by a rename that puts another store in its place.
class StoreReplacedAfterEachRead : public FileSystem {
 public:
  StoreReplacedAfterEachRead(std::string first, std::string next)
      : store_(std::move(first)), next_(std::move(next)) {}
  bool Exists(const std::string& path) const override { return path == "s.DB"; }
  std::optional<std::string> ReadAll(const std::string& path) const override {
    if (path != "s.DB") return std::nullopt;
    return std::exchange(store_, next_);
  }
  bool Delete(const std::string&) override { return false; }
  std::optional<FileStamp> Stamp(const std::string&) const override { return std::nullopt; }

 private:
  mutable std::string store_;
  std::string next_;
};

TEST(ReportCli, PeriodAndReportReadOneVersionOfTheStore) {
  const RegionalSettings rs = test::Profile("EN_US");
  const auto store = [&](int year) {
    return "[" + std::to_string(year) + "-1]\r\n" + FloatToStr(rs, At(year, 1, 11, 9)) + "=" +
           FloatToStr(rs, At(year, 1, 11, 9, 30)) + "\r\n" + FloatToStr(rs, At(year, 1, 12, 20)) +
           "=" + FloatToStr(rs, At(year, 1, 12, 20, 5)) + "\r\n";
  };
  const FixedClock clock{At(2000, 1, 1)};
  const auto report = [&](const FileSystem& files) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunDorvaneReport({"--logbook", "--today", "1999-01-20"},
                               {files, clock, rs, "", "s.DB", out, err}),
              kReportDone)
        << err.str();
    return out.str();
  };
  const std::string expected = report(StoreReplacedAfterEachRead(store(1999), store(1999)));
  EXPECT_NE(expected.find(DateToStr(rs, At(1999, 1, 12))), std::string::npos) << expected;
  EXPECT_EQ(report(StoreReplacedAfterEachRead(store(1999), store(2005))), expected);
}

}  // namespace
}  // namespace dorvane
