#include "platform/plaintext.h"

#include <charconv>
#include <cmath>

namespace dorvane {

bool ReadFixedDigits(std::string_view text, std::size_t digits, int& out) {
  if (text.size() != digits) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return std::from_chars(text.data(), text.data() + text.size(), out).ec == std::errc();
}

void AppendFixedDigits(std::string& text, int value, int width) {
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  const auto length = static_cast<int>(res.ptr - buf);
  if (length < width) text.append(static_cast<std::size_t>(width - length), '0');
  text.append(buf, res.ptr);
}

std::optional<TDateTime> ParseIsoDay(std::string_view text) {
  int year = 0;
  int month = 0;
  int day = 0;
  TDateTime value = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
      !ReadFixedDigits(text.substr(0, 4), 4, year) ||
      !ReadFixedDigits(text.substr(5, 2), 2, month) ||
      !ReadFixedDigits(text.substr(8, 2), 2, day) || !TryEncodeDate(year, month, day, value)) {
    return std::nullopt;
  }
  return value;
}

namespace {

void AppendIsoMonth(std::string& text, const DateParts& d) {
  AppendFixedDigits(text, d.year, 4);
  text += '-';
  AppendFixedDigits(text, d.month, 2);
}

void AppendIsoDay(std::string& text, const DateParts& d) {
  AppendIsoMonth(text, d);
  text += '-';
  AppendFixedDigits(text, d.day, 2);
}

}  // namespace

std::string IsoDayText(TDateTime day) {
  std::string text;
  AppendIsoDay(text, DecodeDate(day));
  return text;
}

std::string IsoDateTime(TDateTime value) {
  const TimeParts t = DecodeTime(value);
  std::string text;
  AppendIsoDay(text, DecodeDate(value));
  text += 'T';
  AppendFixedDigits(text, t.hour, 2);
  text += ':';
  AppendFixedDigits(text, t.minute, 2);
  text += ':';
  AppendFixedDigits(text, t.second, 2);
  return text;
}

std::string IsoMonth(TDateTime value) {
  std::string text;
  AppendIsoMonth(text, DecodeDate(value));
  return text;
}

std::string WholeNumber(std::int64_t value) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, res.ptr);
}

std::string PlainNumber(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0) return "0";
  // 15 significant digits from the exact binary value, then placed by hand around the point.
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  const bool negative = sci.front() == '-';
  const std::size_t e = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, e)) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  int exponent = 0;
  std::string_view exp = sci.substr(e + 1);
  if (!exp.empty() && exp.front() == '+') exp.remove_prefix(1);
  std::from_chars(exp.data(), exp.data() + exp.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string text = negative ? "-" : "";
  const int pointAfter = exponent + 1;  // digits before the decimal point
  if (pointAfter <= 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-pointAfter), '0');
    text += digits;
  } else if (static_cast<std::size_t>(pointAfter) >= digits.size()) {
    text += digits;
    text.append(static_cast<std::size_t>(pointAfter) - digits.size(), '0');
  } else {
    text += digits.substr(0, static_cast<std::size_t>(pointAfter));
    text += '.';
    text += digits.substr(static_cast<std::size_t>(pointAfter));
  }
  return text;
}

std::string ShortestNumber(double value) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, res.ptr);
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string HtmlEscape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace dorvane
