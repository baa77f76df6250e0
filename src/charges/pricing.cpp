#include "charges/pricing.h"

#include <cmath>
#include <cstdint>

#include "charges/gridpricing.h"

namespace dorvane {

double CallDuration(TDateTime start, TDateTime end) {
  constexpr double kMsPerDay = 86400000.0;
  const double ms = std::round((end - start) * kMsPerDay);
  if (!(ms > 0)) return 0;                                  // also an end that is no number
  const auto whole = static_cast<std::int64_t>(ms) / 1000;  // milliseconds dropped
  const std::int64_t hours = whole / 3600;
  const std::int64_t minutes = whole / 60 % 60;
  const std::int64_t seconds = whole % 60;
  return static_cast<double>(hours * 60 + minutes) + static_cast<double>(seconds) / 60.0;
}

TDateTime CallSpan(TDateTime start, TDateTime end) {
  const TDateTime span = end - start;
  return span > 0 ? span : 0;
}

double RoundUpToPeriod(double duration, double period) {
  if (!(period > 0)) return duration;
  const double q = duration / period;
  if (q == std::trunc(q)) return duration;
  return std::trunc(q) * period + period;
}

double BandPrice(const BandRates& band, double duration) {
  return BilledPrice(band, RoundUpToPeriod(duration, band.minimumPeriod));
}

}  // namespace dorvane
