#include "linux/importtool.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <set>
#include <tuple>
#include <utility>

#include "capture/callstore.h"
#include "platform/datetime.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/options.h"
#include "platform/plaintext.h"

namespace dorvane {

const char* const kImportVersionLine = "dorvane-import " DORVANE_VERSION;

const char* const kImportToolHelp =
    "Usage: dorvane-import [OPTION]... FILE...\n"
    "Brings the calls that pppd and chat left in the system log or the journal into Dorvane's\n"
    "call store. FILE is a log file, plain or gzip'd, or - for standard input.\n"
    "\n"
    "  --store FILE   the call store to write (default: the one Dorvane uses, found as Dorvane\n"
    "                 finds it; run with sudo, that is root's own)\n"
    "  --year YYYY    the year of the first line of the first file whose stamps carry none\n"
    "                 (classic syslog); the years carry on from file to file in the order given.\n"
    "                 Default: the year that puts each file's last line at or before the time\n"
    "                 it was last written (for standard input: now)\n"
    "  --dry-run      write nothing; list the calls found (start, end, duration)\n"
    "  --help         print this help and exit\n"
    "  --version      print the version and exit\n"
    "\n"
    "Only the lines of pppd and chat count; a call starts at the dial chat logged for its own\n"
    "pppd, or at pppd's \"Serial connection established.\", and ends at \"Modem hangup\" or\n"
    "\"Connection terminated.\". A call already in the store is not recorded again.\n"
    "On Debian the system log is readable by the group adm.\n"
    "Exit status: 0 done, 1 a file that cannot be read or a store that cannot be written,\n"
    "2 wrong arguments.\n";

namespace {

struct Arguments {
  std::optional<std::string> store;
  std::optional<int> year;
  bool dryRun = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> files;
};

// "1 call", "2 new calls".
std::string CallCount(std::size_t n, const char* words) {
  return WholeNumber(static_cast<std::int64_t>(n)) + words + (n == 1 ? "call" : "calls");
}

// The system's reason why a store cannot be written, where it tells one: its folder missing,
// read-only or refused, or the file itself refused.
std::string WhyNotWritable(const std::string& store) {
  const std::string folder = FolderOf(store);
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  if (::access(store.c_str(), F_OK) == 0 && ::access(store.c_str(), W_OK) != 0) {
    return std::strerror(errno);
  }
  return {};
}

// One second later, across minutes, days and years.
LocalTime NextSecond(LocalTime t) {
  if (++t.second < 60) return t;
  t.second = 0;
  if (++t.minute < 60) return t;
  t.minute = 0;
  if (++t.hour < 24) return t;
  t.hour = 0;
  if (++t.day <= DaysInMonth(t.year, t.month)) return t;
  t.day = 1;
  if (++t.month <= 12) return t;
  t.month = 1;
  ++t.year;
  return t;
}

Arguments ParseArguments(const std::vector<std::string>& args) {
  static constexpr KnownOption kOptions[] = {{"--store", true}, {"--year", true}, {"--dry-run"}};
  const CommandLine line = ReadCommandLine(args, kOptions);
  Arguments a;
  a.help = line.help;
  a.version = line.version;
  if (a.help || a.version) return a;
  a.files = line.operands;
  for (const auto& [name, value] : line.options) {
    if (name == "--dry-run") {
      a.dryRun = true;
    } else if (name == "--store") {
      a.store = value;
    } else {
      int year = 0;
      TDateTime ignored = 0;
      if (value.size() != 4 || !TryStrToInt(value, year) || !TryEncodeDate(year, 1, 1, ignored)) {
        throw UsageError(FormatMessage("'%s' is not a valid year", value));
      }
      if (year < kFirstImportYear) {
        throw UsageError(FormatMessage("the call store holds no year before %s",
                                       std::to_string(kFirstImportYear)));
      }
      a.year = year;
    }
  }
  if (a.files.empty()) throw UsageError("no log file given");
  return a;
}

std::string Describe(const RegionalSettings& rs, const FoundCall& c) {
  std::string text = DateTimeToStr(rs, ToDateTime(c.start));
  text += " (";
  if (!c.host.empty()) text += c.host + " ";
  text += "pppd";
  if (!c.pid.empty()) text += "[" + c.pid + "]";
  text += ")";
  return text;
}

}  // namespace

std::ptrdiff_t TextLogStream::Read(char* data, std::size_t size) {
  const std::size_t n = std::min(size, text_.size() - at_);
  std::copy_n(text_.data() + at_, n, data);
  at_ += n;
  return static_cast<std::ptrdiff_t>(n);
}

std::vector<LogRecord> ReadPppRecords(LogStream& log, const std::string& name, YearHint& hint,
                                      const TimeZone& zone) {
  static const std::vector<std::string> kPrograms = {"pppd", "chat"};
  LogRecordReader reader(hint, zone, kPrograms);
  std::string line;
  std::uint64_t lineNumber = 1;
  LineCutter cutter;
  const auto onPiece = [&](std::string_view piece, bool ended) {
    if (line.size() + piece.size() > kLongestLogLine) {
      throw Error(FormatMessage("%s: line ", name) + std::to_string(lineNumber) +
                  " is longer than any system log line (" + std::to_string(kLongestLogLine) +
                  " bytes); it is no system log");
    }
    if (!ended) {
      line.append(piece);
      return;
    }
    if (line.empty()) {
      reader.Line(piece);
    } else {
      line.append(piece);
      reader.Line(line);
      line.clear();
    }
    ++lineNumber;
  };
  bool first = true;
  std::vector<char> block(64 * 1024);
  for (;;) {
    const std::ptrdiff_t got = log.Read(block.data(), block.size());
    if (got < 0) {
      const std::string reason = log.Failure();
      throw Error(FormatMessage(kUnableToRead, name) + (reason.empty() ? "" : ": " + reason));
    }
    if (got == 0) break;
    std::string_view bytes(block.data(), static_cast<std::size_t>(got));
    if (first) {
      first = false;
      // gzip is unpacked on the way in; the others arrive as they are.
      static const std::pair<std::string_view, const char*> kPacked[] = {
          {"BZh", "bzip2"},
          {std::string_view("\xFD"
                            "7zXZ\0",
                            6),
           "xz"},
          {"\x28\xB5\x2F\xFD", "zstd"},
          {"\x04\x22\x4D\x18", "lz4"},
      };
      for (const auto& [magic, format] : kPacked) {
        if (bytes.starts_with(magic)) {
          throw Error(FormatMessage("%s is compressed with ", name) + format +
                      ", which this tool does not read; unpack it first");
        }
      }
    }
    cutter.Feed(bytes, onPiece);
  }
  if (cutter.Finish()) reader.Line(line);
  return reader.Finish(&hint);
}

FoundCalls FindPppCalls(const std::vector<LogInput>& logs, std::optional<int> year,
                        const TimeZone& zone) {
  std::vector<std::vector<LogRecord>> records;
  YearHint carried{year, {}, 0};
  for (const LogInput& log : logs) {
    YearHint hint = year ? carried : YearHint{std::nullopt, {}, 0};
    hint.modified = zone.ToLocal(log.modifiedUtc);
    TextLogStream stream(log);
    records.push_back(ReadPppRecords(stream, "log", hint, zone));
    carried = hint;
  }
  return FindPppCalls(std::move(records), year.has_value());
}

FoundCalls FindPppCalls(std::vector<std::vector<LogRecord>> records, bool givenOrder) {
  std::vector<std::size_t> order(records.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  if (!givenOrder) {
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      if (records[a].empty() || records[b].empty()) return false;
      return records[a].front().time < records[b].front().time;
    });
  }

  PppCallFinder finder;
  for (std::size_t i : order) {
    for (const LogRecord& r : records[i]) finder.Add(r);
  }
  finder.Finish();

  FoundCalls found;
  // The same records given twice (a file and its copy, syslog and the journal) are one call.
  std::set<std::pair<LocalTime, LocalTime>> seen;
  for (const FoundCall& c : finder.Calls()) {
    if (c.end < c.start || c.start.year < kFirstImportYear || c.end.year > kLastImportYear) {
      found.backwards.push_back(c);
    } else if (seen.emplace(c.start, c.end).second) {
      found.calls.push_back(c);
    }
  }
  std::stable_sort(found.calls.begin(), found.calls.end(),
                   [](const FoundCall& a, const FoundCall& b) { return a.start < b.start; });
  // Two calls with one start: the store would keep one, so the later ones move on.
  std::set<LocalTime> starts;
  for (FoundCall& c : found.calls) {
    bool moved = false;
    while (!starts.insert(c.start).second) {
      c.start = NextSecond(c.start);
      moved = true;
    }
    if (c.end < c.start) c.end = c.start;
    if (moved) found.moved.push_back(c);
  }
  std::stable_sort(found.calls.begin(), found.calls.end(),
                   [](const FoundCall& a, const FoundCall& b) { return a.start < b.start; });
  std::set<std::tuple<LocalTime, std::string, std::string>> named;
  for (const FoundCall& c : finder.Unfinished()) {
    if (named.emplace(c.start, c.host, c.pid).second) found.unfinished.push_back(c);
  }
  return found;
}

int RunImportTool(const std::vector<std::string>& args, ImportToolContext& ctx) {
  const std::string prefix = std::string(kImportToolName) + ": ";
  Arguments a;
  try {
    a = ParseArguments(args);
  } catch (const UsageError& e) {
    ctx.err << prefix << e.what() << "\n" << kImportToolUsage << "\n";
    return 2;
  }

  if (a.help) {
    ctx.out << kImportToolHelp;
    return 0;
  }
  if (a.version) {
    ctx.out << kImportVersionLine << "\n";
    return 0;
  }

  const std::string storePath = a.store.value_or(ctx.defaultStore);
  if (!a.dryRun && !a.store && ctx.prepareDefaultStore) ctx.prepareDefaultStore();
  // The store's texts, and what the tool shows, in the notation of the store's folder.
  const RegionalSettings rs =
      ctx.storeRegional ? ctx.storeRegional(storePath, !a.dryRun) : ctx.regional;

  // Every input is read before anything is written: a run either sees all its logs or
  // records nothing.
  std::vector<std::vector<LogRecord>> records;
  YearHint carried{a.year, {}, 0};
  for (const std::string& path : a.files) {
    const std::string name = path == "-" ? "standard input" : path;
    std::string reason;
    std::unique_ptr<LogStream> log = ctx.logs.Open(path, reason);
    if (!log) {
      ctx.err << prefix << FormatMessage(kUnableToRead, name)
              << (reason.empty() ? "" : ": " + reason) << "\n";
      return 1;
    }
    YearHint hint = a.year ? carried : YearHint{std::nullopt, {}, 0};
    hint.modified = ctx.zone.ToLocal(log->modifiedUtc);
    try {
      records.push_back(ReadPppRecords(*log, name, hint, ctx.zone));
    } catch (const Error& e) {
      ctx.err << prefix << e.what() << "\n";
      return 1;
    }
    carried = hint;
    if (records.back().empty()) {
      ctx.err << prefix
              << FormatMessage("%s holds no lines of pppd or chat in a form this tool reads", name)
              << "\n";
    }
  }

  const FoundCalls found = FindPppCalls(std::move(records), a.year.has_value());
  for (const FoundCall& c : found.unfinished) {
    ctx.err << prefix << "the call from " << Describe(rs, c) << " has no end; not recorded\n";
  }
  for (const FoundCall& c : found.backwards) {
    ctx.err << prefix << "the call from " << Describe(rs, c)
            << " ends before it starts or lies outside the years the store holds; not recorded\n";
  }
  for (const FoundCall& c : found.moved) {
    ctx.err << prefix << "another call starts at the same second; the call from " << Describe(rs, c)
            << " is recorded with this start\n";
  }

  if (a.dryRun) {
    for (const FoundCall& c : found.calls) {
      const TDateTime start = ToDateTime(c.start);
      const TDateTime end = ToDateTime(c.end);
      ctx.out << DateTimeToStr(rs, start) << "\t" << DateTimeToStr(rs, end) << "\t"
              << DurationToStr(rs, end - start) << "\n";
    }
    return 0;
  }

  std::size_t recorded = 0;
  try {
    // What writers killed before their rename left beside the store; a living writer's
    // temporary is locked and stays.
    RemoveStaleTemporaries(storePath);
    CallStore store(storePath, rs);
    // ToDateTime keys a call as the modem log's stamp of its start would.
    NewCalls calls;
    for (const FoundCall& c : found.calls) calls.Add(ToDateTime(c.start), ToDateTime(c.end));
    recorded = store.Merge(calls).added;
  } catch (const Error& e) {
    const std::string reason = WhyNotWritable(a.store.value_or(ctx.defaultStore));
    ctx.err << prefix << e.what() << (reason.empty() ? "" : ": " + reason) << "\n";
    return 1;
  }
  ctx.out << CallCount(found.calls.size(), " ") << " found, " << CallCount(recorded, " new ")
          << " recorded\n";
  return 0;
}

}  // namespace dorvane
