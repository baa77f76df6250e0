// Modem log import: switches the driver's log on, reads it, pairs the lines that start a call
// with those that end it, records each new call in the call store and deletes the log.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/callstore.h"
#include "capture/hooklog.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/registry.h"

namespace dorvane {

inline constexpr const char* kSetupKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup";
inline constexpr const char* kModemKey = "System\\CurrentControlSet\\Services\\Class\\Modem\\0000";
inline constexpr const char* kDefaultModemLogName = "ModemLog.txt";
inline constexpr const char* kOnlineNotice = "Dorvane cannot register new calls while online";
// The log while it is being imported: "ModemLog.txt.import" beside it.
inline constexpr const char* kHandedOverSuffix = ".import";

// Reads "WinDir", writes "LoggingPath" (Windows directory + "\" + "ModemLog.txt") and "Logging"
// (one byte 01). Returns the Windows directory. Without a "WinDir" value, that is the pppd
// hook's log folder when `folderExists` finds it, else empty. Throws the registry's "Failed to
// set data for '%s'".
std::string EnableModemLogging(Registry& registry, const FolderProbe& folderExists = FolderExists);

// The default log path: the Windows directory, "\" and "ModemLog.txt".
std::string DefaultLogFileName(std::string_view windowsDirectory);

class ModemLogImport {
 public:
  // `programFiles` are the program's own files (its executable, the store, the settings, the
  // registry and the help file): whatever the log option names, they are never read as a log
  // nor deleted.
  ModemLogImport(CallStore& store, FileSystem& fs, MessageService& messages,
                 std::vector<std::string> programFiles = {});

  // Reads the log at `logFileName` (Windows-style path) line by line, pairs each session, and
  // brings the new calls into the store in one replace. Then deletes the log, if it is a modem
  // log (a line begins with a time stamp, or it is empty). Where the file system can, the log is
  // first handed over (renamed to `<log>.import` under its writer's lock), so a session written
  // meanwhile starts a new log; a handed-over log left by a run that stopped is imported first.
  // Elsewhere the log is deleted only if the driver has not written to it meanwhile. A log that
  // exists but cannot be read shows the online notice and is left alone. A log that starts with a
  // UTF-8 or UTF-16 byte-order mark is read as text in that encoding. Errors propagate; the calls
  // paired before them are on disk and the log stays.
  void ImportModemLog(const std::string& logFileName, bool ignoreBusyCalls);

 private:
  bool IsProgramFile(const std::string& path) const;
  // Reads and pairs one log; whether it is a modem log, nullopt when it could not be read (the
  // online notice shown).
  std::optional<bool> ReadLog(const std::string& path, bool ignoreBusyCalls);
  // Imports the handed-over log and deletes it, or gives it its name back; true when deleted.
  bool ImportHandedOver(const std::string& aside, const std::string& logFileName,
                        bool ignoreBusyCalls);

  CallStore& store_;
  FileSystem& fs_;
  MessageService& messages_;
  std::vector<std::string> programFiles_;
};

}  // namespace dorvane
