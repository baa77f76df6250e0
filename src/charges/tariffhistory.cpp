#include "charges/tariffhistory.h"

#include <algorithm>

namespace dorvane {

CalendarPricing::CalendarPricing(const RegionalSettings& rs, const ChargeRows& current,
                                 const TariffCalendar& calendar)
    : holidays_(calendar.holidays) {
  for (const DatedCharges& table : calendar.earlier) {
    tables_.push_back(Table{table.from, std::make_unique<GridPricing>(rs, table.rows)});
  }
  // Sorting is stable and the grid's table goes last, so on an equal date it is the one found.
  tables_.push_back(Table{calendar.validFrom, std::make_unique<GridPricing>(rs, current)});
  std::stable_sort(tables_.begin(), tables_.end(),
                   [](const Table& a, const Table& b) { return FirstDayBefore(a.from, b.from); });
}

const GridPricing& CalendarPricing::TableAt(TDateTime start) const {
  if (tables_.size() == 1) return *tables_.front().pricing;
  const DateParts d = DecodeDate(start);
  const TDateTime day = EncodeDate(d.year, d.month, d.day);
  const Table* found = &tables_.front();
  for (const Table& table : tables_) {
    if (table.from && *table.from > day) break;
    found = &table;
  }
  return *found->pricing;
}

int CalendarPricing::DayOf(TDateTime start) const {
  return holidays_.PricingDay(RoundToMillisecond(start));
}

double CalendarPricing::CallCost(TDateTime start, TDateTime end) const {
  return TableAt(start).CallCostOn(DayOf(start), start, end);
}

PricedCall CalendarPricing::Prices(TDateTime start, TDateTime end) const {
  return TableAt(start).PricesOn(DayOf(start), start, end);
}

}  // namespace dorvane
