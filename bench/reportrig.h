// A call store of years of calls in a fake file system, and a report run over it as the window
// makes one: the benchmarks of the report runs and of the logbook box share it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "reports/reportrun.h"
#include "storegen.h"
#include "support/memoryfiles.h"

namespace dorvane::bench {

inline RegionalSettings Settings() {
  RegionalSettings rs = RegionalSettings::UsEnglish();
  rs.longTimeFormat = "hh:nn:ss";
  return rs;
}

inline const ChargeRows kTable = {
    {"Mon, Tue, Wed, Thu, Fri", "08:00:00 - 17:59:59", "0.10", "0.20", "0.50", "1"},
    {"Mon, Tue, Wed, Thu, Fri", "18:00:00 - 21:59:59", "0.10", "0.12", "0.30", "1"},
    {"Sun, Sat", "00:00:00 - 23:59:59", "0", "0.08", "0.25", "3"},
    {"The time not specified above", "00:00:00 - 23:59:59", "0.10", "0.05", "0", "0"},
};

// The steady store (SteadyStore) of `calls` calls.
inline std::string StoreText(const RegionalSettings& rs, int calls) {
  std::string text;
  SteadyStore(rs, calls, [&](const std::string& block) { text += block; });
  return text;
}

// The store lies in the tests' file system in memory, which hands out its lines as the real one
// does, in blocks.
inline dorvane::testing::MemoryFileSystem OneStore(std::string text) {
  dorvane::testing::MemoryFileSystem files;
  files.Put("dorvane.DB", std::move(text));
  return files;
}

struct ReportRig {
  explicit ReportRig(int calls) : rs(Settings()), files(OneStore(StoreText(rs, calls))) {}
  ReportInputs Run() const {
    return ReportInputs{.files = files,
                        .messages = messages,
                        .clock = clock,
                        .regional = rs,
                        .storePath = "dorvane.DB",
                        .period = {0, 1e6},
                        .charges = kTable,
                        .progress = {},
                        .setLabel = {}};
  }
  RegionalSettings rs;
  dorvane::testing::MemoryFileSystem files;
  mutable SilentMessages messages;
  FixedClock clock{EncodeDate(1995, 6, 15)};
};

}  // namespace dorvane::bench
