// The tariff history as the Options page edits it: every charges table with the day it starts,
// the earliest first; the grid shows and edits one of them at a time.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "charges/chargerow.h"
#include "charges/tariffhistory.h"

namespace dorvane {

inline constexpr const char* kTableDayTaken = "A charges table already starts on %s";

class TariffBook {
 public:
  // The table of the grid (in force now) and the earlier ones of the calendar.
  TariffBook(ChargeRows current, const TariffCalendar& calendar);

  std::size_t Count() const { return tables_.size(); }
  // The first day of a table; nothing for a table without one (the earliest, in force from the
  // start).
  const std::optional<TDateTime>& From(std::size_t index) const { return tables_[index].from; }
  const ChargeRows& Rows(std::size_t index) const { return tables_[index].rows; }
  void SetRows(std::size_t index, ChargeRows rows) { tables_[index].rows = std::move(rows); }
  // The table the settings file keeps in [strgrdCost]: the one it held there until the user
  // adds or removes a table, then the one in force on that day.
  std::size_t InForceNow() const;
  // The table that prices a day: the latest first day not after it, else the earliest table.
  std::size_t InForceOn(TDateTime day) const;

  // A new table from `from`, a copy of the table `copyOf`; returns its index. Throws Error
  // kTableDayTaken (the day in the short date format) when a table starts that day already.
  std::size_t Add(const RegionalSettings& rs, TDateTime from, std::size_t copyOf, TDateTime today);
  // Removes a table; the last one left is never removed (false then).
  bool Remove(std::size_t index, TDateTime today);

  // The table in force now and the calendar's dates and earlier tables, as the settings file
  // keeps them. The earliest table, when it has no first day and others follow it, is kept
  // under the first day of the calendar (0001-01-01): a call before every first day is priced
  // with the earliest table whatever its day.
  void Split(ChargeRows& current, TariffCalendar& calendar) const;

 private:
  struct Table {
    std::optional<TDateTime> from;
    ChargeRows rows;
    bool inGridSection = false;  // the table of [strgrdCost]
  };
  void Sort();
  void KeepInGridSection(std::size_t index);

  std::vector<Table> tables_;
};

}  // namespace dorvane
