// Rounding a floating-point number to a whole number.
#pragma once

#include <cstdint>

namespace dorvane {

// The whole number nearest to value; a half goes to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Infinity, "not a number" and values beyond the 64-bit range raise
// "Invalid floating point operation".
std::int64_t Round(double value);

}  // namespace dorvane
