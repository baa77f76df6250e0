// The usual public holidays of a few countries, to fill the holidays list in one step: the days
// every region of the country keeps, fixed or counted from Easter. Days that follow another rule
// (the first Monday of May, the fourth Thursday of November) cannot be listed and are left out.
#pragma once

#include <string>
#include <vector>

#include "charges/holidays.h"

namespace dorvane {

struct HolidayPreset {
  const char* country;
  std::vector<HolidayRule> days;
};

// Germany, Austria, Switzerland, France, the United Kingdom, the United States; in that order.
const std::vector<HolidayPreset>& HolidayPresets();

}  // namespace dorvane
