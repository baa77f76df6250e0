// The parts of the settings file that reproduce the bill beside the charges table: the billing
// day ([Billing]), the public holidays ([Holidays]), the date from which the table in
// [strgrdCost] is in force (its ValidFrom) and the earlier tables ([strgrdCost YYYY-MM-DD]).
// A file without them reads as the one table for every call and calendar months.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "charges/tariffhistory.h"
#include "platform/profile.h"
#include "platform/regional.h"

namespace dorvane {

inline constexpr const char* kBillingSection = "Billing";
inline constexpr const char* kHolidaysSection = "Holidays";
inline constexpr const char* kFirstDayKey = "FirstDay";
inline constexpr const char* kPricedAsKey = "PricedAs";
inline constexpr const char* kValidFromKey = "ValidFrom";
// More holidays than this are not read: a count typed by hand must not stall the start.
inline constexpr int kMostHolidays = 1000;

struct TariffSettings {
  int billingFirstDay = 1;
  TariffCalendar calendar;

  bool operator==(const TariffSettings& other) const;
};

// "strgrdCost 2025-01-01": the section of a table in force from that day.
std::string DatedChargesSection(TDateTime from);

// Reads the parts through a batch (`LoadTariffSettings`) or straight from the file without a
// lock (`LoadTariffSettingsReadOnly`, for a reader beside a running Dorvane). Each entry that is
// not valid is left out (the default stands in for it) and named in `problems`, one text each:
// "[Billing] FirstDay=31 is not valid and is left out."
TariffSettings LoadTariffSettings(const ProfileFile& file, const RegionalSettings& rs,
                                  std::vector<std::string>* problems);
TariffSettings LoadTariffSettingsReadOnly(const ProfileFile& file, const RegionalSettings& rs,
                                          std::vector<std::string>* problems);

// The same from a snapshot of the file's text, as a reader beside a running Dorvane takes it.
TariffSettings TariffSettingsFromText(std::string_view text, const RegionalSettings& rs,
                                      std::vector<std::string>* problems);

// The problems as one message, one line each.
std::string SettingsProblemsText(const std::vector<std::string>& problems);

// Writes the parts into the batch: [Billing] and [Holidays] when they hold anything but the
// defaults or the file has them already, ValidFrom when the table has a date (removed when it
// has none), every dated table, and removes the dated sections of tables that are gone. The
// cells of the table in force now are SettingsFile::Save's.
void WriteTariffSettings(ProfileEdit& edit, const TariffSettings& settings);

}  // namespace dorvane
