// dorvane-import: brings the calls that pppd and chat left in the system's logs into the call
// store, by the store's own rules (month sections, duplicate rule, one locked atomic replace).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
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

// A log held whole (tests, and logs read from memory).
struct LogInput {
  std::string text;
  std::int64_t modifiedUtc = 0;  // seconds since 1970-01-01 UTC
};

// One log, read a block at a time (unpacked when it was gzip'd).
class LogStream {
 public:
  virtual ~LogStream() = default;
  // Up to `size` bytes; 0 at the end; -1 when the read failed (the reason in Failure()).
  virtual std::ptrdiff_t Read(char* data, std::size_t size) = 0;
  virtual std::string Failure() const { return {}; }
  std::int64_t modifiedUtc = 0;  // seconds since 1970-01-01 UTC
};

// What the tool needs from the outside world.
class LogSource {
 public:
  virtual ~LogSource() = default;
  // Opens a log file, gzip'd or plain; "-" is standard input (modified now). nullptr when it
  // cannot be opened, with the system's reason in `reason`.
  virtual std::unique_ptr<LogStream> Open(const std::string& path, std::string& reason) = 0;
};

// A log in memory as a stream.
class TextLogStream : public LogStream {
 public:
  explicit TextLogStream(const LogInput& log) : text_(log.text) { modifiedUtc = log.modifiedUtc; }
  std::ptrdiff_t Read(char* data, std::size_t size) override;

 private:
  std::string text_;
  std::size_t at_ = 0;
};

// No line of a system log comes near this; a longer one means the file is something else.
inline constexpr std::size_t kLongestLogLine = 64 * 1024;

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

// One log's records of pppd and chat, read line by line. Throws Error with the reason when the
// log cannot be read to its end, is compressed in a way the tool does not read, or has a line
// longer than kLongestLogLine. `hint` is this file's year hint; it becomes the next file's.
std::vector<LogRecord> ReadPppRecords(LogStream& log, const std::string& name, YearHint& hint,
                                      const TimeZone& zone);

// The calls in the records of several logs (each in file order). With `givenOrder` the logs are
// taken as given, else in the order of their first record.
FoundCalls FindPppCalls(std::vector<std::vector<LogRecord>> records, bool givenOrder);

// Runs the tool on its arguments (without the program name). Returns the exit status: 0, 1 for
// an input that cannot be read or a store that cannot be written, 2 for wrong arguments.
int RunImportTool(const std::vector<std::string>& args, ImportToolContext& ctx);

}  // namespace dorvane
