// The call store: every modem call ever seen, as "start=end" date-time texts grouped by month
// in an INI file beside the executable, and the one line grammar that all its readers follow.
#pragma once

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

inline constexpr const char* kDeleteAllCallsQuestion =
    "If you delete all modem calls in the log file, it is not possible to get them back. Are you "
    "sure?";

}  // namespace dorvane
