// The call stores the benchmarks measure on, formed through the store format as the program
// writes a store: the benchmark programs build them in memory, and make_store writes them for
// the whole-process scripts.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "capture/storeformat.h"
#include "platform/datetime.h"
#include "platform/regional.h"

namespace dorvane::bench {

// Appends calls in time order to a store's text, a month section before the first call of each
// month; `flush` is handed the text whenever it has grown past a block, and once at the end.
template <typename Flush>
class StoreWriter {
 public:
  StoreWriter(const RegionalSettings& rs, Flush flush) : rs_(rs), flush_(std::move(flush)) {}
  ~StoreWriter() { Finish(); }
  StoreWriter(const StoreWriter&) = delete;
  StoreWriter& operator=(const StoreWriter&) = delete;

  void Call(TDateTime start, TDateTime end) {
    const StoreMonth month = MonthOf(start);
    if (month != section_) {
      section_ = month;
      text_.append(SectionLine(month)).append(kStoreLineEnd);
    }
    text_.append(CallLine(rs_, start, end)).append(kStoreLineEnd);
    if (text_.size() >= kBlock) Finish();
  }

  void Finish() {
    if (!text_.empty()) flush_(text_);
    text_.clear();
  }

 private:
  static constexpr std::size_t kBlock = 1 << 20;
  const RegionalSettings& rs_;
  Flush flush_;
  std::string text_;
  std::optional<StoreMonth> section_;
};

// One call every 47 minutes from 1 January 1990, 1 to 60 minutes long (and 0 to 36 seconds).
template <typename Flush>
void SteadyStore(const RegionalSettings& rs, int calls, Flush flush) {
  StoreWriter<Flush> store(rs, std::move(flush));
  TDateTime start = EncodeDate(1990, 1, 1);
  for (int i = 0; i < calls; ++i) {
    start += 47.0 / 1440;
    store.Call(start, start + (1 + i % 60) / 1440.0 + (i % 37) / 86400.0);
  }
}

// Calls 1 to 15 minutes apart from 1 January 1990 at whole hundredths of a second, 5 to 3,000
// seconds long, drawn from a generator seeded with `seed`, so a run repeats its store. Returns
// the start of the last call.
template <typename Flush>
TDateTime RandomStore(const RegionalSettings& rs, int calls, std::uint32_t seed, Flush flush) {
  StoreWriter<Flush> store(rs, std::move(flush));
  std::mt19937 random(seed);
  const auto draw = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  constexpr double kHundredthsADay = 8640000.0;
  const TDateTime first = EncodeDate(1990, 1, 1);
  std::int64_t at = 0;  // hundredths of a second after the first
  TDateTime start = first;
  for (int i = 0; i < calls; ++i) {
    at += 100 * draw(60, 900) + draw(0, 99);
    start = first + static_cast<double>(at) / kHundredthsADay;
    const std::int64_t length = 100 * draw(5, 3000);
    store.Call(start, first + static_cast<double>(at + length) / kHundredthsADay);
  }
  return start;
}

}  // namespace dorvane::bench
