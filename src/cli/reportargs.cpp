#include "cli/reportargs.h"

#include "platform/plaintext.h"

namespace dorvane {

const char* const kReportUsage =
    "Usage: dorvane-report [OPTION]...\n"
    "Prints the costs analysis of a report period from Dorvane's call store, priced with its\n"
    "charges table: as the window shows it, as the logbook report, as CSV, per month, or as an\n"
    "HTML page with a chart.\n"
    "\n"
    "Report period (without one: from the day of the first stored call to the day of the last):\n"
    "  --from DATE        first day of the period, YYYY-MM-DD, from 00:00:00\n"
    "  --to DATE          last day of the period, YYYY-MM-DD, up to 23:59:59\n"
    "  --month YYYY-MM    one calendar month\n"
    "  --period current|previous\n"
    "                     the billing period that holds today, or the one before it; it\n"
    "                     begins on the billing day of the settings file ([Billing] FirstDay,\n"
    "                     1 when there is none: the calendar month)\n"
    "  --today DATE       the day taken as today, YYYY-MM-DD (default: the clock's)\n"
    "\n"
    "Output:\n"
    "  --format FORMAT    text (default), csv, monthly, monthly-csv or html; monthly,\n"
    "                     monthly-csv and the html chart group by billing period (named by\n"
    "                     its first day, YYYY-MM-DD) when the billing day is not 1\n"
    "  --logbook          with the text format: the logbook report instead of the analysis\n"
    "  --tariff FILE      what the period would have cost under the charges table of another\n"
    "                     settings file, and the difference; repeat it to rank several tables,\n"
    "                     cheapest first\n"
    "\n"
    "Files (default: dorvane.INI and dorvane.DB, found as Dorvane finds them):\n"
    "  --settings FILE    the settings file that holds the charges table\n"
    "  --store FILE       the call store\n"
    "\n"
    "  --help             print this help and exit\n"
    "  --version          print the version and exit\n"
    "\n"
    "Calls are priced with the charges table in force on the day they started and public\n"
    "holidays as the weekday the settings file names, for the own and every other table.\n"
    "\n"
    "Neither file is written or locked. Texts follow the regional settings of the environment\n"
    "(LC_ALL, LC_MONETARY, LC_NUMERIC, LC_TIME); CSV numbers always have a decimal point.\n"
    "Exit status: 0 done, 1 a file that cannot be read or a line that does not convert,\n"
    "2 wrong arguments.\n";

const char* const kReportShortUsage =
    "Usage: dorvane-report [--from DATE] [--to DATE] [--month YYYY-MM]\n"
    "                      [--period current|previous] [--today DATE]\n"
    "                      [--format text|csv|monthly|monthly-csv|html] [--logbook]\n"
    "                      [--tariff FILE]... [--settings FILE] [--store FILE]\n"
    "Try 'dorvane-report --help' for more information.\n";

namespace {

// "1999-01": year and month.
bool ParseIsoMonth(std::string_view text, int& year, int& month) {
  return text.size() == 7 && text[4] == '-' && ReadFixedDigits(text.substr(0, 4), 4, year) &&
         ReadFixedDigits(text.substr(5, 2), 2, month) && year >= 1 && month >= 1 && month <= 12;
}

ReportFormat ParseFormat(std::string_view text) {
  if (text == "text") return ReportFormat::Text;
  if (text == "csv") return ReportFormat::Csv;
  if (text == "monthly") return ReportFormat::Monthly;
  if (text == "monthly-csv") return ReportFormat::MonthlyCsv;
  if (text == "html") return ReportFormat::Html;
  throw UsageError("unknown format '" + std::string(text) +
                   "' (text, csv, monthly, monthly-csv or html)");
}

TDateTime DateValue(std::string_view option, std::string_view text) {
  std::optional<TDateTime> day = ParseIsoDay(text);
  if (!day) {
    throw UsageError("'" + std::string(text) + "' is not a date of the form YYYY-MM-DD (" +
                     std::string(option) + ")");
  }
  return *day;
}

template <typename T>
void SetOnce(std::optional<T>& slot, std::string_view option, T value) {
  if (slot) throw UsageError("option '" + std::string(option) + "' given twice");
  slot = std::move(value);
}

}  // namespace

ReportOptions ParseReportArguments(const std::vector<std::string>& args) {
  ReportOptions o;
  std::optional<TDateTime> from;
  std::optional<TDateTime> to;
  std::optional<std::string> month;
  std::optional<ReportFormat> format;
  static constexpr KnownOption kOptions[] = {{"--from", true},     {"--to", true},
                                             {"--month", true},    {"--today", true},
                                             {"--format", true},   {"--tariff", true, true},
                                             {"--settings", true}, {"--store", true},
                                             {"--period", true},   {"--logbook"}};
  const CommandLine line = ReadCommandLine(args, kOptions);
  o.help = line.help;
  o.version = line.version;
  if (!line.operands.empty()) throw UsageError("unexpected argument '" + line.operands[0] + "'");
  for (const auto& [name, value] : line.options) {
    if (name == "--logbook") {
      o.logbook = true;
    } else if (name == "--from") {
      SetOnce(from, name, DateValue(name, value));
    } else if (name == "--to") {
      SetOnce(to, name, DateValue(name, value));
    } else if (name == "--month") {
      int y = 0;
      int m = 0;
      if (!ParseIsoMonth(value, y, m)) {
        throw UsageError("'" + value + "' is not a month of the form YYYY-MM (--month)");
      }
      SetOnce(month, name, value);
    } else if (name == "--period") {
      if (value != "current" && value != "previous") {
        throw UsageError("unknown period '" + value + "' (current or previous)");
      }
      SetOnce(o.billingPeriod, name,
              value == "current" ? BillingPeriodChoice::Current : BillingPeriodChoice::Previous);
    } else if (name == "--today") {
      SetOnce(o.today, name, DateValue(name, value));
    } else if (name == "--format") {
      SetOnce(format, name, ParseFormat(value));
    } else if (name == "--tariff") {
      o.tariffFiles.push_back(value);
    } else if (name == "--settings") {
      SetOnce(o.settingsFile, name, value);
    } else {
      SetOnce(o.storeFile, name, value);
    }
  }
  if (o.help || o.version) return o;
  if (o.billingPeriod && (month || from || to)) {
    throw UsageError("--period cannot be combined with --from, --to or --month");
  }
  if (month) {
    if (from || to) throw UsageError("--month cannot be combined with --from or --to");
    int y = 0;
    int m = 0;
    ParseIsoMonth(*month, y, m);
    from = EncodeDate(y, m, 1);
    to = EncodeDate(y, m, DaysInMonth(y, m));
  }
  if (from && to && *to < *from) throw UsageError("Invalid Report Period");
  o.fromDay = from;
  o.toDay = to;
  o.format = format.value_or(ReportFormat::Text);
  if (o.logbook && o.format != ReportFormat::Text) {
    throw UsageError("--logbook goes with the text format only");
  }
  return o;
}

}  // namespace dorvane
