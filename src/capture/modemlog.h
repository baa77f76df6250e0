// Modem log import: switches the driver's log on, reads it, pairs the lines that start a call
// with those that end it, records each new call in the call store and deletes the log.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "capture/callstore.h"
#include "linux/hooklog.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/registry.h"

namespace dorvane {

inline constexpr const char* kSetupKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup";
inline constexpr const char* kModemKey = "System\\CurrentControlSet\\Services\\Class\\Modem\\0000";
inline constexpr const char* kOnlineNotice = "Dorvane cannot register new calls while online";

// Reads "WinDir", writes "LoggingPath" (Windows directory + "\" + "ModemLog.txt") and "Logging"
// (one byte 01). Returns the Windows directory. Without a "WinDir" value, that is the pppd
// hook's log folder when `folderExists` finds it, else empty. Throws the registry's "Failed to
// set data for '%s'".
std::string EnableModemLogging(Registry& registry, const FolderProbe& folderExists = FolderExists);

// The default log path: the Windows directory, "\" and "ModemLog.txt".
std::string DefaultLogFileName(std::string_view windowsDirectory);

class ModemLogImport {
 public:
  ModemLogImport(CallStore& store, FileSystem& fs, MessageService& messages);

  // The log lines since the last "in use" line.
  const std::vector<std::string>& SessionLines() const { return sessionLines_; }

  // Reads the log at `logFileName` (Windows-style path), pairs each session and records new
  // calls, then deletes the log if the driver has not written to it meanwhile. A log that
  // exists but cannot be opened shows the online notice and is left alone. Errors propagate;
  // the calls recorded before them are on disk and the log stays.
  void ImportModemLog(const std::string& logFileName, bool ignoreBusyCalls);

  // One pairing pass over the session lines. A pass after another one in the same session
  // resumes where that one stopped, with its pending start: walking the lines already paired
  // again would only repeat calls that the store drops as recorded, at a cost that grows with
  // the square of a session's length (a log without "in use" lines is a single session).
  void PairSessionLines(bool ignoreBusyCalls);

 private:
  static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

  void ClearSessionLines();

  CallStore& store_;
  FileSystem& fs_;
  MessageService& messages_;
  std::vector<std::string> sessionLines_;
  // Where the last pass of this session stopped, and the start line it left pending.
  std::size_t pairedLines_ = 0;
  std::size_t pendingStart_ = kNoLine;
};

}  // namespace dorvane
