// Calls in the system's own records: the lines that pppd and its chat script leave in syslog or
// the journal, read in the stamp forms the common loggers write, and paired into calls whose
// start and end are the machine's local time to the second.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/datetime.h"

namespace dorvane {

// A wall-clock time of this machine, to the second.
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  auto operator<=>(const LocalTime&) const = default;
};

// Seconds on a uniform scale of wall-clock times (for distances between two of them).
std::int64_t WallSeconds(const LocalTime& t);
// The date-time of a wall-clock time (whole seconds); throws what EncodeDate/EncodeTime throw.
TDateTime ToDateTime(const LocalTime& t);

// The time-zone seam: a moment, in seconds since 1970-01-01 00:00 UTC, as local wall-clock time.
class TimeZone {
 public:
  virtual ~TimeZone() = default;
  virtual LocalTime ToLocal(std::int64_t utcSeconds) const = 0;
};

// The zone of the machine (TZ, else /etc/localtime).
class SystemTimeZone : public TimeZone {
 public:
  LocalTime ToLocal(std::int64_t utcSeconds) const override;
};

// One line of a system log, taken apart.
struct LogRecord {
  LocalTime time;
  std::string host;     // empty where the form names none (busybox logread)
  std::string program;  // the tag before "[pid]:"
  std::string pid;      // empty for a tag without one
  std::string message;
};

// Where the year of a classic syslog stamp comes from: the year given by the user, else the
// file's modification time (local). A given year is the first dated line's (or, when
// `previousMonth` carries on from the file before, the year after it where the first line's month
// is smaller). Without one, the last dated line takes the modification's year, or the year
// before when its month lies after the modification's month: a log is written before it is
// last modified. The year goes up by one wherever a line's month is smaller than the previous
// line's.
struct YearHint {
  std::optional<int> year;
  LocalTime modified;
  int previousMonth = 0;  // the last month of the file before, with `year` its year
};

// Reads the lines of one log file, in any mix of these forms:
//   Sep 16 16:26:08 host pppd[1063]: text             classic syslog (also with a fraction)
//   2023-03-02T10:11:12.345678+01:00 host pppd[1234]: text   RFC 3339
//   2023-09-08T17:20:30+0200 host pppd[1234]: text    journalctl -o short-iso
//   Sun Feb 26 23:04:27 2017 daemon.info pppd[1046]: text    busybox logread
// Stamps with an offset are converted to local time; fractions of a second are dropped. Lines
// in no known form are skipped. Only the records of `programs` are kept (all, when empty), but
// every dated line counts for the year of classic stamps.
// When `next` is given, it receives the hint for the file that follows (the year and month of
// this file's last classic stamp).
std::vector<LogRecord> ReadLogRecords(std::string_view text, const YearHint& hint,
                                      const TimeZone& zone,
                                      const std::vector<std::string>& programs = {},
                                      YearHint* next = nullptr);

// The same, a line at a time, for logs read in blocks: the records are held (only those of
// `programs`) until Finish gives them their years.
class LogRecordReader {
 public:
  LogRecordReader(const YearHint& hint, const TimeZone& zone, std::vector<std::string> programs);
  void Line(std::string_view line);
  // The records in file order; `next` receives the hint for the file that follows.
  std::vector<LogRecord> Finish(YearHint* next = nullptr);

 private:
  struct Held {
    LogRecord record;
    bool classic = false;
    int turns = 0;  // New Years since the first classic stamp
  };
  YearHint hint_;
  const TimeZone& zone_;
  std::vector<std::string> programs_;
  std::vector<Held> held_;
  int turns_ = 0;
  int firstMonth_ = 0;
  int previousMonth_ = 0;
};

// One line taken apart without the year rule (a classic stamp gets `classicYear`).
std::optional<LogRecord> ParseLogLine(std::string_view line, int classicYear, const TimeZone& zone);

struct FoundCall {
  LocalTime start;
  LocalTime end;
  std::string host;
  std::string pid;
};

// Turns the records of pppd and chat into calls. Records of one host come in file order; a
// call belongs to one pppd process (host and process id). This is the one start rule of a call
// made with pppd: dorvane-import and the pppd hook both ask it.
//  - Start: the chat "send (ATD" line of this process's own connect script: pppd names the
//    script's process in "Script ... finished (pid N)", and the chat line carries N. Without that
//    line, the one dial of the host within 120 seconds before the process's "Serial connection
//    established." that no other process has taken; when there is none, or more than one (two
//    links dialling at once), the serial line itself, never another link's dial. A process
//    without a serial line starts at its "Connect: " line. After a call has ended, the next of
//    these lines starts a new call (persist).
//  - End: the first "Modem hangup" or "Connection terminated." after the start, else the
//    process's "Exit.".
// A call still open at the end of the records, or when its process starts anew, is unfinished.
class PppCallFinder {
 public:
  static constexpr int kChatWindowSeconds = 120;

  void Add(const LogRecord& record);
  // The records are over: the calls still open become unfinished.
  void Finish();

  const std::vector<FoundCall>& Calls() const { return calls_; }
  // Calls with a start and no end; `end` is left as the start.
  const std::vector<FoundCall>& Unfinished() const { return unfinished_; }
  // The start of the call of the pppd process `pid` (any host) that is open, else of its last
  // call; nullopt when the records hold none. Asked before Finish.
  std::optional<LocalTime> StartOf(std::string_view pid) const;

 private:
  struct Process {
    bool open = false;
    LocalTime start;
    std::string scriptPid;  // the connect script's process, from "Script ... finished (pid N)"
  };
  struct Dial {
    LocalTime time;
    std::string chatPid;
    bool taken = false;
  };
  struct Host {
    std::vector<Dial> dials;  // the last kChatWindowSeconds of chat's dials
  };

  LocalTime StartAtSerial(Host& host, const Process& p, const LocalTime& serial);

  void Open(Process& p, const LocalTime& start);
  void Close(Process& p, const LogRecord& r);
  void Abandon(Process& p, const LogRecord& r);

  std::map<std::string, Host> hosts_;
  std::map<std::pair<std::string, std::string>, Process> processes_;
  std::vector<FoundCall> calls_;
  std::vector<FoundCall> unfinished_;
  std::map<std::string, LocalTime, std::less<>> lastStart_;  // by pppd process id
};

}  // namespace dorvane
