// Regional settings and every conversion between a value and its text.
// Rules never format or parse numbers, dates or money any other way.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace dorvane {

struct RegionalSettings {
  std::string currencySymbol = "$";
  // Positive currency form: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
  int currencyFormat = 0;
  // Negative currency form, the sixteen classic forms 0 "($1)" ... 15 "(1 $)".
  int negCurrFormat = 0;
  int currencyDecimals = 2;
  std::string thousandSeparator = ",";
  std::string decimalSeparator = ".";
  std::string dateSeparator = "/";
  // Patterns in the classic letters: d dd m mm yy yyyy, h hh n nn s ss z zzz, AMPM am/pm a/p,
  // "/" and ":" stand for the date and time separators, quoted text is literal.
  std::string shortDateFormat = "m/d/yyyy";
  std::string timeSeparator = ":";
  std::string longTimeFormat = "h:nn:ss AMPM";
  // The long time without seconds (the pattern letter "t").
  std::string shortTimeFormat = "h:nn AMPM";
  std::string timeAMString = "AM";
  std::string timePMString = "PM";
  // Abbreviated day names, Sunday first.
  std::array<std::string, 7> shortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> longDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};
  std::array<std::string, 12> shortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> longMonthNames = {"January",   "February", "March",    "April",
                                                "May",       "June",     "July",     "August",
                                                "September", "October",  "November", "December"};

  bool operator==(const RegionalSettings&) const = default;

  // US English: the values used where the operating system leaves a field unset.
  static RegionalSettings UsEnglish();
  // The settings of the locale in force (LC_MONETARY, LC_NUMERIC, LC_TIME of the environment).
  static RegionalSettings FromSystem();
  // The settings of a named OS locale such as "de_DE.UTF-8"; throws Error when it is not installed.
  static RegionalSettings FromLocale(const std::string& localeName);
};

// Whether the AM and PM designators tell the morning from the afternoon: both set and not the
// same. Where they do not, "AMPM" writes nothing and hours are written on the 24-hour clock: a
// 12-hour time without a designator could never be read back.
bool HasAmPmDesignators(const RegionalSettings& rs);

// General number format: at most 15 significant digits, correctly rounded from the exact binary
// value (an exact half away from zero), shortest form, the decimal separator of the settings, no
// thousands separator; an exponent ("1E15", "1,5E-7") only from 1E15 up and below 0.00001.
// Infinity and NaN are written "+Inf", "-Inf", "Nan".
std::string FloatToStr(const RegionalSettings& rs, double value);

// Optional blanks (space, tab), optional sign, digits with at most one decimal separator and at
// least one digit, optional exponent (e or E, optional sign, digits), optional blanks. A value
// beyond the range of a double is refused; one too small for it reads as zero.
// Throws ConvertError "'%s' is not a valid floating point value" with the text as given.
double StrToFloat(const RegionalSettings& rs, std::string_view text);
bool TryStrToFloat(const RegionalSettings& rs, std::string_view text, double& out);

// Decimal integer with optional leading blanks and sign, in the 32-bit range.
// Throws ConvertError "'%s' is not a valid integer value".
int StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, int& out);

// Date-time formatted by a pattern of the classic letters (see RegionalSettings), plus c (short
// date and long time), ddddd (short date), t and tt (short and long time), ddd and dddd (day
// names), mmm and mmmm (month names); "m" straight after an hour is the minute. Throws Error
// for a value that is no date (see DecodeDate).
std::string FormatDateTime(const RegionalSettings& rs, std::string_view pattern, TDateTime value);
// Time of day in the long time format (see HasAmPmDesignators).
std::string TimeToStr(const RegionalSettings& rs, TDateTime value);
// Date in the short date format.
std::string DateToStr(const RegionalSettings& rs, TDateTime value);
// Short date, a blank and the long time; a time of exactly midnight writes the date alone.
std::string DateTimeToStr(const RegionalSettings& rs, TDateTime value);

// Every text that TimeToStr writes, and any text laid out as the long or the short time format
// (the same literal texts, unit characters and designators; blanks optional). Besides that, the
// free form: hours and minutes, optional seconds, after the seconds an optional decimal separator
// and one to three digits of a second ("08:00:00.5" is 500 ms), an optional AM/PM designator
// before or after (the settings' own or AM/PM, any letter case; hours 1 to 12 with it, 0 to 23
// without), with the time separator of the settings and blanks around the parts.
// Throws ConvertError "'%s' is not a valid time".
TDateTime StrToTime(const RegionalSettings& rs, std::string_view text);
bool TryStrToTime(const RegionalSettings& rs, std::string_view text, TDateTime& out);

// A span of time as "hh:nn:ss" with the time separator: rounded to the millisecond first, total
// hours (25:03:00 for 25 hours 3 minutes), a leading minus sign for a negative span. Throws Error
// "Invalid floating point operation" for a span that is not a number (an average over no calls).
std::string DurationToStr(const RegionalSettings& rs, TDateTime span);

// Money in the currency format of the settings: rounded to 15 significant digits, then to the
// currency decimals with a half away from zero; an amount that rounds to zero has no minus sign.
// Throws Error "Invalid floating point operation" for infinity or NaN.
std::string MoneyToStr(const RegionalSettings& rs, double amount);

}  // namespace dorvane
