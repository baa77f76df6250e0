#include "linux/importtool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "capture/callstore.h"
#include "platform/platform_test_util.h"

namespace dorvane {
namespace {

using testing::ReadBytes;
using testing::TempDir;

class FakeLogs : public LogSource {
 public:
  std::map<std::string, std::string> files;
  std::optional<LogInput> ReadLog(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return LogInput{it->second, 1695211200};  // 2023-09-20 12:00 UTC
  }
};

class Utc : public TimeZone {
 public:
  LocalTime ToLocal(std::int64_t utcSeconds) const override {
    const time_t when = static_cast<time_t>(utcSeconds);
    struct tm t {};
    ::gmtime_r(&when, &t);
    return LocalTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
  }
};

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

class ImportTool : public ::testing::Test {
 protected:
  ToolRun Start(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    ImportToolContext ctx{logs_, zone_, rs_, dir_.File("dorvane.DB"), out, err};
    const int status = RunImportTool(args, ctx);
    return ToolRun{status, out.str(), err.str()};
  }

  TempDir dir_;
  FakeLogs logs_;
  Utc zone_;
  RegionalSettings rs_;
};

constexpr const char* kTwoCallsAndAnOpenOne =
    "Sep 16 16:25:50 box chat[1064]: send (ATDT0123456^M)\n"
    "Sep 16 16:26:08 box pppd[1063]: Serial connection established.\n"
    "Sep 16 16:29:11 box pppd[1063]: Connection terminated.\n"
    "Sep 17 09:00:30 box pppd[2000]: Serial connection established.\n"
    "Sep 17 09:10:00 box pppd[2000]: Modem hangup\n"
    "Sep 17 09:30:25 box pppd[4000]: Serial connection established.\n";

TEST_F(ImportTool, WrongArgumentsEndWithStatusTwoAndTheUsage) {
  logs_.files["syslog"] = kTwoCallsAndAnOpenOne;
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{}, "dorvane-import: no log file given\n"},
      {{"--dry-run"}, "dorvane-import: no log file given\n"},
      {{"--verbose", "syslog"}, "dorvane-import: unknown option '--verbose'\n"},
      {{"syslog", "--store"}, "dorvane-import: option '--store' needs a value\n"},
      {{"--store=", "syslog"}, "dorvane-import: option '--store' needs a value\n"},
      {{"--year", "23", "syslog"}, "dorvane-import: '23' is not a valid year\n"},
      {{"--year=20x3", "syslog"}, "dorvane-import: '20x3' is not a valid year\n"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Start(c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, std::string(c.message) + kImportToolUsage + "\n");
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.File("dorvane.DB")));
  const ToolRun help = Start({"syslog", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, std::string(kImportToolUsage) + "\n");
}

TEST_F(ImportTool, AnUnreadableLogStopsTheRunBeforeAnythingIsWritten) {
  logs_.files["syslog"] = kTwoCallsAndAnOpenOne;
  const ToolRun run = Start({"syslog", "syslog.1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "dorvane-import: Unable to read syslog.1\n");
  EXPECT_EQ(Start({"-"}).err, "dorvane-import: Unable to read standard input\n");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("dorvane.DB")));
}

TEST_F(ImportTool, RecordsNewCallsOnceAndNamesTheUnfinishedOnes) {
  logs_.files["syslog"] = kTwoCallsAndAnOpenOne;
  const char* unfinished =
      "dorvane-import: the call from 9/17/2023 9:30:25 AM (box pppd[4000]) has no end; not "
      "recorded\n";

  const ToolRun dry = Start({"--dry-run", "syslog"});
  EXPECT_EQ(dry.status, 0);
  EXPECT_EQ(dry.out,
            "9/16/2023 4:25:50 PM\t9/16/2023 4:29:11 PM\t00:03:21\n"
            "9/17/2023 9:00:30 AM\t9/17/2023 9:10:00 AM\t00:09:30\n");
  EXPECT_EQ(dry.err, unfinished);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("dorvane.DB")));

  // A call the hook brought in already (same start to the second) is not recorded again.
  {
    CallStore store(dir_.File("dorvane.DB"), rs_);
    store.RecordCall("09-17-2023 09:00:30.00 in use", "09-17-2023 09:10:02.00 Hanging up");
  }
  const ToolRun first = Start({"syslog", "--year", "2023"});
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.out, "2 calls found, 1 new calls recorded\n");
  EXPECT_EQ(first.err, unfinished);
  const std::string store = ReadBytes(dir_.File("dorvane.DB")).value_or("");
  // The older call goes before the one the store held: the month stays in time order.
  EXPECT_EQ(store,
            "[2023-9]\r\n45185.6846064815=45185.6869328704\r\n"
            "45186.3753472222=45186.3819675926\r\n");

  const ToolRun second = Start({"syslog", "syslog"});
  EXPECT_EQ(second.out, "2 calls found, 0 new calls recorded\n");
  EXPECT_EQ(ReadBytes(dir_.File("dorvane.DB")).value_or(""), store);
}

}  // namespace
}  // namespace dorvane
