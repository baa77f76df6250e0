// The call store: every modem call ever seen, as "start=end" date-time texts grouped by month
// in an INI file in the data folder (FindDataPaths). How its lines are formed and read is
// capture/storeformat.h.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "capture/modemstamp.h"
#include "capture/storeformat.h"
#include "capture/storemerge.h"
#include "platform/datetime.h"
#include "platform/files.h"
#include "platform/regional.h"

namespace dorvane {

// The store as the import sees it: its path and the settings its texts are written in. It
// keeps nothing of the file; every lookup reads the file and every change replaces it.
class CallStore {
 public:
  // The settings are the caller's and must outlive the store (they are the user's settings,
  // read once at start-up); a temporary would leave the store with a dangling reference.
  CallStore(std::string path, const RegionalSettings& rs);
  CallStore(std::string path, const RegionalSettings&& rs) = delete;

  const std::string& Path() const { return path_; }
  const RegionalSettings& Regional() const { return rs_; }

  // Calls in one replace of the file (see MergeCalls).
  MergeOutcome Merge(const NewCalls& calls) { return MergeCalls(path_, rs_, calls); }

 private:
  std::string path_;
  const RegionalSettings& rs_;
};

// Sets the report period from the store: the first call line's start is handed to
// `setStartDate` as soon as it is read, the last call line's start to `setStopDate` after the
// whole file has been read. A missing store, or one with no call line, calls neither. A start
// text that does not convert throws ConvertError "'%s' is not a valid floating point value"
// (a start date already set stays set).
void InitReportPeriod(const FileSystem& fs, const std::string& storePath,
                      const RegionalSettings& rs,
                      const std::function<void(TDateTime)>& setStartDate,
                      const std::function<void(TDateTime)>& setStopDate);
// The same over lines already opened (a pass over a snapshot of the store).
void InitReportPeriod(LineSource& lines, const std::string& storePath, const RegionalSettings& rs,
                      const std::function<void(TDateTime)>& setStartDate,
                      const std::function<void(TDateTime)>& setStopDate);

// Deletes the store under the same lock as every writer of it: a merge under way finishes
// first, and cannot put the deleted calls back. A missing store or a refused deletion is not
// reported.
void DeleteAllCalls(FileSystem& files, const std::string& storePath);

inline constexpr const char* kDeleteAllCallsQuestion =
    "If you delete all modem calls in the log file, it is not possible to get them back. Are you "
    "sure?";

}  // namespace dorvane
