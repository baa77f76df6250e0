#include "platform/isodate.h"

#include <charconv>

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

std::string IsoDayText(TDateTime day) {
  const DateParts d = DecodeDate(day);
  std::string text;
  AppendFixedDigits(text, d.year, 4);
  text += '-';
  AppendFixedDigits(text, d.month, 2);
  text += '-';
  AppendFixedDigits(text, d.day, 2);
  return text;
}

}  // namespace dorvane
