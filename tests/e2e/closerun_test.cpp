// Runs the built program in a folder of its own and closes it from outside, as the end of the
// desktop session does (SIGTERM): what the close sequence writes after a start that failed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

// True once the process has its own handler for SIGTERM (bit 15 of SigCgt).
bool CatchesTerm(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) == 0) {
      return (std::stoull(line.substr(7), nullptr, 16) & (1ull << (SIGTERM - 1))) != 0;
    }
  }
  return false;
}

// Starts "dorvane CHECK" in `dir`, waits for it to catch SIGTERM, lets it settle and sends the
// signal until it ends; returns its exit status, or -1 after a minute.
int RunAndTerminate(const fs::path& dir) {
  const std::string exe = (dir / "dorvane").string();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    execl(exe.c_str(), exe.c_str(), "CHECK", static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int status = 0;
  int ticks = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    if (CatchesTerm(pid) && ++ticks % 25 == 0) kill(pid, SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A registry the program may not write makes the first start-up step fail, before the
// settings are loaded. Closing must leave the user's settings file as it was, not put the
// window's design defaults over their tariff.
TEST(CloseRun, AStartThatFailedBeforeLoadingKeepsTheSettingsFile) {
  const fs::path dir =
      fs::temp_directory_path() / ("dorvane-e2e-close-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy_file(DORVANE_EXE, dir / "dorvane");
  fs::copy_file(fs::path(DORVANE_EXE).parent_path() / "dorvane.HLP", dir / "dorvane.HLP");
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

  ASSERT_EQ(RunAndTerminate(dir), 0);
  EXPECT_EQ(ReadFile(dir / "dorvane.INI"), ini);
  // The failure came at the first step: the log was neither imported nor deleted.
  EXPECT_TRUE(fs::exists(dir / "ModemLog.txt"));
  EXPECT_FALSE(fs::exists(dir / "dorvane.DB"));
  if (!HasFailure()) fs::remove_all(dir);
}

}  // namespace
