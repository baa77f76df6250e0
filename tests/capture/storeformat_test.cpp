#include "capture/storeformat.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "capture/capture_test_util.h"

namespace dorvane {
namespace {

using testing::CallLines;
using testing::CommaSettings;
using testing::PointSettings;

TEST(StoreMonth, SectionNamesAndMonthsReadEachOtherBack) {
  for (const StoreMonth month :
       {MonthOf(1.0), MonthOf(36006.5), MonthOf(36495.0), 9999 * 12 + 11}) {
    SCOPED_TRACE(MonthSectionName(month));
    EXPECT_EQ(SectionMonth(MonthSectionName(month)), month);
    EXPECT_EQ(SectionLine(month), "[" + MonthSectionName(month) + "]");
  }
  EXPECT_EQ(MonthSectionName(36495.25), "1999-12");
  EXPECT_LT(MonthOf(36007.9), MonthOf(36008.1));  // July before August 1998
  // Only a year, a dash and a month of 1 to 12, digits alone, name a month.
  for (const char* name : {"1999-13", "1999-0", "1999", "-7", "1999-", "1999-7a", " 1999-7",
                           "1999--7", "100000-1", "calls"}) {
    EXPECT_EQ(SectionMonth(name), std::nullopt) << name;
  }
  EXPECT_EQ(SectionMonth("1999-07"), MonthOf(36342.0));  // a leading zero still names July
}

TEST(DateTimeText, UsesTheDecimalSeparatorOfTheSettings) {
  const TDateTime value = 36006 + 72843025 / kMsPerDay;  // 07-30-1998 20:14:03.25
  EXPECT_EQ(DateTimeText(PointSettings(), value), "36006.8430905671");
  EXPECT_EQ(DateTimeText(CommaSettings(), value), "36006,8430905671");
  EXPECT_EQ(DateTimeText(CommaSettings(), 36006.0), "36006");
}

TEST(ParseCallLine, FollowsTheLineGrammar) {
  using Calls = std::vector<std::pair<std::string, std::string>>;
  const std::string longEnd(300, '7');
  struct Case {
    const char* name;
    std::string text;
    Calls calls;
  } cases[] = {
      {"empty text", "", {}},
      {"empty lines only", "\r\n\r\n\n\r", {}},
      {"sections only", "[1998-7]\r\n[1998-8]\r\n", {}},
      {"crlf",
       "[1998-7]\r\n36006.5=36006.6\r\n\r\n36007=36007.1\r\n[1998-8]\r\n36008.25=36008.5\r\n",
       {{"36006.5", "36006.6"}, {"36007", "36007.1"}, {"36008.25", "36008.5"}}},
      {"lf and cr", "[a]\n1=2\r3=4\n", {{"1", "2"}, {"3", "4"}}},
      {"no final line end", "[a]\r\n1=2", {{"1", "2"}}},
      {"no equals sign", "36006.5\r\n", {{"", ""}}},
      {"first equals sign splits", "1=2=3\r\n", {{"1", "2=3"}}},
      {"empty start", "=5\r\n", {{"", "5"}}},
      {"blanks are kept", " 1 = 2 \r\n", {{" 1 ", " 2 "}}},
      {"only a leading [ marks a section", " [a]\r\nx[b]=c\r\n", {{"", ""}, {"x[b]", "c"}}},
      {"comments are call lines", "; note\r\n", {{"", ""}}},
      {"long end cut at 255",
       "1=" + longEnd + "\r\n2=3\r\n",
       {{"1", longEnd.substr(0, 255)}, {"2", "3"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CallLines(c.text), c.calls);
  }
}

TEST(CallLine, IsWrittenInTheNotationOfTheSettingsAndReadBackByBothGrammars) {
  const std::string line = CallLine(CommaSettings(), 36006.5, 36006.75);
  EXPECT_EQ(line, "36006,5=36006,75");
  std::string_view start;
  std::string_view end;
  ASSERT_TRUE(ParseCallLine(line, start, end));
  const StoreLine read = ReadStoreLine(line);
  EXPECT_EQ(read.kind, StoreLineKind::Call);
  EXPECT_EQ(read.name, start);
  EXPECT_EQ(StoreEndText(read.end), end);
  TDateTime value = 0;
  ASSERT_TRUE(TryStoreDateTime(PointSettings(), start, value));
  EXPECT_EQ(value, 36006.5);
}

// The merge reads the store as the profile functions do; the reports read it line by line as it
// stands. The two part where a line carries more than the writers write.
TEST(ReadStoreLine, ReadsAsTheProfileFunctions) {
  struct Case {
    const char* line;
    StoreLineKind kind;
    const char* name;
    const char* end;
  } cases[] = {
      {" 36006.5 = \"36006.6\" ", StoreLineKind::Call, "36006.5", "36006.6"},
      {"[ 1998-7 ]", StoreLineKind::Section, "1998-7", ""},
      {"; a note", StoreLineKind::Comment, "", ""},
      {"  ", StoreLineKind::Blank, "", ""},
      {"36006.5", StoreLineKind::Call, "36006.5", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const StoreLine read = ReadStoreLine(c.line);
    EXPECT_EQ(read.kind, c.kind);
    EXPECT_EQ(read.name, c.name);
    EXPECT_EQ(StoreEndText(read.end), c.end);
  }
}

}  // namespace
}  // namespace dorvane
