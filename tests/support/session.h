// The pieces of a Linux session that the end-to-end runs set up around the program: a system-log
// stamp, the registry file that makes a folder the program's Windows directory (where it finds
// the modem log), and whether a started program is far enough to take SIGTERM.
#pragma once

#include <signal.h>
#include <sys/types.h>
#include <time.h>

#include <fstream>
#include <string>

namespace dorvane::testing {

// A classic syslog stamp of a moment, in UTC ("Sep  7 06:25:00").
inline std::string SyslogStamp(time_t when) {
  struct tm t {};
  ::gmtime_r(&when, &t);
  char text[32];
  ::strftime(text, sizeof text, "%b %e %H:%M:%S", &t);
  return text;
}

// A dorvane.REG whose Windows directory is `folder`.
inline std::string WindowsFolderRegistry(const std::string& folder) {
  return "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
         "Setup]\r\n\"WinDir\"=\"" +
         folder + "\"\r\n\r\n";
}

// True once the process has its own handler for SIGTERM (bit 15 of SigCgt): its start-up is done.
inline bool CatchesTerm(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) == 0) {
      return (std::stoull(line.substr(7), nullptr, 16) & (1ull << (SIGTERM - 1))) != 0;
    }
  }
  return false;
}

}  // namespace dorvane::testing
