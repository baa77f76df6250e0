#include "session/logpath.h"

#include "capture/modemlog.h"
#include "platform/files.h"

namespace dorvane {

std::string LogFileNameForRun(const std::string& stored, std::string_view windowsDirectory) {
  if (!windowsDirectory.empty() && stored == DefaultLogFileName("")) {
    return DefaultLogFileName(windowsDirectory);
  }
  return stored;
}

WatchedLog WatchedLogPaths(std::string_view logFileName, std::string_view driveRoot) {
  WatchedLog watched;
  if (logFileName.empty()) return watched;
  watched.file = NativePath(logFileName, driveRoot);
  const std::size_t slash = watched.file.rfind('/');
  if (slash == std::string::npos) {
    watched.folder = ".";
  } else {
    watched.folder = slash == 0 ? "/" : watched.file.substr(0, slash);
  }
  return watched;
}

}  // namespace dorvane
