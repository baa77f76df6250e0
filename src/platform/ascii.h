// Letter case of plain ASCII, independent of the locale: INI and registry names, format
// letters and command-line words are matched with these.
#pragma once

#include <string_view>

namespace dorvane {

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
