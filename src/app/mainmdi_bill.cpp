// The main window's part of the bill: the billing day, the holidays and the tariff history on
// the Options page, and the report on a billing period on the Costs Analysis page. The rules are
// the core's (charges/tariffbook, settings/tariffsettings, reports/billingperiod).
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>

#include "app/billdialogs.h"
#include "app/controls.h"
#include "app/mainmdi.h"
#include "app/windowtariff.h"
#include "platform/error.h"
#include "platform/qt/qtext.h"
#include "reports/billingperiod.h"
#include "reports/reportrun.h"
#include "settings/closestate.h"
#include "settings/settingsfile.h"

namespace {

constexpr const char* kDeleteTableQuestion = "Delete the charges table in force from %s?";
constexpr const char* kFromTheStart = "the start";

}  // namespace

void TForm1::LoadTariff() {
  std::vector<std::string> problems;
  dorvane::TariffSettings loaded = dorvane::LoadTariffSettings(dorvane::ProfileFile(SettingsPath()),
                                                               services_.regional, &problems);
  tariff_ = std::make_unique<dorvane::WindowTariff>(
      dorvane::WindowTariff{loaded, dorvane::TariffBook(ChargeTableRows(), loaded.calendar), 0,
                            loaded.calendar.holidays});
  tariff_->shown = tariff_->book.InForceNow();
  {
    const QSignalBlocker quiet(spnFirstDay);
    spnFirstDay->setValue(loaded.billingFirstDay);
  }
  FillTableChooser();
  // What is left out is told once; the start goes on without it.
  if (!problems.empty()) services_.messages.ShowError(dorvane::SettingsProblemsText(problems));
}

void TForm1::FillTableChooser() {
  const QSignalBlocker quiet(cmbTableFrom);
  cmbTableFrom->clear();
  if (!tariff_) return;
  for (std::size_t i = 0; i < tariff_->book.Count(); ++i) {
    const auto& from = tariff_->book.From(i);
    cmbTableFrom->addItem(from ? dorvane::ToQString(dorvane::DateToStr(services_.regional, *from))
                               : QString::fromLatin1(kFromTheStart));
  }
  cmbTableFrom->setCurrentIndex(static_cast<int>(tariff_->shown));
  btnDeleteTable->setEnabled(tariff_->book.Count() > 1);
  DeleteTable1->setEnabled(btnDeleteTable->isEnabled());
}

dorvane::ChargeRows TForm1::InForceTableRows() {
  if (!tariff_) return ChargeTableRows();
  tariff_->book.SetRows(tariff_->shown, ChargeTableRows());
  return tariff_->book.Rows(tariff_->book.InForceNow());
}

void TForm1::SplitTariff(dorvane::ChargeRows& charges, dorvane::TariffCalendar& calendar) {
  if (!tariff_) return;
  tariff_->book.SetRows(tariff_->shown, charges);
  tariff_->book.Split(charges, calendar);
  calendar.holidays = tariff_->holidays;
}

void TForm1::SetRunTariff(dorvane::ReportInputs& run) {
  if (!tariff_) return;
  SplitTariff(run.charges, run.calendar);
  run.billingFirstDay = spnFirstDay->value();
}

void TForm1::ShowTable(std::size_t index) {
  tariff_->shown = index;
  SetChargeTableRows(tariff_->book.Rows(index));
  strgrdCost->setCurrentCell(0, 0);
  FillTableChooser();
}

void TForm1::cmbTableFromChange() {
  Guard([this] {
    if (!tariff_ || cmbTableFrom->currentIndex() < 0) return;
    tariff_->book.SetRows(tariff_->shown, ChargeTableRows());
    ShowTable(static_cast<std::size_t>(cmbTableFrom->currentIndex()));
  });
}

void TForm1::btnNewTableClick() {
  Guard([this] {
    if (!tariff_) return;
    dorvane::TNewTableDialog dialog(services_.regional, dorvane::DatePart(services_.clock.Now()),
                                    this);
    dialog.setFont(font());
    if (dialog.exec() != QDialog::Accepted) return;
    tariff_->book.SetRows(tariff_->shown, ChargeTableRows());
    const std::size_t added =
        tariff_->book.Add(services_.regional, dialog.From(), tariff_->shown, services_.clock.Now());
    // The table in force now may be another one: the grid's section of the file follows it.
    closeState_->ChangedByUser(dorvane::SettingsPart::ChargesTable);
    ShowTable(added);
  });
}

void TForm1::btnDeleteTableClick() {
  Guard([this] {
    if (!tariff_ || tariff_->book.Count() <= 1) return;
    if (services_.messages.Confirm(dorvane::FormatMessage(
            kDeleteTableQuestion, dorvane::FromQString(cmbTableFrom->currentText()))) !=
        dorvane::Answer::Yes) {
      return;
    }
    const std::size_t index = tariff_->shown;
    tariff_->book.Remove(index, services_.clock.Now());
    closeState_->ChangedByUser(dorvane::SettingsPart::ChargesTable);
    ShowTable(std::min(index, tariff_->book.Count() - 1));
  });
}

void TForm1::btnHolidaysClick() {
  Guard([this] {
    if (!tariff_) return;
    dorvane::THolidaysDialog dialog(services_.regional, services_.messages, this);
    dialog.setFont(font());
    dialog.SetHolidays(tariff_->holidays);
    if (dialog.exec() != QDialog::Accepted) return;
    tariff_->holidays = dialog.Result();
  });
}

void TForm1::SetReportToBillingPeriod(bool previous) {
  const int firstDay = spnFirstDay->value();
  dorvane::BillingPeriod period = dorvane::CurrentBillingPeriod(services_.clock.Now(), firstDay);
  if (previous) period = dorvane::PreviousBillingPeriod(period, firstDay);
  DateTimePickerStart->SetDate(period.first);
  DateTimePickerStop->SetDate(period.LastDay());
  BuildCostsAnalysis();
}

void TForm1::btnCurrentPeriodClick() {
  Guard([this] { SetReportToBillingPeriod(false); });
}

void TForm1::btnPreviousPeriodClick() {
  Guard([this] { SetReportToBillingPeriod(true); });
}

void TForm1::SaveTariffAtClose() {
  if (!tariff_) return;
  dorvane::TariffSettings now;
  dorvane::ChargeRows inForce;
  tariff_->book.SetRows(tariff_->shown, ChargeTableRows());
  tariff_->book.Split(inForce, now.calendar);
  now.calendar.holidays = tariff_->holidays;
  now.billingFirstDay = spnFirstDay->value();
  // Only a change reaches the file: a file without these parts stays byte for byte as it was,
  // and entries left out at the start stay as the user wrote them.
  if (!(now == tariff_->loaded)) closeState_->ChangedByUser(dorvane::SettingsPart::Tariff);
  dorvane::SaveTariffAtClose(*settingsFile_, *closeState_, now);
}
