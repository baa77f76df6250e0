// The call store: every modem call ever seen, as "start=end" date-time texts grouped by month
// in an INI file in the data folder (FindDataPaths), and the one line grammar that all its
// readers follow.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "capture/storemerge.h"
#include "platform/datetime.h"
#include "platform/files.h"
#include "platform/regional.h"

namespace dorvane {

// The time stamp at the head of a modem-log line, "MM-DD-YYYY hh:nn:ss.cc" in fixed columns; the
// two digits after the point count as milliseconds. Throws ConvertError "'%s' is not a valid
// integer value" for a field that is not a number, Error "Invalid argument to date encode" /
// "Invalid argument to time encode" for an impossible date or time.
TDateTime LogLineToDateTime(std::string_view line);

// "1999-7", "1999-12": year and month of the date-time, without leading zeros.
std::string MonthSectionName(TDateTime value);

// A date-time as the store writes it: general number format, 15 significant digits, the
// decimal separator of the settings.
std::string DateTimeText(const RegionalSettings& rs, TDateTime value);

// The line grammar, one line of the store at a time: false for an empty line or a line starting
// with "[" (a month section); otherwise true, with the start (the text before the first "=") and
// the end (what follows it, at most 255 characters) of the call line. A line without "=" gives
// an empty start and an empty end.
bool ParseCallLine(std::string_view line, std::string_view& startText, std::string_view& endText);

// A start or end text of the store as a date-time. A store number never has a thousands
// separator, so a point and a comma both read as the decimal separator, whatever the settings
// say: a store that earlier versions wrote under two notations reads as it was meant. False for
// a text that is no number, or a number that is no date (before year 1 or after 9999).
bool TryStoreDateTime(const RegionalSettings& rs, std::string_view text, TDateTime& out);

// One call line read by a report or the report period: its start and end (the end only when
// `withEnd`). Throws Error naming the store and its 1-based line for a line without "=", a
// text that is not a number or not a date, a byte-order mark or a control character:
// "Line 3 of /home/u/dorvane.DB: '46358.4x' is not a valid floating point value".
struct StoreCall {
  TDateTime start = 0;
  TDateTime end = 0;
};
StoreCall ReadStoreCall(const RegionalSettings& rs, std::string_view line,
                        std::string_view storePath, std::uint64_t lineNumber, bool withEnd = true);

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

// Deletes the store under the same lock as every writer of it: a merge under way finishes
// first, and cannot put the deleted calls back. A missing store or a refused deletion is not
// reported.
void DeleteAllCalls(FileSystem& files, const std::string& storePath);

inline constexpr const char* kDeleteAllCallsQuestion =
    "If you delete all modem calls in the log file, it is not possible to get them back. Are you "
    "sure?";

}  // namespace dorvane
