#include "charges/bandedit.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

RegionalSettings Iso() {
  RegionalSettings rs = test::Profile("EN_US");
  rs.longTimeFormat = "hh:nn:ss";
  return rs;
}

const ChargeRow kCatchAll{
    "The time not specified above", "00:00:00 - 23:59:59", "0.3", "0.1", "0", "7"};

TEST(BandEditor, ResetKeepsTheMinimumPeriodOfTheLastBand) {
  const RegionalSettings rs = Iso();
  BandEditorValues v;
  BandToEditor(rs, {"Mon, Fri", "08:00:00 - 18:00:30", "1", "2", "3", "5"}, v);
  EXPECT_FALSE(v.locked);
  EXPECT_TRUE(v.days[2] && v.days[6]);
  EXPECT_FALSE(v.days[1] || v.days[3] || v.days[4] || v.days[5] || v.days[7]);
  EXPECT_EQ(TimeToStr(rs, v.to), "18:00:30");
  ResetCostEditor(v);
  for (int d = 1; d <= 7; ++d) EXPECT_TRUE(v.days[static_cast<std::size_t>(d)]);
  EXPECT_EQ(v.from, 0);
  EXPECT_EQ(TimeToStr(rs, v.to), "23:59:59");
  EXPECT_EQ(v.numbers, (std::array<std::string, 4>{"0", "0", "0", "5"}));
}

TEST(BandEditor, TheCatchAllBandLoadsLockedAndEmptyCellsLeaveTheEditorAlone) {
  const RegionalSettings rs = Iso();
  BandEditorValues v;
  ResetCostEditor(v);
  BandToEditor(rs, kCatchAll, v);
  EXPECT_TRUE(v.locked);
  EXPECT_TRUE(v.days[1] && v.days[7]);

  BandEditorValues w;
  w.numbers = {"a", "b", "c", "d"};
  BandToEditor(rs, {"Sun", "", "", "9", "", ""}, w);
  EXPECT_EQ(w.numbers, (std::array<std::string, 4>{"a", "9", "c", "d"}));

  BandEditorValues before;
  EXPECT_THROW(BandToEditor(rs, {"Sun", "noon - night", "1", "1", "1", "1"}, before), ConvertError);
  EXPECT_EQ(before.numbers[0], "0") << "nothing changes when the time cell is no time";
}

TEST(BandEditor, TimePickersShowTheLongTimeFormat) {
  struct Case {
    const char* format;
    const char* separator;
    const char* am;
    const char* pm;
    const char* picker;
  };
  const Case cases[] = {
      {"h:nn:ss AMPM", ":", "AM", "PM", "h:mm:ss AP"},
      {"AMPM hh:nn:ss", ".", "\u4e0a\u5348", "\u4e0b\u5348", "AP hh.mm.ss"},
      {"hh:nn:ss AMPM", ":", "", "", "hh:mm:ss"},  // no designators: the 24-hour clock
      {"hh:nn:ss", ":", "AM", "PM", "hh:mm:ss"},
      {"\"kl. \"hh:nn", ".", "", "", "'kl. 'hh.mm"},
      {"hh:nn\u5206ss\u79d2", "\u6642", "", "", "hh\u6642mm\u5206ss\u79d2"},
      {"hh:mm:ss am/pm", ":", "", "", "hh:mm:ss ap"},
      {"hh:nn \"o'clock\"", ":", "", "", "hh:mm' o''clock'"},
  };
  for (const Case& c : cases) {
    RegionalSettings rs = test::Profile("EN_US");
    rs.longTimeFormat = c.format;
    rs.timeSeparator = c.separator;
    rs.timeAMString = c.am;
    rs.timePMString = c.pm;
    EXPECT_EQ(TimePickerFormat(rs), c.picker) << c.format;
  }
}

TEST(BandEditor, OkChecksTheNumbersInOrderThenTheTimes) {
  const RegionalSettings rs = test::Profile("DE");
  struct Case {
    std::array<std::string, 4> numbers;
    TDateTime from, to;
    const char* error;  // empty: no conversion failure
    bool inOrder;
  };
  const TDateTime eight = EncodeTime(8, 0, 0, 0);
  const Case cases[] = {
      {{"0", "1,5", "0", "0"}, eight, eight, "", true},  // equal times are accepted
      {{"0", "abc", "x", "0"}, eight, eight, "'abc' is not a valid floating point value", false},
      {{"", "0", "0", "0"}, eight, eight, "'' is not a valid floating point value", false},
      {{"0", "1.5", "0", "0"}, eight, eight, "'1.5' is not a valid floating point value", false},
      {{"0", "0", "0", "0"}, eight, eight - 1.0 / 86400, "", false},
      {{"0", "0", "0", "0"}, eight, 5 + eight + 1.0 / 86400, "", true},  // the date plays no part
  };
  for (const Case& c : cases) {
    BandEditorValues v;
    v.numbers = c.numbers;
    v.from = c.from;
    v.to = c.to;
    try {
      EXPECT_EQ(EditorTimesInOrder(rs, v), c.inOrder);
      EXPECT_STREQ(c.error, "");
    } catch (const ConvertError& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
  }
}

TEST(BandEditor, NewBandsGoOnTopAndDeletingKeepsTheCatchAllBandLast) {
  const RegionalSettings rs = Iso();
  ChargeRows rows{kCatchAll};
  BandEditorValues v;
  ResetCostEditor(v);
  v.days = {};
  v.numbers = {"1", "2", "3", "4"};
  InsertBandAtTop(rs, rows, v);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (ChargeRow{"", "00:00:00 - 23:59:59", "1", "2", "3", "4"}));
  EXPECT_EQ(rows[1], kCatchAll);

  v.days[1] = true;
  InsertBandAtTop(rs, rows, v);
  EXPECT_EQ(rows[0][0], "Sun");
  EXPECT_EQ(rows.size(), 3u);

  // Editing the catch-all band keeps its Days cell.
  v.from = EncodeTime(1, 0, 0, 0);
  WriteBandFromEditor(rs, rows, 2, v);
  EXPECT_EQ(rows[2][0], "The time not specified above");
  EXPECT_EQ(rows[2][1], "01:00:00 - 23:59:59");

  // The row number selected stays, within the rows left.
  EXPECT_EQ(DeleteBand(rows, 2), 2u);  // the catch-all band: its three costs become 0
  EXPECT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2],
            (ChargeRow{"The time not specified above", "01:00:00 - 23:59:59", "0", "0", "0", "4"}));
  EXPECT_EQ(DeleteBand(rows, 7), 2u);  // no such row: nothing deleted, the last row selected
  EXPECT_EQ(DeleteBand(rows, 0), 0u);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], "");
  EXPECT_EQ(rows[1][0], "The time not specified above");
}

}  // namespace
}  // namespace dorvane
