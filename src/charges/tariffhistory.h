// The tariff over time: the charges table in force now, the tables that were in force before it,
// and the public holidays. A call is priced with the table in force on the date it started, and
// on a holiday as if the day were the holidays' chosen weekday.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "charges/chargerow.h"
#include "charges/gridpricing.h"
#include "charges/holidays.h"
#include "charges/pricing.h"

namespace dorvane {

// A table of the history and the first day it prices (from 00:00).
struct DatedCharges {
  TDateTime from = 0;
  ChargeRows rows;
};

// What prices a call beside the table the grid holds: the date from which that table is in
// force, the earlier tables and the holidays. Empty, it leaves the one table to price every
// call on its own weekday.
struct TariffCalendar {
  std::optional<TDateTime> validFrom;  // of the table in force now; nothing: from the start
  std::vector<DatedCharges> earlier;   // in any order
  Holidays holidays;

  bool Plain() const { return !validFrom && earlier.empty() && holidays.Empty(); }
};

// The order of a history's tables by their first day, a table without one (the earliest) first.
// Sorted stably by it, the table of the grid, added last, stays last among tables of one day.
inline bool FirstDayBefore(const std::optional<TDateTime>& a, const std::optional<TDateTime>& b) {
  if (!a || !b) return !a && b;
  return *a < *b;
}

// Prices calls with the table in force on the date of their start: the one whose first day is
// the latest not after that date, and for a call before every first day the earliest table.
// The table of the grid without a date counts as the earliest; on equal dates it wins. All three
// prices come from that one table. The rows and the calendar must outlive the pricing.
class CalendarPricing : public CallPricing {
 public:
  CalendarPricing(const RegionalSettings& rs, const ChargeRows& current,
                  const TariffCalendar& calendar);

  // The table that prices a call starting at `start`.
  const GridPricing& TableAt(TDateTime start) const;

  double CallCost(TDateTime start, TDateTime end) const override;
  PricedCall Prices(TDateTime start, TDateTime end) const override;

 private:
  struct Table {
    std::optional<TDateTime> from;  // nothing: the earliest
    std::unique_ptr<GridPricing> pricing;
  };
  int DayOf(TDateTime start) const;

  const Holidays& holidays_;
  std::vector<Table> tables_;  // by first day, the earliest first
};

}  // namespace dorvane
