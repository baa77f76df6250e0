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
  watched.folder = FolderOf(watched.file);
  return watched;
}

}  // namespace dorvane
