#include "settings/settingsfile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/error.h"
#include "support/files.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

using test::kDe, test::kUs;
using testing::ReadBytes, testing::TempDir, testing::WriteBytes;

TEST(SettingsFile, FirstStartWithoutAFileGivesTheDefaults) {
  TempDir dir;
  const SettingsFile settings(dir.File("dorvane.INI"));
  const Options o = settings.LoadOptions("C:\\WINDOWS");
  EXPECT_TRUE(o.ignoreBusyCalls);
  EXPECT_EQ(o.logFileName, "C:\\WINDOWS\\ModemLog.txt");
  EXPECT_FALSE(o.warnCost);
  EXPECT_EQ(o.warnCostText, "0");
  EXPECT_FALSE(o.warnAverageCost);
  EXPECT_EQ(o.warnAverageCostText, "0");
  EXPECT_EQ(settings.LoadOptions("").logFileName, "\\ModemLog.txt");
  EXPECT_EQ(settings.LoadActivePage(), 1);
  EXPECT_FALSE(settings.ReadFirstTime());

  const ChargeRows us = settings.LoadChargesTable(kUs);
  ASSERT_EQ(us.size(), 1u);
  EXPECT_EQ(us[0], (ChargeRow{"The time not specified above", "12:00:00 AM - 11:59:59 PM", "0.3",
                              "0.1", "0", "0"}));
  const ChargeRows de = settings.LoadChargesTable(kDe);
  ASSERT_EQ(de.size(), 1u);
  EXPECT_EQ(de[0], (ChargeRow{"The time not specified above", "00:00:00 - 23:59:59", "0,3", "0,1",
                              "0", "0"}));
  EXPECT_FALSE(ReadBytes(settings.Path()).has_value()) << "reading created the file";
}

TEST(SettingsFile, SavesEveryValueInOrderAndReadsItBack) {
  TempDir dir;
  SettingsFile settings(dir.File("dorvane.INI"));
  Options o;
  o.ignoreBusyCalls = false;
  o.logFileName = "D:\\Modem\\ModemLog.txt";
  o.warnCost = true;
  o.warnCostText = "12,50";
  o.warnAverageCost = true;
  o.warnAverageCostText = "abc";
  const ChargeRows bands = {
      {"Mon, Tue", "08:00:00 - 18:00:00", "0.2", "0.05", "0", "1.5"},
      DefaultChargeCells(kDe),
  };
  settings.Save(o, 3, bands);
  EXPECT_EQ(ReadBytes(settings.Path()),
            "[Windows Modem Log File]\r\nIgnore Busy Calls=0\r\n"
            "LogFileName=D:\\Modem\\ModemLog.txt\r\n"
            "[Warn Monthly Cost]\r\nWarn=1\r\nCost=12,50\r\n"
            "[Warn Average Cost]\r\nWarn=1\r\nCost=abc\r\n"
            "[PageControl]\r\nActivePage=3\r\n"
            "[strgrdCost]\r\nCount=2\r\n"
            "Cell01=Mon, Tue\r\nCell11=08:00:00 - 18:00:00\r\nCell21=0.2\r\nCell31=0.05\r\n"
            "Cell41=0\r\nCell51=1.5\r\n"
            "Cell02=The time not specified above\r\nCell12=00:00:00 - 23:59:59\r\n"
            "Cell22=0,3\r\nCell32=0,1\r\nCell42=0\r\nCell52=0\r\n");

  const Options back = settings.LoadOptions("");
  EXPECT_FALSE(back.ignoreBusyCalls);
  EXPECT_EQ(back.logFileName, o.logFileName);
  EXPECT_TRUE(back.warnCost);
  EXPECT_EQ(back.warnCostText, "12,50");
  EXPECT_TRUE(back.warnAverageCost);
  EXPECT_EQ(back.warnAverageCostText, "abc");
  EXPECT_EQ(settings.LoadActivePage(), 3);
  EXPECT_EQ(settings.LoadChargesTable(kDe), bands);
}

TEST(SettingsFile, AShorterTableLeavesTheOldRowsUnread) {
  TempDir dir;
  SettingsFile settings(dir.File("dorvane.INI"));
  ChargeRows five;
  for (int r = 1; r <= 5; ++r) {
    five.push_back({"Sun", "0" + std::to_string(r) + ":00:00 - 09:00:00", "1", "2", "3", "4"});
  }
  settings.Save(Options{}, 1, five);
  const ChargeRows three(five.begin() + 2, five.end());
  settings.Save(Options{}, 2, three);
  const std::string text = ReadBytes(settings.Path()).value();
  EXPECT_NE(text.find("Count=3\r\n"), std::string::npos);
  EXPECT_NE(text.find("Cell05=Sun\r\n"), std::string::npos) << "row 5 stays in the file";
  EXPECT_EQ(settings.LoadChargesTable(kUs), three);
}

TEST(SettingsFile, ValuesThatDoNotReadFallBackToTheirDefaults) {
  struct Case {
    const char* file;
    int page;
    bool warnCost;
    std::size_t bands;
  };
  const Case cases[] = {
      {"[PageControl]\r\nActivePage=0x2\r\n", 2, false, 1},
      {"[PageControl]\r\nActivePage=abc\r\n", 1, false, 1},
      {"[pagecontrol]\r\n activepage = 3 \r\n", 3, false, 1},
      {"[Warn Monthly Cost]\r\nWarn=yes\r\n", 1, false, 1},
      {"[Warn Monthly Cost]\r\nWarn=0x1\r\n", 1, true, 1},
      {"[Warn Monthly Cost]\r\nWarn=0x\r\n", 1, false, 1},
      {"[Warn Monthly Cost]\r\nWarn=2\r\n", 1, true, 1},
      {"[strgrdCost]\r\nCount=0\r\n", 1, false, 1},
      {"[strgrdCost]\r\nCount=-4\r\n", 1, false, 1},
      {"[strgrdCost]\r\nCount=3\r\n", 1, false, 3},
      {"[strgrdCost]\r\nCount=2000000000\r\n", 1, false, kMostChargeBands},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    TempDir dir;
    WriteBytes(dir.File("dorvane.INI"), c.file);
    const SettingsFile settings(dir.File("dorvane.INI"));
    EXPECT_EQ(settings.LoadActivePage(), c.page);
    EXPECT_EQ(settings.LoadOptions("").warnCost, c.warnCost);
    EXPECT_EQ(settings.LoadChargesTable(kUs).size(), c.bands);
  }
}

TEST(SettingsFile, AMissingCellTakesItsColumnsDefault) {
  TempDir dir;
  WriteBytes(dir.File("dorvane.INI"),
             "[strgrdCost]\r\nCount=3\r\n"
             "Cell02=Sat, Sun\r\nCell22=0.5\r\nCell32=0.02\r\nCell42=1\r\nCell52=3\r\n"
             "Cell110=row ten\r\n");
  const ChargeRows rows = SettingsFile(dir.File("dorvane.INI")).LoadChargesTable(kUs);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], (ChargeRow{"Sat, Sun", "12:00:00 AM - 11:59:59 PM", "0.5", "0.02", "1", "3"}));
  EXPECT_EQ(rows[0], DefaultChargeCells(kUs)) << "Cell110 is row 10, not row 1 of column 10";
  EXPECT_EQ(rows[2], DefaultChargeCells(kUs));
}

TEST(SettingsFile, CellKeysPutTheColumnDigitFirst) {
  EXPECT_EQ(ChargeCellKey(0, 1), "Cell01");
  EXPECT_EQ(ChargeCellKey(1, 10), "Cell110");
  EXPECT_EQ(ChargeCellKey(5, 12), "Cell512");
}

TEST(SettingsFile, FirstTimeIsReadAndItsSectionRemovedWithItsOtherLines) {
  TempDir dir;
  const std::string path = dir.File("dorvane.INI");
  WriteBytes(path, "[Prog]\r\nFirstTime=1\r\nOther=x\r\n[PageControl]\r\nActivePage=2\r\n");
  SettingsFile settings(path);
  EXPECT_TRUE(settings.ReadFirstTime());
  settings.ClearFirstTime();
  EXPECT_EQ(ReadBytes(path), "[PageControl]\r\nActivePage=2\r\n");
  EXPECT_FALSE(settings.ReadFirstTime());
}

TEST(SettingsFile, ARefusedValueKeepsTheOnesBeforeItAndSkipsTheRest) {
  TempDir dir;
  SettingsFile settings(dir.File("dorvane.INI"));
  Options o;
  o.logFileName = "C:\\x";
  o.warnCostText = "1\r\n[PageControl]\r\nActivePage=3";  // would forge lines
  try {
    settings.Save(o, 2, {DefaultChargeCells(kUs)});
    FAIL() << "saved a value with a line break";
  } catch (const WriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + settings.Path());
  }
  EXPECT_EQ(ReadBytes(settings.Path()),
            "[Windows Modem Log File]\r\nIgnore Busy Calls=1\r\nLogFileName=C:\\x\r\n"
            "[Warn Monthly Cost]\r\nWarn=0\r\n");
}

TEST(SettingsFile, AFolderThatCannotBeWrittenRaisesTheFilesPath) {
  TempDir dir;
  SettingsFile settings(dir.File("gone/dorvane.INI"));
  try {
    settings.Save(Options{}, 1, {DefaultChargeCells(kUs)});
    FAIL() << "saved into a folder that does not exist";
  } catch (const WriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + settings.Path());
  }
}

// A reader's snapshot of the table: only a file that holds a table gives one; the first
// start's table is never made up for a file that lacks it.
TEST(ChargesTableFromText, GivesTheTableOnlyWhenTheTextHoldsOne) {
  const RegionalSettings rs;
  const ChargeRow catchAll = DefaultChargeCells(rs);
  struct Case {
    const char* name;
    std::string text;
    std::optional<ChargeRows> rows;
  } cases[] = {
      {"empty", "", std::nullopt},
      {"no table", "[PageControl]\r\nActivePage=2\r\n", std::nullopt},
      {"Count=0", "[strgrdCost]\r\nCount=0\r\n", std::nullopt},
      {"Count=abc", "[strgrdCost]\r\nCount=abc\r\n", std::nullopt},
      {"no Count", "[strgrdCost]\r\nCell01=x\r\n", std::nullopt},
      {"a call store", "[1998-7]\r\n36006=36006.5\r\n", std::nullopt},
      {"UTF-16", std::string("\xFF\xFE[\0s\0t\0r\0g\0r\0d\0C\0o\0s\0t\0]\0", 24), std::nullopt},
      {"first section and first key win; missing cells take their defaults",
       "[STRGRDCOST]\r\ncount = 0x2\r\nCell01=Mon\r\ncell01=Tue\r\nCell21=\"0.5\"\r\n"
       "[strgrdCost]\r\nCount=1\r\nCell12=x\r\n",
       ChargeRows{{"Mon", catchAll[1], "0.5", catchAll[3], catchAll[4], catchAll[5]}, catchAll}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChargesTableFromText(c.text, rs), c.rows);
  }
}

}  // namespace
}  // namespace dorvane
