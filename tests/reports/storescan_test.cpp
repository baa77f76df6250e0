#include "reports/storescan.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

TEST(StoreScan, ProgressFollowsCharactersOverSizeUnits) {
  struct Case {
    std::uint64_t chars, size;
    int position;
  };
  const Case cases[] = {
      {0, 0, 0},       {1, 100, 1},    {25, 1280, 2},  // 2.5 goes to 2
      {35, 1280, 4},   {15, 1280, 2},  {1000, 1280, 100},
      {127, 255, 100}, {99, 12800, 1}, {50, 12800, 0},  // 0.5 goes to 0
      {150, 12800, 2},                                  // 1.5 goes to 2
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScanProgress(c.chars, c.size), c.position) << c.chars << " of " << c.size;
  }
}

TEST(StoreScan, ReadsCallLinesInFileOrderAndReportsTheFirstBadOne) {
  const RegionalSettings de = test::Profile("DE");
  std::vector<std::pair<TDateTime, TDateTime>> calls;
  std::vector<int> positions;
  const std::string text =
      "[1999-1]\r\n36172,5=36172,75\r\n\r\n[1999-2]\n36200=36200,125\r\n36190,25=36190,5";
  ScanCallStore(
      *TextLines(text, 5), de, [&](TDateTime s, TDateTime e) { calls.emplace_back(s, e); },
      [&](int p) { positions.push_back(p); }, "x.DB");
  const std::vector<std::pair<TDateTime, TDateTime>> expected = {
      {36172.5, 36172.75}, {36200, 36200.125}, {36190.25, 36190.5}};
  EXPECT_EQ(calls, expected);
  ASSERT_FALSE(positions.empty());
  for (std::size_t i = 1; i < positions.size(); ++i) EXPECT_NE(positions[i], positions[i - 1]);

  struct Bad {
    const char* text;
    const char* message;
  };
  // Either mark reads as the decimal separator: a store number has no thousands separator.
  calls.clear();
  ScanCallStore(
      *TextLines("36172.5=36172,75\r\n"), de,
      [&](TDateTime s, TDateTime e) { calls.emplace_back(s, e); }, [](int) {}, "x.DB");
  EXPECT_EQ(calls, (std::vector<std::pair<TDateTime, TDateTime>>{{36172.5, 36172.75}}));

  const Bad bad[] = {
      {"[1999-1]\r\n36172,5\r\n", "Line 2 of x.DB: '36172,5' is no call line (no \"=\")"},
      {"36172,5=end\r\n", "Line 1 of x.DB: 'end' is not a valid floating point value"},
      {"\r\n36172,5=1e308\r\n", "Line 2 of x.DB: '1e308' is not a valid date and time"},
      {"36172,5=inf\r\n", "Line 1 of x.DB: 'inf' is not a valid floating point value"},
  };
  for (const Bad& b : bad) {
    try {
      ScanCallStore(
          *TextLines(b.text), de, [](TDateTime, TDateTime) {}, [](int) {}, "x.DB");
      ADD_FAILURE() << b.text;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), b.message);
    }
  }
}

}  // namespace
}  // namespace dorvane
