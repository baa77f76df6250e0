// The command line of dorvane-report: its options, their checks, and the usage texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/datetime.h"
#include "platform/options.h"

namespace dorvane {

enum class ReportFormat { Text, Csv, Monthly, MonthlyCsv, Html };

// --period: the billing period that holds today, or the one before it.
enum class BillingPeriodChoice { Current, Previous };

struct ReportOptions {
  bool help = false;
  bool version = false;
  ReportFormat format = ReportFormat::Text;
  bool logbook = false;
  // Days as day numbers (midnight); the period's own times are added by ReportPeriodFor.
  std::optional<TDateTime> fromDay;
  std::optional<TDateTime> toDay;
  std::optional<TDateTime> today;
  // Set by --period; the days follow from today and the billing day of the settings file.
  std::optional<BillingPeriodChoice> billingPeriod;
  std::optional<std::string> settingsFile;
  std::optional<std::string> storeFile;
  // Settings files whose charges tables price the same calls, in the order given.
  std::vector<std::string> tariffFiles;
};

inline constexpr const char* kReportProgram = "dorvane-report";
inline constexpr const char* kReportVersionLine = "dorvane-report " DORVANE_VERSION;

// The whole option list, for --help.
extern const char* const kReportUsage;
// The lines printed after an argument error.
extern const char* const kReportShortUsage;

// Reads the arguments after the program name with ReadCommandLine (--tariff is the one list).
// Throws UsageError for what it refuses, for any argument that is not an option, a malformed
// value, --month or --period together with another of --from, --to, --month and --period,
// --logbook with a format other than text, and a first day after the last.
ReportOptions ParseReportArguments(const std::vector<std::string>& args);

}  // namespace dorvane
