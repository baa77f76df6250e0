#include "charges/tariffbook.h"

#include <algorithm>

#include "platform/error.h"

namespace dorvane {

TariffBook::TariffBook(ChargeRows current, const TariffCalendar& calendar) {
  for (const DatedCharges& table : calendar.earlier)
    tables_.push_back(Table{table.from, table.rows});
  tables_.push_back(Table{calendar.validFrom, std::move(current), true});
  Sort();
}

void TariffBook::Sort() {
  // As CalendarPricing orders them.
  std::stable_sort(tables_.begin(), tables_.end(),
                   [](const Table& a, const Table& b) { return FirstDayBefore(a.from, b.from); });
}

std::size_t TariffBook::InForceNow() const {
  for (std::size_t i = 0; i < tables_.size(); ++i) {
    if (tables_[i].inGridSection) return i;
  }
  return tables_.size() - 1;
}

std::size_t TariffBook::InForceOn(TDateTime day) const {
  std::size_t found = 0;
  for (std::size_t i = 0; i < tables_.size(); ++i) {
    if (tables_[i].from && *tables_[i].from > day) break;
    found = i;
  }
  return found;
}

void TariffBook::KeepInGridSection(std::size_t index) {
  for (std::size_t i = 0; i < tables_.size(); ++i) tables_[i].inGridSection = i == index;
}

std::size_t TariffBook::Add(const RegionalSettings& rs, TDateTime from, std::size_t copyOf,
                            TDateTime today) {
  for (const Table& t : tables_) {
    if (t.from && *t.from == from) throw Error(FormatMessage(kTableDayTaken, DateToStr(rs, from)));
  }
  tables_.push_back(Table{from, tables_[copyOf].rows, false});
  Sort();
  // Older versions read [strgrdCost] alone: it holds the table in force today.
  KeepInGridSection(InForceOn(DatePart(today)));
  for (std::size_t i = 0; i < tables_.size(); ++i) {
    if (tables_[i].from && *tables_[i].from == from) return i;
  }
  return tables_.size() - 1;
}

bool TariffBook::Remove(std::size_t index, TDateTime today) {
  if (tables_.size() <= 1 || index >= tables_.size()) return false;
  tables_.erase(tables_.begin() + static_cast<std::ptrdiff_t>(index));
  KeepInGridSection(InForceOn(DatePart(today)));
  return true;
}

void TariffBook::Split(ChargeRows& current, TariffCalendar& calendar) const {
  const std::size_t grid = InForceNow();
  current = tables_[grid].rows;
  calendar.validFrom = tables_[grid].from;
  calendar.earlier.clear();
  for (std::size_t i = 0; i < tables_.size(); ++i) {
    if (i == grid) continue;
    calendar.earlier.push_back(
        DatedCharges{tables_[i].from.value_or(EncodeDate(1, 1, 1)), tables_[i].rows});
  }
}

}  // namespace dorvane
