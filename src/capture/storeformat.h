// The call store's format, the one place that knows how its lines are formed and read. The store
// is an INI file: month sections ("[1999-7]") in calendar order, and in each the calls that start
// in that month as "start=end" lines of date-time numbers in the store's notation, CR LF after
// every line.
//
// Two readers of one format. The reports, the report period and the logbook read every line of
// the store as it stands (ParseCallLine): a section line is skipped and any other line is a call,
// so a damaged line is an error naming it. The merge and the rebuild in order read it as the
// profile functions read an INI file (ReadStoreLine: names and values trimmed, comment lines
// skipped, values unquoted): the store has always been written, and a call found held or not,
// through those functions, and stores edited by hand with blanks around "=" or quotes around an
// end must keep their calls held and their lines as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/datetime.h"
#include "platform/linereader.h"
#include "platform/regional.h"

namespace dorvane {

// ---------------------------------------------------------------------------------------------
// Months

// A month as one number, year * 12 + month - 1: months compare in calendar order.
using StoreMonth = std::int32_t;

// The month a date-time lies in.
StoreMonth MonthOf(TDateTime value);

// "1999-7", "1999-12": the section name of a month, year and month without leading zeros.
std::string MonthSectionName(StoreMonth month);
std::string MonthSectionName(TDateTime value);

// The month of a section named "1999-7" (digits only, a month of 1 to 12); nullopt for any other
// name.
std::optional<StoreMonth> SectionMonth(std::string_view name);

// "[1999-7]": the section line of a month, without its line end.
std::string SectionLine(StoreMonth month);

// ---------------------------------------------------------------------------------------------
// Call lines

// The line end of every line the store's writers write.
inline constexpr std::string_view kStoreLineEnd = "\r\n";

// The two notations the store's numbers are written in: a decimal point, a decimal comma.
const RegionalSettings& StorePointNotation();
const RegionalSettings& StoreCommaNotation();

// A date-time as the store writes it: general number format, 15 significant digits, the
// decimal separator of the settings.
std::string DateTimeText(const RegionalSettings& rs, TDateTime value);

// "start=end": a call line, without its line end.
std::string CallLine(std::string_view startText, std::string_view endText);
std::string CallLine(const RegionalSettings& rs, TDateTime start, TDateTime end);

// The reports' grammar, one line of the store at a time: false for an empty line or a line
// starting with "[" (a month section); otherwise true, with the start (the text before the first
// "=") and the end (what follows it, at most 255 characters) of the call line. A line without "="
// gives an empty start and an empty end.
bool ParseCallLine(std::string_view line, std::string_view& startText, std::string_view& endText);

// A start or end text of the store as a date-time. A store number never has a thousands
// separator, so a point and a comma both read as the decimal separator, whatever the settings
// say: a store that earlier versions wrote under two notations reads as it was meant. False for
// a text that is no number, or a number that is no date (before year 1 or after 9999).
bool TryStoreDateTime(const RegionalSettings& rs, std::string_view text, TDateTime& out);

// One call line read by a report or the report period: its start and end (the end only when
// `withEnd`). Throws Error naming the store and its 1-based line for a line without "=", a
// text that is not a number or not a date, a byte-order mark or a control character:
// "Line 3 of /home/u/dorvane.DB: '46358.4x' is not a valid floating point value".
struct StoreCall {
  TDateTime start = 0;
  TDateTime end = 0;
};
StoreCall ReadStoreCall(const RegionalSettings& rs, std::string_view line,
                        std::string_view storePath, std::uint64_t lineNumber, bool withEnd = true);

// Reads the store's lines in file order, the reports' and the report period's one walk over the
// store: each call line (ParseCallLine) is read by ReadStoreCall, with its 1-based line number,
// and handed to onCall; after every line, call line or not, afterLine gets the line. A line
// that is no call ends the walk with ReadStoreCall's error. Whether the file was read to its end
// is the lines' Failed().
template <typename OnCall, typename AfterLine>
void ReadStoreCalls(LineSource& lines, const RegionalSettings& rs, std::string_view storePath,
                    bool withEnd, OnCall&& onCall, AfterLine&& afterLine) {
  std::string_view line;
  std::string_view startText;
  std::string_view endText;
  std::uint64_t lineNumber = 0;
  while (lines.Next(line)) {
    ++lineNumber;
    if (ParseCallLine(line, startText, endText)) {
      onCall(ReadStoreCall(rs, line, storePath, lineNumber, withEnd));
    }
    afterLine(line);
  }
}

// The merge's grammar (the profile functions'): a blank or comment line, a section line (its
// trimmed name), or a call line (its trimmed start text and its end, trimmed but still quoted;
// `hasEnd` false for a line without "=").
enum class StoreLineKind { Blank, Comment, Section, Call };
struct StoreLine {
  StoreLineKind kind = StoreLineKind::Blank;
  std::string_view name;  // a section's name, or a call's start text
  std::string_view end;
  bool hasEnd = false;
};
StoreLine ReadStoreLine(std::string_view line);

// A call line's end as the profile functions read it: unquoted, at most 1023 characters.
std::string StoreEndText(std::string_view end);

}  // namespace dorvane
