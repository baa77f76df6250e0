#include "linux/importtool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "capture/callstore.h"
#include "support/files.h"

namespace dorvane {
namespace {

using testing::ReadBytes;
using testing::TempDir;

class FakeLogs : public LogSource {
 public:
  std::map<std::string, std::string> files;
  std::unique_ptr<LogStream> Open(const std::string& path, std::string& reason) override {
    auto it = files.find(path);
    if (it == files.end()) {
      reason = "No such file or directory";
      return nullptr;
    }
    return std::make_unique<TextLogStream>(LogInput{it->second, 1695211200});  // 2023-09-20 12:00
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
      // The store's dates begin in 1900.
      {{"--year", "1899", "syslog"}, "dorvane-import: the call store holds no year before 1900\n"},
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
  EXPECT_EQ(help.out, kImportToolHelp);
  EXPECT_EQ(Start({"--version"}).out, std::string(kImportVersionLine) + "\n");
}

TEST_F(ImportTool, AnUnreadableLogStopsTheRunBeforeAnythingIsWritten) {
  logs_.files["syslog"] = kTwoCallsAndAnOpenOne;
  const ToolRun run = Start({"syslog", "syslog.1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "dorvane-import: Unable to read syslog.1: No such file or directory\n");
  EXPECT_EQ(Start({"-"}).err,
            "dorvane-import: Unable to read standard input: No such file or directory\n");
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
    NewCalls known;
    known.Add(LogLineToDateTime("09-17-2023 09:00:30.00"),
              LogLineToDateTime("09-17-2023 09:10:02.00"));
    MergeCalls(dir_.File("dorvane.DB"), rs_, known);
  }
  const ToolRun first = Start({"syslog", "--year", "2023"});
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.out, "2 calls found, 1 new call recorded\n");
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

// Two links dialling ten seconds apart: each call starts at its own dial where pppd names its
// script's process, else at its serial line; never at the other link's dial, never one call
// for two.
TEST_F(ImportTool, EachLinkStartsAtItsOwnDialAndNoCallIsLost) {
  const std::string dials =
      "Sep 16 10:00:00 box chat[101]: send (ATDT1^M)\n"
      "Sep 16 10:00:10 box chat[201]: send (ATDT2^M)\n";
  const std::string scripts =
      "Sep 16 10:00:24 box pppd[100]: Script /usr/sbin/chat -v -f /etc/chatscripts/a finished "
      "(pid 101), status = 0x0\n"
      "Sep 16 10:00:34 box pppd[200]: Script /usr/sbin/chat -v -f /etc/chatscripts/b finished "
      "(pid 201), status = 0x0\n";
  const std::string links =
      "Sep 16 10:00:25 box pppd[100]: Serial connection established.\n"
      "Sep 16 10:00:35 box pppd[200]: Serial connection established.\n"
      "Sep 16 10:30:00 box pppd[100]: Modem hangup\n"
      "Sep 16 10:40:00 box pppd[200]: Modem hangup\n";
  struct Case {
    std::string log;
    const char* listed;
  } cases[] = {
      {dials + scripts + links,
       "9/16/2023 10:00:00 AM\t9/16/2023 10:30:00 AM\t00:30:00\n"
       "9/16/2023 10:00:10 AM\t9/16/2023 10:40:00 AM\t00:39:50\n"},
      {dials + links,
       "9/16/2023 10:00:25 AM\t9/16/2023 10:30:00 AM\t00:29:35\n"
       "9/16/2023 10:00:35 AM\t9/16/2023 10:40:00 AM\t00:39:25\n"},
  };
  for (const Case& c : cases) {
    logs_.files["syslog"] = c.log;
    const ToolRun run = Start({"--dry-run", "syslog"});
    EXPECT_EQ(run.out, c.listed);
    EXPECT_EQ(run.err, "");
  }
}

// Calls the store could not keep apart, or could not hold, are said so on stderr.
TEST_F(ImportTool, SameStartsAreKeptApartAndBackwardCallsRefused) {
  logs_.files["syslog"] =
      "2023-09-16T10:00:00Z box pppd[1]: Serial connection established.\n"
      "2023-09-16T10:00:00Z box pppd[2]: Serial connection established.\n"
      "2023-09-16T10:05:00Z box pppd[1]: Modem hangup\n"
      "2023-09-16T10:06:00Z box pppd[2]: Modem hangup\n"
      "2023-09-16T11:00:00Z box pppd[3]: Serial connection established.\n"
      "2023-09-16T10:29:40Z box pppd[3]: Modem hangup\n";
  const ToolRun run = Start({"syslog"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "2 calls found, 2 new calls recorded\n");
  EXPECT_EQ(run.err,
            "dorvane-import: the call from 9/16/2023 11:00:00 AM (box pppd[3]) ends before it "
            "starts or lies outside the years the store holds; not recorded\n"
            "dorvane-import: another call starts at the same second; the call from 9/16/2023 "
            "10:00:01 AM (box pppd[2]) is recorded with this start\n");
}

// A given year is the first file's; the next file, given after it, carries on across New Year.
TEST_F(ImportTool, TheGivenYearCarriesOnFromFileToFile) {
  logs_.files["rot1"] =
      "Dec 31 23:50:00 box pppd[7]: Serial connection established.\n"
      "Dec 31 23:55:00 box pppd[7]: Modem hangup\n"
      "Dec 31 23:58:00 box pppd[8]: Serial connection established.\n";
  logs_.files["rot0"] =
      "Jan  1 00:10:00 box pppd[8]: Modem hangup\n"
      "Jan  2 09:00:00 box pppd[9]: Serial connection established.\n"
      "Jan  2 09:01:00 box pppd[9]: Modem hangup\n";
  const ToolRun run = Start({"--dry-run", "--year", "2024", "rot1", "rot0"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "12/31/2024 11:50:00 PM\t12/31/2024 11:55:00 PM\t00:05:00\n"
            "12/31/2024 11:58:00 PM\t1/1/2025 12:10:00 AM\t00:12:00\n"
            "1/2/2025 9:00:00 AM\t1/2/2025 9:01:00 AM\t00:01:00\n");
  EXPECT_EQ(run.err, "");
}

// What a log holds, said plainly: packed forms it does not read and lines no log has are errors,
// a file without a line of pppd or chat is named, one call is one call.
TEST_F(ImportTool, SaysWhatTheInputHeld) {
  struct Case {
    std::string text;
    int status;
    const char* out;
    const char* err;
  } cases[] = {
      {"BZh91AY&SY", 1, "",
       "dorvane-import: log is compressed with bzip2, which this tool does not read; unpack it "
       "first\n"},
      {std::string("\xFD"
                   "7zXZ\0\0",
                   8),
       1, "",
       "dorvane-import: log is compressed with xz, which this tool does not read; unpack it "
       "first\n"},
      {"\x28\xB5\x2F\xFD\x00", 1, "",
       "dorvane-import: log is compressed with zstd, which this tool does not read; unpack it "
       "first\n"},
      {std::string(kLongestLogLine + 1, '\0'), 1, "",
       "dorvane-import: log: line 1 is longer than any system log line (65536 bytes); it is no "
       "system log\n"},
      // Lines are counted at CR LF, LF and CR alike.
      {"a\r\nb\rc\n" + std::string(kLongestLogLine + 1, 'x'), 1, "",
       "dorvane-import: log: line 4 is longer than any system log line (65536 bytes); it is no "
       "system log\n"},
      {"root:x:0:0:root:/root:/bin/bash\n"
       "Tue 2023-09-19 10:00:00 CEST box pppd[1]: Serial connection established.\n",
       0, "0 calls found, 0 new calls recorded\n",
       "dorvane-import: log holds no lines of pppd or chat in a form this tool reads\n"},
      {"Sep 19 10:00:00 box pppd[1]: Serial connection established.\n"
       "Sep 19 10:01:00 box pppd[1]: Modem hangup\n",
       0, "1 call found, 1 new call recorded\n", ""},
  };
  for (const Case& c : cases) {
    logs_.files["log"] = c.text;
    const ToolRun run = Start({"log"});
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
  }
}

// A writer killed between its write and its rename leaves a temporary beside the store; the next
// import removes it. A store that cannot be written gets the system's reason.
TEST_F(ImportTool, CleansUpBesideTheStoreOrSaysWhyItCannotWriteIt) {
  const std::string store = dir_.File("mine.DB");
  const std::string stale = store + ".~999999-0.tmp";
  std::ofstream(stale) << "half";
  logs_.files["log"] = kTwoCallsAndAnOpenOne;
  EXPECT_EQ(Start({"--store", store, "log"}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(stale));

  const std::string nowhere = dir_.File("gone/mine.DB");
  const ToolRun refused = Start({"--store", nowhere, "log"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find(nowhere + ": No such file or directory\n"), std::string::npos)
      << refused.err;
}

}  // namespace
}  // namespace dorvane
