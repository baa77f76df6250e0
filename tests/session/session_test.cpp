// The rules of Dorvane in the user's session: the running price of a call in progress and its
// warning once per call, the log path an earlier start left, the hook's note and the classic
// log's open session, the messages of a run without a display, and the login entry.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "charges/gridpricing.h"
#include "platform/error.h"
#include "session/autostart.h"
#include "session/headless.h"
#include "session/logpath.h"
#include "session/onlinecall.h"
#include "session/writereason.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

namespace fs = std::filesystem;

TDateTime At(int y, int m, int d, int h, int n, int s = 0) {
  return EncodeDate(y, m, d) + EncodeTime(h, n, s, 0);
}

// Weekdays 08:00 to 17:59 at 0.20 a begun minute (0.10 a call, at least 0.50); weekends in
// steps of three minutes at 0.08; the rest by the exact minute at 0.05 plus 0.10.
const ChargeRows kBands = {
    {"Mon, Tue, Wed, Thu, Fri", "08:00:00 - 17:59:59", "0.10", "0.20", "0.50", "1"},
    {"Sun, Sat", "00:00:00 - 23:59:59", "0", "0.08", "0.25", "3"},
    {kCatchAllBandText, "00:00:00 - 23:59:59", "0.10", "0.05", "0", "0"},
};

TEST(RunningCallCost, StepsAtEachBillingStepAtTheBandOfTheStart) {
  const RegionalSettings rs = test::Profile("EN_GB");
  const GridPricing pricing(rs, kBands);
  const TDateTime tuesday = At(1999, 1, 12, 17, 58, 30);
  const TDateTime saturday = At(1999, 1, 16, 10, 0, 0);
  const double second = 1.0 / 86400;
  struct Case {
    const char* what;
    TDateTime start;
    double secondsOnline;
    double cost;
  } cases[] = {
      {"just connected: the minimum cost", tuesday, 0, 0.50},
      {"a begun minute is billed whole", tuesday, 30, 0.50},
      {"past the band's end, still its rates", tuesday, 400, 7 * 0.20 + 0.10},
      {"the next minute begun", tuesday, 421, 8 * 0.20 + 0.10},
      {"a clock set back counts as no time online", tuesday, -90, 0.50},
      {"weekend: one step of three minutes", saturday, 40, 0.25},
      {"exactly two steps", saturday, 360, 6 * 0.08},
      {"a second into the third step", saturday, 361, 9 * 0.08},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(RunningCallCost(pricing, c.start, c.start + c.secondsOnline * second), c.cost, 1e-9)
        << c.what;
  }
}

TEST(RunningCostWarning, TellsOncePerCallWhileThePeriodWithTheCallIsAboveTheLimit) {
  const RegionalSettings rs = test::Profile("EN_US");
  const WarningSetting limit{true, "10"};
  const TDateTime first = At(2026, 12, 9, 1, 0);
  const TDateTime second = At(2026, 12, 9, 3, 0);
  RunningCostWarning warning;
  EXPECT_FALSE(warning.Check(rs, limit, first, 9.99));
  EXPECT_FALSE(warning.Check(rs, limit, first, 10.0)) << "equal to the limit is not above it";
  EXPECT_EQ(warning.Check(rs, limit, first, 10.01),
            "Costs for Online Time have reached $10.01 this month");
  EXPECT_FALSE(warning.Check(rs, limit, first, 10.50)) << "once per call";
  EXPECT_TRUE(warning.Check(rs, limit, second, 10.60)) << "the next call is told again";

  RunningCostWarning unchecked;
  EXPECT_FALSE(unchecked.Check(rs, {false, "10"}, first, 99));
  RunningCostWarning notANumber;
  EXPECT_FALSE(notANumber.Check(rs, {true, "$10.00"}, first, 99));
  EXPECT_TRUE(notANumber.Check(rs, {true, "10"}, first, 99))
      << "a threshold put right later still warns during the same call";
}

TEST(CallInProgressLine, SaysSinceWhenHowLongAndWhatItCosts) {
  const RegionalSettings rs = test::Profile("DE");
  CallInProgressFigures f{At(2026, 12, 9, 0, 58, 5), At(2026, 12, 9, 1, 10, 7), 1.5, 23.4};
  EXPECT_EQ(CallInProgressLine(rs, f),
            "Online since 00:58:05 (00:12:02): 1,50 EUR; this period 23,40 EUR");
  f.start = At(2026, 12, 8, 23, 58, 5);
  EXPECT_EQ(CallInProgressLine(rs, f),
            "Online since 08.12.2026 23:58:05 (01:12:02): 1,50 EUR; this period 23,40 EUR");
}

TEST(LogFileNameForRun, TheDefaultOfAnEarlierStartFollowsTheHooksFolder) {
  struct Case {
    const char* stored;
    const char* windowsDirectory;
    const char* used;
  } cases[] = {
      {"\\ModemLog.txt", "/var/log/dorvane", "/var/log/dorvane\\ModemLog.txt"},
      {"\\ModemLog.txt", "", "\\ModemLog.txt"},
      {"/var/log/dorvane\\ModemLog.txt", "", "/var/log/dorvane\\ModemLog.txt"},
      {"\\Modem\\ModemLog.txt", "/var/log/dorvane", "\\Modem\\ModemLog.txt"},
      {"/home/u/calls.log", "/var/log/dorvane", "/home/u/calls.log"},
      {"", "/var/log/dorvane", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LogFileNameForRun(c.stored, c.windowsDirectory), c.used) << c.stored;
  }
}

TEST(WatchedLogPaths, TheLogAndItsFolderAsNativePaths) {
  const WatchedLog hook = WatchedLogPaths("/var/log/dorvane\\ModemLog.txt", "/data");
  EXPECT_EQ(hook.file, "/var/log/dorvane/ModemLog.txt");
  EXPECT_EQ(hook.folder, "/var/log/dorvane");
  const WatchedLog rooted = WatchedLogPaths("\\ModemLog.txt", "/data");
  EXPECT_EQ(rooted.file, "/data/ModemLog.txt");
  EXPECT_EQ(rooted.folder, "/data");
}

TEST(ParseCallNote, TakesOnlyAWholeNote) {
  EXPECT_EQ(ParseCallNote("4242\n1765240000\n")->dialledAt, 1765240000);
  EXPECT_EQ(ParseCallNote("4242\n1765240000\n")->pid, 4242);
  EXPECT_EQ(ParseCallNote("4242\n1765240000\n12-09-2026 01:46:40.00\n")->dialledAt, 1765240000);
  for (const char* bad : {"", "4242\n", "4242\n17652", "4242\n1765240000", "x\n1765240000\n",
                          "0\n1765240000\n", "4242\n-5\n", "4242\n 1765240000\n"}) {
    EXPECT_FALSE(ParseCallNote(bad)) << bad;
  }
}

TEST(OpenSessionStart, TheStartOfASessionTheLogLeavesOpen) {
  const std::string inUse = "12-09-2026 01:00:00.00 - COM1 in use.\r\n";
  const std::string dial = "12-09-2026 01:00:05.00 - Dialing.\r\n";
  const std::string hangUp = "12-09-2026 01:20:00.00 - Hanging up the modem.\r\n";
  const std::string closed = "12-09-2026 01:20:01.00 - COM1 closed.\r\n";
  const std::map<std::string, std::optional<TDateTime>> cases = {
      {inUse + dial, At(2026, 12, 9, 1, 0, 5)},
      {inUse + dial + hangUp, std::nullopt},
      {inUse + dial + closed, std::nullopt},
      {inUse + dial + hangUp + closed + inUse, std::nullopt},
      {inUse + dial + hangUp + closed + inUse + dial, At(2026, 12, 9, 1, 0, 5)},
      {inUse, std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [log, start] : cases) {
    auto lines = TextLines(log);
    EXPECT_EQ(OpenSessionStart(*lines), start) << log;
  }
}

class RecordingNotifier : public Notifier {
 public:
  bool answer = true;
  std::vector<std::string> notices;
  bool Notify(const std::string& summary, const std::string& body) override {
    notices.push_back(summary + ": " + body);
    return answer;
  }
};

TEST(LineMessages, EachMessageIsOneLineAndOnlyErrorsFailTheRun) {
  std::vector<std::string> lines;
  RecordingNotifier notifier;
  LineMessages messages([&](const std::string& line) { lines.push_back(line); }, &notifier);
  messages.Information("Dorvane cannot register new calls while online");
  messages.Warning("Costs for Online Time have reached $12.00 this month");
  EXPECT_EQ(messages.Confirm("Dorvane could not save its settings.\n\nClose anyway?"), Answer::No);
  EXPECT_EQ(messages.Confirm("Delete?", true), Answer::Cancel);
  EXPECT_FALSE(messages.Failed());
  messages.ShowError("'x' is not a valid floating point value");
  EXPECT_TRUE(messages.Failed());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Information: Dorvane cannot register new calls while online",
                       "Warning: Costs for Online Time have reached $12.00 this month",
                       "Confirm: Dorvane could not save its settings. Close anyway?",
                       "Confirm: Delete?",
                       "Dorvane: 'x' is not a valid floating point value.",
                   }));
  EXPECT_EQ(
      notifier.notices,
      (std::vector<std::string>{"Dorvane: Costs for Online Time have reached $12.00 this month"}))
      << "only warnings become notifications";
}

class Env : public ProcessEnvironment {
 public:
  std::map<std::string, std::string> vars;
  std::optional<std::string> Variable(const char* name) const override {
    const auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  }
  std::string ExecutablePath() const override { return "/usr/bin/dorvane"; }
};

TEST(HasDisplay, AWindowNeedsADisplayThatSomeoneSees) {
  struct Case {
    std::map<std::string, std::string> vars;
    bool display;
  } cases[] = {
      {{}, false},
      {{{"DISPLAY", ":0"}}, true},
      {{{"WAYLAND_DISPLAY", "wayland-0"}}, true},
      {{{"DISPLAY", ""}}, false},
      {{{"QT_QPA_PLATFORM", "offscreen"}}, false},
      {{{"QT_QPA_PLATFORM", "vnc"}}, true},
      {{{"DISPLAY", ":1"}, {"QT_QPA_PLATFORM", "offscreen"}}, true},
  };
  for (const Case& c : cases) {
    Env env;
    env.vars = c.vars;
    EXPECT_EQ(HasDisplay(env), c.display) << c.vars.size();
  }
}

class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() / ("dorvane-session-" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

TEST(Autostart, WritesAndRemovesOnlyItsOwnEntry) {
  Env env;
  env.vars = {{"HOME", "/home/u"}};
  EXPECT_EQ(AutostartPath(env), "/home/u/.config/autostart/dorvane-check.desktop");
  env.vars["XDG_CONFIG_HOME"] = "/cfg";
  EXPECT_EQ(AutostartPath(env), "/cfg/autostart/dorvane-check.desktop");
  env.vars["XDG_CONFIG_HOME"] = "relative";
  EXPECT_EQ(AutostartPath(env), "/home/u/.config/autostart/dorvane-check.desktop");

  const TempFolder dir;
  const std::string path = dir.File("autostart/dorvane-check.desktop");
  SetAutostart(path, "/opt/my apps/dorvane", true);
  EXPECT_TRUE(AutostartEnabled(path));
  std::ifstream in(path);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Exec=\"/opt/my apps/dorvane\" CHECK\n"), std::string::npos) << text;
  SetAutostart(path, "/opt/my apps/dorvane", false);
  EXPECT_FALSE(fs::exists(path));
  SetAutostart(path, "/usr/bin/dorvane", false);  // nothing there: nothing to do

  // A file of that name that the user made is never replaced nor removed.
  std::ofstream(path) << "[Desktop Entry]\nExec=mine\n";
  EXPECT_THROW(SetAutostart(path, "/usr/bin/dorvane", true), Error);
  EXPECT_THROW(SetAutostart(path, "/usr/bin/dorvane", false), Error);
  EXPECT_FALSE(AutostartEnabled(path));
}

TEST(WriteRefusalReason, NamesTheSystemsReason) {
  const TempFolder dir;
  EXPECT_EQ(WriteRefusalReason(dir.File("dorvane.INI")), "");
  fs::create_directory(dir.File("folder.INI"));
  EXPECT_EQ(WriteRefusalReason(dir.File("folder.INI")), "Is a directory");
  std::ofstream(dir.File("locked.INI")) << "x";
  ::chmod(dir.File("locked.INI").c_str(), 0444);
  EXPECT_EQ(WriteRefusalReason(dir.File("locked.INI")), "Permission denied");
  if (::geteuid() != 0) {
    fs::create_directory(dir.File("shut"));
    ::chmod(dir.File("shut").c_str(), 0555);
    EXPECT_EQ(WriteRefusalReason(dir.File("shut/dorvane.INI")), "Permission denied");
  }
  EXPECT_TRUE(fs::is_empty(dir.File("folder.INI")));
}

}  // namespace
}  // namespace dorvane
