// dorvane-report as a function: reads the call store and the charges table of Dorvane, read-only,
// runs the report of a period the way the window does, and writes it in the form asked for.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/regional.h"

namespace dorvane {

struct ReportEnvironment {
  const FileSystem& files;
  const Clock& clock;
  const RegionalSettings& rs;
  // Dorvane's settings file and call store, used unless the command line names others.
  std::string settingsPath;
  std::string storePath;
  std::ostream& out;
  std::ostream& err;
  // The settings the store's folder is written in, given the store's path; unset: `rs`. The
  // files are read, and the report written, in these whatever the environment says.
  std::function<RegionalSettings(const std::string& storePath)> storeRegional = {};
};

// Exit statuses.
inline constexpr int kReportDone = 0;
inline constexpr int kReportFailed = 1;  // a file that cannot be read, a line that does not convert
inline constexpr int kReportBadArguments = 2;

// Runs the command line (the arguments after the program name). Messages go to `err`, prefixed
// with the program's name: the window's own message for a failure, a short usage after an
// argument error.
int RunDorvaneReport(const std::vector<std::string>& args, const ReportEnvironment& env);

}  // namespace dorvane
