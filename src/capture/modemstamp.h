// The time stamp at the head of every modem-log line, "MM-DD-YYYY hh:nn:ss.cc" in fixed columns:
// written by the driver and by the pppd hook, read by the log import, the log check and the
// call in progress. Its columns are known here only.
#pragma once

#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace dorvane {

// The stamp's shape ('0' stands for a digit).
inline constexpr std::string_view kModemStampShape = "00-00-0000 00:00:00.00";

// The hundredths are kept as milliseconds: they have always been counted so, and the keys
// already in every store depend on it.
struct ModemStamp {
  DateParts date;
  TimeParts time;
};

// The stamp's fields, converted in column order. A line that stops inside or before a field
// yields what is there, which then fails: throws ConvertError "'%s' is not a valid integer
// value" for the first field that is not a number.
ModemStamp ReadModemStamp(std::string_view line);

// The stamp as the driver writes it, each field zero-padded in its columns ("07-30-1998
// 20:14:03.25"); read back by ReadModemStamp as the same fields.
std::string ModemStampText(const ModemStamp& stamp);

// The date-time a stamp stands for: the call store's key of a call that starts then. Throws
// Error "Invalid argument to date encode" / "Invalid argument to time encode" for an impossible
// date or time.
TDateTime ModemStampDateTime(const ModemStamp& stamp);

// ModemStampDateTime(ReadModemStamp(line)).
TDateTime LogLineToDateTime(std::string_view line);

// True when the line begins with a stamp of a date and time that exist.
bool IsModemTimeStamp(std::string_view line);

}  // namespace dorvane
