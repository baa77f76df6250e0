// The modem log import at start-up: a log of new calls into a call store that already holds
// years of calls. Arguments: calls in the log, calls in the store. The files are put back before
// every iteration, outside the timing; the timing covers reading the log, pairing, recording,
// the atomic rewrite of the store and the deletion of the log. Beside it: the store merge alone,
// and the floor of any whole-store replace (the store copied through the atomic writer).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/callstore.h"
#include "capture/modemlog.h"
#include "capture/storeformat.h"
#include "capture/storemerge.h"
#include "platform/datetime.h"
#include "platform/files.h"
#include "platform/linereader.h"
#include "platform/messages.h"
#include "platform/regional.h"

namespace {

using namespace dorvane;

// A small fixed-seed generator, so every run sees the same files.
class Random {
 public:
  std::uint32_t Below(std::uint32_t n) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<std::uint32_t>(state_ % n);
  }

 private:
  std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

// Calls in time order from 1 January 1990: one every few hours, each lasting up to an hour,
// with time stamps that carry hundredths as the driver writes them.
class CallSource {
 public:
  explicit CallSource(const RegionalSettings& rs) : rs_(rs), now_(EncodeDate(1990, 1, 1)) {}

  // The driver's time stamp "MM-DD-YYYY hh:nn:ss.cc" of a moment `secondsLater` on.
  std::string Stamp(std::uint32_t secondsLater) {
    now_ += secondsLater / 86400.0;
    const TDateTime whole = RoundToSecond(now_);
    const int hundredths = static_cast<int>(random_.Below(100));
    // The driver's two digits after the point: "zzz" gives them with a leading zero.
    std::string text =
        FormatDateTime(rs_, "mm-dd-yyyy hh:nn:ss.zzz", whole + hundredths / kMsPerDay);
    text.erase(20, 1);
    return text;
  }

  // The gap before the next call and the length of one.
  std::uint32_t Gap() { return 600 + random_.Below(4 * 3600); }
  std::uint32_t Length() { return 30 + random_.Below(3600); }
  std::uint32_t Short() { return 1 + random_.Below(20); }

 private:
  static TDateTime RoundToSecond(TDateTime v) {
    const TDateTime seconds = RoundToMillisecond(v) * 86400.0;
    return static_cast<double>(static_cast<std::int64_t>(seconds)) / 86400.0;
  }

  const RegionalSettings& rs_;
  TDateTime now_;
  Random random_;
};

struct Files {
  std::string store;
  std::string log;
};

// A store of `storeCalls` calls in month sections, then a log of `logCalls` later calls, each
// in a session of its own as the driver writes it.
Files Generate(int logCalls, int storeCalls, const RegionalSettings& rs) {
  CallSource source(rs);
  Files files;
  files.store.reserve(static_cast<std::size_t>(storeCalls) * 36);
  std::optional<StoreMonth> section;
  for (int i = 0; i < storeCalls; ++i) {
    const TDateTime start = LogLineToDateTime(source.Stamp(source.Gap()));
    const TDateTime end = LogLineToDateTime(source.Stamp(source.Length()));
    if (MonthOf(start) != section) {
      section = MonthOf(start);
      files.store.append(SectionLine(*section)).append(kStoreLineEnd);
    }
    files.store.append(CallLine(rs, start, end)).append(kStoreLineEnd);
  }
  files.log.reserve(static_cast<std::size_t>(logCalls) * 330);
  for (int i = 0; i < logCalls; ++i) {
    const auto line = [&](std::uint32_t later, const char* text) {
      files.log += source.Stamp(later) + " - " + text + "\r\n";
    };
    line(source.Gap(), "Standard Modem in use.");
    line(source.Short(), "Modem type: Standard Modem");
    line(0, "Initializing modem.");
    line(source.Short(), "Send: ATZ<cr>");
    line(0, "Recv: OK");
    line(source.Short(), "Dialing.");
    line(0, "Send: ATDT5551234<cr>");
    line(source.Short(), "Recv: CONNECT 28800");
    line(source.Short(), "Connection established at 28800bps.");
    line(source.Length(), "Recv: NO CARRIER");
    line(source.Short(), "Hanging up the modem.");
    line(0, "Session Statistics: Reads : 12345 bytes; Writes: 2345 bytes");
    line(source.Short(), "Standard Modem closed.");
  }
  return files;
}

// A scratch folder under the temporary folder (DORVANE_BENCH_DIR overrides it), on the disk
// the store would be on.
std::string ScratchDir() {
  const char* base = std::getenv("DORVANE_BENCH_DIR");
  std::string pattern =
      ((base ? std::filesystem::path(base) : std::filesystem::temp_directory_path()) /
       "dorvane-import-XXXXXX")
          .string();
  return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

void Put(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

void BM_ImportModemLog(benchmark::State& state) {
  const int logCalls = static_cast<int>(state.range(0));
  const int storeCalls = static_cast<int>(state.range(1));
  const RegionalSettings rs;
  const Files files = Generate(logCalls, storeCalls, rs);
  const std::string dir = ScratchDir();
  if (dir.empty()) {
    state.SkipWithError("no scratch folder");
    return;
  }
  const std::string storePath = dir + "/dorvane.DB";
  const std::string logPath = dir + "/ModemLog.txt";
  RealFileSystem fs(dir);
  SilentMessages messages;
  CallStore store(storePath, rs);
  ModemLogImport importer(store, fs, messages);

  for (auto _ : state) {
    state.PauseTiming();
    Put(storePath, files.store);
    Put(logPath, files.log);
    state.ResumeTiming();
    importer.ImportModemLog(logPath, true);
  }
  if (fs.Exists(logPath)) state.SkipWithError("the log was not deleted");
  int stored = 0;
  const std::string storeText = fs.ReadAll(storePath).value_or("");
  std::string_view start;
  std::string_view end;
  for (const std::string_view line : SplitLines(storeText))
    stored += ParseCallLine(line, start, end);
  if (stored != storeCalls + logCalls) state.SkipWithError("calls were lost");
  state.counters["new_calls"] = logCalls;
  state.counters["store_bytes"] = static_cast<double>(files.store.size());
  state.counters["log_bytes"] = static_cast<double>(files.log.size());
  state.SetItemsProcessed(state.iterations() * logCalls);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

BENCHMARK(BM_ImportModemLog)
    ->Args({5000, 50000})
    ->Args({10000, 100000})
    ->Args({10000, 1000000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The store merge alone, as dorvane-import calls it: the same new calls as date-times.
void BM_MergeCalls(benchmark::State& state) {
  const int logCalls = static_cast<int>(state.range(0));
  const int storeCalls = static_cast<int>(state.range(1));
  const RegionalSettings rs;
  const Files files = Generate(logCalls, storeCalls, rs);
  NewCalls calls;
  TDateTime start = 0;
  for (std::string_view line : SplitLines(files.log)) {
    if (line.find("ATDT") != std::string_view::npos) start = LogLineToDateTime(line);
    if (line.find("NO CARRIER") != std::string_view::npos)
      calls.Add(start, LogLineToDateTime(line));
  }
  const std::string dir = ScratchDir();
  if (dir.empty()) {
    state.SkipWithError("no scratch folder");
    return;
  }
  const std::string storePath = dir + "/dorvane.DB";
  std::size_t added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Put(storePath, files.store);
    state.ResumeTiming();
    added = MergeCalls(storePath, rs, calls).added;
  }
  if (added != calls.Size()) state.SkipWithError("calls were lost");
  state.SetItemsProcessed(state.iterations() * logCalls);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

BENCHMARK(BM_MergeCalls)->Args({10000, 1000000})->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor of any whole-store replace: the store read in blocks and written unchanged through
// the atomic writer (fsync and rename included).
void BM_CopyStoreFloor(benchmark::State& state) {
  const RegionalSettings rs;
  const Files files = Generate(0, static_cast<int>(state.range(0)), rs);
  const std::string dir = ScratchDir();
  if (dir.empty()) {
    state.SkipWithError("no scratch folder");
    return;
  }
  const std::string storePath = dir + "/dorvane.DB";
  std::vector<char> block(kLineBlockSize);
  for (auto _ : state) {
    state.PauseTiming();
    Put(storePath, files.store);
    state.ResumeTiming();
    const ReadBlock read = OpenFileBlocks(storePath);
    AtomicFileWriter writer(storePath);
    for (std::ptrdiff_t got; (got = read(block.data(), block.size())) > 0;) {
      writer.Write(std::string_view(block.data(), static_cast<std::size_t>(got)));
    }
    if (!writer.Commit()) state.SkipWithError("the copy failed");
  }
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

BENCHMARK(BM_CopyStoreFloor)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
