// The cost of the INI files on a call store of 100,000 lines: one parse, one lookup near the end,
// one write (with and without the cost of flushing to disk, measured apart).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/profile.h"

namespace {

constexpr int kSections = 1000;
constexpr int kKeysPerSection = 100;

// Store-like text: month sections of call lines "36006.8430905671=36006.8699199074".
std::string StoreText() {
  std::string text;
  text.reserve(static_cast<std::size_t>(kSections) * kKeysPerSection * 36);
  for (int s = 0; s < kSections; ++s) {
    text.append("[").append(std::to_string(1990 + s / 12)).append("-");
    text.append(std::to_string(s % 12 + 1)).append("]\r\n");
    const long long day = 33000 + s * 30;
    for (int k = 0; k < kKeysPerSection; ++k) {
      const std::string fraction = std::to_string(1000000000LL + k * 7919);
      text += std::to_string(day) + "." + fraction + "=" + std::to_string(day) + "." +
              std::to_string(2000000000LL + k * 7919) + "\r\n";
    }
  }
  return text;
}

// A scratch folder on the same disk as the temporary folder (DORVANE_BENCH_DIR overrides it).
class Scratch {
 public:
  Scratch() {
    const char* base = std::getenv("DORVANE_BENCH_DIR");
    std::string pattern =
        (base ? std::filesystem::path(base) : std::filesystem::temp_directory_path()) /
        "dorvane-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    text_ = StoreText();
    path_ = dir_ + "/store.DB";
    Reset();
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  void Reset() const { std::ofstream(path_, std::ios::binary) << text_; }
  const std::string& Path() const { return path_; }
  const std::string& Text() const { return text_; }
  std::string Dir() const { return dir_; }

 private:
  std::string dir_;
  std::string path_;
  std::string text_;
};

const Scratch& Store() {
  static Scratch scratch;
  return scratch;
}

// The last section and a key near its end.
const char* kLastSection = "2073-4";
std::string KeyNearEnd() {
  return std::to_string(33000 + (kSections - 1) * 30) + "." +
         std::to_string(1000000000LL + 94 * 7919);
}

void BM_ParseWholeFile(benchmark::State& state) {
  dorvane::ProfileFile ini(Store().Path());
  for (auto _ : state) {
    dorvane::ProfileEdit edit(ini);
    benchmark::DoNotOptimize(edit);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Store().Text().size()));
}
BENCHMARK(BM_ParseWholeFile)->Unit(benchmark::kMillisecond);

// The same, then one lookup in every section, which indexes all 100,000 keys.
void BM_ParseAndIndexEverySection(benchmark::State& state) {
  dorvane::ProfileFile ini(Store().Path());
  for (auto _ : state) {
    dorvane::ProfileEdit edit(ini);
    for (int s = 0; s < kSections; ++s) {
      benchmark::DoNotOptimize(edit.ReadString(
          std::to_string(1990 + s / 12) + "-" + std::to_string(s % 12 + 1), "x", ""));
    }
  }
}
BENCHMARK(BM_ParseAndIndexEverySection)->Unit(benchmark::kMillisecond);

void BM_ReadKeyNearEnd(benchmark::State& state) {
  dorvane::ProfileFile ini(Store().Path());
  const std::string key = KeyNearEnd();
  if (ini.ReadString(kLastSection, key, "").empty()) state.SkipWithError("key not found");
  for (auto _ : state) benchmark::DoNotOptimize(ini.ReadString(kLastSection, key, ""));
}
BENCHMARK(BM_ReadKeyNearEnd)->Unit(benchmark::kMillisecond);

void BM_LookupInBatch(benchmark::State& state) {
  dorvane::ProfileFile ini(Store().Path());
  dorvane::ProfileEdit edit(ini);
  const std::string key = KeyNearEnd();
  for (auto _ : state) benchmark::DoNotOptimize(edit.ReadString(kLastSection, key, ""));
}
BENCHMARK(BM_LookupInBatch)->Unit(benchmark::kMicrosecond);

// A new call line in the last section: read, parse, insert, atomic replace with fsync.
void BM_WriteOneKey(benchmark::State& state) {
  Store().Reset();
  dorvane::ProfileFile ini(Store().Path());
  const std::string key = KeyNearEnd();
  long long n = 0;
  for (auto _ : state) ini.WriteString(kLastSection, key, std::to_string(++n));
  Store().Reset();
}
BENCHMARK(BM_WriteOneKey)->Unit(benchmark::kMillisecond)->UseRealTime();

// The disk part of a write alone: the same bytes through the atomic replace (fsync included)...
void BM_AtomicReplaceOnly(benchmark::State& state) {
  const std::string path = Store().Dir() + "/copy.DB";
  for (auto _ : state) dorvane::WriteFileAtomically(path, Store().Text());
}
BENCHMARK(BM_AtomicReplaceOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// ...and written and renamed without any fsync, to tell the flushing cost apart.
void BM_ReplaceWithoutFsync(benchmark::State& state) {
  const std::string path = Store().Dir() + "/copy.DB";
  const std::string temp = path + ".tmp";
  for (auto _ : state) {
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, Store().Text().data(), Store().Text().size()) < 0) {
      state.SkipWithError("write failed");
    }
    ::close(fd);
    std::rename(temp.c_str(), path.c_str());
  }
}
BENCHMARK(BM_ReplaceWithoutFsync)->Unit(benchmark::kMillisecond)->UseRealTime();

// A hundred writes in one batch cost one parse and one replace.
void BM_BatchOfHundredWrites(benchmark::State& state) {
  Store().Reset();
  dorvane::ProfileFile ini(Store().Path());
  long long n = 0;
  for (auto _ : state) {
    dorvane::ProfileEdit edit(ini);
    ++n;
    for (int i = 0; i < 100; ++i) {
      edit.WriteString("2073-4", "new" + std::to_string(i), std::to_string(n));
    }
    edit.Commit();
  }
  Store().Reset();
}
BENCHMARK(BM_BatchOfHundredWrites)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
