// The date-time type: days since 30 December 1899 plus the fraction of the day.
#pragma once

#include <cstdint>

namespace dorvane {

using TDateTime = double;

inline constexpr double kMsPerDay = 86400000.0;

struct DateParts {
  int year = 0;
  int month = 0;
  int day = 0;
};

struct TimeParts {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Days from 1 January 1970 to a date of the proleptic Gregorian calendar (month 1 to 12, day 1
// to the month's last), for clocks that count from there.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day);

// Day number of a calendar date; throws Error "Invalid argument to date encode"
// for a date that does not exist (years 1 to 9999).
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);

// Fraction of a day; throws Error "Invalid argument to time encode" unless
// hour 0-23, minute 0-59, second 0-59, millisecond 0-999.
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out);

// Both decoders round the value to the nearest millisecond first, so
// 23:59:59.9996 on a day decodes as 00:00:00.000 of the next day. A value that is not a
// number, or whose date lies outside the years 1 to 9999, throws Error
// "'%s' is not a valid date and time" (DecodeTime only refuses what is not a number at all).
DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);

// 1 = Sunday ... 7 = Saturday, of the day that DecodeDate gives.
int DayOfWeek(TDateTime value);

// The value rounded to the nearest whole millisecond, as a day count.
TDateTime RoundToMillisecond(TDateTime value);

// Whole-day part and time-of-day part, as the platform splits them (the time
// part of a negative date-time counts forward from midnight as well).
TDateTime DatePart(TDateTime value);
TDateTime TimePart(TDateTime value);

// The date of `date` joined with the time of day of `timeOf`.
TDateTime ReplaceDate(TDateTime timeOf, TDateTime date);

}  // namespace dorvane
