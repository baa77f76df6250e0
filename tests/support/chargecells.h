// A charges table as the settings file holds it under [strgrdCost], written by the tests that run
// the program or the window on files of their own.
#pragma once

#include <string>

#include "platform/regional.h"

namespace dorvane::testing {

// One band's six "Cell<column><row>=" lines: the start cost and the cost per minute in the
// notation of `rs`, no minimum cost and a minimum period of one minute.
inline std::string BandCells(const RegionalSettings& rs, int row, const std::string& days,
                             const std::string& window, double start, double perMinute) {
  const std::string cells[] = {days, window, FloatToStr(rs, start), FloatToStr(rs, perMinute),
                               "0",  "1"};
  std::string text;
  for (int c = 0; c < 6; ++c) {
    text += "Cell" + std::to_string(c) + std::to_string(row) + "=" + cells[c] + "\r\n";
  }
  return text;
}

}  // namespace dorvane::testing
