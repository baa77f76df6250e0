// Dorvane in the user's session, run as the built program: a check without a display, the end
// that SIGTERM and SIGINT ask for when the settings cannot be saved, a modem log that arrives
// while the window is open, and a call that the pppd hook brings up and down. Notifications go
// to a fake service on a private session bus.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/files.h"
#include "support/process.h"
#include "support/session.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

using dorvane::testing::CatchesTerm;
using dorvane::testing::SyslogStamp;

std::string ReadFile(const fs::path& p) {
  return dorvane::testing::ReadBytes(p).value_or("");
}

void WriteFile(const fs::path& p, const std::string& text) {
  ASSERT_TRUE(dorvane::testing::WriteBytes(p, text)) << p;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Polls until `done` or the time is up.
bool Eventually(const std::function<bool()>& done, int seconds = 15) {
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  while (Clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

// Starts a program with exactly the environment given, standard error into a file.
pid_t Launch(const std::string& program, const std::vector<std::string>& args,
             const std::vector<std::string>& environment, const fs::path& folder,
             const fs::path& err) {
  dorvane::testing::ProcessRequest request;
  request.program = program;
  request.args = args;
  request.folder = folder.string();
  request.environment = environment;
  request.inheritEnvironment = false;
  request.input = "/dev/null";
  request.output = "/dev/null";
  request.errors = err.string();
  return dorvane::testing::StartProcess(request);
}

// The exit status (128 + the signal for a program a signal ended), -1 when it was still running
// at the timeout (it is then killed).
int WaitFor(pid_t pid, int seconds) {
  return dorvane::testing::WaitProcess(pid, seconds).status;
}

// A session bus of the test's own, with the fake notification service on it.
class PrivateBus {
 public:
  explicit PrivateBus(const fs::path& folder) : log_(folder / "notifications.txt") {
    if (!fs::exists("/usr/bin/dbus-daemon")) {
      why_ = "dbus-daemon is not installed (Debian package dbus)";
      return;
    }
    std::FILE* out =
        ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
    char line[512] = {};
    if (out != nullptr && std::fgets(line, sizeof line, out) != nullptr) {
      address_ = line;
      while (!address_.empty() && address_.back() == '\n') address_.pop_back();
      if (std::fgets(line, sizeof line, out) != nullptr) daemon_ = std::atoi(line);
    }
    if (out != nullptr) ::pclose(out);
    if (address_.empty()) {
      why_ = "dbus-daemon did not start a session bus";
      return;
    }
    const fs::path ready = folder / "notifications.ready";
    service_ = Launch(DORVANE_FAKE_NOTIFICATIONS, {log_.string(), ready.string()}, {Variable()},
                      folder, folder / "notifications.err");
    if (!Eventually([&] { return fs::exists(ready); }, 20)) {
      why_ = "the fake notification service did not take its name";
    }
  }
  ~PrivateBus() {
    if (service_ > 0) {
      ::kill(service_, SIGTERM);
      ::waitpid(service_, nullptr, 0);
    }
    if (daemon_ > 0) ::kill(daemon_, SIGTERM);
  }

  // Empty when the bus is there; else why not.
  const std::string& Unavailable() const { return why_; }
  std::string Variable() const { return "DBUS_SESSION_BUS_ADDRESS=" + address_; }
  std::string Notifications() const { return ReadFile(log_); }

 private:
  fs::path log_;
  std::string address_;
  std::string why_;
  pid_t daemon_ = 0;
  pid_t service_ = 0;
};

// A program folder of its own (the data files beside the program), a home, and what the runs
// said.
class Folder {
 public:
  explicit Folder(const std::string& name) {
    root_ =
        fs::temp_directory_path() / ("dorvane-session-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(Dir());
    fs::create_directories(root_ / "home");
    fs::create_directories(root_ / "run");
    fs::permissions(root_ / "run", fs::perms::owner_all);
    const fs::path exe(DORVANE_EXE);
    fs::copy_file(exe, Dir() / "dorvane");
    if (fs::exists(exe.parent_path() / "dorvane.HLP")) {
      fs::copy_file(exe.parent_path() / "dorvane.HLP", Dir() / "dorvane.HLP");
    }
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  fs::path Root() const { return root_; }
  fs::path Dir() const { return root_ / "program"; }
  fs::path Err() const { return root_ / "stderr.txt"; }
  std::string ErrText() const { return ReadFile(Err()); }

  // The window, offscreen, as a desktop session starts it.
  pid_t StartWindow(const std::vector<std::string>& extra = {}) const {
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen",
                                    "LC_ALL=C.UTF-8",
                                    "TZ=UTC",
                                    "HOME=" + (root_ / "home").string(),
                                    "XDG_RUNTIME_DIR=" + (root_ / "run").string(),
                                    "DORVANE_MESSAGE_LOG=" + (root_ / "messages.txt").string()};
    env.insert(env.end(), extra.begin(), extra.end());
    const pid_t pid = Launch((Dir() / "dorvane").string(), {}, env, Dir(), Err());
    // No wait for the window to be up: whatever is written from here on, while the show
    // sequence still runs or after, must reach it.
    EXPECT_TRUE(Eventually([&] { return CatchesTerm(pid); }));
    return pid;
  }

 private:
  fs::path root_;
};

const std::string kWarnAlways = "[Warn Monthly Cost]\r\nWarn=1\r\nCost=-1\r\n";

// env -i: no display, no bus, no home, no locale. Each message is one line on standard error
// and the status says whether all went well; with a bus, the warnings also become
// notifications.
TEST(CheckWithoutADisplay, MessagesAreLinesOnStandardErrorAndTheStatusTellsTheOutcome) {
  Folder folder("check");
  PrivateBus bus(folder.Root());
  struct Case {
    const char* what;
    std::string ini;
    std::string store;
    bool withBus;
    int status;
    // The caption the one line starts with, and a text it holds.
    std::string caption;
    std::string text;
  } cases[] = {
      {"a warning", kWarnAlways, "", false, 0, "Warning: ", "Costs for Online Time have reached "},
      {"a warning with a bus", kWarnAlways, "", true, 0,
       "Warning: ", "Costs for Online Time have reached "},
      {"a store line that is no number", "", "[1998-7]\r\nabc=def\r\n", false, 1,
       "Dorvane: ", "'abc' is not a valid floating point value."},
      {"nothing to say", "", "", false, 0, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.withBus && !bus.Unavailable().empty()) {
      std::cout << "skipped: " << c.what << ": " << bus.Unavailable() << "\n";
      continue;
    }
    for (const char* name : {"dorvane.INI", "dorvane.DB", "dorvane.REG"}) {
      fs::remove(folder.Dir() / name);
    }
    fs::remove(folder.Err());
    if (!c.ini.empty()) WriteFile(folder.Dir() / "dorvane.INI", c.ini);
    if (!c.store.empty()) WriteFile(folder.Dir() / "dorvane.DB", c.store);
    std::vector<std::string> env;
    if (c.withBus) env.push_back(bus.Variable());
    const pid_t pid =
        Launch((folder.Dir() / "dorvane").string(), {"CHECK"}, env, folder.Dir(), folder.Err());
    EXPECT_EQ(WaitFor(pid, 60), c.status);
    const std::string err = folder.ErrText();
    if (c.caption.empty()) {
      EXPECT_EQ(err, "");
    } else {
      EXPECT_EQ(err.rfind(c.caption, 0), 0u) << err;
      EXPECT_TRUE(Has(err, c.text)) << err;
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    if (c.withBus) {
      EXPECT_TRUE(Eventually([&] {
        return Has(bus.Notifications(), "Dorvane: Costs for Online Time have reached ");
      })) << bus.Notifications();
    }
  }
}

// --help and --version answer and end, with or without a display, and open no window.
TEST(CheckWithoutADisplay, HelpAndVersionPrintAndEnd) {
  for (const auto& [option, start] : {std::pair{"--version", "dorvane 1.70\n"},
                                      std::pair{"--help", "Usage: dorvane [CHECK]\n"}}) {
    std::FILE* out = ::popen(("env -i '" + std::string(DORVANE_EXE) + "' " + option).c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, out) != nullptr) text += buffer;
    const int status = ::pclose(out);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << option << " " << status;
    EXPECT_EQ(text.rfind(start, 0), 0u) << text;
  }
}

// A settings file that cannot be written: each signal still ends the program within seconds,
// with the reason on standard error and a status that is not 0.
TEST(EndOnSignal, ARunWhoseSaveFailsEndsWithItsReason) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    Folder folder("signal");
    fs::create_directory(folder.Dir() / "dorvane.INI");
    const pid_t pid = folder.StartWindow();
    const auto sent = Clock::now();
    ::kill(pid, signal);
    EXPECT_EQ(WaitFor(pid, 10), 1);
    EXPECT_LT(Clock::now() - sent, std::chrono::seconds(6));
    const std::string err = folder.ErrText();
    EXPECT_TRUE(Has(err, "dorvane: Unable to write to " + (folder.Dir() / "dorvane.INI").string() +
                             ": Is a directory\n"))
        << err;
    EXPECT_FALSE(fs::exists(folder.Root() / "messages.txt"))
        << "no box: " << ReadFile(folder.Root() / "messages.txt");
  }
}

// The modem log written while the window is open is imported without a restart and goes.
TEST(WindowInTheSession, ImportsALogWrittenWhileItRuns) {
  Folder folder("watch");
  const pid_t pid = folder.StartWindow();
  // Whole at once, as a writer that holds the log's lock leaves it: a copy caught half-made
  // would be a log cut in a line.
  fs::copy_file(fs::path(DORVANE_TEST_DATA) / "e2e" / "ModemLog.txt", folder.Root() / "log.part");
  fs::rename(folder.Root() / "log.part", folder.Dir() / "ModemLog.txt");
  const fs::path store = folder.Dir() / "dorvane.DB";
  // Taken aside first, then read into the store, then deleted.
  EXPECT_TRUE(Eventually([&] {
    return !fs::exists(folder.Dir() / "ModemLog.txt") &&
           !fs::exists(folder.Dir() / "ModemLog.txt.import");
  })) << "the log was not taken";
  EXPECT_EQ(ReadFile(store), ReadFile(fs::path(DORVANE_TEST_DATA) / "e2e" / "expected_point.DB"));
  ::kill(pid, SIGTERM);
  EXPECT_EQ(WaitFor(pid, 10), 0) << folder.ErrText();
}

// The pppd hook's ip-up makes the call in progress known to the open window (its running cost
// passes a limit of -1 at once, which is told once as a notification), and ip-down brings the
// call into the store.
TEST(WindowInTheSession, TheHooksCallIsShownWhileUpAndRecordedWhenDown) {
  Folder folder("hook");
  PrivateBus bus(folder.Root());
  const fs::path root = folder.Root() / "system";
  const fs::path logFolder = root / "var/log/dorvane";
  fs::create_directories(logFolder);
  // pppd's process number: the test's own, so the note is of a live link.
  const std::string pppd = std::to_string(::getpid());
  const time_t now = ::time(nullptr);
  WriteFile(root / "var/log/syslog", SyslogStamp(now - 20) +
                                         " box chat[2001]: send (ATDT0123456^M)\n" +
                                         SyslogStamp(now - 10) + " box pppd[" + pppd +
                                         "]: Serial connection established.\n");
  WriteFile(folder.Dir() / "dorvane.REG", dorvane::testing::WindowsFolderRegistry(logFolder));
  WriteFile(folder.Dir() / "dorvane.INI", kWarnAlways);
  std::vector<std::string> extra;
  if (bus.Unavailable().empty()) extra.push_back(bus.Variable());
  const pid_t pid = folder.StartWindow(extra);

  const auto hook = [&](const char* phase, const std::vector<std::string>& more) {
    std::vector<std::string> env = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin",
                                    "TZ=UTC",
                                    "DORVANE_ROOT=" + root.string(),
                                    "IFNAME=ppp0",
                                    "DEVICE=/dev/ttyS0",
                                    "PPPD_PID=" + pppd};
    env.insert(env.end(), more.begin(), more.end());
    EXPECT_EQ(WaitFor(Launch(DORVANE_HOOK, {phase}, env, root, folder.Root() / "hook.err"), 30), 0);
  };
  hook("up", {});
  if (bus.Unavailable().empty()) {
    EXPECT_TRUE(Eventually([&] {
      return Has(bus.Notifications(), "Dorvane: Costs for Online Time have reached ");
    })) << bus.Notifications();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const std::string told = bus.Notifications();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << "once per call: " << told;
  } else {
    std::cout << "skipped: the notification while the call is up: " << bus.Unavailable() << "\n";
  }
  hook("down", {"CONNECT_TIME=10", "BYTES_SENT=1", "BYTES_RCVD=2"});
  const fs::path store = folder.Dir() / "dorvane.DB";
  EXPECT_TRUE(Eventually([&] { return Has(ReadFile(store), "="); })) << ReadFile(store);
  EXPECT_TRUE(Eventually([&] { return !fs::exists(logFolder / "ModemLog.txt"); }));
  ::kill(pid, SIGTERM);
  EXPECT_EQ(WaitFor(pid, 10), 0) << folder.ErrText();
}

}  // namespace
