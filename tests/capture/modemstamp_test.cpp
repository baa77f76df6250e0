#include "capture/modemstamp.h"

#include <gtest/gtest.h>

#include "capture/capture_test_util.h"
#include "capture/storeformat.h"
#include "platform/error.h"

namespace dorvane {
namespace {

using testing::PointSettings;

TEST(LogLineToDateTime, ReadsTheFixedColumnsOfTheTimeStamp) {
  struct Case {
    const char* line;
    double days;        // whole days since 30 December 1899
    double msOfDay;     // milliseconds into the day
    const char* text;   // as the store writes it with a decimal point
    const char* month;  // month section
  } cases[] = {
      {"07-30-1998 20:14:03.25 - Dialing.", 36006, 72843025, "36006.8430905671", "1998-7"},
      // The two digits after the point are milliseconds as they stand: .80 is 80 ms.
      {"07-30-1998 20:52:41.80 - Recv: NO CARRIER", 36006, 75161080, "36006.8699199074", "1998-7"},
      {"07-30-1998 00:00:00.00", 36006, 0, "36006", "1998-7"},
      {"07-31-1998 12:00:00.00", 36007, 43200000, "36007.5", "1998-7"},
      {"07-31-1998 23:59:00.00", 36007, 86340000, "36007.9993055556", "1998-7"},
      {"08-01-1998 00:01:00.00", 36008, 60000, "36008.0006944444", "1998-8"},
      {"12-01-1999 06:00:00.00", 36495, 21600000, "36495.25", "1999-12"},
      {"02-29-2000 23:59:59.99", 36585, 86399099, "36585.9999895718", "2000-2"},
      {"12-31-1899 00:00:00.00", 1, 0, "1", "1899-12"},
      // The separator columns are never looked at.
      {"07/30/1998T20.14.03,25", 36006, 72843025, "36006.8430905671", "1998-7"},
      // Fields may carry leading blanks or a sign, as integers do.
      {" 7- 1-1998 +8:00:00.00", 35977, 28800000, "35977.3333333333", "1998-7"},
      // A line cut inside the last field: what is left of it is the field.
      {"07-30-1998 20:14:03.2", 36006, 72843002, "36006.8430903009", "1998-7"},
  };
  const RegionalSettings rs = PointSettings();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const TDateTime value = LogLineToDateTime(c.line);
    EXPECT_DOUBLE_EQ(value, c.days + c.msOfDay / kMsPerDay);
    EXPECT_EQ(DateTimeText(rs, value), c.text);
    EXPECT_EQ(MonthSectionName(value), c.month);
  }
}

TEST(LogLineToDateTime, FailsWithTheMessageOfTheFirstBadField) {
  enum Kind { Integer, Date, Time };
  struct Case {
    const char* line;
    Kind kind;
    const char* message;
  } cases[] = {
      {"xx-30-1998 20:14:03.25", Integer, "'xx' is not a valid integer value"},
      {"07-3x-1998 20:14:03.25", Integer, "'3x' is not a valid integer value"},
      {"07-30-98   20:14:03.25", Integer, "'98  ' is not a valid integer value"},
      {"07-30-1998 ab:14:03.25", Integer, "'ab' is not a valid integer value"},
      {"07-30-1998 20:14:03.2x", Integer, "'2x' is not a valid integer value"},
      {"Session Statistics:", Integer, "'Se' is not a valid integer value"},
      // Lines too short for their fields: the field is what is there, or nothing.
      {"", Integer, "'' is not a valid integer value"},
      {"0x", Integer, "'0x' is not a valid integer value"},
      {"07", Integer, "'' is not a valid integer value"},
      {"07-30", Integer, "'' is not a valid integer value"},
      {"07-30-19", Integer, "'' is not a valid integer value"},  // year 19 exists
      {"07-30-1998", Integer, "'' is not a valid integer value"},
      {"07-30-1998 20:14:03", Integer, "'' is not a valid integer value"},
      {"07-30-1998 20:14:03.", Integer, "'' is not a valid integer value"},
      // Every field must be a number before the date is checked.
      {"02-30-1999 xx:00:00.00", Integer, "'xx' is not a valid integer value"},
      {"13-01-1999 20:14", Integer, "'' is not a valid integer value"},
      {"13-01-1999 20:14:03.25", Date, "Invalid argument to date encode"},
      {"00-01-1999 20:14:03.25", Date, "Invalid argument to date encode"},
      {"04-31-1999 20:14:03.25", Date, "Invalid argument to date encode"},
      {"02-29-1999 20:14:03.25", Date, "Invalid argument to date encode"},
      {"02-29-1900 20:14:03.25", Date, "Invalid argument to date encode"},
      {"07-00-1999 20:14:03.25", Date, "Invalid argument to date encode"},
      {"07-30-0000 20:14:03.25", Date, "Invalid argument to date encode"},
      {"07-30--001 20:14:03.25", Date, "Invalid argument to date encode"},
      {"07-30-1998 24:00:00.00", Time, "Invalid argument to time encode"},
      {"07-30-1998 20:60:00.00", Time, "Invalid argument to time encode"},
      {"07-30-1998 20:14:60.00", Time, "Invalid argument to time encode"},
      {"07-30-1998 -1:14:03.25", Time, "Invalid argument to time encode"},
      {"07-30-1998 20:14:03.-1", Time, "Invalid argument to time encode"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    try {
      LogLineToDateTime(c.line);
      ADD_FAILURE() << "no error";
    } catch (const ConvertError& e) {
      EXPECT_EQ(c.kind, Integer);
      EXPECT_STREQ(e.what(), c.message);
    } catch (const Error& e) {
      EXPECT_NE(c.kind, Integer);
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(ModemStampText, WritesWhatTheReaderReadsBackAndTheCheckTakes) {
  const ModemStamp stamps[] = {{{1998, 7, 30}, {20, 14, 3, 25}},
                               {{2026, 1, 2}, {0, 0, 0, 0}},
                               {{1, 12, 31}, {23, 59, 59, 99}}};
  for (const ModemStamp& s : stamps) {
    const std::string text = ModemStampText(s);
    SCOPED_TRACE(text);
    EXPECT_EQ(text.size(), kModemStampShape.size());
    EXPECT_TRUE(IsModemTimeStamp(text + " - Dialing."));
    const ModemStamp back = ReadModemStamp(text);
    EXPECT_EQ(ModemStampDateTime(back), ModemStampDateTime(s));
  }
  EXPECT_EQ(ModemStampText({{1998, 7, 30}, {20, 14, 3, 25}}), "07-30-1998 20:14:03.25");
}

TEST(IsModemTimeStamp, TakesOnlyTheShapeWithADateAndTimeThatExist) {
  EXPECT_TRUE(IsModemTimeStamp("02-29-2000 23:59:59.99 - Dialing."));
  for (const char* line :
       {"02-29-1999 12:00:00.00", "07-30-1998 24:00:00.00", "07/30/1998 20:14:03.25",
        " 7-30-1998 20:14:03.25", "07-30-1998 20:14:03.2", ""}) {
    EXPECT_FALSE(IsModemTimeStamp(line)) << line;
  }
}

}  // namespace
}  // namespace dorvane
