#include "charges/tariffbook.h"

#include <algorithm>

#include "platform/error.h"

namespace dorvane {

TariffBook::TariffBook(ChargeRows current, const TariffCalendar& calendar) {
  for (const DatedCharges& table : calendar.earlier)
    tables_.push_back(Table{table.from, table.rows});
  tables_.push_back(Table{calendar.validFrom, std::move(current)});
  Sort();
}

void TariffBook::Sort() {
  // As CalendarPricing orders them: no day first, and on an equal day the table of the grid
  // (added last) last.
  std::stable_sort(tables_.begin(), tables_.end(), [](const Table& a, const Table& b) {
    if (!a.from || !b.from) return !a.from && b.from;
    return *a.from < *b.from;
  });
}

std::size_t TariffBook::Add(const RegionalSettings& rs, TDateTime from, std::size_t copyOf) {
  for (const Table& t : tables_) {
    if (t.from && *t.from == from) throw Error(FormatMessage(kTableDayTaken, DateToStr(rs, from)));
  }
  tables_.push_back(Table{from, tables_[copyOf].rows});
  Sort();
  for (std::size_t i = 0; i < tables_.size(); ++i) {
    if (tables_[i].from && *tables_[i].from == from) return i;
  }
  return tables_.size() - 1;
}

bool TariffBook::Remove(std::size_t index) {
  if (tables_.size() <= 1 || index >= tables_.size()) return false;
  tables_.erase(tables_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

void TariffBook::Split(ChargeRows& current, TariffCalendar& calendar) const {
  current = tables_.back().rows;
  calendar.validFrom = tables_.back().from;
  calendar.earlier.clear();
  for (std::size_t i = 0; i + 1 < tables_.size(); ++i) {
    calendar.earlier.push_back(
        DatedCharges{tables_[i].from.value_or(EncodeDate(1, 1, 1)), tables_[i].rows});
  }
}

}  // namespace dorvane
