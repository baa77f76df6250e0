// Text conversions. None of them uses the C library's locale: the settings come in explicitly,
// and digits are produced and read with std::to_chars / std::from_chars, which never look at it.
#include "platform/regional.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/formatpattern.h"

namespace dorvane {

namespace {

constexpr const char* kBadFloat = "'%s' is not a valid floating point value";
constexpr const char* kBadInteger = "'%s' is not a valid integer value";
constexpr const char* kBadTime = "'%s' is not a valid time";
// What the platform reported for arithmetic that ends in infinity or "not a number".
constexpr const char* kInvalidOperation = "Invalid floating point operation";
// Spans beyond this (in days) do not fit a millisecond count; no real call comes near.
constexpr double kLargestSpan = 1e13;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool HasAt(std::string_view text, std::size_t pos, std::string_view what) {
  return !what.empty() && pos <= text.size() && text.size() - pos >= what.size() &&
         text.compare(pos, what.size(), what) == 0;
}

void AppendInt(std::string& out, std::int64_t value, int minDigits) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value < 0 ? -value : value);
  if (value < 0) out += '-';
  for (auto len = res.ptr - buf; len < minDigits; ++len) out += '0';
  out.append(buf, res.ptr);
}

// The fifteen significant digits of a positive finite number, correctly rounded from its exact
// binary value, and the decimal exponent of the first of them.
struct Significant {
  char digits[15];
  int exponent;
};

// Whether a positive finite value lies exactly halfway between two numbers of fifteen significant
// digits, the lower of which is `digits` x 10^(exponent - 14): std::to_chars settles such a tie
// to the even digit, we settle it away from zero. Exact, in integers: the midpoint
// D x 10^p (D = digits followed by a 5, odd) equals M x 2^E (M odd) only when the powers of two
// agree and the powers of five divide out.
bool IsTieBelow(double magnitude, const char (&digits)[15], int exponent) {
  std::uint64_t d = 0;
  for (char c : digits) d = d * 10 + static_cast<std::uint64_t>(c - '0');
  d = d * 10 + 5;
  const int p = exponent - 15;
  int e2 = 0;
  const double fraction = std::frexp(magnitude, &e2);
  auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  int e = e2 - 53;
  while ((m & 1) == 0) {
    m >>= 1;
    ++e;
  }
  if (p >= 0) {
    if (e != p) return false;
    for (int k = 0; k < p; ++k) {
      if (m % 5 != 0) return false;
      m /= 5;
    }
    return m == d;
  }
  if (e + (-p) != 0) return false;
  for (int k = 0; k < -p; ++k) {
    if (d % 5 != 0) return false;
    d /= 5;
  }
  return d == m;
}

Significant FifteenDigits(double magnitude) {
  // "d.dddddddddddddde+XX"
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
  Significant s{};
  s.digits[0] = buf[0];
  std::memcpy(s.digits + 1, buf + 2, 14);
  int exponent = 0;
  std::from_chars(buf + 18, res.ptr, exponent);
  s.exponent = buf[17] == '-' ? -exponent : exponent;
  if ((s.digits[14] - '0') % 2 == 0 && IsTieBelow(magnitude, s.digits, s.exponent)) {
    int k = 14;
    for (; k >= 0 && s.digits[k] == '9'; --k) s.digits[k] = '0';
    if (k >= 0) {
      ++s.digits[k];
    } else {
      s.digits[0] = '1';
      ++s.exponent;
    }
  }
  return s;
}

// ---- Text to number --------------------------------------------------------------------------

// Saturating read of an exponent's digits.
long ExponentValue(std::string_view digits) {
  long value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > 100000) return 100000;
  }
  return value;
}

// The common case, a plain number with a point ("36161.5", "-0.25", "1e-05"), read by
// std::from_chars alone; false sends anything else (blanks, a plus sign, another separator, an
// exponent out of range, a number that is not whole) on to the full grammar below.
bool ParsePlainFloat(std::string_view text, double& out) {
  const std::size_t first = !text.empty() && text.front() == '-' ? 1 : 0;
  if (first >= text.size() || !(IsDigit(text[first]) || text[first] == '.')) return false;
  double value = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return false;
  out = value;
  return true;
}

bool ParseFloat(const RegionalSettings& rs, std::string_view text, double& out) {
  const std::string_view sep = rs.decimalSeparator;
  if (sep == "." && ParsePlainFloat(text, out)) return true;
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t bodyStart = i;
  std::size_t intDigits = 0;
  std::size_t fracDigits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++intDigits;
  std::size_t sepPos = std::string_view::npos;
  if (HasAt(text, i, sep)) {
    sepPos = i;
    i += sep.size();
    while (i < n && IsDigit(text[i])) ++i, ++fracDigits;
  }
  if (intDigits + fracDigits == 0) return false;
  const std::size_t mantissaEnd = i;
  std::string_view exponentDigits;
  bool negativeExponent = false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    const std::size_t from = i;
    while (i < n && IsDigit(text[i])) ++i;
    if (i == from) return false;
    exponentDigits = text.substr(from, i - from);
  }
  const std::size_t bodyEnd = i;
  while (i < n && IsBlank(text[i])) ++i;
  if (i != n) return false;

  // std::from_chars reads a point; put one in place of any other separator.
  std::string_view body = text.substr(bodyStart, bodyEnd - bodyStart);
  char local[128];
  std::string heap;
  if (sepPos != std::string_view::npos && sep != ".") {
    const std::size_t before = sepPos - bodyStart;
    const std::size_t after = bodyEnd - sepPos - sep.size();
    const std::size_t length = before + 1 + after;
    char* buf = local;
    if (length > sizeof local) {
      heap.resize(length);
      buf = heap.data();
    }
    std::memcpy(buf, body.data(), before);
    buf[before] = '.';
    std::memcpy(buf + before + 1, text.data() + sepPos + sep.size(), after);
    body = std::string_view(buf, length);
  }
  double value = 0;
  auto res = std::from_chars(body.data(), body.data() + body.size(), value);
  if (res.ptr != body.data() + body.size()) return false;
  if (res.ec == std::errc::result_out_of_range) {
    // Too small for a double reads as zero; too large is refused. Tell them apart by the
    // decimal exponent of the first significant digit.
    long magnitude = 0;
    std::size_t k = bodyStart;
    long position = static_cast<long>(intDigits);  // digits before the separator still to pass
    bool found = false;
    for (; k < mantissaEnd; ++k) {
      if (k == sepPos) {
        k += sep.size() - 1;
        continue;
      }
      --position;
      if (text[k] != '0') {
        found = true;
        break;
      }
    }
    if (!found) return false;
    const long exponent = ExponentValue(exponentDigits);
    magnitude = position + (negativeExponent ? -exponent : exponent);
    if (magnitude >= 0) return false;
    value = 0;
  } else if (res.ec != std::errc()) {
    return false;
  }
  out = negative ? -value : value;
  return true;
}

// ---- Dates and times ------------------------------------------------------------------------

std::int64_t TotalMilliseconds(double span) {
  if (!std::isfinite(span) || std::fabs(span) > kLargestSpan) throw Error(kInvalidOperation);
  return std::llround(span * kMsPerDay);
}

// Whether a pattern shows the hour on a 12-hour clock: it holds an AM/PM designator outside quotes.
bool UsesTwelveHourClock(const RegionalSettings& rs, std::string_view pattern) {
  bool twelveHour = false;
  ForEachFormatElement(pattern, [&](const FormatElement& e) {
    using Kind = FormatElement::Kind;
    twelveHour = twelveHour || e.kind == Kind::AmPmLetters ||
                 (e.kind == Kind::AmPm && HasAmPmDesignators(rs));
  });
  return twelveHour;
}

class DateTimeWriter {
 public:
  DateTimeWriter(const RegionalSettings& rs, TDateTime value)
      : rs_(rs), value_(value), time_(DecodeTime(value)) {}

  void Write(std::string_view pattern, std::string& out, int depth) {
    if (depth > 2) return;  // a format that names itself ("c" inside the short date) stops here
    const bool twelveHour = UsesTwelveHourClock(rs_, pattern);
    const bool pm = time_.hour >= 12;
    ForEachFormatElement(pattern, [&](const FormatElement& e) {
      const int count = static_cast<int>(e.count);
      switch (e.kind) {
        case FormatElement::Kind::Text:
          out += e.text;
          break;
        case FormatElement::Kind::DateAndTime:
          Write(rs_.shortDateFormat, out, depth + 1);
          // Milliseconds alone do not make a time worth showing.
          if (time_.hour != 0 || time_.minute != 0 || time_.second != 0) {
            out += ' ';
            Write(rs_.longTimeFormat, out, depth + 1);
          }
          break;
        case FormatElement::Kind::Day:
          if (count >= 5) {
            Write(rs_.shortDateFormat, out, depth + 1);
          } else if (count == 4) {
            out += rs_.longDayNames[DayOfWeek(value_) - 1];
          } else if (count == 3) {
            out += rs_.shortDayNames[DayOfWeek(value_) - 1];
          } else {
            AppendInt(out, Date().day, count);
          }
          break;
        case FormatElement::Kind::Month:
          if (count >= 4) {
            out += rs_.longMonthNames[Date().month - 1];
          } else if (count == 3) {
            out += rs_.shortMonthNames[Date().month - 1];
          } else {
            AppendInt(out, Date().month, count);
          }
          break;
        case FormatElement::Kind::Year:
          if (count <= 2) {
            AppendInt(out, Date().year % 100, 2);
          } else {
            AppendInt(out, Date().year, 4);
          }
          break;
        case FormatElement::Kind::Hour: {
          int h = time_.hour;
          if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
          AppendInt(out, h, count);
          break;
        }
        case FormatElement::Kind::Minute:
          AppendInt(out, time_.minute, count);
          break;
        case FormatElement::Kind::Second:
          AppendInt(out, time_.second, count);
          break;
        case FormatElement::Kind::Millisecond:
          AppendInt(out, time_.millisecond, count >= 2 ? 3 : 1);
          break;
        case FormatElement::Kind::Time:
          Write(count == 2 ? rs_.longTimeFormat : rs_.shortTimeFormat, out, depth + 1);
          break;
        case FormatElement::Kind::AmPm:
          if (HasAmPmDesignators(rs_)) out += pm ? rs_.timePMString : rs_.timeAMString;
          break;
        case FormatElement::Kind::AmPmLetters:
          // The letters keep the case the pattern gives them.
          out += e.Letters(pm);
          break;
        case FormatElement::Kind::DateSeparator:
          out += rs_.dateSeparator;
          break;
        case FormatElement::Kind::TimeSeparator:
          out += rs_.timeSeparator;
          break;
      }
    });
  }

 private:
  const DateParts& Date() {
    if (!haveDate_) {
      date_ = DecodeDate(value_);
      haveDate_ = true;
    }
    return date_;
  }

  const RegionalSettings& rs_;
  TDateTime value_;
  TimeParts time_;
  DateParts date_;
  bool haveDate_ = false;
};

// An AM or PM designator at pos: the settings' own or the English ones, in any letter case.
bool MatchDesignator(const RegionalSettings& rs, std::string_view text, std::size_t pos,
                     std::size_t& length, bool& pm) {
  const std::pair<std::string_view, bool> candidates[] = {
      {rs.timeAMString, false}, {rs.timePMString, true}, {"AM", false}, {"PM", true}};
  length = 0;
  for (const auto& [name, isPm] : candidates) {
    if (name.size() > length && HasAtIgnoringCase(text, pos, name)) {
      length = name.size();
      pm = isPm;
    }
  }
  return length > 0;
}

// ---- A time read by its pattern ----------------------------------------------------------------

// One element of a time pattern, as DateTimeWriter writes it.
struct TimeToken {
  enum Kind { Literal, Hour, Minute, Second, Millisecond, Designator, Unreadable };

  explicit TimeToken(Kind k, std::string t = {}, std::string pm = {})
      : kind(k), text(std::move(t)), pmText(std::move(pm)) {}

  Kind kind;
  std::string text;    // Literal: the text; Designator: the morning's text
  std::string pmText;  // Designator: the afternoon's text
  int minDigits = 1;   // number fields: 1 or 2 (3 for "zzz")
  int maxDigits = 2;
};

// Splits a pattern the way DateTimeWriter walks it. A field that is no part of a time (a date, a
// day name) makes the whole pattern unreadable.
void TimeTokens(const RegionalSettings& rs, std::string_view pattern, std::vector<TimeToken>& out,
                int depth) {
  if (depth > 2) return;
  auto literal = [&out](std::string_view text) {
    if (text.empty()) return;
    if (out.empty() || out.back().kind != TimeToken::Literal) out.emplace_back(TimeToken::Literal);
    out.back().text.append(text);
  };
  auto number = [&out](TimeToken::Kind kind, int minDigits, int maxDigits) {
    TimeToken t(kind);
    t.minDigits = minDigits;
    t.maxDigits = maxDigits;
    out.push_back(std::move(t));
  };
  ForEachFormatElement(pattern, [&](const FormatElement& e) {
    const int digits = e.count >= 2 ? 2 : 1;
    switch (e.kind) {
      case FormatElement::Kind::Text:
        literal(e.text);
        break;
      case FormatElement::Kind::Day:
      case FormatElement::Kind::Month:
      case FormatElement::Kind::Year:
      case FormatElement::Kind::DateAndTime:
        out.emplace_back(TimeToken::Unreadable);
        break;
      case FormatElement::Kind::Hour:
        number(TimeToken::Hour, digits, 2);
        break;
      case FormatElement::Kind::Minute:
        number(TimeToken::Minute, digits, 2);
        break;
      case FormatElement::Kind::Second:
        number(TimeToken::Second, digits, 2);
        break;
      case FormatElement::Kind::Millisecond:
        number(TimeToken::Millisecond, e.count >= 2 ? 3 : 1, 3);
        break;
      case FormatElement::Kind::Time:
        TimeTokens(rs, e.count == 2 ? rs.longTimeFormat : rs.shortTimeFormat, out, depth + 1);
        break;
      case FormatElement::Kind::AmPm:
        if (HasAmPmDesignators(rs)) {
          out.emplace_back(TimeToken::Designator, rs.timeAMString, rs.timePMString);
        }
        break;
      case FormatElement::Kind::AmPmLetters:
        out.emplace_back(TimeToken::Designator, std::string(e.Letters(false)),
                         std::string(e.Letters(true)));
        break;
      case FormatElement::Kind::DateSeparator:
        literal(rs.dateSeparator);
        break;
      case FormatElement::Kind::TimeSeparator:
        literal(rs.timeSeparator);
        break;
    }
  });
}

struct PatternTime {
  int hour = -1;
  int minute = -1;
  int second = 0;
  int millisecond = 0;
  int designator = -1;  // -1 none, 0 morning, 1 afternoon
};

// Matches the text from `at` against the tokens from `k` on. Blanks in the text are passed over
// between the elements, and the blanks of a literal are optional; digits and the letters of a
// designator must stand together. A field of one or two digits tries the longer reading first.
bool MatchTimeTokens(const std::vector<TimeToken>& tokens, std::size_t k, std::string_view text,
                     std::size_t at, PatternTime t, PatternTime& out) {
  const std::size_t n = text.size();
  while (at < n && IsBlank(text[at])) ++at;
  if (k == tokens.size()) {
    if (at != n) return false;
    out = t;
    return true;
  }
  const TimeToken& token = tokens[k];
  switch (token.kind) {
    case TimeToken::Unreadable:
      return false;
    case TimeToken::Literal: {
      for (char c : token.text) {
        if (IsBlank(c)) continue;
        while (at < n && IsBlank(text[at])) ++at;
        if (at >= n || text[at] != c) return false;
        ++at;
      }
      return MatchTimeTokens(tokens, k + 1, text, at, t, out);
    }
    case TimeToken::Designator: {
      if (t.designator >= 0) return false;
      // The longer text first, so that a designator that begins with the other one is read whole.
      const bool pmFirst = token.pmText.size() > token.text.size();
      for (int pass = 0; pass < 2; ++pass) {
        const bool pm = (pass == 0) == pmFirst;
        const std::string& name = pm ? token.pmText : token.text;
        if (!HasAtIgnoringCase(text, at, name)) continue;
        PatternTime next = t;
        next.designator = pm ? 1 : 0;
        if (MatchTimeTokens(tokens, k + 1, text, at + name.size(), next, out)) return true;
      }
      return false;
    }
    default:
      break;
  }
  std::size_t available = 0;
  while (at + available < n && available < static_cast<std::size_t>(token.maxDigits) &&
         IsDigit(text[at + available])) {
    ++available;
  }
  for (auto digits = static_cast<int>(available); digits >= token.minDigits; --digits) {
    int value = 0;
    for (int d = 0; d < digits; ++d)
      value = value * 10 + (text[at + static_cast<std::size_t>(d)] - '0');
    PatternTime next = t;
    switch (token.kind) {
      case TimeToken::Hour:
        if (t.hour >= 0) return false;
        next.hour = value;
        break;
      case TimeToken::Minute:
        if (t.minute >= 0) return false;
        next.minute = value;
        break;
      case TimeToken::Second:
        next.second = value;
        break;
      default:
        next.millisecond = value;
        break;
    }
    if (MatchTimeTokens(tokens, k + 1, text, at + static_cast<std::size_t>(digits), next, out)) {
      return true;
    }
  }
  return false;
}

// Reads a time exactly as the pattern writes it (its literal texts, separators and designators).
bool ParsePatternTime(const RegionalSettings& rs, std::string_view pattern, std::string_view text,
                      TDateTime& out) {
  std::vector<TimeToken> tokens;
  TimeTokens(rs, pattern, tokens, 0);
  if (tokens.size() > 32) return false;  // no time format has this many parts
  PatternTime t;
  if (!MatchTimeTokens(tokens, 0, text, 0, PatternTime{}, t)) return false;
  if (t.hour < 0 || t.minute < 0) return false;
  int hour = t.hour;
  if (t.designator >= 0) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (t.designator == 1 ? 12 : 0);
  }
  return TryEncodeTime(hour, t.minute, t.second, t.millisecond, out);
}

bool ParseTime(const RegionalSettings& rs, std::string_view text, TDateTime& out) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  auto skipBlanks = [&](std::size_t& k) {
    while (k < n && IsBlank(text[k])) ++k;
  };
  skipBlanks(i);
  int designator = -1;  // -1 none, 0 AM, 1 PM
  std::size_t length = 0;
  bool pm = false;
  if (MatchDesignator(rs, text, i, length, pm)) {
    designator = pm ? 1 : 0;
    i += length;
    skipBlanks(i);
  }
  int fields[3] = {0, 0, 0};
  int count = 0;
  for (;;) {
    if (i >= n || !IsDigit(text[i])) return false;
    int value = 0;
    while (i < n && IsDigit(text[i])) {
      if (value < 1000) value = value * 10 + (text[i] - '0');
      ++i;
    }
    fields[count++] = value;
    if (count == 3) break;
    std::size_t k = i;
    skipBlanks(k);
    if (!HasAt(text, k, rs.timeSeparator)) break;
    i = k + rs.timeSeparator.size();
    skipBlanks(i);
  }
  int millisecond = 0;
  if (count == 3 && HasAt(text, i, rs.decimalSeparator)) {
    i += rs.decimalSeparator.size();
    int digits = 0;
    while (i < n && IsDigit(text[i])) {
      if (++digits > 3) return false;
      millisecond = millisecond * 10 + (text[i] - '0');
      ++i;
    }
    if (digits == 0) return false;
    for (; digits < 3; ++digits) millisecond *= 10;
  }
  skipBlanks(i);
  if (designator < 0 && MatchDesignator(rs, text, i, length, pm)) {
    designator = pm ? 1 : 0;
    i += length;
    skipBlanks(i);
  }
  if (i != n || count < 2) return false;
  int hour = fields[0];
  if (designator >= 0) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (designator == 1 ? 12 : 0);
  }
  return TryEncodeTime(hour, fields[1], fields[2], millisecond, out);
}

// ---- Money ----------------------------------------------------------------------------------

std::string CurrencyLayout(const RegionalSettings& rs, std::string_view number, bool negative) {
  const std::string& c = rs.currencySymbol;
  std::string out;
  out.reserve(number.size() + c.size() + 4);
  auto put = [&out](std::initializer_list<std::string_view> parts) {
    for (auto p : parts) out.append(p);
  };
  if (!negative) {
    switch (rs.currencyFormat) {
      case 1:
        put({number, c});
        break;
      case 2:
        put({c, " ", number});
        break;
      case 3:
        put({number, " ", c});
        break;
      default:
        put({c, number});
        break;
    }
    return out;
  }
  switch (rs.negCurrFormat) {
    case 1:
      put({"-", c, number});
      break;
    case 2:
      put({c, "-", number});
      break;
    case 3:
      put({c, number, "-"});
      break;
    case 4:
      put({"(", number, c, ")"});
      break;
    case 5:
      put({"-", number, c});
      break;
    case 6:
      put({number, "-", c});
      break;
    case 7:
      put({number, c, "-"});
      break;
    case 8:
      put({"-", number, " ", c});
      break;
    case 9:
      put({"-", c, " ", number});
      break;
    case 10:
      put({number, " ", c, "-"});
      break;
    case 11:
      put({c, " ", number, "-"});
      break;
    case 12:
      put({c, " ", "-", number});
      break;
    case 13:
      put({number, "-", " ", c});
      break;
    case 14:
      put({"(", c, " ", number, ")"});
      break;
    case 15:
      put({"(", number, " ", c, ")"});
      break;
    default:
      put({"(", c, number, ")"});
      break;
  }
  return out;
}

}  // namespace

bool HasAmPmDesignators(const RegionalSettings& rs) {
  const std::string& am = rs.timeAMString;
  const std::string& pm = rs.timePMString;
  return !am.empty() && !pm.empty() && !(am.size() == pm.size() && HasAtIgnoringCase(am, 0, pm));
}

RegionalSettings RegionalSettings::UsEnglish() {
  return RegionalSettings{};
}

std::string FloatToStr(const RegionalSettings& rs, double value) {
  if (std::isnan(value)) return "Nan";
  if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
  if (value == 0) return "0";
  const Significant s = FifteenDigits(std::fabs(value));
  int count = 15;
  while (count > 1 && s.digits[count - 1] == '0') --count;
  const std::string& sep = rs.decimalSeparator;
  std::string out;
  out.reserve(24 + sep.size());
  if (value < 0) out += '-';
  if (s.exponent < -5 || s.exponent >= 15) {
    out += s.digits[0];
    if (count > 1) {
      out += sep;
      out.append(s.digits + 1, static_cast<std::size_t>(count - 1));
    }
    out += 'E';
    AppendInt(out, s.exponent, 1);
  } else if (s.exponent < 0) {
    out += '0';
    out += sep;
    out.append(static_cast<std::size_t>(-s.exponent - 1), '0');
    out.append(s.digits, static_cast<std::size_t>(count));
  } else {
    const int whole = s.exponent + 1;
    if (count <= whole) {
      out.append(s.digits, static_cast<std::size_t>(count));
      out.append(static_cast<std::size_t>(whole - count), '0');
    } else {
      out.append(s.digits, static_cast<std::size_t>(whole));
      out += sep;
      out.append(s.digits + whole, static_cast<std::size_t>(count - whole));
    }
  }
  return out;
}

bool TryStrToFloat(const RegionalSettings& rs, std::string_view text, double& out) {
  return ParseFloat(rs, text, out);
}

double StrToFloat(const RegionalSettings& rs, std::string_view text) {
  double value = 0;
  if (!ParseFloat(rs, text, value)) throw ConvertError(FormatMessage(kBadFloat, text));
  return value;
}

bool TryStrToInt(std::string_view text, int& out) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t from = i;
  std::int64_t value = 0;
  for (; i < n && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{INT_MAX} + 1) return false;
  }
  if (i == from || i != n) return false;
  if (negative) value = -value;
  if (value > INT_MAX) return false;
  out = static_cast<int>(value);
  return true;
}

int StrToInt(std::string_view text) {
  int value = 0;
  if (!TryStrToInt(text, value)) throw ConvertError(FormatMessage(kBadInteger, text));
  return value;
}

std::string FormatDateTime(const RegionalSettings& rs, std::string_view pattern, TDateTime value) {
  std::string out;
  DateTimeWriter(rs, value).Write(pattern, out, 0);
  return out;
}

std::string TimeToStr(const RegionalSettings& rs, TDateTime value) {
  return FormatDateTime(rs, rs.longTimeFormat, value);
}

std::string DateToStr(const RegionalSettings& rs, TDateTime value) {
  return FormatDateTime(rs, rs.shortDateFormat, value);
}

std::string DateTimeToStr(const RegionalSettings& rs, TDateTime value) {
  return FormatDateTime(rs, "c", value);
}

bool TryStrToTime(const RegionalSettings& rs, std::string_view text, TDateTime& out) {
  // What the long or short time format writes, then the free form typed by hand.
  return ParsePatternTime(rs, rs.longTimeFormat, text, out) ||
         ParsePatternTime(rs, rs.shortTimeFormat, text, out) || ParseTime(rs, text, out);
}

TDateTime StrToTime(const RegionalSettings& rs, std::string_view text) {
  TDateTime value = 0;
  if (!TryStrToTime(rs, text, value)) throw ConvertError(FormatMessage(kBadTime, text));
  return value;
}

std::string DurationToStr(const RegionalSettings& rs, TDateTime span) {
  const std::int64_t ms = TotalMilliseconds(span);
  const std::int64_t seconds = (ms < 0 ? -ms : ms) / 1000;
  std::string out;
  if (ms < 0) out += '-';
  AppendInt(out, seconds / 3600, 2);
  out += rs.timeSeparator;
  AppendInt(out, seconds / 60 % 60, 2);
  out += rs.timeSeparator;
  AppendInt(out, seconds % 60, 2);
  return out;
}

std::string MoneyToStr(const RegionalSettings& rs, double amount) {
  if (!std::isfinite(amount)) throw Error(kInvalidOperation);
  const int decimals =
      rs.currencyDecimals < 0 ? 0 : (rs.currencyDecimals > 18 ? 18 : rs.currencyDecimals);
  // Digits of the amount rounded to 15 significant digits; then cut them at the currency
  // decimals, a half going away from zero. `whole` is the number of digits before the point.
  std::string digits;
  int whole = 1;
  if (amount != 0) {
    const Significant s = FifteenDigits(std::fabs(amount));
    digits.assign(s.digits, 15);
    whole = s.exponent + 1;
  } else {
    digits.assign(1, '0');
  }
  const int keep = whole + decimals;  // digits that survive the cut
  if (keep < 0) {
    digits.assign(1, '0');
    whole = 1;
  } else if (keep < static_cast<int>(digits.size())) {
    const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (up) {
      int k = keep - 1;
      for (; k >= 0 && digits[static_cast<std::size_t>(k)] == '9'; --k) {
        digits[static_cast<std::size_t>(k)] = '0';
      }
      if (k >= 0) {
        ++digits[static_cast<std::size_t>(k)];
      } else {
        digits.insert(digits.begin(), '1');
        ++whole;
      }
    }
  }
  // Lay the digits out as integer part and `decimals` fraction digits.
  if (whole < 1) {
    digits.insert(0, static_cast<std::size_t>(1 - whole), '0');
    whole = 1;
  }
  if (static_cast<int>(digits.size()) < whole + decimals) {
    digits.append(static_cast<std::size_t>(whole + decimals) - digits.size(), '0');
  }
  const bool negative = amount < 0 && digits.find_first_not_of('0') != std::string::npos;
  std::string number;
  number.reserve(digits.size() + digits.size() / 3 * rs.thousandSeparator.size() + 4);
  for (int k = 0; k < whole; ++k) {
    if (k > 0 && (whole - k) % 3 == 0) number += rs.thousandSeparator;
    number += digits[static_cast<std::size_t>(k)];
  }
  if (decimals > 0) {
    number += rs.decimalSeparator;
    number.append(digits, static_cast<std::size_t>(whole), static_cast<std::size_t>(decimals));
  }
  return CurrencyLayout(rs, number, negative);
}

}  // namespace dorvane
