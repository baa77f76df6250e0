// Arbitrary bytes as a modem log, imported from a real file into a store in a scratch folder.
// Nothing may crash and only the program's own errors may come out; the store must then hold
// exactly the calls that a plain model of the pairing rules finds, in the order it finds them,
// up to the first line that does not convert; a second import of the same log adds nothing.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "capture/callstore.h"
#include "capture/modemlog.h"
#include "fuzz/fuzz_support.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/regional.h"
#include "support/messages.h"

namespace {

using namespace dorvane;

constexpr const char* kLog = "C:\\WINDOWS\\ModemLog.txt";

// The scratch folder, with the "Windows directory" the log lies in.
const std::string& ScratchDir() {
  static const bool made =
      std::filesystem::create_directories(dorvane::fuzz::ScratchDir() + "/WINDOWS");
  static_cast<void>(made);
  return dorvane::fuzz::ScratchDir();
}

bool Contains(std::string_view line, std::string_view word) {
  return line.find(word) != std::string_view::npos;
}

struct StoredCall {
  std::string section;
  std::string start;
  std::string end;
  bool operator==(const StoredCall&) const = default;
};

// The pairing rules, written out plainly: a session starts at "in use" and drops the lines not
// yet paired; a "closed" line, and the end of the log, pair the lines read since the last pairing.
// The last start line ("Dialing", "ATDT") before an end line ("NO CARRIER", "Hanging up") makes
// a call; a "BUSY" line ends the attempt, recorded only while busy calls are not ignored; the
// first call with a given start is kept. Stops at the first line that does not convert, as the
// import does.
struct Model {
  std::vector<StoredCall> calls;
  bool failed = false;
};

Model Expected(std::string_view log, bool ignoreBusy, const RegionalSettings& rs) {
  Model model;
  std::set<std::pair<std::string, std::string>> keys;
  std::optional<std::string_view> pending;
  std::vector<std::string_view> unpaired;
  auto pair = [&] {
    for (std::string_view line : unpaired) {
      if (Contains(line, "Dialing") || Contains(line, "ATDT")) {
        pending = line;
        continue;
      }
      const bool end = Contains(line, "NO CARRIER") || Contains(line, "Hanging up");
      if (!end && !Contains(line, "BUSY")) continue;
      if (pending && (end || !ignoreBusy)) {
        const TDateTime start = LogLineToDateTime(*pending);
        StoredCall call{MonthSectionName(start), DateTimeText(rs, start), ""};
        if (keys.emplace(call.section, call.start).second) {
          call.end = DateTimeText(rs, LogLineToDateTime(line));
          model.calls.push_back(std::move(call));
        }
      }
      pending.reset();
    }
    unpaired.clear();
  };
  try {
    for (std::string_view line : SplitLines(log)) {
      if (Contains(line, "in use")) {
        unpaired.clear();
        pending.reset();
      }
      unpaired.push_back(line);
      if (Contains(line, "closed")) pair();
    }
    pair();
  } catch (const Error&) {
    model.failed = true;
  }
  return model;
}

// The calls of a store text in file order, each with the section it stands in.
std::vector<StoredCall> StoredCalls(std::string_view text) {
  std::vector<StoredCall> calls;
  std::string section;
  for (std::string_view line : SplitLines(text)) {
    if (!line.empty() && line.front() == '[') {
      const auto close = line.rfind(']');
      CHECK(close != std::string_view::npos);
      section = line.substr(1, close - 1);
      continue;
    }
    std::string_view start;
    std::string_view end;
    if (ParseCallLine(line, start, end))
      calls.push_back({section, std::string(start), std::string(end)});
  }
  return calls;
}

// Sections in the order of first use, each call under its own section: the store as the
// program writes it, whatever order the calls came in.
// The store keeps its months in calendar order and each month's calls in time order, whatever
// the log's order.
std::vector<StoredCall> GroupedBySection(std::vector<StoredCall> calls,
                                         const RegionalSettings& rs) {
  auto startOf = [&rs](const StoredCall& c) {
    double value = 0;
    CHECK(TryStrToFloat(rs, c.start, value));
    return value;
  };
  std::stable_sort(calls.begin(), calls.end(), [&](const StoredCall& a, const StoredCall& b) {
    return startOf(a) < startOf(b);
  });
  std::vector<std::string> order;
  for (const StoredCall& c : calls) {
    if (std::find(order.begin(), order.end(), c.section) == order.end()) order.push_back(c.section);
  }
  std::vector<StoredCall> grouped;
  for (const std::string& section : order) {
    for (const StoredCall& c : calls) {
      if (c.section == section) grouped.push_back(c);
    }
  }
  return grouped;
}

bool StartsWithByteOrderMark(std::string_view text) {
  return text.starts_with("\xEF\xBB\xBF") || text.starts_with("\xFF\xFE") ||
         text.starts_with("\xFE\xFF");
}

struct Outcome {
  bool failed = false;
  bool logKept = false;
  std::string store;
};

Outcome Import(const std::string& storePath, const RegionalSettings& rs, bool ignoreBusy) {
  RealFileSystem files(ScratchDir());
  testing::ScriptedMessages messages;  // takes every box, to be counted
  CallStore store(storePath, rs);
  ModemLogImport importer(store, files, messages);
  Outcome outcome;
  try {
    importer.ImportModemLog(kLog, ignoreBusy);
  } catch (const Error&) {
    outcome.failed = true;
  }
  CHECK(messages.Shown().empty());
  outcome.logKept = files.Exists(kLog);
  outcome.store = files.ReadAll(storePath).value_or("");
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the options, the rest is the log.
  const std::uint8_t options = data[0];
  const bool ignoreBusy = (options & 1) != 0;
  RegionalSettings rs;
  if (options & 2) {
    rs.decimalSeparator = ",";
    rs.thousandSeparator = ".";
  }
  const std::string_view log(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string logPath = ScratchDir() + "/WINDOWS/ModemLog.txt";
  const std::string storePath = ScratchDir() + "/fuzz.DB";
  auto writeLog = [&] {
    std::FILE* f = std::fopen(logPath.c_str(), "wb");
    CHECK(f != nullptr);
    CHECK(std::fwrite(log.data(), 1, log.size(), f) == log.size());
    CHECK(std::fclose(f) == 0);
  };
  ::unlink(storePath.c_str());
  writeLog();

  const Outcome first = Import(storePath, rs, ignoreBusy);
  const std::vector<StoredCall> stored = StoredCalls(first.store);
  // Every call line holds a start and an end that read back as numbers, each start once.
  std::set<std::pair<std::string, std::string>> starts;
  for (const StoredCall& c : stored) {
    double value = 0;
    CHECK(TryStrToFloat(rs, c.start, value));
    CHECK(TryStrToFloat(rs, c.end, value));
    CHECK(starts.emplace(c.section, c.start).second);
  }
  // The log goes only after an import that wrote all it found.
  if (first.failed) CHECK(first.logKept);

  // A log that starts with a byte-order mark may be read in another encoding; the model reads
  // bytes.
  if (!StartsWithByteOrderMark(log)) {
    const Model model = Expected(log, ignoreBusy, rs);
    CHECK(first.failed == model.failed);
    CHECK(stored == GroupedBySection(model.calls, rs));
    // Only a modem log goes: one whose lines include a well-formed time stamp, or an empty one.
    // A document whose columns merely convert keeps its file, whatever calls were read from it.
    const auto lines = SplitLines(log);
    const bool modemLog =
        log.empty() || std::any_of(lines.begin(), lines.end(),
                                   [](std::string_view line) { return IsModemTimeStamp(line); });
    if (!first.failed) CHECK(first.logKept == !modemLog);
  }

  // The next start reads the same log again: nothing new, the store as it was.
  writeLog();
  const Outcome second = Import(storePath, rs, ignoreBusy);
  CHECK(second.failed == first.failed);
  CHECK(second.store == first.store);
  CHECK(second.logKept == first.logKept);
  ::unlink(logPath.c_str());
  return 0;
}
