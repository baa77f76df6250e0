#include "settings/closestate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

using testing::ReadBytes;
using testing::TempDir;

// A user's settings file: a two-band tariff, a log path, a warning and the logbook page.
Options UsersOptions() {
  Options o;
  o.ignoreBusyCalls = false;
  o.logFileName = "D:\\Modem\\ModemLog.txt";
  o.warnCost = true;
  o.warnCostText = "12,50";
  return o;
}
const ChargeRows kUsersTable = {
    {"Mon, Tue", "08:00:00 - 18:00:00", "0.2", "0.05", "0", "1.5"},
    {"The time not specified above", "00:00:00 - 23:59:59", "0.3", "0.1", "0", "0"},
};

struct CloseCase {
  const char* name;
  std::vector<SettingsPart> loaded;
  std::vector<SettingsPart> changedByUser;
  // What the file holds afterwards: the user's part, or the window's.
  bool optionsSaved;
  bool pageSaved;
  bool tableSaved;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveAtCloseTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(SaveAtCloseTest, WritesOnlyWhatWasLoadedOrChanged) {
  const CloseCase& c = GetParam();
  const RegionalSettings us = test::Profile("EN_US");
  TempDir dir;
  SettingsFile file(dir.File("dorvane.INI"));
  file.Save(UsersOptions(), 2, kUsersTable);
  const std::string before = ReadBytes(file.Path()).value();

  SettingsCloseState state;
  for (SettingsPart part : c.loaded) state.Loaded(part);
  for (SettingsPart part : c.changedByUser) state.ChangedByUser(part);
  // What the window holds: the design's defaults, or what the user made of them.
  const ChargeRows windowTable = {DefaultChargeCells(us)};
  SaveAtClose(file, state, Options{}, 1, windowTable);

  const Options options = file.LoadOptions("");
  EXPECT_EQ(options.logFileName, c.optionsSaved ? "" : "D:\\Modem\\ModemLog.txt");
  EXPECT_EQ(options.warnCost, !c.optionsSaved);
  EXPECT_EQ(file.LoadActivePage(), c.pageSaved ? 1 : 2);
  EXPECT_EQ(file.LoadChargesTable(us), c.tableSaved ? windowTable : kUsersTable);
  // Table edits kept out of the file are told at the close.
  const bool tableEdited = std::find(c.changedByUser.begin(), c.changedByUser.end(),
                                     SettingsPart::ChargesTable) != c.changedByUser.end();
  EXPECT_EQ(state.ChargesTableEditsKeptOut(), tableEdited && !c.tableSaved);
  if (!c.optionsSaved && !c.pageSaved && !c.tableSaved) {
    EXPECT_EQ(ReadBytes(file.Path()).value(), before) << "the file was rewritten";
  }
}

using P = SettingsPart;
INSTANTIATE_TEST_SUITE_P(
    Parts, SaveAtCloseTest,
    ::testing::Values(
        // Step 1 failed: nothing was read, nothing may be written.
        CloseCase{"NothingLoaded", {}, {}, false, false, false},
        // Options typed over unloaded ones would carry the defaults of the others with them.
        CloseCase{"OptionsTypedButNeverLoaded", {}, {P::Options}, false, false, false},
        // The user chose a page after the failed start: that is theirs. A band added to the
        // empty grid is not a tariff: the unread table in the file stays.
        CloseCase{"TableAndPageChangedByTheUser",
                  {},
                  {P::ChargesTable, P::ActivePage},
                  false,
                  true,
                  false},
        // The import failed (step 5): options and table were read, the page was not.
        CloseCase{"ImportFailed", {P::Options, P::ChargesTable}, {}, true, false, true},
        CloseCase{"EverythingLoaded",
                  {P::Options, P::ChargesTable, P::ActivePage},
                  {},
                  true,
                  true,
                  true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveAtClose, NothingToSaveCreatesNoFile) {
  TempDir dir;
  SettingsFile file(dir.File("dorvane.INI"));
  SaveAtClose(file, SettingsCloseState{}, Options{}, 1, kUsersTable);
  EXPECT_FALSE(ReadBytes(file.Path()).has_value());
}

}  // namespace
}  // namespace dorvane
