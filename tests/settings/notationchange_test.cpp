#include "settings/notationchange.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture/callstore.h"
#include "capture/storemerge.h"
#include "charges/chargestable.h"
#include "platform/datetime.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/regionalrecord.h"
#include "settings/settingsfile.h"
#include "support/files.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

using test::kDe, test::kUs;
using testing::ReadBytes, testing::TempDir, testing::WriteBytes;

// A folder as a German desktop left it: calls in two months, a weekday band, an evening band
// and the catch-all band, a dated table and a typed threshold.
struct Folder {
  TempDir dir;
  std::string store = dir.File("dorvane.DB");
  std::string settings = dir.File("dorvane.INI");
  RegFileRegistry registry{dir.File("dorvane.REG")};

  Folder() {
    RecordRegional(registry, kDe);
    NewCalls calls;
    calls.Add(EncodeDate(2026, 11, 30) + EncodeTime(23, 59, 30, 500),
              EncodeDate(2026, 12, 1) + EncodeTime(0, 10, 0, 0));
    calls.Add(EncodeDate(2026, 12, 24) + EncodeTime(17, 5, 1, 0),
              EncodeDate(2026, 12, 24) + EncodeTime(17, 45, 0, 0));
    MergeCalls(store, kDe, calls);
    ChargeRows bands(3);
    const DaySet weekdays{false, false, true, true, true, true, true, false};
    const DaySet weekend{false, true, false, false, false, false, false, true};
    WriteChargeBand(kDe, bands[0], false, weekdays, EncodeTime(8, 0, 0, 0),
                    EncodeTime(17, 59, 59, 0), {"0,12", "0,039", "1,5", "0"});
    WriteChargeBand(kDe, bands[1], false, weekend, EncodeTime(18, 0, 0, 0),
                    EncodeTime(23, 59, 59, 0), {"0", "0,015", "0", "60,5"});
    bands[2] = DefaultChargeCells(kDe);
    Options options;
    options.warnCost = true;
    options.warnCostText = "12,50";
    SettingsFile(settings).Save(options, 2, bands);
    const std::string text = *ReadBytes(settings);
    // A later table of the same shape, as the billing dates keep them.
    std::string dated = text.substr(text.find("[strgrdCost]"));
    dated.replace(0, 12, "[strgrdCost 2027-01-01]");
    WriteBytes(settings, text + "[Holidays]\r\n2026-12-25=Christmas\r\n" + dated);
  }

  // What the folder means, read as a program starting on it reads it.
  std::vector<std::string> Meaning() {
    const RegionalSettings rs =
        FolderRegional(registry, kUs, false, [this] { return ReadBytes(settings); });
    std::vector<std::string> out;
    RealFileSystem fs("");
    auto lines = fs.OpenLines(store);
    std::string_view line;
    std::uint64_t n = 0;
    while (lines && lines->Next(line)) {
      ++n;
      std::string_view start;
      std::string_view end;
      if (!ParseCallLine(line, start, end)) continue;
      const StoreCall call = ReadStoreCall(rs, line, store, n);
      out.push_back(FloatToStr(kUs, call.start) + "=" + FloatToStr(kUs, call.end));
    }
    for (const ChargeRow& row : SettingsFile(settings).LoadChargesTable(rs)) {
      const BandRates rates = ReadChargeBand(rs, row);
      const TimeWindow w = ReadTimeWindow(rs, row[1]);
      std::string band;
      for (int d = 1; d <= 7; ++d) band += BandHasDay(rs, d, row[0]) ? "x" : "-";
      for (double v : {rates.startCost, rates.minuteCost, rates.minimumCost, rates.minimumPeriod})
        band += " " + FloatToStr(kUs, v);
      for (int v : {w.fromHour, w.fromMinute, w.toHour, w.toMinute})
        band += " " + std::to_string(v);
      out.push_back(band);
    }
    double threshold = 0;
    EXPECT_TRUE(TryStrToFloat(rs, SettingsFile(settings).LoadOptions("").warnCostText, threshold));
    out.push_back(FloatToStr(kUs, threshold));
    return out;
  }
};

TEST(ConvertFolderNotation, ThereAndBackGivesTheSameBytes) {
  Folder folder;
  const std::string store = *ReadBytes(folder.store);
  const std::string settings = *ReadBytes(folder.settings);
  const std::vector<std::string> meaning = folder.Meaning();

  ConvertFolderNotation(folder.store, folder.settings, folder.registry, kDe, kUs);
  const std::string usStore = *ReadBytes(folder.store);
  const std::string usSettings = *ReadBytes(folder.settings);
  EXPECT_EQ(usStore.find(','), std::string::npos) << usStore;
  EXPECT_NE(usStore.find("46356.9996585648="), std::string::npos) << usStore;
  EXPECT_NE(usSettings.find("Cell01=Mon, Tue, Wed, Thu, Fri\r\n"), std::string::npos);
  EXPECT_NE(usSettings.find("Cell11=8:00:00 AM - 5:59:59 PM\r\n"), std::string::npos);
  EXPECT_NE(usSettings.find("Cell31=0.039\r\n"), std::string::npos);
  EXPECT_NE(usSettings.find("Cell41=1.5\r\n"), std::string::npos);
  EXPECT_NE(usSettings.find("Cell03=The time not specified above\r\n"), std::string::npos);
  EXPECT_NE(usSettings.find("Cost=12.50\r\n"), std::string::npos);
  EXPECT_NE(usSettings.find("2026-12-25=Christmas"), std::string::npos);
  EXPECT_EQ(usSettings.find("0,"), std::string::npos) << usSettings;
  EXPECT_EQ(ReadRecordedRegional(folder.registry)->decimalSeparator, ".");
  EXPECT_EQ(folder.Meaning(), meaning);

  ConvertFolderNotation(folder.store, folder.settings, folder.registry, kUs, kDe);
  EXPECT_EQ(*ReadBytes(folder.store), store);
  EXPECT_EQ(*ReadBytes(folder.settings), settings);
  EXPECT_EQ(ReadRecordedRegional(folder.registry)->longDayNames, kDe.longDayNames);
}

// Stopped after any step, the folder still reads as it meant, whichever program opens it
// next, and a later start that records finishes the change or drops it.
TEST(ConvertFolderNotation, StoppedAtAnyStepTheFolderStillReads) {
  for (const NotationStep stop : {NotationStep::kFilesWritten, NotationStep::kChangeNoted,
                                  NotationStep::kStoreReplaced, NotationStep::kSettingsReplaced}) {
    SCOPED_TRACE(static_cast<int>(stop));
    Folder folder;
    const std::vector<std::string> meaning = folder.Meaning();
    EXPECT_THROW(ConvertFolderNotation(folder.store, folder.settings, folder.registry, kDe, kUs,
                                       [stop](NotationStep step) {
                                         if (step == stop) throw Error("power cut");
                                       }),
                 Error);
    EXPECT_EQ(folder.Meaning(), meaning);
    const bool converted = stop == NotationStep::kSettingsReplaced;
    const RegionalSettings rs =
        FolderRegional(folder.registry, kUs, true, [&] { return ReadBytes(folder.settings); });
    EXPECT_EQ(rs.decimalSeparator, converted ? "." : ",");
    EXPECT_EQ(folder.registry.ReadString(kRegionalSettingsKey, kPendingNotationValue).value_or(""),
              "");
    EXPECT_EQ(folder.Meaning(), meaning);
  }
}

}  // namespace
}  // namespace dorvane
