#include "linux/importtool.h"

#include <algorithm>
#include <ostream>
#include <set>
#include <tuple>
#include <utility>

#include "capture/callstore.h"
#include "platform/error.h"

namespace dorvane {

namespace {

struct Arguments {
  std::optional<std::string> store;
  std::optional<int> year;
  bool dryRun = false;
  bool help = false;
  std::vector<std::string> files;
};

// Whole numbers as the program writes them.
std::string Count(std::size_t n) {
  static const RegionalSettings kPlain;
  return FloatToStr(kPlain, static_cast<double>(n));
}

// The stamp of a modem-log line, as the call store keys a call by it.
std::string ModemLogStamp(const RegionalSettings& rs, const LocalTime& t) {
  RegionalSettings fixed = rs;
  fixed.timeSeparator = ":";
  return FormatDateTime(fixed, "mm\"-\"dd\"-\"yyyy hh:nn:ss\".00\"", ToDateTime(t));
}

class UsageError : public Error {
 public:
  using Error::Error;
};

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments a;
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options || arg == "-" || !arg.starts_with("-")) {
      a.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options = false;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      a.help = true;
      return a;
    }
    if (arg == "--dry-run") {
      a.dryRun = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (const auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    if (name != "--store" && name != "--year") {
      throw UsageError(FormatMessage("unknown option '%s'", arg));
    }
    if (!value) {
      if (i + 1 >= args.size()) throw UsageError(FormatMessage("option '%s' needs a value", name));
      value = args[++i];
    }
    if (name == "--store") {
      if (value->empty()) throw UsageError("option '--store' needs a value");
      a.store = *value;
    } else {
      int year = 0;
      TDateTime ignored = 0;
      if (value->size() != 4 || !TryStrToInt(*value, year) || !TryEncodeDate(year, 1, 1, ignored)) {
        throw UsageError(FormatMessage("'%s' is not a valid year", *value));
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

FoundCalls FindPppCalls(const std::vector<LogInput>& logs, std::optional<int> year,
                        const TimeZone& zone) {
  static const std::vector<std::string> kPrograms = {"pppd", "chat"};
  std::vector<std::vector<LogRecord>> records;
  records.reserve(logs.size());
  for (const LogInput& log : logs) {
    records.push_back(
        ReadLogRecords(log.text, YearHint{year, zone.ToLocal(log.modifiedUtc)}, zone, kPrograms));
  }
  std::vector<std::size_t> order(logs.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (records[a].empty() || records[b].empty()) return false;
    return records[a].front().time < records[b].front().time;
  });

  PppCallFinder finder;
  for (std::size_t i : order) {
    for (const LogRecord& r : records[i]) finder.Add(r);
  }
  finder.Finish();

  FoundCalls found;
  // The same records given twice (a file and its copy, syslog and the journal) are one call.
  std::set<std::pair<LocalTime, LocalTime>> seen;
  for (const FoundCall& c : finder.Calls()) {
    if (seen.emplace(c.start, c.end).second) found.calls.push_back(c);
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
    ctx.out << kImportToolUsage << "\n";
    return 0;
  }

  const std::string storePath = a.store.value_or(ctx.defaultStore);
  if (!a.dryRun && !a.store && ctx.prepareDefaultStore) ctx.prepareDefaultStore();
  // The store's texts, and what the tool shows, in the notation of the store's folder.
  const RegionalSettings rs =
      ctx.storeRegional ? ctx.storeRegional(storePath, !a.dryRun) : ctx.regional;

  // Every input is read before anything is written: a run either sees all its logs or
  // records nothing.
  std::vector<LogInput> logs;
  for (const std::string& path : a.files) {
    std::optional<LogInput> log = ctx.logs.ReadLog(path);
    if (!log) {
      ctx.err << prefix << FormatMessage(kUnableToRead, path == "-" ? "standard input" : path)
              << "\n";
      return 1;
    }
    logs.push_back(std::move(*log));
  }

  const FoundCalls found = FindPppCalls(logs, a.year, ctx.zone);
  for (const FoundCall& c : found.unfinished) {
    ctx.err << prefix << "the call from " << Describe(rs, c) << " has no end; not recorded\n";
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
    CallStore store(storePath, rs);
    // Through the driver's stamps, so a call has the key it would have from the modem log.
    NewCalls calls;
    for (const FoundCall& c : found.calls) {
      calls.Add(LogLineToDateTime(ModemLogStamp(rs, c.start)),
                LogLineToDateTime(ModemLogStamp(rs, c.end)));
    }
    recorded = store.Merge(calls).added;
  } catch (const Error& e) {
    ctx.err << prefix << e.what() << "\n";
    return 1;
  }
  ctx.out << Count(found.calls.size()) << " calls found, " << Count(recorded)
          << " new calls recorded\n";
  return 0;
}

}  // namespace dorvane
