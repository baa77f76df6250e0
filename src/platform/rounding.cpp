#include "platform/rounding.h"

#include <cmath>

#include "platform/error.h"

namespace dorvane {

std::int64_t Round(double value) {
  // 2^63 is exact in a double; every double below it in magnitude fits an int64 once rounded.
  constexpr double kLimit = 9223372036854775808.0;
  if (!std::isfinite(value) || value >= kLimit || value < -kLimit) {
    throw Error("Invalid floating point operation");
  }
  // Round half to even without depending on the thread's rounding mode.
  const double whole = std::floor(value);
  const double rest = value - whole;  // exact for every double
  double nearest = whole;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) nearest = whole + 1.0;
  if (nearest >= kLimit) throw Error("Invalid floating point operation");
  return static_cast<std::int64_t>(nearest);
}

}  // namespace dorvane
