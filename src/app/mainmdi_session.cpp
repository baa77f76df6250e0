// The main window while it stays open in the user's session: calls that arrive while it is
// open, the call in progress, and the end the system asks for.
#include <QLineEdit>
#include <QTextEdit>

#include "app/controls.h"
#include "app/mainmdi.h"
#include "capture/callstore.h"
#include "capture/modemlog.h"
#include "charges/tariffhistory.h"
#include "platform/qt/qtext.h"
#include "reports/reportrun.h"
#include "reports/statistics.h"
#include "reports/warnings.h"
#include "session/onlinecall.h"
#include "session/writereason.h"
#include "settings/closestate.h"

namespace {

// This billing period's cost of the stored calls, as the last costs analysis left it (the
// analysis counts "this month" from the billing day).
double PeriodCostSoFar(const dorvane::CurrentMonthFigures& month) {
  return month.cost;
}

}  // namespace

void TForm1::ImportNewCalls() {
  if (!showSequenceDone_ || closed_) return;
  Guard([this] {
    const std::string logFileName = dorvane::FromQString(editLogFileName->text());
    const std::optional<dorvane::FileStamp> stamp = services_.files.Stamp(logFileName);
    if (!stamp || stamp == importedLogStamp_) return;
    importedLogStamp_ = stamp;
    import_->ImportModemLog(logFileName, chkboxIgnoreBusyCalls->isChecked());
    // A period the show sequence took from the store grows with it; one the user chose stays.
    if (std::pair(DateTimePickerStart->DateTime(), DateTimePickerStop->DateTime()) ==
        storePeriod_) {
      dorvane::InitReportPeriod(
          services_.files, StorePath(), services_.regional,
          [this](dorvane::TDateTime start) { DateTimePickerStart->SetDate(start); },
          [this](dorvane::TDateTime stop) { DateTimePickerStop->SetDate(stop); });
      storePeriod_ = {DateTimePickerStart->DateTime(), DateTimePickerStop->DateTime()};
    }
    BuildCostsAnalysis();
    if (dorvane::ReportOfPage(ActivePageTag()) == dorvane::PageReport::Logbook) {
      BuildLogbookReport();
    }
  });
}

TForm1::CallTick TForm1::CallInProgressTick(dorvane::TDateTime start) {
  CallTick tick;
  try {
    // Priced as it will be once stored: with the table in force at its start and the holidays.
    dorvane::ChargeRows rows = ChargeTableRows();
    dorvane::TariffCalendar calendar;
    SplitTariff(rows, calendar);
    const dorvane::CalendarPricing pricing(services_.regional, rows, calendar);
    dorvane::CallInProgressFigures figures;
    figures.start = start;
    figures.now = services_.clock.Now();
    figures.cost = dorvane::RunningCallCost(pricing, start, figures.now);
    figures.periodCost = PeriodCostSoFar(*currentMonth_) + figures.cost;
    tick.line = dorvane::CallInProgressLine(services_.regional, figures);
    if (!runningWarning_) runningWarning_ = std::make_unique<dorvane::RunningCostWarning>();
    tick.warning = runningWarning_->Check(
        services_.regional,
        {chkboxWarnCost->isChecked(), dorvane::FromQString(editWarnCost->text())}, start,
        figures.periodCost);
  } catch (const std::exception& e) {
    // A charges table that does not price: the line says so, and nothing warns.
    tick.line = std::string("Online; no cost: ") + e.what();
  }
  return tick;
}

bool TForm1::SaveForSignal(std::string& failure) {
  closed_ = true;
  try {
    CloseSequence();
    return true;
  } catch (const std::exception& e) {
    failure = e.what();
    const std::string reason = dorvane::WriteRefusalReason(SettingsPath());
    if (!reason.empty()) failure += ": " + reason;
    return false;
  }
}
