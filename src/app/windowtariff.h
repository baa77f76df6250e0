// What the main window keeps of the bill between the grid and the settings file: the tariff
// history (the grid shows one of its tables), the holidays and the billing day as loaded and as
// edited since.
#pragma once

#include "charges/tariffbook.h"
#include "settings/tariffsettings.h"

namespace dorvane {

struct WindowTariff {
  TariffSettings loaded;
  TariffBook book;
  std::size_t shown = 0;  // the table in the grid
  Holidays holidays;
};

}  // namespace dorvane
