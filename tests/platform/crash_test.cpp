#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "platform/profile.h"
#include "support/crash_content.h"
#include "support/files.h"

extern char** environ;

namespace dorvane {
namespace {

using testing::ReadBytes;
using testing::TempDir;

// Starts the writer and waits until it has written its first whole content.
pid_t StartWriter(const std::string& path) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::string helper = DORVANE_CRASH_HELPER;
  char* args[] = {helper.data(), const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, helper.c_str(), &actions, nullptr, args, environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  char buffer[6] = {};
  std::size_t got = 0;
  while (pid > 0 && got < sizeof buffer) {
    ssize_t n = read(pipeFds[0], buffer + got, sizeof buffer - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  close(pipeFds[0]);
  if (pid > 0 && std::string(buffer, got) != "ready\n") {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
  }
  return pid;
}

// Kills the writer at random moments of its rewrites: the file is always one whole content.
TEST(ProfileCrash, KilledWriterLeavesOneWholeContent) {
  TempDir dir;
  const std::string path = dir.File("store.DB");
  const std::string first = crash::Content(false);
  const std::string second = crash::Content(true);
  std::mt19937 random(20260108);
  std::uniform_int_distribution<int> delayUs(0, 60000);
  int seen[2] = {0, 0};
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE(round);
    pid_t pid = StartWriter(path);
    ASSERT_GT(pid, 0) << "the crash writer did not start";
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended on its own";
    const std::string now = ReadBytes(path).value_or("<no file>");
    if (now == first) {
      ++seen[0];
    } else if (now == second) {
      ++seen[1];
    } else {
      FAIL() << "the file holds neither content (" << now.size() << " bytes)";
    }
  }
  // Temporaries of killed writers may lie about; the accessor still reads and writes.
  ProfileFile ini(path);
  ini.WriteString("after", "k", "v");
  EXPECT_EQ(ini.ReadString("after", "k", ""), "v");
  EXPECT_EQ(ini.ReadString(crash::SectionName(5), crash::KeyName(5, 7), "").size(),
            crash::Value(5, 7, false).size());
  RecordProperty("first", seen[0]);
  RecordProperty("second", seen[1]);
}

}  // namespace
}  // namespace dorvane
