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
  // The settings the store's folder is written in, given the store's path and whether this run
  // writes (and so records the settings of a folder that has none); unset: `regional`.
  std::function<RegionalSettings(const std::string& storePath, bool writing)> storeRegional = {};
};

struct FoundCalls {
  std::vector<FoundCall> calls;       // in the order of their start, each pair once
  std::vector<FoundCall> unfinished;  // starts without an end
};

// The calls in the given logs. Each log is read with the year rule of classic stamps (from
// `year` or its modification time); the logs are taken in the order of their first record, so
// rotated files given newest first still join a call that spans two of them.
FoundCalls FindPppCalls(const std::vector<LogInput>& logs, std::optional<int> year,
                        const TimeZone& zone);

// Runs the tool on its arguments (without the program name). Returns the exit status: 0, 1 for
// an input that cannot be read or a store that cannot be written, 2 for wrong arguments.
int RunImportTool(const std::vector<std::string>& args, ImportToolContext& ctx);

}  // namespace dorvane
