// End-to-end runs of the Linux side: dorvane-import on fixture logs (plain, gzip'd and standard
// input) compared byte for byte, and the pppd hook run as pppd runs it for two links at once,
// its log then imported by "dorvane CHECK".
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/callstore.h"
#include "platform/regional.h"
#include "support/files.h"
#include "support/process.h"
#include "support/session.h"

namespace fs = std::filesystem;

namespace {

using dorvane::testing::ReadBytes, dorvane::testing::SyslogStamp, dorvane::testing::TempDir,
    dorvane::testing::WriteBytes;

std::string Data(const std::string& name) {
  return std::string(DORVANE_TEST_DATA) + "/linux/" + name;
}

using Result = dorvane::testing::ProgramOutput;

// Runs a program with exactly the environment given (as pppd runs its scripts), standard input
// from a file or /dev/null; waits at most a minute.
Result RunProgram(const std::string& program, const std::vector<std::string>& args,
                  const std::vector<std::string>& environment, const std::string& folder,
                  const std::string& input = "/dev/null") {
  dorvane::testing::ProcessRequest request;
  request.program = program;
  request.args = args;
  request.folder = folder;
  request.environment = environment;
  request.inheritEnvironment = false;
  request.input = input;
  return dorvane::testing::RunProgram(request, 60);
}

void SetModified(const std::string& path, std::int64_t utcSeconds) {
  struct timeval times[2] = {{static_cast<time_t>(utcSeconds), 0},
                             {static_cast<time_t>(utcSeconds), 0}};
  ASSERT_EQ(::utimes(path.c_str(), times), 0) << path;
}

void Gzip(const std::string& from, const std::string& to) {
  const std::string text = ReadBytes(from).value_or("");
  gzFile out = ::gzopen(to.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(::gzwrite(out, text.data(), static_cast<unsigned>(text.size())),
            static_cast<int>(text.size()));
  ::gzclose(out);
}

struct LocaleCase {
  const char* locale;
  bool comma;
};

class ImportRun : public ::testing::TestWithParam<LocaleCase> {};

// The logs of a machine: today's syslog, yesterday's, an older gzip'd one across New Year (all
// classic stamps without a year), RFC 3339 and busybox files, and the journal on standard input.
// Rotated files come newest first, as a shell's wildcard lists them.
TEST_P(ImportRun, RecordsEveryCallOnceInTheStoreOfTheLocale) {
  TempDir dir;
  for (const char* name : {"syslog", "syslog.1", "messages", "openwrt.log"}) {
    fs::copy_file(Data(name), dir.File(name));
  }
  Gzip(Data("newyear.log"), dir.File("syslog.2.gz"));
  SetModified(dir.File("syslog.2.gz"), 1672640700);  // 2023-01-02 06:25 UTC
  SetModified(dir.File("syslog.1"), 1694931900);     // 2023-09-17 06:25 UTC
  SetModified(dir.File("syslog"), 1695211200);       // 2023-09-20 12:00 UTC
  const std::vector<std::string> env = {"TZ=Europe/Berlin",
                                        std::string("LC_ALL=") + GetParam().locale};
  const std::vector<std::string> args = {
      "--store",  dir.File("dorvane.DB"), "syslog", "syslog.1", "syslog.2.gz",
      "messages", "openwrt.log",          "-"};

  const Result first = RunProgram(DORVANE_IMPORT_EXE, args, env, dir.Path(), Data("journal.txt"));
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "8 calls found, 8 new calls recorded\n");
  EXPECT_NE(first.err.find("(box pppd[4000]) has no end; not recorded\n"), std::string::npos)
      << first.err;
  std::string expected = ReadBytes(Data("expected.DB")).value_or("");
  if (GetParam().comma) std::replace(expected.begin(), expected.end(), '.', ',');
  const std::string store = ReadBytes(dir.File("dorvane.DB")).value_or("");
  EXPECT_EQ(store, expected);

  const Result second = RunProgram(DORVANE_IMPORT_EXE, args, env, dir.Path(), Data("journal.txt"));
  EXPECT_EQ(second.out, "8 calls found, 0 new calls recorded\n");
  EXPECT_EQ(ReadBytes(dir.File("dorvane.DB")).value_or(""), store);
}

// What the system says is passed on: a gzip'd log cut short is an error, not an empty log, and
// a list that cannot be written (a full disk) is a failure.
TEST(ImportRun, AFileCutShortOrAnOutputNotWrittenIsAnError) {
  TempDir dir;
  Gzip(Data("syslog"), dir.File("whole.gz"));
  std::string packed = ReadBytes(dir.File("whole.gz")).value_or("");
  ASSERT_GT(packed.size(), 40u);
  WriteBytes(dir.File("cut.gz"), packed.substr(0, packed.size() - 20));
  const std::vector<std::string> env = {"TZ=UTC", "LC_ALL=C.UTF-8"};
  const Result cut = RunProgram(DORVANE_IMPORT_EXE, {"--dry-run", "cut.gz"}, env, dir.Path());
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.err.find("cut.gz: the compressed file is truncated"), std::string::npos) << cut.err;

  const Result missing = RunProgram(DORVANE_IMPORT_EXE, {"--dry-run", "nothing"}, env, dir.Path());
  EXPECT_EQ(missing.err, "dorvane-import: Unable to read nothing: No such file or directory\n");

  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to stand for a full disk";
  const pid_t child = fork();
  if (child == 0) {
    const int full = ::open("/dev/full", O_WRONLY);
    const int null = ::open("/dev/null", O_RDWR);
    if (full < 0 || null < 0 || ::chdir(dir.Path().c_str()) != 0) _exit(126);
    ::dup2(null, 0);
    ::dup2(full, 1);
    ::dup2(null, 2);
    ::execl(DORVANE_IMPORT_EXE, DORVANE_IMPORT_EXE, "--dry-run", "whole.gz", nullptr);
    _exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

INSTANTIATE_TEST_SUITE_P(Locales, ImportRun,
                         ::testing::Values(LocaleCase{"en_US.UTF-8", false},
                                           LocaleCase{"de_DE.UTF-8", true}));

// A folder of its own holding a copy of the program, whose Windows directory (where it finds the
// modem log) is `logFolder`; the program's path.
std::string InstallReadingLogsFrom(const TempDir& app, const std::string& logFolder) {
  const std::string exe = app.File("dorvane");
  fs::copy_file(DORVANE_EXE, exe);
  WriteBytes(app.File("dorvane.REG"), dorvane::testing::WindowsFolderRegistry(logFolder));
  return exe;
}

// pppd runs ip-up.d/dorvane when a link comes up and ip-down.d/dorvane when it goes down, with a
// bare environment. ppp0's dial is in the system log; ppp1's is not, so its call starts at the
// hang-up less its connect time. The two sessions overlap.
TEST(PppHook, TwoLinksAtOnceGiveTwoCallsToTheProgram) {
  TempDir root;
  const std::string logFolder = root.File("var/log/dorvane");
  fs::create_directories(root.File("var/log"));
  fs::create_directories(root.File("etc/ppp/ip-up.d"));
  fs::create_directories(root.File("etc/ppp/ip-down.d"));
  fs::create_symlink(DORVANE_HOOK, root.File("etc/ppp/ip-up.d/dorvane"));
  fs::create_symlink(DORVANE_HOOK, root.File("etc/ppp/ip-down.d/dorvane"));
  const time_t now = ::time(nullptr);
  WriteBytes(root.File("var/log/syslog"),
             SyslogStamp(now - 60) + " box chat[2001]: send (ATDT0123456^M)\n" +
                 SyslogStamp(now - 40) + " box pppd[2000]: Serial connection established.\n" +
                 SyslogStamp(now - 40) + " box sh[431]: Serial connection established.\n");

  auto hook = [&](const char* folder, const std::vector<std::string>& link) {
    std::vector<std::string> env = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin", "TZ=UTC",
                                    "DORVANE_ROOT=" + root.Path()};
    env.insert(env.end(), link.begin(), link.end());
    const Result r =
        RunProgram(root.File(std::string("etc/ppp/") + folder + "/dorvane"), {}, env, root.Path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
  };
  const std::vector<std::string> ppp0 = {"IFNAME=ppp0", "DEVICE=/dev/ttyS0", "PPPD_PID=2000",
                                         "PPP_IFACE=ppp0"};
  const std::vector<std::string> ppp1 = {"IFNAME=ppp1", "DEVICE=/dev/ttyS1", "PPPD_PID=3000",
                                         "PPP_IFACE=ppp1"};
  auto down = [](std::vector<std::string> link, const char* seconds) {
    link.push_back(std::string("CONNECT_TIME=") + seconds);
    link.push_back("BYTES_SENT=1000");
    link.push_back("BYTES_RCVD=20000");
    return link;
  };
  hook("ip-up.d", ppp0);
  hook("ip-up.d", ppp1);
  hook("ip-down.d", down(ppp0, "30"));
  hook("ip-down.d", down(ppp1, "500"));

  const std::string log = logFolder + "/ModemLog.txt";
  struct stat st {};
  ASSERT_EQ(::stat(logFolder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 02775u);
  const std::string text = ReadBytes(log).value_or("");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10) << text;
  EXPECT_EQ(text.find("\n\n"), std::string::npos);

  // The program reads the hook's folder as its Windows directory.
  if (std::string_view(DORVANE_EXE).empty()) GTEST_SKIP() << "built without the window";
  TempDir app;
  const std::string exe = InstallReadingLogsFrom(app, logFolder);
  const Result check = RunProgram(
      exe, {"CHECK"},
      {"QT_QPA_PLATFORM=offscreen", "TZ=UTC", "LC_ALL=en_US.UTF-8", "HOME=" + app.Path()},
      app.Path());
  ASSERT_EQ(check.status, 0) << check.err;
  EXPECT_FALSE(fs::exists(log));

  const std::string store = ReadBytes(app.File("dorvane.DB")).value_or("");
  EXPECT_EQ(std::count(store.begin(), store.end(), '='), 2) << store;
  // ppp0 starts at chat's dial, to the second.
  struct tm dial {};
  const time_t dialled = now - 60;
  ::gmtime_r(&dialled, &dial);
  const dorvane::RegionalSettings point;
  const dorvane::TDateTime start =
      dorvane::EncodeDate(dial.tm_year + 1900, dial.tm_mon + 1, dial.tm_mday) +
      dorvane::EncodeTime(dial.tm_hour, dial.tm_min, dial.tm_sec, 0);
  EXPECT_NE(store.find("\r\n" + dorvane::DateTimeText(point, start) + "="), std::string::npos)
      << store;
}

// The environment pppd gives ip-down for one link.
std::vector<std::string> DownEnvironment(const std::string& root, const std::string& ifname,
                                         int pid, int connectSeconds) {
  return {"PATH=/usr/sbin:/usr/bin:/sbin:/bin",
          "TZ=UTC",
          "DORVANE_ROOT=" + root,
          "IFNAME=" + ifname,
          "DEVICE=/dev/ttyS0",
          "PPPD_PID=" + std::to_string(pid),
          "CONNECT_TIME=" + std::to_string(connectSeconds),
          "BYTES_SENT=1",
          "BYTES_RCVD=2"};
}

// Runs `plant` as the unprivileged user nobody (group nogroup); false when it failed.
bool AsNobody(const std::function<bool()>& plant) {
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(plant() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A member of the log folder's group plants links, a FIFO and a held lock where the hook writes;
// the hook, run as root as pppd runs it, touches nothing outside its files, ends in time, and
// writes every session once the folder is sound again.
TEST(PppHook, NothingAnotherUserPlantsSteersIt) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "the hook's safety needs root to run it and nobody to plant";
  TempDir root;
  ::chmod(root.Path().c_str(), 0755);
  fs::create_directories(root.File("var/log/dorvane"));
  ::chmod(root.File("var").c_str(), 0755);
  ::chmod(root.File("var/log").c_str(), 0755);
  const std::string folder = root.File("var/log/dorvane");
  ASSERT_EQ(::chown(folder.c_str(), 0, 65534), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 02775), 0);
  const std::string secret = root.File("secret");
  WriteBytes(secret, "root's own\n");
  ::chmod(secret.c_str(), 0600);
  const std::string log = folder + "/ModemLog.txt";
  const time_t now = ::time(nullptr);
  // Each link's serial line, so that ip-up notes a start.
  std::string syslog;
  for (int pid = 100; pid < 110; ++pid) {
    syslog += SyslogStamp(now - 30) + " box pppd[" + std::to_string(pid) +
              "]: Serial connection established.\n";
  }
  WriteBytes(root.File("var/log/syslog"), syslog);

  pid_t holder = -1;
  struct Plant {
    const char* name;
    std::function<bool()> plant;
  } plants[] = {{"the log is a link to a file that does not exist",
                 [&] { return ::symlink(root.File("nologin").c_str(), log.c_str()) == 0; }},
                {"the log is a link to root's file",
                 [&] { return ::symlink(secret.c_str(), log.c_str()) == 0; }},
                {"the log is a FIFO", [&] { return ::mkfifo(log.c_str(), 0666) == 0; }},
                {"the dial note is a link to root's file",
                 [&] { return ::symlink(secret.c_str(), (folder + "/.ppp0.call").c_str()) == 0; }},
                {"the log folder's lock is held", [&] {
                   int ready[2];
                   if (::pipe(ready) != 0) return false;
                   holder = fork();
                   if (holder == 0) {
                     if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
                     const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
                     if (fd < 0 || ::flock(fd, LOCK_EX) != 0) _exit(1);
                     (void)!::write(ready[1], "x", 1);
                     ::pause();
                     _exit(0);
                   }
                   char c = 0;
                   const bool held = ::read(ready[0], &c, 1) == 1;
                   ::close(ready[0]);
                   ::close(ready[1]);
                   return held;
                 }}};
  // Only what was planted goes; the log the hook wrote stays.
  const auto removePlants = [&] {
    for (const std::string& name : {log, folder + "/.ppp0.call"}) {
      const fs::file_status st = fs::symlink_status(name);
      if (fs::is_symlink(st) || fs::is_fifo(st)) fs::remove(name);
    }
  };
  int pid = 100;
  int sessions = 0;
  for (const Plant& p : plants) {
    SCOPED_TRACE(p.name);
    removePlants();
    // The lock's holder is no user of this program: it plants as nobody in its own child.
    if (std::string(p.name).find("lock") != std::string::npos) {
      ASSERT_TRUE(p.plant());
    } else {
      ASSERT_TRUE(AsNobody(p.plant));
    }
    for (const char* phase : {"up", "down"}) {
      const auto started = std::chrono::steady_clock::now();
      const Result r =
          RunProgram(DORVANE_HOOK, {phase},
                     DownEnvironment(root.Path(), "ppp0", pid, 600 * (pid - 99)), root.Path());
      const auto took = std::chrono::steady_clock::now() - started;
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_LT(took, std::chrono::seconds(5));
    }
    ++sessions;
    ++pid;
    EXPECT_EQ(ReadBytes(secret).value_or(""), "root's own\n");
    EXPECT_FALSE(fs::exists(root.File("nologin")));
    struct stat st {};
    ASSERT_EQ(::stat(secret.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    if (holder > 0) {
      ::kill(holder, SIGKILL);
      ::waitpid(holder, nullptr, 0);
      holder = -1;
    }
  }
  // The folder is sound again: the next link's hang-up writes the sessions kept meanwhile.
  removePlants();
  const Result r = RunProgram(DORVANE_HOOK, {"down"}, DownEnvironment(root.Path(), "ppp1", 999, 30),
                              root.Path());
  EXPECT_EQ(r.status, 0);
  ++sessions;
  const std::string text = ReadBytes(log).value_or("");
  EXPECT_EQ(Count(text, " in use."), static_cast<std::size_t>(sessions)) << text;
  for (int seconds = 600; seconds <= 600 * 5; seconds += 600) {
    EXPECT_EQ(Count(text, " " + std::to_string(seconds) + " seconds online."), 1u) << text;
  }
  // Root's state is root's alone.
  struct stat st {};
  ASSERT_EQ(::stat(root.File("run/dorvane").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// The hook appends while "dorvane CHECK" imports and deletes the log: whatever the timing, every
// session is recorded once.
TEST(PppHook, RacedAgainstTheProgramEverySessionIsRecordedOnce) {
  if (std::string_view(DORVANE_EXE).empty()) GTEST_SKIP() << "built without the window";
  TempDir root;
  const std::string folder = root.File("var/log/dorvane");
  fs::create_directories(folder);
  TempDir app;
  const std::string exe = InstallReadingLogsFrom(app, folder);
  constexpr int kSessions = 40;
  const pid_t hooks = fork();
  if (hooks == 0) {
    // Starts far enough apart (two minutes) that the run's own length never makes two equal.
    for (int i = 0; i < kSessions; ++i) {
      const Result r = RunProgram(
          DORVANE_HOOK, {"down"},
          DownEnvironment(root.Path(), "ppp" + std::to_string(i % 3), 1000 + i, 120 * (i + 1)),
          root.Path());
      if (r.status != 0) _exit(1);
    }
    _exit(0);
  }
  const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "TZ=UTC", "LC_ALL=en_US.UTF-8",
                                        "HOME=" + app.Path(),
                                        "DORVANE_MESSAGE_LOG=" + app.File("messages")};
  int checks = 0;
  for (;;) {
    int status = 0;
    const bool done = ::waitpid(hooks, &status, WNOHANG) == hooks;
    const Result check = RunProgram(exe, {"CHECK"}, env, app.Path());
    ASSERT_EQ(check.status, 0) << check.err << ReadBytes(app.File("messages")).value_or("");
    ++checks;
    if (done) {
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
      break;
    }
  }
  const std::string store = ReadBytes(app.File("dorvane.DB")).value_or("");
  EXPECT_EQ(std::count(store.begin(), store.end(), '='), kSessions) << checks << " runs\n" << store;
  EXPECT_FALSE(fs::exists(folder + "/ModemLog.txt"));
  EXPECT_FALSE(fs::exists(folder + "/ModemLog.txt.import"));
  // Nothing was ever refused: the program told the user nothing.
  EXPECT_EQ(ReadBytes(app.File("messages")).value_or(""), "");
}

// Without chat's dial in the system log, the hook and dorvane-import start a connection at the
// same line, so importing the system log after the hook's call adds nothing.
TEST(PppHook, TheHookAndTheImportGiveOneConnectionOneStart) {
  if (std::string_view(DORVANE_EXE).empty()) GTEST_SKIP() << "built without the window";
  TempDir root;
  fs::create_directories(root.File("var/log"));
  const time_t now = ::time(nullptr);
  const std::string syslog =
      SyslogStamp(now - 125) + " box pppd[4100]: Serial connection established.\n" +
      SyslogStamp(now - 124) + " box pppd[4100]: Connect: ppp0 <--> /dev/ttyS0\n" +
      SyslogStamp(now) + " box pppd[4100]: Connection terminated.\n";
  WriteBytes(root.File("var/log/syslog"), syslog);
  // pppd's connect time leaves out the seconds of the link's set-up.
  for (const char* phase : {"up", "down"}) {
    const Result r = RunProgram(DORVANE_HOOK, {phase},
                                DownEnvironment(root.Path(), "ppp0", 4100, 120), root.Path());
    EXPECT_EQ(r.status, 0) << r.err;
  }
  TempDir app;
  const std::string exe = InstallReadingLogsFrom(app, root.File("var/log/dorvane"));
  const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "TZ=UTC", "LC_ALL=C.UTF-8",
                                        "HOME=" + app.Path(),
                                        "DORVANE_MESSAGE_LOG=" + app.File("messages")};
  ASSERT_EQ(RunProgram(exe, {"CHECK"}, env, app.Path()).status, 0);
  const Result import =
      RunProgram(DORVANE_IMPORT_EXE,
                 {"--store", app.File("dorvane.DB"), root.File("var/log/syslog")}, env, app.Path());
  EXPECT_EQ(import.out, "1 call found, 0 new calls recorded\n") << import.err;
  const std::string store = ReadBytes(app.File("dorvane.DB")).value_or("");
  EXPECT_EQ(std::count(store.begin(), store.end(), '='), 1) << store;
}

// Two links dialling ten seconds apart: the hook stamps each session with its own link's dial,
// which pppd names through its connect script's process.
TEST(PppHook, TwoLinksDiallingAtOnceEachGetTheirOwnDial) {
  TempDir root;
  fs::create_directories(root.File("var/log"));
  const time_t now = ::time(nullptr);
  auto line = [&](int ago, const std::string& text) {
    return SyslogStamp(now - ago) + " box " + text + "\n";
  };
  WriteBytes(
      root.File("var/log/syslog"),
      line(40, "chat[101]: send (ATDT1^M)") + line(30, "chat[201]: send (ATDT2^M)") +
          line(16, "pppd[100]: Script /usr/sbin/chat -v -f a finished (pid 101), status = 0x0") +
          line(15, "pppd[100]: Serial connection established.") +
          line(6, "pppd[200]: Script /usr/sbin/chat -v -f b finished (pid 201), status = 0x0") +
          line(5, "pppd[200]: Serial connection established."));
  for (const char* phase : {"up", "down"}) {
    for (int link : {0, 1}) {
      const Result r = RunProgram(
          DORVANE_HOOK, {phase},
          DownEnvironment(root.Path(), "ppp" + std::to_string(link), 100 + 100 * link, 3),
          root.Path());
      EXPECT_EQ(r.status, 0) << r.err;
    }
  }
  const std::string text = ReadBytes(root.File("var/log/dorvane/ModemLog.txt")).value_or("");
  auto stamp = [](time_t when) {
    struct tm t {};
    ::gmtime_r(&when, &t);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d %02d:%02d:%02d.00", t.tm_mon + 1,
                  t.tm_mday, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return std::string(buffer);
  };
  EXPECT_NE(text.find(stamp(now - 40) + " - ppp0 on /dev/ttyS0 in use."), std::string::npos)
      << text;
  EXPECT_NE(text.find(stamp(now - 30) + " - ppp1 on /dev/ttyS0 in use."), std::string::npos)
      << text;
}

}  // namespace
