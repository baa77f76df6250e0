// Reading a charges table's cells from a section of the settings file, shared by the table in
// force now ("strgrdCost") and the dated tables of the tariff history.
#pragma once

#include <algorithm>
#include <string_view>

#include "charges/chargerow.h"
#include "platform/profile.h"
#include "settings/settingsfile.h"

namespace dorvane {

// The bands from a batch or straight from the file: both read a key the same way. A missing or
// unreadable count gives one band; every missing cell the catch-all band's text of its column.
template <typename Source>
ChargeRows ReadChargeRows(const Source& source, std::string_view section,
                          const RegionalSettings& rs) {
  const ChargeRow defaults = DefaultChargeCells(rs);
  int count = 0;
  if (!ParseProfileInteger(source.ReadString(section, "Count", ""), count)) count = 1;
  count = std::clamp(count, 1, kMostChargeBands);
  ChargeRows rows(static_cast<std::size_t>(count));
  for (int r = 1; r <= count; ++r) {
    ChargeRow& row = rows[static_cast<std::size_t>(r - 1)];
    for (int c = 0; c < kChargeColumns; ++c) {
      row[static_cast<std::size_t>(c)] =
          source.ReadString(section, ChargeCellKey(c, r), defaults[static_cast<std::size_t>(c)]);
    }
  }
  return rows;
}

}  // namespace dorvane
