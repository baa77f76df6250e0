#include "capture/modemlog.h"

#include <cstdint>
#include <optional>

namespace dorvane {

namespace {

bool Contains(std::string_view line, std::string_view keyword) {
  return line.find(keyword) != std::string_view::npos;
}

bool IsStartLine(std::string_view line) {
  return Contains(line, "Dialing") || Contains(line, "ATDT");
}

bool IsEndLine(std::string_view line) {
  return Contains(line, "NO CARRIER") || Contains(line, "Hanging up");
}

}  // namespace

std::string DefaultLogFileName(std::string_view windowsDirectory) {
  std::string path(windowsDirectory);
  path += '\\';
  path += kDefaultModemLogName;
  return path;
}

std::string EnableModemLogging(Registry& registry, const FolderProbe& folderExists) {
  // Neither opening is checked: a key that cannot be had reads as empty, and a value that
  // cannot be written raises the registry's own error.
  registry.OpenKey(kSetupKey);
  const std::optional<std::string> winDir = registry.ReadString(kSetupKey, "WinDir");
  // On Linux no driver names a Windows directory; the pppd hook's folder takes its place, so
  // the default log is the one the hook writes.
  const std::string windowsDirectory =
      winDir ? *winDir : (folderExists(kHookLogFolder) ? kHookLogFolder : "");
  registry.OpenKey(kModemKey);
  registry.WriteString(kModemKey, "LoggingPath", DefaultLogFileName(windowsDirectory));
  registry.WriteBinary(kModemKey, "Logging", {std::uint8_t{0x01}});
  return windowsDirectory;
}

ModemLogImport::ModemLogImport(CallStore& store, FileSystem& fs, MessageService& messages)
    : store_(store), fs_(fs), messages_(messages) {}

void ModemLogImport::ImportModemLog(const std::string& logFileName, bool ignoreBusyCalls) {
  if (logFileName.empty() || !fs_.Exists(logFileName)) return;

  // The stamp is taken before the read: if the driver writes in between, the stamps differ at
  // the end and the log is kept.
  const std::optional<FileStamp> stampAtRead = fs_.Stamp(logFileName);
  const std::optional<std::string> log = fs_.ReadAll(logFileName);
  if (!log) {
    // The driver holds the log while a connection is up; its calls come in at a later start.
    messages_.Information(kOnlineNotice);
    return;
  }

  ClearSessionLines();
  {
    // One rewrite of the store for the whole log. When an error stops the import, the calls
    // recorded before it still reach the disk on the way out.
    CallStoreBatch batch(store_);
    bool linesSincePass = false;
    for (std::string_view line : SplitLines(*log)) {
      if (Contains(line, "in use")) ClearSessionLines();
      sessionLines_.emplace_back(line);
      linesSincePass = true;
      if (Contains(line, "closed")) {
        PairSessionLines(ignoreBusyCalls);
        linesSincePass = false;
      }
    }
    // A log cut off inside a session (the driver or the machine stopped before "closed") still
    // holds whole calls; they would go with the deleted log.
    if (linesSincePass) PairSessionLines(ignoreBusyCalls);
    store_.Flush();
  }

  // The log is the journal of calls not yet in the store: it goes only once they are on disk,
  // and only if nothing was added to it since it was read.
  const std::optional<FileStamp> stampNow = fs_.Stamp(logFileName);
  if (stampAtRead && stampNow && *stampAtRead == *stampNow) fs_.Delete(logFileName);
}

void ModemLogImport::ClearSessionLines() {
  sessionLines_.clear();
  pairedLines_ = 0;
  pendingStart_ = kNoLine;
}

void ModemLogImport::PairSessionLines(bool ignoreBusyCalls) {
  // The pending start is held by its index: the session lines grow between passes.
  for (; pairedLines_ < sessionLines_.size(); ++pairedLines_) {
    const std::string& line = sessionLines_[pairedLines_];
    // A line with a start and an end keyword counts as a start; the last start before an end
    // line gives the call's start.
    if (IsStartLine(line)) {
      pendingStart_ = pairedLines_;
      continue;
    }
    const bool end = IsEndLine(line);
    // A busy attempt either stays out of the store or is recorded ending at the busy line.
    const bool busy = !end && Contains(line, "BUSY");
    if (!end && !busy) continue;
    // The state moves on only once the call is recorded, so a pass stopped by an error stands
    // where it was.
    if (pendingStart_ != kNoLine && (end || !ignoreBusyCalls)) {
      store_.RecordCall(sessionLines_[pendingStart_], line);
    }
    pendingStart_ = kNoLine;
  }
}

}  // namespace dorvane
