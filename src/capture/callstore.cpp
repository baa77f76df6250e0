#include "capture/callstore.h"

#include <utility>

#include "platform/error.h"
#include "platform/files.h"

namespace dorvane {

namespace {

// A field of the time stamp by its 1-based column and width. A line that stops inside or
// before the field yields what is there (possibly nothing), which then fails to convert.
std::string_view Field(std::string_view line, std::size_t column, std::size_t width) {
  const std::size_t start = column - 1;
  if (start >= line.size()) return {};
  return line.substr(start, width);
}

int FieldValue(std::string_view line, std::size_t column, std::size_t width) {
  return StrToInt(Field(line, column, width));
}

}  // namespace

ModemStamp ReadModemStamp(std::string_view line) {
  // Every field is converted before anything is encoded, in column order: a line that is no
  // time stamp at all is reported by its first field, whatever its date would have been.
  ModemStamp stamp;
  stamp.date.month = FieldValue(line, 1, 2);
  stamp.date.day = FieldValue(line, 4, 2);
  stamp.date.year = FieldValue(line, 7, 4);
  stamp.time.hour = FieldValue(line, 12, 2);
  stamp.time.minute = FieldValue(line, 15, 2);
  stamp.time.second = FieldValue(line, 18, 2);
  stamp.time.millisecond = FieldValue(line, 21, 2);  // the hundredths
  return stamp;
}

TDateTime ModemStampDateTime(const ModemStamp& stamp) {
  const DateParts& d = stamp.date;
  const TimeParts& t = stamp.time;
  return EncodeDate(d.year, d.month, d.day) + EncodeTime(t.hour, t.minute, t.second, t.millisecond);
}

TDateTime LogLineToDateTime(std::string_view line) {
  return ModemStampDateTime(ReadModemStamp(line));
}

// ---------------------------------------------------------------------------------------------
// CallStore

CallStore::CallStore(std::string path, const RegionalSettings& rs)
    : path_(std::move(path)), rs_(rs) {}

void DeleteAllCalls(FileSystem& files, const std::string& storePath) {
  FileLock lock(storePath);
  files.Delete(storePath);
}

// ---------------------------------------------------------------------------------------------
// Report period

void InitReportPeriod(const FileSystem& fs, const std::string& storePath,
                      const RegionalSettings& rs,
                      const std::function<void(TDateTime)>& setStartDate,
                      const std::function<void(TDateTime)>& setStopDate) {
  if (!fs.Exists(storePath)) return;
  const std::unique_ptr<LineSource> lines = fs.OpenLines(storePath);
  if (!lines) return;
  InitReportPeriod(*lines, storePath, rs, setStartDate, setStopDate);
}

void InitReportPeriod(LineSource& lines, const std::string& storePath, const RegionalSettings& rs,
                      const std::function<void(TDateTime)>& setStartDate,
                      const std::function<void(TDateTime)>& setStopDate) {
  bool first = true;
  std::optional<TDateTime> last;
  std::string_view line;
  std::string_view startText;
  std::string_view endText;
  std::uint64_t lineNumber = 0;
  while (lines.Next(line)) {
    ++lineNumber;
    if (!ParseCallLine(line, startText, endText)) continue;
    const TDateTime start = ReadStoreCall(rs, line, storePath, lineNumber, false).start;
    if (first) {
      setStartDate(start);
      first = false;
    }
    last = start;
  }
  // A store that could not be read to its end has no known last call: the stop date stays, as
  // it does for a store that cannot be opened at all.
  if (last && !lines.Failed()) setStopDate(*last);
}

}  // namespace dorvane
