// Changing the charges table: what the band editor shows and hands back, and the table's own
// changes (a new band at the top, a band removed, the catch-all band's costs cleared).
#pragma once

#include <array>
#include <optional>
#include <string>

#include "charges/chargerow.h"
#include "charges/chargestable.h"
#include "platform/regional.h"

namespace dorvane {

inline constexpr const char* kDeleteLineQuestion = "Delete this line?";
inline constexpr const char* kTimeIntervalBackwards =
    "Time interval ends before it has even started";
inline constexpr const char* kLockedBandNote =
    "You cannot change the time interval of this last entry, which must always be set to all "
    "days and all time. To specify you own interval, click on New in the Options page of Dorvane.";

// The editor's controls as values: the ticked days, the two times, the four number texts as
// typed, and whether days and times are locked (the catch-all band).
struct BandEditorValues {
  DaySet days{};
  TDateTime from = 0;
  TDateTime to = 0;
  std::array<std::string, 4> numbers{"0", "0", "0", "0"};
  bool locked = false;
};

// The display format of the editor's two time pickers: the long time format of the settings in
// the pickers' own pattern letters (h hh m mm s ss z zzz, AP or ap for the designator, literal
// text in single quotes where it holds letters). A 12-hour clock only where the settings' AM/PM
// designators tell the two halves of the day apart, as TimeToStr writes it.
std::string TimePickerFormat(const RegionalSettings& rs);

// Every day ticked, 00:00:00 to 23:59:59, the three costs "0"; the minimum period keeps its text.
void ResetCostEditor(BandEditorValues& v);
// Loads a row: the days it names (all, and locked, for the catch-all band), its times when its
// Time cell is not empty, and every number cell that is not empty. Throws ConvertError "'%s' is
// not a valid time" for a Time cell that does not convert, before anything changes.
void BandToEditor(const RegionalSettings& rs, const ChargeRow& row, BandEditorValues& v);

// The check made when the editor is closed with OK: the first number text that does not convert
// raises ConvertError "'%s' is not a valid floating point value"; a to-time before the from-time
// gives false. True when the band may be written.
bool EditorTimesInOrder(const RegionalSettings& rs, const BandEditorValues& v);

// A new band as row 1: every band moves down one row, the catch-all band stays last.
void InsertBandAtTop(const RegionalSettings& rs, ChargeRows& rows, const BandEditorValues& v);
// Writes the editor's values into an existing row (index 0 = row 1).
void WriteBandFromEditor(const RegionalSettings& rs, ChargeRows& rows, std::size_t index,
                         const BandEditorValues& v);
// Removes the band at index; the catch-all band (the last row) stays and only its three costs
// become "0". Returns the row to select afterwards: the same row number, within the rows left.
std::size_t DeleteBand(ChargeRows& rows, std::size_t index);

}  // namespace dorvane
