#include "capture/storeformat.h"

#include "platform/error.h"
#include "platform/plaintext.h"
#include "platform/profile.h"

namespace dorvane {

namespace {

constexpr std::size_t kMaxEndTextLength = 255;

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
                        TryStrToFloat(StorePointNotation(), text, number) ||
                        TryStrToFloat(StoreCommaNotation(), text, number);
  ThrowStoreLineError(storePath, lineNumber,
                      FormatMessage(isNumber ? "'%s' is not a valid date and time"
                                             : "'%s' is not a valid floating point value",
                                    Visible(text)));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Months

StoreMonth MonthOf(TDateTime value) {
  const DateParts parts = DecodeDate(value);
  return parts.year * 12 + parts.month - 1;
}

std::string MonthSectionName(StoreMonth month) {
  return WholeNumber(month / 12) + "-" + WholeNumber(month % 12 + 1);
}

std::string MonthSectionName(TDateTime value) {
  return MonthSectionName(MonthOf(value));
}

std::optional<StoreMonth> SectionMonth(std::string_view name) {
  const auto dash = name.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 >= name.size()) return std::nullopt;
  int year = 0;
  int month = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (i == dash) continue;
    if (name[i] < '0' || name[i] > '9' || (i < dash ? year > 9999 : month > 12))
      return std::nullopt;
    int& part = i < dash ? year : month;
    part = part * 10 + (name[i] - '0');
  }
  if (month < 1 || month > 12) return std::nullopt;
  return year * 12 + month - 1;
}

std::string SectionLine(StoreMonth month) {
  std::string line(1, '[');
  line += MonthSectionName(month);
  line += ']';
  return line;
}

// ---------------------------------------------------------------------------------------------
// Call lines

const RegionalSettings& StorePointNotation() {
  static const RegionalSettings point;
  return point;
}

const RegionalSettings& StoreCommaNotation() {
  static const RegionalSettings comma = [] {
    RegionalSettings rs;
    rs.decimalSeparator.assign(1, ',');
    rs.thousandSeparator.assign(1, '.');
    return rs;
  }();
  return comma;
}

std::string DateTimeText(const RegionalSettings& rs, TDateTime value) {
  return FloatToStr(rs, value);
}

std::string CallLine(std::string_view startText, std::string_view endText) {
  std::string line;
  line.reserve(startText.size() + 1 + endText.size());
  line.append(startText).append("=").append(endText);
  return line;
}

std::string CallLine(const RegionalSettings& rs, TDateTime start, TDateTime end) {
  return CallLine(DateTimeText(rs, start), DateTimeText(rs, end));
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

bool TryStoreDateTime(const RegionalSettings& rs, std::string_view text, TDateTime& out) {
  double value = 0;
  if (!TryStrToFloat(rs, text, value) && !TryStrToFloat(StorePointNotation(), text, value) &&
      !TryStrToFloat(StoreCommaNotation(), text, value)) {
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

StoreLine ReadStoreLine(std::string_view line) {
  const ProfileLine parsed = ParseProfileLine(line);
  StoreLine out;
  // The kinds in the order of ProfileLineKind: Blank, Comment, Section, Key.
  static constexpr StoreLineKind kKinds[] = {StoreLineKind::Blank, StoreLineKind::Comment,
                                             StoreLineKind::Section, StoreLineKind::Call};
  static_assert(static_cast<int>(ProfileLineKind::Key) == 3);
  out.kind = kKinds[static_cast<int>(parsed.kind)];
  out.name = parsed.name;
  out.end = parsed.value;
  out.hasEnd = parsed.hasValue;
  return out;
}

std::string StoreEndText(std::string_view end) {
  return ProfileValueText(end);
}

}  // namespace dorvane
