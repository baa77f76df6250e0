// Date-time format patterns ("hh:nn:ss", "d/m/yyyy", "h:nn AM/PM", "'kl.' hh.nn"), cut into
// their elements once, the same way for every reader: the text writer, the time reader and the
// pickers that show a format in a control. Letters are matched in either case.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/ascii.h"

namespace dorvane {

struct FormatElement {
  enum class Kind {
    Text,           // literal text: a quoted run (without its quotes) or one plain character
    Day,            // d, dd, ddd (short day name), dddd (long day name), ddddd (short date)
    Month,          // m, mm, mmm (short name), mmmm (long name)
    Year,           // yy, yyyy
    Hour,           // h, hh
    Minute,         // n, nn; and m, mm straight after an hour
    Second,         // s, ss
    Millisecond,    // z, zzz
    DateAndTime,    // c: the short date, then the long time unless it is midnight
    Time,           // t: the short time, tt: the long time
    AmPm,           // "ampm": the settings' own designators
    AmPmLetters,    // "am/pm" or "a/p": the pattern's own letters for morning and afternoon
    DateSeparator,  // "/"
    TimeSeparator,  // ":"
  };
  Kind kind;
  // How many letters of the field were written ("dddd" is 4), capped where more mean nothing.
  std::size_t count = 1;
  // The pattern's own characters for the element; for quoted text, what stands between quotes.
  std::string_view text;

  // The letters an "am/pm" or "a/p" element writes for the morning or the afternoon.
  std::string_view Letters(bool pm) const {
    if (text.size() == 5) return text.substr(pm ? 3 : 0, 2);
    return text.substr(pm ? 2 : 0, 1);
  }
};

// Calls onElement(const FormatElement&) for each element of the pattern, in order. Nested
// formats ("c", "t", "ddddd") are handed on as elements; expanding them is the caller's choice.
template <typename OnElement>
void ForEachFormatElement(std::string_view pattern, OnElement&& onElement) {
  using Kind = FormatElement::Kind;
  bool lastWasHour = false;  // "m" right after an hour is a minute; text in between does not count
  std::size_t i = 0;
  const std::size_t n = pattern.size();
  while (i < n) {
    const char c = pattern[i];
    const char up = AsciiUpper(c);
    std::size_t run = 1;
    while (i + run < n && AsciiUpper(pattern[i + run]) == up) ++run;
    const auto capped = [&](std::size_t most) { return run > most ? most : run; };
    FormatElement element{Kind::Text, 1, {}};
    switch (up) {
      case '"':
      case '\'': {
        const auto close = pattern.find(c, i + 1);
        const auto end = close == std::string_view::npos ? n : close;
        element.text = pattern.substr(i + 1, end - i - 1);
        i = end == n ? n : end + 1;
        if (!element.text.empty()) onElement(element);
        continue;
      }
      case 'D':
        element.kind = Kind::Day;
        break;
      case 'M':
        element.kind = lastWasHour && run <= 2 ? Kind::Minute : Kind::Month;
        break;
      case 'Y':
        element.kind = Kind::Year;
        break;
      case 'H':
        element.kind = Kind::Hour;
        run = capped(2);
        break;
      case 'N':
        element.kind = Kind::Minute;
        run = capped(2);
        break;
      case 'S':
        element.kind = Kind::Second;
        run = capped(2);
        break;
      case 'Z':
        element.kind = Kind::Millisecond;
        run = capped(3);
        break;
      case 'T':
        element.kind = Kind::Time;
        run = capped(2);
        break;
      case 'C':
        element.kind = Kind::DateAndTime;
        run = 1;
        break;
      case 'A':
        if (HasAtIgnoringCase(pattern, i, "ampm")) {
          element.kind = Kind::AmPm;
          run = 4;
        } else if (HasAtIgnoringCase(pattern, i, "am/pm")) {
          element.kind = Kind::AmPmLetters;
          run = 5;
        } else if (HasAtIgnoringCase(pattern, i, "a/p")) {
          element.kind = Kind::AmPmLetters;
          run = 3;
        } else {
          run = 1;
        }
        break;
      case '/':
        element.kind = Kind::DateSeparator;
        run = 1;
        break;
      case ':':
        element.kind = Kind::TimeSeparator;
        run = 1;
        break;
      default:
        run = 1;
        break;
    }
    element.count = run;
    element.text = pattern.substr(i, run);
    i += run;
    switch (element.kind) {
      case Kind::Hour:
        lastWasHour = true;
        break;
      case Kind::Text:
      case Kind::AmPm:
      case Kind::AmPmLetters:
      case Kind::DateSeparator:
      case Kind::TimeSeparator:
        break;
      default:
        lastWasHour = false;
        break;
    }
    onElement(element);
  }
}

}  // namespace dorvane
