// The charges table: the cell texts of a charge band, the header captions, and reading a band
// back as days, a time window and four numbers. The grid's cells are the table; these functions
// work on their texts.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "charges/chargerow.h"
#include "charges/pricing.h"
#include "platform/datetime.h"
#include "platform/regional.h"

namespace dorvane {

// Weekdays by number, 1 = Sunday ... 7 = Saturday; index 0 is unused.
using DaySet = std::array<bool, 8>;

// The header captions of the six columns, with the currency symbol of the settings.
std::array<std::string, kChargeColumns> CostHeaderCaptions(const RegionalSettings& rs);

// The name a Days cell uses for a day 1..7: its abbreviated name, or its full name when another
// day has the same abbreviation, so that each day reads back as itself.
const std::string& BandDayName(const RegionalSettings& rs, int day);
// The names of the chosen days, Sunday first, joined by ", "; empty for no day.
std::string DaysText(const RegionalSettings& rs, const DaySet& days);
// From-time " - " to-time, each in the long time format.
std::string TimeWindowText(const RegionalSettings& rs, TDateTime from, TDateTime to);

// Writes a band into a row: the Days cell unless the row is the catch-all band (the last row),
// then the Time cell, then the four numbers as typed.
void WriteChargeBand(const RegionalSettings& rs, ChargeRow& row, bool isLastRow, const DaySet& days,
                     TDateTime from, TDateTime to, const std::array<std::string, 4>& numberTexts);

// True when the Days cell names the day (case-sensitive). A cell that is a ", "-separated list
// of BandDayName texts names exactly its items; in any other text the day's abbreviated name may
// stand anywhere, as tables typed by hand expect.
bool BandHasDay(const RegionalSettings& rs, int day, std::string_view daysCell);

// The hours and minutes of a Time cell's two limits; seconds do not count.
struct TimeWindow {
  int fromHour = 0;
  int fromMinute = 0;
  int toHour = 0;
  int toMinute = 0;

  // Both limits included, to the minute.
  bool Contains(int hour, int minute) const;
};

// Splits the Time cell at its first " - ": the from-part ends before it, the to-part starts after
// it (at most 255 characters). A cell without " - " is split at its first hyphen: the from-part
// ends two characters before it, the to-part starts two after it. Throws ConvertError "'%s' is not
// a valid time" for a part that is no time (a cell without a hyphen has an empty from-part).
void SplitTimeCell(std::string_view timeCell, std::string_view& fromPart, std::string_view& toPart);
TimeWindow ReadTimeWindow(const RegionalSettings& rs, std::string_view timeCell);
bool BandHasTime(const RegionalSettings& rs, int hour, int minute, std::string_view timeCell);

// The four numbers of columns 2 to 5, converted in that order. Throws ConvertError "'%s' is not a
// valid floating point value" for the first that is no number.
BandRates ReadChargeBand(const RegionalSettings& rs, const ChargeRow& row);

}  // namespace dorvane
