#include "capture/callstore.h"

#include <utility>

#include "platform/error.h"
#include "platform/files.h"

namespace dorvane {

namespace {

constexpr std::size_t kMaxEndTextLength = 255;

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

// Whole numbers as the store writes them: no separator appears in an integer's general form.
std::string WholeNumberText(int value) {
  static const RegionalSettings kPlain;
  return FloatToStr(kPlain, value);
}

const RegionalSettings& PointNotation() {
  static const RegionalSettings point;
  return point;
}

const RegionalSettings& CommaNotation() {
  static const RegionalSettings comma = [] {
    RegionalSettings rs;
    rs.decimalSeparator = ",";
    rs.thousandSeparator = ".";
    return rs;
  }();
  return comma;
}

// The days of year 1 to year 9999, the dates a date-time can hold.
constexpr double kFirstDay = -693593.0;
constexpr double kDayAfterLast = 2958466.0;

// A text quoted in a message with what cannot be seen made visible: a NUL would cut the
// message, a line break would break it.
std::string Visible(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

[[noreturn]] void ThrowStoreLineError(std::string_view storePath, std::uint64_t lineNumber,
                                      const std::string& detail) {
  throw Error("Line " + std::to_string(lineNumber) + " of " + std::string(storePath) + ": " +
              detail);
}

TDateTime StoreDateTimeOrThrow(const RegionalSettings& rs, std::string_view text,
                               std::string_view storePath, std::uint64_t lineNumber) {
  TDateTime value = 0;
  if (TryStoreDateTime(rs, text, value)) return value;
  double number = 0;
  const bool isNumber = TryStrToFloat(rs, text, number) ||
                        TryStrToFloat(PointNotation(), text, number) ||
                        TryStrToFloat(CommaNotation(), text, number);
  ThrowStoreLineError(storePath, lineNumber,
                      FormatMessage(isNumber ? "'%s' is not a valid date and time"
                                             : "'%s' is not a valid floating point value",
                                    Visible(text)));
}

}  // namespace

bool TryStoreDateTime(const RegionalSettings& rs, std::string_view text, TDateTime& out) {
  double value = 0;
  if (!TryStrToFloat(rs, text, value) && !TryStrToFloat(PointNotation(), text, value) &&
      !TryStrToFloat(CommaNotation(), text, value)) {
    return false;
  }
  // Also refuses infinity and NaN, which compare false.
  if (!(value >= kFirstDay && value < kDayAfterLast)) return false;
  out = value;
  return true;
}

StoreCall ReadStoreCall(const RegionalSettings& rs, std::string_view line,
                        std::string_view storePath, std::uint64_t lineNumber, bool withEnd) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (line.substr(0, kBom.size()) == kBom) {
    ThrowStoreLineError(storePath, lineNumber,
                        FormatMessage("a byte-order mark before '%s'", Visible(line.substr(3))));
  }
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) {
    ThrowStoreLineError(storePath, lineNumber,
                        FormatMessage("'%s' is no call line (no \"=\")", Visible(line)));
  }
  StoreCall call;
  call.start = StoreDateTimeOrThrow(rs, line.substr(0, eq), storePath, lineNumber);
  if (withEnd) {
    call.end =
        StoreDateTimeOrThrow(rs, line.substr(eq + 1, kMaxEndTextLength), storePath, lineNumber);
  }
  return call;
}

TDateTime LogLineToDateTime(std::string_view line) {
  // Every field is converted before anything is encoded, in column order: a line that is no
  // time stamp at all is reported by its first field, whatever its date would have been.
  const int month = FieldValue(line, 1, 2);
  const int day = FieldValue(line, 4, 2);
  const int year = FieldValue(line, 7, 4);
  const int hour = FieldValue(line, 12, 2);
  const int minute = FieldValue(line, 15, 2);
  const int second = FieldValue(line, 18, 2);
  // The driver writes hundredths, but they have always been counted as milliseconds; the keys
  // already in every store depend on it.
  const int milliseconds = FieldValue(line, 21, 2);
  const TDateTime date = EncodeDate(year, month, day);
  return date + EncodeTime(hour, minute, second, milliseconds);
}

std::string MonthSectionName(TDateTime value) {
  const DateParts parts = DecodeDate(value);
  return WholeNumberText(parts.year) + "-" + WholeNumberText(parts.month);
}

std::string DateTimeText(const RegionalSettings& rs, TDateTime value) {
  return FloatToStr(rs, value);
}

bool ParseCallLine(std::string_view line, std::string_view& startText, std::string_view& endText) {
  if (line.empty() || line.front() == '[') return false;
  // A line without "=" has neither a start nor an end: its empty start fails to convert, so a
  // damaged line is reported instead of being taken for a call that starts at its whole text.
  const auto eq = line.find('=');
  startText = {};
  endText = {};
  if (eq != std::string_view::npos) {
    startText = line.substr(0, eq);
    endText = line.substr(eq + 1, kMaxEndTextLength);
  }
  return true;
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
  bool first = true;
  std::optional<TDateTime> last;
  std::string_view line;
  std::string_view startText;
  std::string_view endText;
  std::uint64_t lineNumber = 0;
  while (lines->Next(line)) {
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
  if (last && !lines->Failed()) setStopDate(*last);
}

}  // namespace dorvane
