// Helpers for the call store and modem log tests, over the shared ones in tests/support.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "capture/callstore.h"
#include "support/files.h"
#include "support/memoryfiles.h"
#include "support/messages.h"

namespace dorvane::testing {

// The message service of these tests: any box not expected fails the running test.
inline void FailGTest(const std::string& what) {
  ADD_FAILURE() << what;
}

inline RegionalSettings PointSettings() {
  return RegionalSettings{};
}

inline RegionalSettings CommaSettings() {
  RegionalSettings rs;
  rs.decimalSeparator = ",";
  rs.thousandSeparator = ".";
  return rs;
}

// The call lines of a store text, as (start, end) texts in file order.
inline std::vector<std::pair<std::string, std::string>> CallLines(std::string_view storeText) {
  std::vector<std::pair<std::string, std::string>> calls;
  std::string_view start;
  std::string_view end;
  for (const std::string_view line : SplitLines(storeText)) {
    if (ParseCallLine(line, start, end)) calls.emplace_back(start, end);
  }
  return calls;
}

}  // namespace dorvane::testing
