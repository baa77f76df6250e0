// End-to-end runs of the Linux side: dorvane-import on fixture logs (plain, gzip'd and standard
// input) compared byte for byte, and the pppd hook run as pppd runs it for two links at once,
// its log then imported by "dorvane CHECK".
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "capture/callstore.h"
#include "platform/platform_test_util.h"
#include "platform/regional.h"

namespace fs = std::filesystem;

namespace {

using dorvane::testing::ReadBytes;
using dorvane::testing::TempDir;
using dorvane::testing::WriteBytes;

std::string Data(const std::string& name) {
  return std::string(DORVANE_TEST_DATA) + "/linux/" + name;
}

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs a program with exactly the environment given (as pppd runs its scripts), standard input
// from a file or /dev/null; waits at most a minute.
Result RunProgram(const std::string& program, const std::vector<std::string>& args,
                  const std::vector<std::string>& environment, const std::string& folder,
                  const std::string& input = "/dev/null") {
  const std::string out = folder + "/.out";
  const std::string err = folder + "/.err";
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = ::open(input.c_str(), O_RDONLY);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || o < 0 || e < 0 || ::chdir(folder.c_str()) != 0) _exit(126);
    ::dup2(in, 0);
    ::dup2(o, 1);
    ::dup2(e, 2);
    std::vector<std::string> argvText = {program};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argvText) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envText = environment;
    std::vector<char*> envp;
    for (auto& v : envText) envp.push_back(v.data());
    envp.push_back(nullptr);
    ::alarm(60);
    ::execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  Result r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = ReadBytes(out).value_or("");
  r.err = ReadBytes(err).value_or("");
  return r;
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

INSTANTIATE_TEST_SUITE_P(Locales, ImportRun,
                         ::testing::Values(LocaleCase{"en_US.UTF-8", false},
                                           LocaleCase{"de_DE.UTF-8", true}));

// A classic syslog stamp of a moment, in UTC (the zone the runs below are given).
std::string SyslogStamp(time_t when) {
  struct tm t {};
  ::gmtime_r(&when, &t);
  char text[32];
  ::strftime(text, sizeof text, "%b %e %H:%M:%S", &t);
  return text;
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
  const std::string exe = app.File("dorvane");
  fs::copy_file(DORVANE_EXE, exe);
  WriteBytes(app.File("dorvane.REG"),
             "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
             "Setup]\r\n\"WinDir\"=\"" +
                 logFolder + "\"\r\n\r\n");
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

}  // namespace
