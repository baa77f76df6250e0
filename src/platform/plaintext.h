// Texts written the same way in every locale, for files and command lines that other programs
// read: whole and decimal numbers with a point, ISO dates ("YYYY-MM-DD"), CSV fields and HTML
// text. Texts for people go through the regional settings instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace dorvane {

// Exactly `digits` decimal digits into `out`.
bool ReadFixedDigits(std::string_view text, std::size_t digits, int& out);
// `value` with leading zeros to `width` digits.
void AppendFixedDigits(std::string& text, int value, int width);

// "YYYY-MM-DD" and the day number it names; nothing for a malformed or impossible date.
std::optional<TDateTime> ParseIsoDay(std::string_view text);
// "2026-07-01".
std::string IsoDayText(TDateTime day);
// "1999-01-12T17:58:30": rounded to the millisecond, the milliseconds dropped, as the window
// shows times.
std::string IsoDateTime(TDateTime value);
// "1999-01": the calendar month of a date-time.
std::string IsoMonth(TDateTime value);

// "42", "-7": a whole number, no grouping.
std::string WholeNumber(std::int64_t value);
// A decimal number with a point, no grouping, no exponent: rounded to 15 significant digits,
// trailing zeros dropped ("1.5", "0.433333333333333", "-2", "0"). Infinity and NaN are written
// "inf", "-inf" and "nan".
std::string PlainNumber(double value);
// The shortest text that reads back as the same number, with a point ("1e+308", "0.1"): for
// messages that quote a value as it was read.
std::string ShortestNumber(double value);

// A field as RFC 4180 writes it: in double quotes, quotes doubled, when it holds a comma, a
// quote, a CR or an LF; otherwise as it is.
std::string CsvField(std::string_view text);
// Text for HTML content and attribute values: & < > " ' escaped.
std::string HtmlEscape(std::string_view text);

}  // namespace dorvane
