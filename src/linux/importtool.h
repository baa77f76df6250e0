// dorvane-import: brings the calls that pppd and chat left in the system's logs into the call
// store, by the store's own rules (month sections, duplicate rule, one locked atomic replace).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "linux/syslogcalls.h"
#include "platform/regional.h"

namespace dorvane {

inline constexpr const char* kImportToolName = "dorvane-import";
inline constexpr const char* kImportToolUsage =
    "Usage: dorvane-import [--store FILE] [--year YYYY] [--dry-run] FILE...";
inline constexpr const char* kImportVersionLine = "dorvane-import 1.70";
// The years a call may have: the store's dates begin on 1 January 1900 (its day 2).
inline constexpr int kFirstImportYear = 1900;
inline constexpr int kLastImportYear = 9999;
// The whole help, --help.
extern const char* const kImportToolHelp;

// One log as read: its text (unpacked when it was gzip'd) and its modification time.
struct LogInput {
  std::string text;
  std::int64_t modifiedUtc = 0;  // seconds since 1970-01-01 UTC
};

// What the tool needs from the outside world.
class LogSource {
 public:
  virtual ~LogSource() = default;
  // The text of a log file, gzip'd or plain; "-" is standard input (modified now). nullopt when
  // it cannot be read.
  virtual std::optional<LogInput> ReadLog(const std::string& path) = 0;
};

struct ImportToolContext {
  LogSource& logs;
  const TimeZone& zone;
  const RegionalSettings& regional;
  std::string defaultStore;  // the call store of the program beside the tool
  std::ostream& out;
  std::ostream& err;
  // Run before the default store is written (makes the data folder of an installed program).
  std::function<void()> prepareDefaultStore = {};
};

struct FoundCalls {
  std::vector<FoundCall> calls;       // in the order of their start, each start once
  std::vector<FoundCall> unfinished;  // starts without an end
  std::vector<FoundCall> backwards;   // ends before their start: not calls
  std::vector<FoundCall> moved;       // calls whose start was moved on (as they now are)
};

// The calls in the given logs. Each log is read with the year rule of classic stamps (from
// `year` or its modification time); the logs are taken in the order of their first record, so
// rotated files given newest first still join a call that spans two of them. Two calls with
// one start (two links, one second) are both kept: the later one's start moves on by the
// smallest step that keeps both, a second, since the store knows a call by its start.
FoundCalls FindPppCalls(const std::vector<LogInput>& logs, std::optional<int> year,
                        const TimeZone& zone);

// Runs the tool on its arguments (without the program name). Returns the exit status: 0, 1 for
// an input that cannot be read or a store that cannot be written, 2 for wrong arguments.
int RunImportTool(const std::vector<std::string>& args, ImportToolContext& ctx);

}  // namespace dorvane
