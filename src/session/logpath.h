// Which modem log a run reads: the option as stored, unless it still holds the default that a
// start before the pppd hook's folder existed wrote.
#pragma once

#include <string>
#include <string_view>

namespace dorvane {

// A first start without a Windows directory saved the default "\ModemLog.txt" (the data
// folder's log). While the option still holds that default, a Windows directory found at this
// start (the hook's folder, once it exists) gives the log instead; any other path, one the
// user typed, stays as it is.
std::string LogFileNameForRun(const std::string& stored, std::string_view windowsDirectory);

// The native file a Windows-style log path names, and the folder that holds it: what a watcher
// looks at for a log that appears or grows.
struct WatchedLog {
  std::string file;
  std::string folder;
};
WatchedLog WatchedLogPaths(std::string_view logFileName, std::string_view driveRoot);

}  // namespace dorvane
