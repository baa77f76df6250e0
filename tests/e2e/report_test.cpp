// Runs the built dorvane-report on fixture files, in a folder of its own, and checks what it
// prints, what it exits with, and that it leaves Dorvane's files as they were.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
  return dorvane::testing::ReadBytes(p).value_or("");
}

fs::path Data(const std::string& name) {
  return fs::path(DORVANE_TEST_DATA) / "report" / name;
}

// The worked example's regional settings: dollars before the amount with two decimals and a
// leading minus sign, day/month/year with four-digit years, a colon between hours and minutes.
const std::vector<std::string> kAustralian = {"LC_MONETARY=en_AU.UTF-8", "LC_NUMERIC=en_AU.UTF-8",
                                              "LC_TIME=en_SG.UTF-8"};
const std::vector<std::string> kGerman = {"LC_ALL=de_DE.UTF-8"};

using Result = dorvane::testing::ProgramOutput;

class ReportRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ =
        std::make_unique<dorvane::testing::TempDir>(std::string("dorvane-report-") + info->name());
    dir_ = scratch_->Path();
    exe_ = dir_ / "dorvane-report";
    fs::copy_file(DORVANE_REPORT_EXE, exe_);
    for (const char* name :
         {"worked.INI", "worked.DB", "flat.INI", "flat_comma.INI", "comma.INI", "comma.DB"}) {
      fs::copy_file(Data(name), dir_ / name);
    }
  }
  void TearDown() override {
    if (HasFailure()) scratch_->Keep();
  }

  // Runs the program in its folder with only the locale variables given.
  Result Run(const std::vector<std::string>& args,
             const std::vector<std::string>& locale = kAustralian) {
    dorvane::testing::ProcessRequest request;
    request.program = exe_.string();
    request.args = args;
    request.folder = dir_.string();
    request.environment = locale;
    request.environment.push_back("TZ=UTC");
    request.inheritEnvironment = false;
    request.output = (dir_ / "stdout.txt").string();
    request.errors = (dir_ / "stderr.txt").string();
    return dorvane::testing::RunProgram(request, 120);
  }

  // The worked example's files, named as Dorvane names them beside the program.
  void InstallWorkedExample() {
    fs::copy_file(dir_ / "worked.INI", dir_ / "dorvane.INI");
    fs::copy_file(dir_ / "worked.DB", dir_ / "dorvane.DB");
  }

  std::unique_ptr<dorvane::testing::TempDir> scratch_;
  fs::path dir_;
  fs::path exe_;
};

const char* const kWorkedExample =
    "Period: 12/01/1999  -  16/01/1999\n"
    "Number of Calls: 2\n"
    "Average Time per Call: 00:03:40\n"
    "Total Time: 00:07:20\n"
    "Average Cost per Call: $0.88\n"
    "Total Cost: $1.75\n"
    "If you had always called at lowest charge: $0.57 (-$1.18)\n"
    "highest charge: $2.00 (+$0.25)\n"
    "Estimated cost for this month: $0.00\n"
    "Average monthly cost during selected period: $10.85\n";

TEST_F(ReportRun, WorkedExampleFromTheFilesBesideTheProgram) {
  InstallWorkedExample();
  const std::string ini = ReadFile(dir_ / "dorvane.INI");
  const std::string db = ReadFile(dir_ / "dorvane.DB");
  const auto stamp = fs::last_write_time(dir_ / "dorvane.DB");
  Result r = Run({"--from", "1999-01-01", "--to", "1999-01-31", "--today", "1999-06-15"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kWorkedExample);
  EXPECT_EQ(r.err, "");
  // Without a period the store's first and last call days are the period.
  r = Run({"--today=1999-06-15"});
  EXPECT_EQ(r.out, kWorkedExample);
  // Read-only: the files are as they were, and nothing new lies beside them.
  EXPECT_EQ(ReadFile(dir_ / "dorvane.INI"), ini);
  EXPECT_EQ(ReadFile(dir_ / "dorvane.DB"), db);
  EXPECT_EQ(fs::last_write_time(dir_ / "dorvane.DB"), stamp);
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().string().find(".lock"), std::string::npos) << entry.path();
  }
}

TEST_F(ReportRun, LogbookLinesAndACurrentMonth) {
  const Result r = Run({"--settings", "worked.INI", "--store", "worked.DB", "--logbook", "--month",
                        "1999-01", "--today", "1999-01-20"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Modem Logbook Report\n\n"
            "12/01/1999 17:58:30  -  12/01/1999 18:05:10  Time: 00:06:40  Cost: $1.50\n"
            "16/01/1999 10:00:00  -  16/01/1999 10:00:40  Time: 00:00:40  Cost: $0.25\n"
            "\n"
            "Period: 12/01/1999  -  16/01/1999\n"
            "Number of Calls: 2\n"
            "Average Time per Call: 00:03:40\n"
            "Total Time: 00:07:20\n"
            "Average Cost per Call: $0.88\n"
            "Total Cost: $1.75\n");
  // Today in the calls' month: 1.75 over the first 20 days, stretched to 31.
  const Result a = Run({"--settings", "worked.INI", "--store", "worked.DB", "--month", "1999-01",
                        "--today", "1999-01-20"});
  EXPECT_NE(a.out.find("Estimated cost for this month: $2.71\n"), std::string::npos) << a.out;
  // A period without calls: the two labels a run fills, the rest stay empty.
  const Result none = Run({"--settings", "worked.INI", "--store", "worked.DB", "--month", "1999-02",
                           "--today", "1999-06-15"});
  EXPECT_EQ(none.out.substr(0, none.out.find("Average Time")),
            "Period: 15/06/1999  -  15/06/1999\nNumber of Calls: 0\n");
}

// A real CSV reader gets the rows and the costs back, whatever the locale writes numbers as.
TEST_F(ReportRun, CsvReadsBackThroughPython) {
  if (std::system("python3 -c 'import csv' 2>/dev/null") != 0) GTEST_SKIP() << "no python3";
  const Result r = Run({"--settings", "comma.INI", "--store", "comma.DB", "--format", "csv",
                        "--tariff", "comma.INI", "--tariff", "flat_comma.INI"},
                       kGerman);
  ASSERT_EQ(r.status, 0) << r.err;
  std::ofstream(dir_ / "calls.csv", std::ios::binary) << r.out;
  const std::string script =
      "import csv\n"
      "rows = list(csv.DictReader(open('calls.csv', newline='')))\n"
      "print(len(rows), ' '.join(r['start'] + '/' + r['duration_s'] + '/' + r['cost'] + '/' + "
      "r['difference[comma.INI]'] for r in rows))\n";
  std::ofstream(dir_ / "read.py") << script;
  const std::string command = "cd '" + dir_.string() + "' && python3 read.py > read.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadFile(dir_ / "read.txt"),
            "3 1999-02-02T09:00:00/630/2.3/0 1999-03-01T20:00:00/60/0.15/0 "
            "1999-03-05T08:00:00/180/0.7/0\n");
  // The cheaper flat table comes first among the other tables' columns.
  EXPECT_EQ(r.out.substr(0, r.out.find("\r\n")),
            "start,end,duration_s,cost,lowest_cost,highest_cost,cost[flat_comma.INI],"
            "difference[flat_comma.INI],cost[comma.INI],difference[comma.INI]");
}

TEST_F(ReportRun, OtherChargesTablesRankedWithTheirDifference) {
  const Result r = Run({"--settings", "worked.INI", "--store", "worked.DB", "--today", "1999-06-15",
                        "--tariff", "worked.INI", "--tariff", "flat.INI"});
  ASSERT_EQ(r.status, 0) << r.err;
  // 7 minutes 20 seconds at 0.05 a minute: 0.3667.
  EXPECT_EQ(r.out.substr(std::string(kWorkedExample).size()),
            "\nUnder other charges tables, cheapest first:\n"
            "flat.INI: $0.37 (-$1.38)\n"
            "worked.INI: $1.75 ($0.00)\n");
}

TEST_F(ReportRun, MonthlyTotals) {
  const Result text =
      Run({"--settings", "comma.INI", "--store", "comma.DB", "--format", "monthly"}, kGerman);
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out,
            "Month    Calls  Total Time  Total Cost\n"
            "1999-02      1    00:10:30      2,30 €\n"
            "1999-03      2    00:04:00      0,85 €\n");
  const Result csv =
      Run({"--settings", "comma.INI", "--store", "comma.DB", "--format", "monthly-csv"}, kGerman);
  EXPECT_EQ(csv.out,
            "month,calls,total_time_s,total_cost\r\n1999-02,1,630,2.3\r\n1999-03,2,240,0.85\r\n");
}

TEST_F(ReportRun, HtmlPageIsSelfContainedAndEscaped) {
  fs::copy_file(dir_ / "flat.INI", dir_ / "a&<b>.INI");
  const Result r = Run({"--settings", "worked.INI", "--store", "worked.DB", "--format", "html",
                        "--tariff", "a&<b>.INI"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("<!DOCTYPE html>\n", 0), 0u);
  EXPECT_NE(r.out.find("<svg"), std::string::npos);
  EXPECT_NE(r.out.find("<td>a&amp;&lt;b&gt;.INI</td>"), std::string::npos);
  EXPECT_EQ(r.out.find("a&<b>"), std::string::npos);
  EXPECT_EQ(r.out.find("src="), std::string::npos);
  EXPECT_EQ(r.out.find("href="), std::string::npos);
  EXPECT_NE(r.out.find("<td>12/01/1999 17:58:30</td>"), std::string::npos);
}

TEST_F(ReportRun, ErrorsAndTheirStatus) {
  std::ofstream(dir_ / "bad.DB", std::ios::binary) << "[1999-1]\r\nabc=36172.5\r\n";
  std::ofstream(dir_ / "bad.INI", std::ios::binary) << "[strgrdCost]\r\nCount=1\r\nCell21=x\r\n";
  fs::create_directory(dir_ / "folder.DB");
  const std::vector<std::string> files = {"--settings", "worked.INI", "--store", "worked.DB"};
  const auto with = [&](std::vector<std::string> args) {
    args.insert(args.begin(), files.begin(), files.end());
    return args;
  };
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"--frum", "1999-01-01"}, 2, "dorvane-report: unknown option '--frum'\nUsage:"},
      {{"extra"}, 2, "unexpected argument 'extra'"},
      {{"--from"}, 2, "option '--from' needs a value"},
      {{"--from", "1999-02-30"}, 2, "'1999-02-30' is not a date of the form YYYY-MM-DD"},
      {{"--today", "15/06/1999"}, 2, "'15/06/1999' is not a date"},
      {{"--month", "1999-13"}, 2, "'1999-13' is not a month of the form YYYY-MM"},
      {{"--month", "1999-01", "--to", "1999-01-31"}, 2, "cannot be combined"},
      {{"--from", "1999-02-01", "--to", "1999-01-31"}, 2, "dorvane-report: Invalid Report Period"},
      {with({"--from", "1999-02-01"}), 2, "Invalid Report Period"},
      {{"--format", "xml"}, 2, "unknown format 'xml'"},
      {{"--format", "csv", "--logbook"}, 2, "--logbook goes with the text format only"},
      {{"--store", "worked.DB", "--store", "comma.DB"}, 2, "option '--store' given twice"},
      {{"--version=1"}, 2, "option '--version' takes no value"},
      {{"--store", "missing.DB"}, 1, "dorvane-report: Unable to read missing.DB.\n"},
      {{"--store", "folder.DB"}, 1, "Unable to read folder.DB."},
      {with({"--tariff", "missing.INI"}), 1, "Unable to read missing.INI."},
      {{"--settings", "missing.INI"}, 1, "Unable to read missing.INI."},
      {{"--settings", "worked.INI", "--store", "bad.DB"},
       1,
       "dorvane-report: Line 2 of bad.DB: 'abc' is not a valid floating point value.\n"},
      {{"--settings", "bad.INI", "--store", "worked.DB"},
       1,
       "'x' is not a valid floating point value."},
      {with({"--tariff", "bad.INI"}), 1, "'x' is not a valid floating point value."},
      // Dorvane's files under a locale that writes a decimal comma, with no notation recorded
      // beside them: the store reads (either mark), the charges table does not.
      {files, 1, "'0.10' is not a valid floating point value."},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const auto& a : c.args) line += a + " ";
    SCOPED_TRACE(line);
    const Result r = Run(c.args, &c == &cases[std::size(cases) - 1] ? kGerman : kAustralian);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    if (c.status == 2) {
      EXPECT_EQ(r.out, "");
    }
  }
  const Result version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "dorvane-report " DORVANE_VERSION "\n");
  const Result help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--tariff FILE"), std::string::npos);
}

}  // namespace
