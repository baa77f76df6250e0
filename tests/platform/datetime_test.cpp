#include "platform/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>

#include "platform/error.h"
#include "support/tsv.h"

namespace dorvane {
namespace {

const std::string kReference = DORVANE_TEST_DATA "/reference/";

std::string ErrorOf(auto&& call) {
  try {
    call();
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

std::string DecodedText(TDateTime value) {
  const DateParts d = DecodeDate(value);
  const TimeParts t = DecodeTime(value);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day,
                t.hour, t.minute, t.second, t.millisecond);
  return buf;
}

TEST(DateTimeVectors, EncodeAcceptsAndRefusesAsTheReference) {
  int checked = 0;
  for (const auto& row : test::ReadTsv(kReference + "misc.tsv")) {
    const std::string& func = row[3];
    if (func != "EncodeDate" && func != "EncodeTime") continue;
    std::istringstream args(row[4]);
    int a[4] = {0, 0, 0, 0};
    char comma = 0;
    args >> a[0] >> comma >> a[1] >> comma >> a[2];
    if (func == "EncodeTime") args >> comma >> a[3];
    SCOPED_TRACE(row[0] + " " + func + "(" + row[4] + ")");
    auto call = [&] {
      return func == "EncodeDate" ? EncodeDate(a[0], a[1], a[2])
                                  : EncodeTime(a[0], a[1], a[2], a[3]);
    };
    if (row[5] == "OK") {
      EXPECT_EQ(call(), test::BitsValue(row[6]));
    } else {
      // The messages are our own, not the reference library's.
      EXPECT_EQ(ErrorOf(call), func == "EncodeDate" ? "Invalid argument to date encode"
                                                    : "Invalid argument to time encode");
    }
    ++checked;
  }
  EXPECT_EQ(checked, 24);
}

TEST(DateTimeVectors, DecodeRoundsToTheMillisecondFirstAndDaysCountFromSunday) {
  test::CheckRows(kReference + "formatdatetime.tsv", 2, "DecodeDate+DecodeTime", 23,
                  [](const test::TsvRow& row) {
                    EXPECT_EQ(DecodedText(test::BitsValue(row[5])), test::Unquote(row[7]));
                  });
  test::CheckRows(kReference + "misc.tsv", 3, "DayOfWeek", 17, [](const test::TsvRow& row) {
    EXPECT_EQ(DayOfWeek(test::BitsValue(row[4])), std::stoi(row[6]));
  });
}

TEST(DateTime, EveryDayEncodesAndDecodesBack) {
  TDateTime expected = EncodeDate(1, 1, 1);
  for (int y = 1; y <= 9999; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= DaysInMonth(y, m); ++d) {
        const TDateTime day = EncodeDate(y, m, d);
        ASSERT_EQ(day, expected) << y << "-" << m << "-" << d;
        const DateParts back = DecodeDate(ReplaceDate(0.75, day));
        ASSERT_TRUE(back.year == y && back.month == m && back.day == d)
            << y << "-" << m << "-" << d;
        expected += 1;
      }
    }
  }
  EXPECT_EQ(expected - 1, 2958465);
}

TEST(DateTime, CallStartExample) {
  // 30 July 1998 20:14:03 plus 25 ms, a Thursday.
  const TDateTime stamp = EncodeDate(1998, 7, 30) + EncodeTime(20, 14, 3, 25);
  EXPECT_EQ(EncodeDate(1998, 7, 30), 36006);
  EXPECT_EQ(stamp, 36006 + 72843025 / kMsPerDay);
  EXPECT_EQ(DecodedText(stamp), "1998-07-30 20:14:03.025");
  EXPECT_EQ(DayOfWeek(stamp), 5);
}

TEST(DateTime, SplitsNegativeValuesWithTheTimeCountingForward) {
  struct Case {
    double value, date, time;
  } cases[] = {{36006.75, 36006, 0.75}, {-1.25, -1, 0.25}, {-0.5, 0, 0.5}, {2.0, 2, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(DatePart(c.value), c.date) << c.value;
    EXPECT_EQ(TimePart(c.value), c.time) << c.value;
    const TDateTime joined = ReplaceDate(c.value, c.date);
    EXPECT_EQ(DatePart(joined), c.date) << c.value;
    EXPECT_EQ(TimePart(joined), c.time) << c.value;
  }
  EXPECT_EQ(ReplaceDate(0.25, 36006.9), 36006.25);
  EXPECT_EQ(ReplaceDate(0.25, -3), -3.25);
  EXPECT_EQ(RoundToMillisecond(36006.99999999537), 36007);
}

TEST(DateTime, RefusesValuesThatAreNoDate) {
  const std::string kMessage = "is not a valid date and time";
  for (double bad : {std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(), 1e300, 2958466.0, -693594.0}) {
    EXPECT_NE(ErrorOf([&] { DecodeDate(bad); }).find(kMessage), std::string::npos) << bad;
  }
  EXPECT_NE(ErrorOf([] { DecodeTime(std::nan("")); }).find(kMessage), std::string::npos);
  EXPECT_EQ(DecodeTime(2958466.5).hour, 12);
}

}  // namespace
}  // namespace dorvane
