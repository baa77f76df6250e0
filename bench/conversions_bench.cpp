// The conversions the modem-log import and the store scan make for every call line.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "platform/datetime.h"
#include "platform/regional.h"

namespace {

std::vector<double> CallTimes(std::size_t count) {
  std::mt19937_64 random(42);
  std::uniform_int_distribution<long long> ms(36000LL * 86400000, 46000LL * 86400000);
  std::vector<double> times(count);
  for (auto& t : times) t = static_cast<double>(ms(random)) / dorvane::kMsPerDay;
  return times;
}

void BM_FloatToStr(benchmark::State& state) {
  const dorvane::RegionalSettings rs;
  const auto times = CallTimes(4096);
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(dorvane::FloatToStr(rs, times[k++ & 4095]));
  }
}
BENCHMARK(BM_FloatToStr);

void BM_StrToFloat(benchmark::State& state, const char* decimal) {
  dorvane::RegionalSettings rs;
  rs.decimalSeparator = decimal;
  std::vector<std::string> texts;
  for (double t : CallTimes(4096)) texts.push_back(dorvane::FloatToStr(rs, t));
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(dorvane::StrToFloat(rs, texts[k++ & 4095]));
  }
}
BENCHMARK_CAPTURE(BM_StrToFloat, point, ".");
BENCHMARK_CAPTURE(BM_StrToFloat, comma, ",");

void BM_DateTimeToStr(benchmark::State& state) {
  const dorvane::RegionalSettings rs;
  const auto times = CallTimes(4096);
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(dorvane::DateTimeToStr(rs, times[k++ & 4095]));
  }
}
BENCHMARK(BM_DateTimeToStr);

void BM_MoneyToStr(benchmark::State& state) {
  const dorvane::RegionalSettings rs;
  double amount = 0.875;
  for (auto _ : state) {
    benchmark::DoNotOptimize(dorvane::MoneyToStr(rs, amount));
    amount += 0.37;
  }
}
BENCHMARK(BM_MoneyToStr);

void BM_StrToTime(benchmark::State& state) {
  const dorvane::RegionalSettings rs;
  for (auto _ : state) {
    benchmark::DoNotOptimize(dorvane::StrToTime(rs, "11:59:59 PM"));
  }
}
BENCHMARK(BM_StrToTime);

}  // namespace

BENCHMARK_MAIN();
