#include "charges/holidaypresets.h"

namespace dorvane {

namespace {

// The days as the settings file writes them.
struct PresetText {
  const char* country;
  std::vector<const char*> days;
};

const PresetText kPresets[] = {
    // Nationwide days only; the states add their own.
    {"Germany",
     {"01-01", "Easter-2", "Easter+1", "05-01", "Easter+39", "Easter+50", "10-03", "12-25",
      "12-26"}},
    {"Austria",
     {"01-01", "01-06", "Easter+1", "05-01", "Easter+39", "Easter+50", "Easter+60", "08-15",
      "10-26", "11-01", "12-08", "12-25", "12-26"}},
    // The federal day and the days nearly every canton keeps.
    {"Switzerland",
     {"01-01", "Easter-2", "Easter+1", "Easter+39", "Easter+50", "08-01", "12-25", "12-26"}},
    {"France",
     {"01-01", "Easter+1", "05-01", "05-08", "Easter+39", "Easter+50", "07-14", "08-15", "11-01",
      "11-11", "12-25"}},
    // England and Wales; the May and August bank holidays fall on Mondays and are not listed.
    {"United Kingdom", {"01-01", "Easter-2", "Easter+1", "12-25", "12-26"}},
    // The federal holidays on fixed dates; those on a Monday or Thursday of a month are not.
    {"United States", {"01-01", "06-19", "07-04", "11-11", "12-25"}},
};

std::vector<HolidayPreset> MakePresets() {
  std::vector<HolidayPreset> presets;
  for (const PresetText& p : kPresets) {
    HolidayPreset preset{p.country, {}};
    for (const char* day : p.days) preset.days.push_back(*ParseHolidayRule(day));
    presets.push_back(std::move(preset));
  }
  return presets;
}

}  // namespace

const std::vector<HolidayPreset>& HolidayPresets() {
  static const std::vector<HolidayPreset> presets = MakePresets();
  return presets;
}

}  // namespace dorvane
