// The programs run on one data folder under different environments, as a desktop session, a
// timer (env -i), ssh and sudo run them: the folder's files stay in the notation recorded beside
// them, in calendar order, and every program reads them the same way.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

using dorvane::e2e::CallMaker, dorvane::e2e::ProgramFolder, dorvane::e2e::RunOptions;
using dorvane::e2e::ReadFile, dorvane::e2e::WriteFile;

using ToolResult = dorvane::testing::ProgramOutput;

// An environment as env -i leaves it, plus the variables given.
const std::vector<std::string> kBare = {};
const std::vector<std::string> kGerman = {"LC_ALL=de_DE.UTF-8"};
const std::vector<std::string> kFrench = {"LANG=fr_FR.UTF-8"};
const std::vector<std::string> kAmerican = {"LC_ALL=en_US.UTF-8"};

class Notation : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {DORVANE_REPORT_EXE, DORVANE_IMPORT_EXE}) {
      fs::copy_file(tool, dir_ / fs::path(tool).filename());
    }
  }

  // Runs the window's check run under LC_ALL and LANG = `locale`; true when it ended by
  // itself without a message.
  bool Check(const std::string& log, const std::string& locale) {
    WriteFile(dir_ / "ModemLog.txt", log);
    RunOptions options;
    options.locale = locale;
    options.timeoutSeconds = 60;
    const int status = folder_.RunUntilMessage(options).status;
    EXPECT_EQ(folder_.MessageText(), "") << locale;
    return status == 0;
  }

  ToolResult Tool(const std::string& name, const std::vector<std::string>& args,
                  const std::vector<std::string>& environment) const {
    dorvane::testing::ProcessRequest request;
    request.program = (dir_ / name).string();
    request.args = args;
    request.folder = dir_.string();
    request.environment = environment;
    request.environment.push_back("PATH=/usr/bin:/bin");
    request.environment.push_back("TZ=UTC");
    request.inheritEnvironment = false;
    request.output = (folder_.Root() / "stdout.txt").string();
    request.errors = (folder_.Root() / "stderr.txt").string();
    return dorvane::testing::RunProgram(request, 120);
  }

  ProgramFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
  const fs::path dir_ = folder_.Dir();
};

TEST_F(Notation, OneFolderKeepsOneNotationAndOneOrderUnderEveryEnvironment) {
  // February's calls under German settings, then January's under the C locale, then December's
  // from the system log under env -i: one notation (the first start's), months in order.
  ASSERT_TRUE(Check(CallMaker::Log(1000, 1002), "de_DE.UTF-8"));
  const std::string reg = ReadFile(dir_ / "dorvane.REG");
  EXPECT_NE(reg.find("[HKEY_CURRENT_USER\\Control Panel\\International]"), std::string::npos);
  EXPECT_NE(reg.find("\"sDecimal\"=\",\""), std::string::npos) << reg;
  ASSERT_TRUE(Check(CallMaker::Log(0, 2), "C"));
  WriteFile(dir_ / "syslog",
            "Dec 30 16:25:50 box chat[1064]: send (ATDT0123456^M)\n"
            "Dec 30 16:26:08 box pppd[1063]: Serial connection established.\n"
            "Dec 30 16:29:11 box pppd[1063]: Connection terminated.\n");
  const ToolResult import = Tool("dorvane-import", {"--year", "1994", "syslog"}, kBare);
  ASSERT_EQ(import.status, 0) << import.err;
  EXPECT_EQ(import.out, "1 call found, 1 new call recorded\n");
  // Again in another notation: the same call, not recorded twice.
  EXPECT_EQ(Tool("dorvane-import", {"--year", "1994", "syslog"}, kAmerican).out,
            "1 call found, 0 new calls recorded\n");

  const std::string store = ReadFile(dir_ / "dorvane.DB");
  EXPECT_EQ(store.find('.'), std::string::npos) << store;
  EXPECT_EQ(store.rfind("[1994-12]\r\n", 0), 0u) << store;
  EXPECT_LT(store.find("[1995-1]"), store.find("[1995-2]")) << store;
  EXPECT_EQ(std::count(store.begin(), store.end(), '='), 5) << store;

  // The window starts without a message (no "Invalid Report Period", no conversion error).
  ASSERT_TRUE(Check("", "en_US.UTF-8"));
  EXPECT_EQ(ReadFile(dir_ / "dorvane.DB"), store);

  // Every report reads the folder in its notation and shows the same text.
  for (const char* format : {"text", "html", "monthly-csv"}) {
    SCOPED_TRACE(format);
    const std::vector<std::string> args = {"--format", format, "--today", "1995-02-15"};
    const ToolResult german = Tool("dorvane-report", args, kGerman);
    ASSERT_EQ(german.status, 0) << german.err;
    EXPECT_NE(german.out, "");
    for (const auto& env : {kBare, kFrench, kAmerican}) {
      const ToolResult other = Tool("dorvane-report", args, env);
      EXPECT_EQ(other.status, 0) << other.err;
      EXPECT_EQ(other.out, german.out);
    }
  }
  EXPECT_NE(Tool("dorvane-report", {"--today", "1995-02-15"}, kBare).out.find("5"),
            std::string::npos);
}

TEST_F(Notation, MixedStoresReadAndBrokenFilesAreNamedWithTheirLine) {
  // A store mixed by earlier versions, no notation recorded: it reads under any environment.
  WriteFile(dir_ / "dorvane.DB",
            "[1995-1]\r\n34700,5=34700,51\r\n34701.5=34701.51\r\n[1995-2]\r\n34731.5=34731.51\r\n");
  WriteFile(dir_ / "dorvane.INI",
            "[strgrdCost]\r\nCount=1\r\nCell01=The time not specified above\r\n"
            "Cell11=00:00:00 - 23:59:59\r\nCell21=0\r\nCell31=0\r\nCell41=0\r\n"
            "Cell51=0\r\n");
  for (const auto& env : {kBare, kGerman}) {
    const ToolResult r = Tool("dorvane-report", {"--format", "monthly-csv"}, env);
    EXPECT_EQ(r.status, 0) << r.err;
  }

  // A file that holds no charges table is no tariff.
  for (const std::string option : {"--settings", "--tariff"}) {
    const ToolResult r = Tool("dorvane-report", {option, "dorvane.DB"}, kBare);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "dorvane-report: There is no charges table in dorvane.DB.\n");
  }

  // A number beyond every date, a line without "=": one error naming the file and the line,
  // whatever the output form.
  struct Bad {
    std::string store;
    std::string message;
  } bad[] = {
      {"[1995-1]\r\n34700.5=1e308\r\n",
       "dorvane-report: Line 2 of bad.DB: '1e308' is not a valid date and time.\n"},
      {"[1995-1]\r\n34700.5=34700.6\r\n\r\n34701.5\r\n",
       "dorvane-report: Line 4 of bad.DB: '34701.5' is no call line (no \"=\")\n"},
  };
  for (const Bad& b : bad) {
    WriteFile(dir_ / "bad.DB", b.store);
    for (const char* format : {"text", "csv", "monthly", "monthly-csv", "html"}) {
      SCOPED_TRACE(format);
      const ToolResult r = Tool("dorvane-report", {"--store", "bad.DB", "--format", format}, kBare);
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err, b.message);
    }
  }
}

}  // namespace
