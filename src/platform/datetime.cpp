#include "platform/datetime.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/error.h"
#include "platform/plaintext.h"

namespace dorvane {

namespace {

constexpr std::int64_t kMsPerDayInt = 86400000;
// Day numbers of 1 January 0001 and 31 December 9999.
constexpr std::int64_t kFirstDay = -693593;
constexpr std::int64_t kLastDay = 2958465;
// Day 0 (30 December 1899) counted from 1 January 1970.
constexpr std::int64_t kUnixOffset = 25569;
// Far beyond any date; keeps the millisecond count well inside 64 bits.
constexpr double kLargestSpan = 1e13;

[[noreturn]] void ThrowBadValue(double value) {
  throw Error(FormatMessage("'%s' is not a valid date and time", ShortestNumber(value)));
}

DateParts CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return DateParts{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// The value as a whole number of milliseconds, a half rounded away from zero.
std::int64_t TotalMilliseconds(double value) {
  if (!std::isfinite(value) || std::fabs(value) > kLargestSpan) ThrowBadValue(value);
  return std::llround(value * kMsPerDay);
}

// Whole days of a millisecond count, truncated towards zero as the date part is.
std::int64_t WholeDays(std::int64_t totalMs) {
  return totalMs / kMsPerDayInt;
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The proleptic Gregorian calendar counted in eras of 400 years (146097 days), from 1 March so
// that a leap day ends its year.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const auto m = static_cast<unsigned>(month);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(day) - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return false;
  }
  out = static_cast<double>(DaysFromCivil(year, month, day) + kUnixOffset);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime out = 0;
  if (!TryEncodeDate(year, month, day, out)) throw Error("Invalid argument to date encode");
  return out;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999) {
    return false;
  }
  const std::int64_t ms =
      ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
  out = static_cast<double>(ms) / kMsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime out = 0;
  if (!TryEncodeTime(hour, minute, second, millisecond, out)) {
    throw Error("Invalid argument to time encode");
  }
  return out;
}

DateParts DecodeDate(TDateTime value) {
  const std::int64_t days = WholeDays(TotalMilliseconds(value));
  if (days < kFirstDay || days > kLastDay) ThrowBadValue(value);
  return CivilFromDays(days - kUnixOffset);
}

TimeParts DecodeTime(TDateTime value) {
  std::int64_t ms = TotalMilliseconds(value) % kMsPerDayInt;
  if (ms < 0) ms = -ms;  // a negative date-time's time counts forward from midnight too
  TimeParts t;
  t.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  t.second = static_cast<int>(ms % 60);
  ms /= 60;
  t.minute = static_cast<int>(ms % 60);
  t.hour = static_cast<int>(ms / 60);
  return t;
}

int DayOfWeek(TDateTime value) {
  const std::int64_t days = WholeDays(TotalMilliseconds(value));
  // Day 0 was a Saturday.
  const auto rest = static_cast<int>(((days % 7) + 7) % 7);
  return rest == 0 ? 7 : rest;
}

TDateTime RoundToMillisecond(TDateTime value) {
  return static_cast<double>(TotalMilliseconds(value)) / kMsPerDay;
}

TDateTime DatePart(TDateTime value) {
  return std::trunc(value);
}

TDateTime TimePart(TDateTime value) {
  return std::fabs(value - std::trunc(value));
}

TDateTime ReplaceDate(TDateTime timeOf, TDateTime date) {
  const double day = std::trunc(date);
  const double time = TimePart(timeOf);
  return day < 0 ? day - time : day + time;
}

}  // namespace dorvane
