// Runs the built program in a folder of its own and closes it from outside, as the end of the
// desktop session does (SIGTERM): what the close sequence writes after a start that failed.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "e2e/e2e_support.h"
#include "support/session.h"

namespace fs = std::filesystem;

namespace {

using dorvane::e2e::ProgramFolder, dorvane::e2e::ReadFile, dorvane::e2e::WriteFile,
    dorvane::testing::CatchesTerm;

// Starts the window (offscreen) in the folder and, once it catches SIGTERM, sends the signal now
// and then until it ends; returns its exit status, or -1 after a minute.
int RunAndTerminate(const ProgramFolder& folder) {
  dorvane::e2e::RunOptions window;
  window.args = {};
  const pid_t pid = folder.Start(window);
  int ticks = 0;
  return ProgramFolder::Wait(pid, 60,
                             [&] {
                               if (CatchesTerm(pid) && ++ticks % 50 == 0) ::kill(pid, SIGTERM);
                               return false;
                             })
      .status;
}

// A registry the program may not write makes the first start-up step fail, before the
// settings are loaded. Closing must leave the user's settings file as it was, not put the
// window's design defaults over their tariff.
TEST(CloseRun, AStartThatFailedBeforeLoadingKeepsTheSettingsFile) {
  if (dorvane::e2e::UnderMemcheck()) GTEST_SKIP() << "valgrind holds every signal handler";
  const ProgramFolder folder("close");
  const fs::path& dir = folder.Dir();
  WriteFile(dir / "dorvane.REG", "REGEDIT4\r\n\r\n");
  fs::permissions(dir / "dorvane.REG",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::copy_file(fs::path(DORVANE_TEST_DATA) / "e2e" / "ModemLog.txt", dir / "ModemLog.txt");
  const std::string ini =
      "[Windows Modem Log File]\r\nIgnore Busy Calls=0\r\nLogFileName=D:\\Modem\\ModemLog.txt\r\n"
      "[Warn Monthly Cost]\r\nWarn=1\r\nCost=12,50\r\n[PageControl]\r\nActivePage=3\r\n"
      "[strgrdCost]\r\nCount=2\r\nCell01=Mon, Tue\r\nCell11=08:00:00 - 18:00:00\r\n"
      "Cell21=0.2\r\nCell31=0.05\r\nCell41=0\r\nCell51=1.5\r\n"
      "Cell02=The time not specified above\r\nCell22=0.3\r\nCell32=0.1\r\n";
  WriteFile(dir / "dorvane.INI", ini);

  ASSERT_EQ(RunAndTerminate(folder), 0);
  EXPECT_EQ(ReadFile(dir / "dorvane.INI"), ini);
  // The failure came at the first step: the log was neither imported nor deleted.
  EXPECT_TRUE(fs::exists(dir / "ModemLog.txt"));
  EXPECT_FALSE(fs::exists(dir / "dorvane.DB"));
  EXPECT_NE(folder.MessageText().find("Failed to set data for 'LoggingPath'"), std::string::npos)
      << folder.MessageText();
}

}  // namespace
