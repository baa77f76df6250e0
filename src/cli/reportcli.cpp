#include "cli/reportcli.h"

#include <memory>
#include <optional>

#include "capture/callstore.h"
#include "charges/tariffhistory.h"
#include "cli/reportargs.h"
#include "cli/reportexport.h"
#include "platform/error.h"
#include "reports/billingperiod.h"
#include "reports/reportperiod.h"
#include "reports/reportrun.h"
#include "reports/statistics.h"
#include "reports/statisticslabels.h"
#include "settings/settingsfile.h"
#include "settings/tariffsettings.h"

namespace dorvane {

namespace {

// The tariff a settings file describes: the table in force now, and its history, holidays and
// billing day; the entries left out as not valid.
struct SettingsTariff {
  ChargeRows rows;
  TariffSettings calendar;
  std::vector<std::string> problems;
};

// Each file is read once and the run works on that snapshot: a save by the window meanwhile
// cannot give a table mixed from two versions. A file that holds no charges table is an error;
// only Dorvane's own settings file, before its first start wrote one, has the first start's.
SettingsTariff ReadChargesTable(const FileSystem& files, const RegionalSettings& rs,
                                const std::string& path, bool mustExist) {
  SettingsTariff tariff;
  if (!mustExist && !files.Exists(path)) {
    tariff.rows = {DefaultChargeCells(rs)};
    return tariff;
  }
  const std::optional<std::string> text = files.ReadAll(path);
  if (!text) throw Error(FormatMessage(kUnableToRead, path));
  std::optional<ChargeRows> rows = ChargesTableFromText(*text, rs);
  if (!rows) throw Error("There is no charges table in " + path);
  tariff.rows = std::move(*rows);
  tariff.calendar = TariffSettingsFromText(*text, rs, &tariff.problems);
  return tariff;
}

// Entries left out are told, once each, and the report goes on without them.
void TellProblems(std::ostream& err, const std::string& path, const SettingsTariff& tariff) {
  for (const std::string& problem : tariff.problems) {
    err << kReportProgram << ": " << path << ": " << problem << '\n';
  }
}

}  // namespace

int RunDorvaneReport(const std::vector<std::string>& args, const ReportEnvironment& env) {
  ReportOptions o;
  try {
    o = ParseReportArguments(args);
  } catch (const UsageError& e) {
    env.err << kReportProgram << ": " << e.what() << '\n' << kReportShortUsage;
    return kReportBadArguments;
  }
  if (o.help) {
    env.out << kReportUsage;
    return kReportDone;
  }
  if (o.version) {
    env.out << kReportVersionLine << '\n';
    return kReportDone;
  }
  try {
    const std::string settingsPath = o.settingsFile.value_or(env.settingsPath);
    const std::string storePath = o.storeFile.value_or(env.storePath);
    const RegionalSettings rs = env.storeRegional ? env.storeRegional(storePath) : env.rs;
    const SettingsTariff own =
        ReadChargesTable(env.files, rs, settingsPath, o.settingsFile.has_value());
    TellProblems(env.err, settingsPath, own);
    const int firstDay = own.calendar.billingFirstDay;
    std::vector<SettingsTariff> tariffRows;
    for (const std::string& path : o.tariffFiles) {
      tariffRows.push_back(ReadChargesTable(env.files, rs, path, true));
      TellProblems(env.err, path, tariffRows.back());
    }
    if (o.storeFile && !env.files.Exists(storePath)) {
      throw Error(FormatMessage(kUnableToRead, storePath));
    }

    // Opened once: the period pass and the report read one version of the store, whatever a
    // merge does in between.
    const std::unique_ptr<LineSnapshot> store =
        env.files.Exists(storePath) ? env.files.OpenSnapshot(storePath) : nullptr;
    const TDateTime now = o.today ? *o.today : env.clock.Now();
    ReportPeriod period = kDesignReportPeriod;
    if (store && (!o.fromDay || !o.toDay) && !o.billingPeriod) {
      const std::unique_ptr<LineSource> lines = store->Lines();
      InitReportPeriod(
          *lines, storePath, rs, [&](TDateTime d) { period.start = ReplaceDate(period.start, d); },
          [&](TDateTime d) { period.stop = ReplaceDate(period.stop, d); });
    }
    if (o.fromDay) period.start = ReplaceDate(kDesignReportPeriod.start, *o.fromDay);
    if (o.toDay) period.stop = ReplaceDate(kDesignReportPeriod.stop, *o.toDay);
    if (o.billingPeriod) {
      BillingPeriod billing = CurrentBillingPeriod(now, firstDay);
      if (*o.billingPeriod == BillingPeriodChoice::Previous) {
        billing = PreviousBillingPeriod(billing, firstDay);
      }
      period.start = ReplaceDate(kDesignReportPeriod.start, billing.first);
      period.stop = ReplaceDate(kDesignReportPeriod.stop, billing.LastDay());
    }

    std::vector<std::unique_ptr<CalendarPricing>> tariffPricing;
    for (const SettingsTariff& tariff : tariffRows) {
      tariffPricing.push_back(
          std::make_unique<CalendarPricing>(rs, tariff.rows, tariff.calendar.calendar));
    }
    std::unique_ptr<ReportWriter> writer =
        MakeReportWriter(o.format, o.logbook, rs, env.out, o.tariffFiles, firstDay);

    std::vector<double> tariffTotals(o.tariffFiles.size(), 0.0);
    std::vector<double> tariffCosts(o.tariffFiles.size(), 0.0);
    ReportSummary summary;
    SilentMessages note;  // a refused period becomes an argument error below
    const FixedClock today(now);
    CurrentMonthFigures month;
    // The window's costs analysis run; the calls of the period go to the writer as they come.
    const std::optional<PeriodStatistics> stats = RunCostsAnalysis(
        ReportInputs{.files = env.files,
                     .messages = note,
                     .clock = today,
                     .regional = rs,
                     .storePath = storePath,
                     .period = period,
                     .charges = own.rows,
                     .progress = {},
                     .setLabel =
                         [&](AnalysisLabel label, const std::string& text) {
                           const auto i = static_cast<std::size_t>(label);
                           summary.labels[i] = text;
                           summary.filledLabels = std::max(summary.filledLabels, i + 1);
                         },
                     .store = store.get(),
                     .calendar = own.calendar.calendar,
                     .billingFirstDay = firstDay},
        month, [&](const PricedCall& call) {
          for (std::size_t i = 0; i < tariffPricing.size(); ++i) {
            tariffCosts[i] = tariffPricing[i]->CallCost(call.start, call.end);
            tariffTotals[i] += tariffCosts[i];
          }
          writer->AddCall(call, tariffCosts);
        });
    if (!stats) {
      env.err << kReportProgram << ": " << kInvalidReportPeriod << '\n' << kReportShortUsage;
      return kReportBadArguments;
    }
    summary.tariffs = RankTariffs(o.tariffFiles, tariffTotals, stats->totalCost);
    writer->Finish(summary);
    env.out.flush();
    if (!env.out) throw Error("Unable to write to standard output");
  } catch (const Error& e) {
    env.out.flush();
    env.err << kReportProgram << ": " << ErrorBoxText(e.what()) << '\n';
    return kReportFailed;
  } catch (const std::exception& e) {
    env.out.flush();
    env.err << kReportProgram << ": " << e.what() << '\n';
    return kReportFailed;
  }
  return kReportDone;
}

}  // namespace dorvane
