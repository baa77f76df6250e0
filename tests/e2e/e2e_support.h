// Running the built program in a folder of its own: a copy of the executable and its help file,
// started with "CHECK" under a chosen locale and limits, watched for its exit, killed on demand.
// Message boxes go to a file outside the folder (DORVANE_MESSAGE_LOG) and are answered unseen.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/files.h"
#include "support/process.h"

namespace dorvane::e2e {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& p) {
  return testing::ReadBytes(p).value_or("");
}

// The file's bytes, or nothing when it is not a regular file.
inline std::optional<std::string> FileBytes(const fs::path& p) {
  return testing::ReadBytes(p);
}

inline void WriteFile(const fs::path& p, const std::string& text) {
  ASSERT_TRUE(testing::WriteBytes(p, text)) << "cannot write " << p;
}

// True in a build with AddressSanitizer, whose memory figures and speed are not the program's.
constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

// True when scripts/memcheck.sh runs the tests under valgrind, which holds every signal handler
// of the programs it runs and adds its own memory to theirs.
inline bool UnderMemcheck() {
  return std::getenv("DORVANE_MEMCHECK") != nullptr;
}

struct RunOptions {
  std::vector<std::string> args = {"CHECK"};
  std::string locale = "C.UTF-8";
  // RLIMIT_FSIZE of the program, in bytes; none when 0.
  rlim_t fileSizeLimit = 0;
  int timeoutSeconds = 120;
};

// The exit status (128 + the signal for a program killed by one, -1 for one that had to be
// killed at the timeout), peak memory and time.
using RunResult = testing::ProcessEnd;

// A temporary folder holding a copy of the program and its help file (the data files then lie
// beside the program), and a sibling folder for what the test keeps outside it.
class ProgramFolder {
 public:
  explicit ProgramFolder(const std::string& name)
      : scratch_("dorvane-e2e-" + name), root_(scratch_.Path()) {
    dir_ = root_ / "program";
    fs::create_directories(dir_);
    fs::create_directories(root_ / "home" / "run");
    fs::permissions(root_ / "home" / "run", fs::perms::owner_all);
    InstallProgram(dir_);
  }
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  // Copies the executable and the help file into a folder (another file system, say).
  static void InstallProgram(const fs::path& into) {
    const fs::path exe(DORVANE_EXE);
    fs::copy_file(exe, into / "dorvane", fs::copy_options::overwrite_existing);
    const fs::path help = exe.parent_path() / "dorvane.HLP";
    if (fs::exists(help))
      fs::copy_file(help, into / "dorvane.HLP", fs::copy_options::overwrite_existing);
  }

  const fs::path& Root() const { return root_; }
  // The program's folder, or the one set by UseProgramFolder.
  const fs::path& Dir() const { return dir_; }
  void UseProgramFolder(const fs::path& dir) { dir_ = dir; }
  fs::path Messages() const { return root_ / "messages.txt"; }
  std::string MessageText() const { return ReadFile(Messages()); }

  // Removes every file the program's runs left, keeping the program and its help file.
  void Clear() const {
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (name != "dorvane" && name != "dorvane.HLP") fs::remove_all(entry.path());
    }
    std::error_code ec;
    fs::remove(Messages(), ec);
  }

  pid_t Start(const RunOptions& options = {}) const {
    const std::string home = (root_ / "home").string();
    testing::ProcessRequest request;
    request.program = (dir_ / "dorvane").string();
    request.args = options.args;
    request.folder = dir_.string();
    request.environment = {"QT_QPA_PLATFORM=offscreen",
                           "LC_ALL=" + options.locale,
                           "LANG=" + options.locale,
                           "HOME=" + home,
                           "XDG_DATA_HOME=" + home + "/data",
                           "XDG_CONFIG_HOME=" + home + "/config",
                           "XDG_CACHE_HOME=" + home + "/cache",
                           "XDG_RUNTIME_DIR=" + home + "/run",
                           "DORVANE_MESSAGE_LOG=" + Messages().string()};
    request.fileSizeLimit = options.fileSizeLimit;
    return testing::StartProcess(request);
  }

  // Waits for the program; kills it at the timeout, or as soon as `killWhen` says so.
  static RunResult Wait(pid_t pid, int timeoutSeconds,
                        const std::function<bool()>& killWhen = nullptr) {
    return testing::WaitProcess(pid, timeoutSeconds, killWhen);
  }

  RunResult Run(const RunOptions& options = {}) const {
    return Wait(Start(options), options.timeoutSeconds);
  }

  // Runs until the program has shown a message box (a failed check run stays open, as the
  // window does after any error at start-up), then ends it.
  RunResult RunUntilMessage(const RunOptions& options = {}) const {
    const fs::path messages = Messages();
    return Wait(Start(options), options.timeoutSeconds, [messages] {
      std::error_code ec;
      return fs::file_size(messages, ec) > 0 && !ec;
    });
  }

 private:
  testing::TempDir scratch_;  // removed with everything in it
  fs::path root_;
  fs::path dir_;
};

// Modem-log stamps and store texts for made-up calls: call `i` starts 45 minutes after call
// i - 1 (plus i % 100 hundredths) from 1 January 1995, and lasts 20 minutes.
class CallMaker {
 public:
  static std::string Stamp(long long hundredths) {
    const long long seconds = hundredths / 100;
    long long days = seconds / 86400 + DaysFromCivil(1995, 1, 1);
    const long long inDay = seconds % 86400;
    // Civil date from days since 1970-01-01.
    days += 719468;
    const long long era = days / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[96];
    std::snprintf(text, sizeof text, "%02lld-%02lld-%04lld %02lld:%02lld:%02lld.%02lld", month, day,
                  year, inDay / 3600, inDay / 60 % 60, inDay % 60, hundredths % 100);
    return text;
  }
  static long long StartOf(int call) { return call * 270000LL + call % 100; }
  static std::string StartLine(int call) {
    return Stamp(StartOf(call)) + " - Send: ATDT0190123456";
  }
  static std::string EndLine(int call) {
    return Stamp(StartOf(call) + 120000) + " - Recv: NO CARRIER";
  }

  // One modem session per call, the way the driver writes them.
  static std::string Log(int from, int to) {
    std::string log;
    for (int i = from; i < to; ++i) {
      const long long start = StartOf(i);
      log += Stamp(start - 500) + " - Session started: COM2 in use.\r\n";
      log += Stamp(start - 400) + " - Dialing.\r\n";
      log += StartLine(i) + "\r\n";
      log += Stamp(start + 1700) + " - Recv: CONNECT 33600\r\n";
      log += EndLine(i) + "\r\n";
      log += Stamp(start + 120010) + " - Hanging up the modem.\r\n";
      log += Stamp(start + 120100) + " - Session closed: COM2 closed.\r\n";
    }
    return log;
  }

 private:
  static long long DaysFromCivil(long long y, long long m, long long d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = y / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
  }
};

}  // namespace dorvane::e2e
