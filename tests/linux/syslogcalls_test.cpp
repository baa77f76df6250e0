#include "linux/syslogcalls.h"

#include <gtest/gtest.h>
#include <time.h>

#include <sstream>
#include <string>
#include <vector>

#include "linux/importtool.h"

namespace dorvane {
namespace {

// A zone one hour ahead of UTC all year.
class PlusOneHour : public TimeZone {
 public:
  LocalTime ToLocal(std::int64_t utcSeconds) const override {
    const time_t when = static_cast<time_t>(utcSeconds + 3600);
    struct tm t {};
    ::gmtime_r(&when, &t);
    return LocalTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
  }
};

std::string Text(const LocalTime& t) {
  std::ostringstream out;
  out << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":" << t.minute << ":"
      << t.second;
  return out.str();
}

TEST(ParseLogLine, ReadsTheFourStampForms) {
  const PlusOneHour zone;
  struct Case {
    const char* line;
    const char* time;  // local
    const char* host;
    const char* program;
    const char* pid;
    const char* message;
  } cases[] = {
      {"Sep 16 16:26:08 box pppd[1063]: Serial connection established.", "1999-9-16 16:26:8", "box",
       "pppd", "1063", "Serial connection established."},
      {"Sep  6 16:26:08.123456 box chat[7]: send (ATDT0123456^M)", "1999-9-6 16:26:8", "box",
       "chat", "7", "send (ATDT0123456^M)"},
      // Offsets are turned into the local time of this machine (UTC+1 here).
      {"2023-03-02T10:11:12.345678+01:00 box pppd[1234]: Exit.", "2023-3-2 10:11:12", "box", "pppd",
       "1234", "Exit."},
      {"2023-09-08T17:20:30+0200 box pppd[1234]: Modem hangup", "2023-9-8 16:20:30", "box", "pppd",
       "1234", "Modem hangup"},
      {"2023-12-31T23:30:00Z box pppd[1]: Exit.  ", "2024-1-1 0:30:0", "box", "pppd", "1", "Exit."},
      {"Sun Feb 26 23:04:27 2017 daemon.info pppd[1046]: Connect: ppp0 <--> /dev/ttyUSB0",
       "2017-2-26 23:4:27", "", "pppd", "1046", "Connect: ppp0 <--> /dev/ttyUSB0"},
      // No host, and a tag without a process id.
      {"Sep 16 16:26:08 chat: send (ATD5)", "1999-9-16 16:26:8", "", "chat", "", "send (ATD5)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::optional<LogRecord> r = ParseLogLine(c.line, 1999, zone);
    ASSERT_TRUE(r);
    EXPECT_EQ(Text(r->time), c.time);
    EXPECT_EQ(r->host, c.host);
    EXPECT_EQ(r->program, c.program);
    EXPECT_EQ(r->pid, c.pid);
    EXPECT_EQ(r->message, c.message);
  }
  for (const char* line : {"", "-- Boot 1234 --", "Sep 31 10:00:00 box pppd[1]: Exit.",
                           "2023-13-01T10:00:00+01:00 box pppd[1]: Exit.",
                           "Sep 16 16:26:08 box no tag here", "16:26:08 box pppd[1]: Exit."}) {
    EXPECT_FALSE(ParseLogLine(line, 1999, zone)) << line;
  }
}

// The calls found in one log, "start - end" each, and the starts of the unfinished ones.
struct Found {
  std::vector<std::string> calls;
  std::vector<std::string> unfinished;
};

Found Find(const std::string& text, LocalTime modified = {2023, 9, 20, 12, 0, 0},
           std::optional<int> year = std::nullopt) {
  const PlusOneHour zone;
  // The modification time in UTC that the zone shows as `modified`.
  const std::int64_t utc = WallSeconds(modified) - 3600;
  const FoundCalls found = FindPppCalls({LogInput{text, utc}}, year, zone);
  Found out;
  for (const FoundCall& c : found.calls) out.calls.push_back(Text(c.start) + " - " + Text(c.end));
  for (const FoundCall& c : found.unfinished) out.unfinished.push_back(Text(c.start));
  return out;
}

TEST(PppCallFinder, FindsTheCallsByTheRulesOfStartAndEnd) {
  struct Case {
    const char* name;
    const char* log;
    std::vector<std::string> calls;
    std::vector<std::string> unfinished;
  } cases[] = {
      {"the dial before the serial line starts the call; echoed copies and doubled statistics "
       "change nothing",
       "Sep 16 16:25:41 box pppd[1063]: pppd 2.4.9 started by root, uid 0\n"
       "Sep 16 16:25:50 box chat[1064]: send (ATDT0123456^M)\n"
       "Sep 16 16:25:51 box chat[1064]: expect (CONNECT)\n"
       "Sep 16 16:26:08 box pppd[1063]: Serial connection established.\n"
       "Sep 16 16:26:08 box sh[431]: Serial connection established.\n"
       "Sep 16 16:26:09 box pppd[1063]: Connect: ppp0 <--> /dev/ttyS0\n"
       "Sep 16 16:26:09 box sh[431]: Connect: ppp0 <--> /dev/ttyS0\n"
       "Sep 16 16:29:10 box sh[431]: Modem hangup\n"
       "Sep 16 16:29:10 box pppd[1063]: Terminating on signal 15.\n"
       "Sep 16 16:29:10 box pppd[1063]: Connect time 3.0 minutes.\n"
       "Sep 16 16:29:10 box pppd[1063]: Connect time 3.0 minutes.\n"
       "Sep 16 16:29:11 box pppd[1063]: Connection terminated.\n"
       "Sep 16 16:29:11 box pppd[1063]: Connection terminated.\n"
       "Sep 16 16:29:12 box pppd[1063]: Exit.\n",
       {"2023-9-16 16:25:50 - 2023-9-16 16:29:11"},
       {}},
      {"a dial more than 120 seconds before, or of another host, is not this call's",
       "Sep 16 16:00:00 box chat[1]: send (ATDT1^M)\n"
       "Sep 16 16:02:01 box pppd[2]: Serial connection established.\n"
       "Sep 16 16:03:00 box pppd[2]: Modem hangup\n"
       "Sep 16 16:04:00 other chat[5]: send (ATDT1^M)\n"
       "Sep 16 16:04:10 box pppd[2]: Serial connection established.\n"
       "Sep 16 16:05:00 box pppd[2]: Modem hangup\n"
       "Sep 16 16:05:50 box chat[6]: send (atd*99#^M)\n"
       "Sep 16 16:06:00 box pppd[2]: Serial connection established.\n"
       "Sep 16 16:07:00 box pppd[2]: Exit.\n",
       {"2023-9-16 16:2:1 - 2023-9-16 16:3:0", "2023-9-16 16:4:10 - 2023-9-16 16:5:0",
        "2023-9-16 16:5:50 - 2023-9-16 16:7:0"},
       {}},
      {"without a serial line the Connect line starts the call; Exit ends it",
       "2023-09-08T17:20:56+0200 box pppd[499]: Connect: ppp0 <--> /dev/ttyUSB0\n"
       "2023-09-08T17:21:00+0200 box pppd[499]: Connect: ppp0 <--> /dev/ttyUSB0\n"
       "2023-09-08T17:45:01+0200 box pppd[499]: Exit.\n",
       {"2023-9-8 16:20:56 - 2023-9-8 16:45:1"},
       {}},
      {"persist: one process, two calls",
       "Sep 17 09:00:05 box chat[2001]: send (ATDT0111^M)\n"
       "Sep 17 09:00:30 box pppd[2000]: Serial connection established.\n"
       "Sep 17 09:00:31 box pppd[2000]: Connect: ppp0 <--> /dev/ttyS0\n"
       "Sep 17 09:10:00 box pppd[2000]: Modem hangup\n"
       "Sep 17 09:10:00 box pppd[2000]: Connection terminated.\n"
       "Sep 17 09:10:30 box chat[2005]: send (ATDT0111^M)\n"
       "Sep 17 09:10:55 box pppd[2000]: Serial connection established.\n"
       "Sep 17 09:10:56 box pppd[2000]: Connect: ppp0 <--> /dev/ttyS0\n"
       "Sep 17 09:20:01 box pppd[2000]: Connection terminated.\n"
       "Sep 17 09:20:02 box pppd[2000]: Exit.\n",
       {"2023-9-17 9:0:5 - 2023-9-17 9:10:0", "2023-9-17 9:10:30 - 2023-9-17 9:20:1"},
       {}},
      {"two pppd processes interleaved",
       "Sun Feb 26 23:00:05 2017 daemon.info chat[11]: send (ATDT1^M)\n"
       "Sun Feb 26 23:00:30 2017 daemon.notice pppd[10]: Serial connection established.\n"
       "Sun Feb 26 23:01:02 2017 daemon.info chat[21]: send (ATDT2^M)\n"
       "Sun Feb 26 23:01:20 2017 daemon.notice pppd[20]: Serial connection established.\n"
       "Sun Feb 26 23:10:00 2017 daemon.notice pppd[10]: Modem hangup\n"
       "Sun Feb 26 23:15:01 2017 daemon.notice pppd[20]: Connection terminated.\n"
       "Sun Feb 26 23:16:00 2017 daemon.notice pppd[10]: Connection terminated.\n",
       {"2017-2-26 23:0:5 - 2017-2-26 23:10:0", "2017-2-26 23:1:2 - 2017-2-26 23:15:1"},
       {}},
      {"a start without an end, and a process id taken again by a new pppd",
       "2023-03-02T10:00:00+01:00 box pppd[7]: Serial connection established.\n"
       "2023-03-02T11:00:00+01:00 box pppd[7]: pppd 2.4.9 started by root, uid 0\n"
       "2023-03-02T11:00:30+01:00 box pppd[7]: Connect: ppp0 <--> /dev/ttyS0\n",
       {},
       {"2023-3-2 10:0:0", "2023-3-2 11:0:30"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Found found = Find(c.log);
    EXPECT_EQ(found.calls, c.calls);
    EXPECT_EQ(found.unfinished, c.unfinished);
  }
}

TEST(PppCallFinder, GivesClassicStampsTheYearOfTheFile) {
  const std::string newYear =
      "Dec 31 23:50:00 box chat[1]: send (ATDT1^M)\n"
      "Dec 31 23:50:20 box pppd[2]: Serial connection established.\n"
      "Jan  1 00:20:01 box pppd[2]: Connection terminated.\n"
      "Jan  1 08:00:00 box pppd[3]: Serial connection established.\n"
      "Jan  1 08:30:00 box pppd[3]: Connection terminated.\n";
  struct Case {
    LocalTime modified;
    std::optional<int> year;
    std::vector<std::string> calls;
  } cases[] = {
      // Modified in January: the December lines are of the year before.
      {{2023, 1, 2, 6, 0, 0},
       std::nullopt,
       {"2022-12-31 23:50:0 - 2023-1-1 0:20:1", "2023-1-1 8:0:0 - 2023-1-1 8:30:0"}},
      // The last line was written before the file's modification, never after: read in
      // December, a December-to-January log is of last winter, not in the future.
      {{2026, 12, 8, 12, 0, 0},
       std::nullopt,
       {"2025-12-31 23:50:0 - 2026-1-1 0:20:1", "2026-1-1 8:0:0 - 2026-1-1 8:30:0"}},
      {{2023, 1, 2, 6, 0, 0},
       1998,
       {"1998-12-31 23:50:0 - 1999-1-1 0:20:1", "1999-1-1 8:0:0 - 1999-1-1 8:30:0"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find(newYear, c.modified, c.year).calls, c.calls);
  }
}

}  // namespace
}  // namespace dorvane
