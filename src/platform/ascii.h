// Plain ASCII, independent of the locale: letter case (INI and registry names, format letters and
// command-line words are matched with these), digits and line breaks.
#pragma once

#include <string_view>

namespace dorvane {

constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether the text holds a carriage return or a line feed: such a text written into one line of
// a file would not read back as that line.
constexpr bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// Whether `what` (not empty) stands in `text` at `pos`, letter case aside.
constexpr bool HasAtIgnoringCase(std::string_view text, std::size_t pos, std::string_view what) {
  return !what.empty() && pos <= text.size() && text.size() - pos >= what.size() &&
         EqualNoCase(text.substr(pos, what.size()), what);
}

}  // namespace dorvane
