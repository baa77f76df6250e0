#include "app/mainmdi.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "app/controls.h"
#include "app/costchart.h"
#include "app/reportview.h"
#include "capture/callstore.h"
#include "capture/modemlog.h"
#include "charges/bandedit.h"
#include "dialogs/about.h"
#include "dialogs/costedit.h"
#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/product.h"
#include "platform/qt/icons.h"
#include "platform/qt/named.h"
#include "platform/qt/printing.h"
#include "platform/qt/qtext.h"
#include "reports/logbook.h"
#include "reports/monthlycosts.h"
#include "reports/reportrun.h"
#include "reports/statistics.h"
#include "reports/statisticslabels.h"
#include "reports/warnings.h"
#include "session/logpath.h"
#include "session/onlinecall.h"
#include "session/writereason.h"
#include "settings/closestate.h"
#include "settings/notationchange.h"
#include "settings/settingsfile.h"

using dorvane::IconKind;
using dorvane::MakeIcon;
using dorvane::TDateTime;

using dorvane::Named;

namespace {

constexpr const char* kHomePage = "https://www.dorvane.example/";
constexpr const char* kChargesHelpTopic = "How_to_Specify_Charges_for_Online_Time";
constexpr const char* kLowerCostHelpTopic = "How_to_Reduce_Costs_for_Online_Time";
constexpr const char* kIntroductionHelpTopic = "Introduction";

}  // namespace

const std::string& TForm1::SettingsPath() const {
  return settingsFile_->Path();
}

const std::string& TForm1::StorePath() const {
  return callStore_->Path();
}

double TForm1::CurrentMonthCost() const {
  return currentMonth_->cost;
}

int TForm1::CurrentMonthCount() const {
  return currentMonth_->count;
}

bool TForm1::Guard(const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (const std::exception& e) {
    services_.messages.ShowError(e.what());
    return false;
  }
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FitGrowingControls();
}

bool TForm1::ShowCutCellTip(QHelpEvent* event) {
  const QModelIndex index = strgrdCost->indexAt(event->pos());
  const int column = index.column();
  if (column == 0 || column == 1) {
    const QString text = index.data().toString();
    const QRect cell = strgrdCost->visualRect(index);
    // The cell's text has a few pixels of margin on each side.
    constexpr int kMargins = 8;
    if (strgrdCost->fontMetrics().horizontalAdvance(text) + kMargins > cell.width()) {
      QToolTip::showText(event->globalPos(), text, strgrdCost->viewport(), cell);
      return true;
    }
  }
  QToolTip::hideText();
  return true;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip && watched == strgrdCost->viewport()) {
    // The one pop-up tip of the window: the whole text of a cut Days or Time cell.
    return ShowCutCellTip(static_cast<QHelpEvent*>(event));
  }
  if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
    // No pop-up tips anywhere in this window or in the pop-ups it opens (the calendar).
    for (auto* w = static_cast<QWidget*>(watched); w != nullptr; w = w->parentWidget()) {
      if (w == this) return true;
      if (w->isWindow() && w->windowType() != Qt::Popup) break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

int TForm1::ActivePageTag() const {
  const QWidget* page = PageControl1->currentWidget();
  return page != nullptr ? page->property("tag").toInt() : 0;
}

void TForm1::SetActivePage(int tag) {
  QWidget* page = tag == 2 ? TabSheet2 : tag == 3 ? TabSheet3 : TabSheet1;
  const QSignalBlocker noChangeHandler(PageControl1);
  PageControl1->setCurrentWidget(page);
}

// --- Creation, show and close -------------------------------------------------------------

void TForm1::FormCreate() {
  setWindowTitle(QStringLiteral("%1 %2").arg(QLatin1String(dorvane::kProductName),
                                             QLatin1String(dorvane::kVersionText)));
  // Hints reach the status bar through the status-tip events that QMainWindow receives.
  helpFile_ = services_.paths.help;
  settingsFile_ = std::make_unique<dorvane::SettingsFile>(services_.paths.settings);
  closeState_ = std::make_unique<dorvane::SettingsCloseState>();
  callStore_ = std::make_unique<dorvane::CallStore>(services_.paths.store, services_.regional);
  currentMonth_ = std::make_unique<dorvane::CurrentMonthFigures>();
  // The program's own files are never taken for the modem log.
  const dorvane::DataPaths& own = services_.paths;
  import_ = std::make_unique<dorvane::ModemLogImport>(
      *callStore_, services_.files, services_.messages,
      std::vector<std::string>{services_.exePath, own.store, own.settings, own.registry, own.help});
}

void TForm1::showEvent(QShowEvent* event) {
  // The program runs the show sequence before it shows the window; a window shown any other
  // way runs it here, at its first showing.
  if (!showSequenceDone_) FormShow();
  QMainWindow::showEvent(event);
}

void TForm1::FormShow() {
  if (showSequenceDone_) return;
  showSequenceDone_ = true;
  // A failure in a step ends the sequence there; the window opens all the same.
  // A data folder that cannot be written is named, with the system's reason, once; the steps
  // that only read still run, so the tariff, the options and the reports are there.
  const std::optional<std::string> unwritable =
      services_.files.FolderWriteProblem(services_.paths.folder);
  if (unwritable) {
    services_.messages.ShowError(
        dorvane::DataFolderUnwritableText(services_.paths.folder, *unwritable));
  }
  Guard([this, &unwritable] {
    // 1. Switch the modem driver's log on; keep the Windows directory for the run.
    dorvane::ReadOnlyRegistry readOnly(services_.registry);
    windowsDirectory_ = dorvane::EnableModemLogging(unwritable ? readOnly : services_.registry);
    // 2. The options.
    LoadOptions();
    closeState_->Loaded(dorvane::SettingsPart::Options);
    // 3. The threshold boxes follow their check boxes.
    editWarnCost->setEnabled(chkboxWarnCost->isChecked());
    editWarnAverageCost->setEnabled(chkboxWarnAverageCost->isChecked());
    // 4. The charges table.
    FillCostHeader();
    LoadChargesTable();
    closeState_->Loaded(dorvane::SettingsPart::ChargesTable);
    LoadTariff();
    // 5. New calls from the modem log into the call store (kept in the log while the store
    //    cannot be written).
    const std::string logFileName = dorvane::FromQString(editLogFileName->text());
    importedLogStamp_ = services_.files.Stamp(logFileName);
    if (!unwritable) import_->ImportModemLog(logFileName, chkboxIgnoreBusyCalls->isChecked());
    // 6. The page last used (a number outside 1 to 3 gives the first page), and the shared
    //    report boxes onto it as though the user had chosen it.
    SetActivePage(settingsFile_->LoadActivePage());
    closeState_->Loaded(dorvane::SettingsPart::ActivePage);
    MoveSharedReportBoxes();
    // 7. The report period: the days of the first and the last stored call.
    dorvane::InitReportPeriod(
        services_.files, StorePath(), services_.regional,
        [this](TDateTime start) { DateTimePickerStart->SetDate(start); },
        [this](TDateTime stop) { DateTimePickerStop->SetDate(stop); });
    storePeriod_ = {DateTimePickerStart->DateTime(), DateTimePickerStop->DateTime()};
    // 8. The currency symbol after the cost captions of the band editor, once per run.
    const QString currency =
        QStringLiteral(" [") + dorvane::ToQString(services_.regional.currencySymbol) + "]:";
    for (QLabel* label : {frmCostEditor->lblStartCost, frmCostEditor->lblMinuteCost,
                          frmCostEditor->lblMinimumCost}) {
      label->setText(label->text() + currency);
    }
    // 9. The costs analysis of the report period, whichever page is on top.
    BuildCostsAnalysis();
    // 10. The cost warnings, one step whose failures are swallowed.
    dorvane::RunCostWarnings(
        services_.regional,
        {chkboxWarnCost->isChecked(), dorvane::FromQString(editWarnCost->text())},
        {chkboxWarnAverageCost->isChecked(), dorvane::FromQString(editWarnAverageCost->text())},
        currentMonth_->cost, currentMonth_->count, services_.messages);
    // 11. Started to check for new calls only: close again.
    const bool checkRun = IsCheckRun(services_.arguments);
    if (checkRun) close();
    // 12. The first-run help, once. A check run leaves it for the first start the user sees:
    //     the help it opened would end with the program.
    if (!checkRun && !unwritable && settingsFile_->ReadFirstTime()) {
      services_.help.JumpToTopic(kIntroductionHelpTopic);
      settingsFile_->ClearFirstTime();
    }
  });
}

bool TForm1::IsCheckRun(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  std::string first = arguments.front();
  for (char& c : first) c = dorvane::AsciiUpper(c);
  return first.find("CHECK") != std::string::npos;
}

void TForm1::LoadOptions() {
  const dorvane::Options o = settingsFile_->LoadOptions(windowsDirectory_);
  chkboxIgnoreBusyCalls->setChecked(o.ignoreBusyCalls);
  // The default an earlier start saved gives way to the hook's folder once it exists.
  editLogFileName->setText(
      dorvane::ToQString(dorvane::LogFileNameForRun(o.logFileName, windowsDirectory_)));
  chkboxWarnCost->setChecked(o.warnCost);
  editWarnCost->setText(dorvane::ToQString(o.warnCostText));
  chkboxWarnAverageCost->setChecked(o.warnAverageCost);
  editWarnAverageCost->setText(dorvane::ToQString(o.warnAverageCostText));
}

dorvane::Options TForm1::OptionsOnPage() const {
  dorvane::Options o;
  o.ignoreBusyCalls = chkboxIgnoreBusyCalls->isChecked();
  o.logFileName = dorvane::FromQString(editLogFileName->text());
  o.warnCost = chkboxWarnCost->isChecked();
  o.warnCostText = dorvane::FromQString(editWarnCost->text());
  o.warnAverageCost = chkboxWarnAverageCost->isChecked();
  o.warnAverageCostText = dorvane::FromQString(editWarnAverageCost->text());
  return o;
}

void TForm1::FillCostHeader() {
  QStringList captions;
  for (const std::string& caption : dorvane::CostHeaderCaptions(services_.regional)) {
    captions << dorvane::ToQString(caption);
  }
  strgrdCost->setHorizontalHeaderLabels(captions);
  const int widths[] = {144, 69, 72, 69, 60, 98};
  QHeaderView* header = strgrdCost->horizontalHeader();
  const QFontMetrics metrics = header->fontMetrics();
  int height = metrics.height();
  for (int column = 0; column < 6; ++column) {
    strgrdCost->setColumnWidth(column, widths[column]);
    const QString caption = strgrdCost->horizontalHeaderItem(column)->text();
    height = std::max(
        height,
        metrics.boundingRect(QRect(0, 0, widths[column] - 8, 1000), Qt::TextWordWrap, caption)
            .height());
  }
  header->setFixedHeight(height + 6);
}

void TForm1::LoadChargesTable() {
  SetChargeTableRows(settingsFile_->LoadChargesTable(services_.regional));
  strgrdCost->setCurrentCell(0, 0);
}

void TForm1::SetChargeTableRows(const dorvane::ChargeRows& bands) {
  strgrdCost->setRowCount(static_cast<int>(bands.size()));
  for (std::size_t r = 0; r < bands.size(); ++r) {
    for (int column = 0; column < dorvane::kChargeColumns; ++column) {
      strgrdCost->setItem(
          static_cast<int>(r), column,
          new QTableWidgetItem(dorvane::ToQString(bands[r][static_cast<std::size_t>(column)])));
    }
  }
  FitCostColumns();
}

dorvane::ChargeRows TForm1::ChargeTableRows() const {
  dorvane::ChargeRows rows(static_cast<std::size_t>(strgrdCost->rowCount()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (int column = 0; column < dorvane::kChargeColumns; ++column) {
      const QTableWidgetItem* item = strgrdCost->item(static_cast<int>(r), column);
      rows[r][static_cast<std::size_t>(column)] =
          item != nullptr ? dorvane::FromQString(item->text()) : std::string();
    }
  }
  return rows;
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (hideOnClose) {
    hide();
    event->ignore();
    return;
  }
  // A close sequence that fails asks once, with what could not be written and why: the user
  // may close without saving, or go back, put things right and try again.
  bool close = true;
  try {
    CloseSequence();
  } catch (const std::exception& e) {
    close = services_.messages.Confirm(dorvane::CloseAnywayText(
                e.what(), dorvane::WriteRefusalReason(SettingsPath()))) == dorvane::Answer::Yes;
  }
  closed_ = close;
  event->setAccepted(close);
}

void TForm1::FormClose() {
  Guard([this] { CloseSequence(); });
}

void TForm1::CloseSequence() {
  // 1. Close a help window the program opened.
  services_.help.Quit();
  if (closeState_->ChargesTableEditsKeptOut() && !keptOutNoted_) {
    keptOutNoted_ = true;
    services_.messages.Warning(dorvane::ChargesTableKeptOutText(SettingsPath()));
  }
  // 2. The options, the active page and the charges table into the settings file: each part
  //    that this run loaded or the user changed since.
  dorvane::SaveAtClose(*settingsFile_, *closeState_, OptionsOnPage(), ActivePageTag(),
                       InForceTableRows());
  SaveTariffAtClose();
}

// --- Pages --------------------------------------------------------------------------------

void TForm1::PageControl1Change() {
  closeState_->ChangedByUser(dorvane::SettingsPart::ActivePage);
  Guard([this] { MoveSharedReportBoxes(); });
}

void TForm1::MoveSharedReportBoxes() {
  // The report pages share the period and statistics boxes: they go to whichever report page
  // is on top, and stay where they are while the options page is.
  QWidget* from = nullptr;
  QWidget* to = nullptr;
  switch (dorvane::ReportOfPage(ActivePageTag())) {
    case dorvane::PageReport::CostsAnalysis:
      from = TabSheet2;
      to = TabSheet1;
      break;
    case dorvane::PageReport::Logbook:
      from = TabSheet1;
      to = TabSheet2;
      break;
    case dorvane::PageReport::None:
      return;
  }
  // A moved box leaves the list, so the same index is looked at again.
  int i = 0;
  while (i < from->children().size()) {
    auto* control = qobject_cast<QWidget*>(from->children().at(i));
    if (control != nullptr && control->property("tag").toInt() == kSharedReportTag) {
      const bool visible = !control->isHidden();
      control->setParent(to);  // keeps its position and size within the new page
      control->setVisible(visible);
    } else {
      ++i;
    }
  }
  OrderTabs();
}

void TForm1::OrderTabs() {
  std::vector<QWidget*> order = dorvane::TabStopsAsSeen(Panel1);
  order.push_back(PageControl1);
  for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3}) {
    const std::vector<QWidget*> stops = dorvane::TabStopsAsSeen(page);
    order.insert(order.end(), stops.begin(), stops.end());
  }
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

// --- Menu, tool buttons and buttons -------------------------------------------------------

void TForm1::Exit1Click() {
  // "Exit" ends the program also when the close box only hides the window in the tray.
  Guard([this] {
    const bool toTray = hideOnClose;
    hideOnClose = false;
    close();
    hideOnClose = toTray && !closed_;
  });
}

void TForm1::Contents1Click() {
  Guard([this] { services_.help.Contents(); });
}

void TForm1::HowtoUseHelp1Click() {
  Guard([this] { services_.help.HelpOnHelp(); });
}

void TForm1::BitBtn6Click() {
  Guard([this] { services_.help.JumpToTopic(kChargesHelpTopic); });
}

void TForm1::BitBtn7Click() {
  Guard([this] { services_.help.JumpToTopic(kLowerCostHelpTopic); });
}

void TForm1::About1Click() {
  Guard([this] { AboutBox->ShowModal(); });
}

void TForm1::KeltrixHomepage1Click() {
  // Whether the shell could open the address is not checked.
  Guard([this] { services_.shell.OpenUrl(kHomePage); });
}

void TForm1::chkboxWarnCostClick() {
  Guard([this] { editWarnCost->setEnabled(chkboxWarnCost->isChecked()); });
}

void TForm1::chkboxWarnAverageCostClick() {
  Guard([this] { editWarnAverageCost->setEnabled(chkboxWarnAverageCost->isChecked()); });
}

void TForm1::btnCreateClick() {
  Guard([this] {
    switch (dorvane::ReportOfPage(ActivePageTag())) {
      case dorvane::PageReport::CostsAnalysis:
        BuildCostsAnalysis();
        break;
      case dorvane::PageReport::Logbook:
        BuildLogbookReport();
        break;
      case dorvane::PageReport::None:
        break;
    }
  });
}

void TForm1::Print1Click() {
  Guard([this] {
    // The dialog offers the current printer first; the one confirmed there becomes current.
    std::string chosen = printerName_;
    if (!services_.printer.PrintDialog(this, chosen)) return;
    printerName_ = chosen;
    services_.printer.Print(*RichEdit1->document(), printerName_);
  });
}

void TForm1::PrintSetup1Click() {
  Guard([this] {
    std::string chosen = printerName_;
    if (services_.printer.PrinterSetupDialog(this, chosen)) printerName_ = chosen;
  });
}

// --- Reports ------------------------------------------------------------------------------

dorvane::ReportInputs TForm1::WindowReportInputs() {
  dorvane::ReportInputs run{
      .files = services_.files,
      .messages = services_.messages,
      .clock = services_.clock,
      .regional = services_.regional,
      .storePath = StorePath(),
      .period = {DateTimePickerStart->DateTime(), DateTimePickerStop->DateTime()},
      .charges = ChargeTableRows(),
      .progress = [this](int position) { ProgressBar1->setValue(position); },
      .setLabel = [this](dorvane::AnalysisLabel label,
                         const std::string& text) { SetStatisticsLabel(label, text); },
  };
  SetRunTariff(run);
  return run;
}

void TForm1::SetStatisticsLabel(dorvane::AnalysisLabel label, const std::string& text) {
  QLabel* const labels[] = {lblPeriod,
                            lblNumberOfCalls,
                            lblAverageCallingTime,
                            lblTotalCallingTime,
                            lblAverageCost,
                            lblTotalCost,
                            lblLowestCost,
                            lblHighestCost,
                            lblEstimatedMonthlyCost,
                            lblMonthlyCostDuringPeriod};
  QLabel* value = labels[static_cast<int>(label)];
  value->setText(dorvane::ToQString(text));
}

void TForm1::BuildCostsAnalysis() {
  // Bars are billing periods when the bill does not start on the 1st.
  dorvane::MonthlyCosts months(spnFirstDay->value());
  const auto stats =
      dorvane::RunCostsAnalysis(WindowReportInputs(), *currentMonth_,
                                [&](const dorvane::PricedCall& call) { months.Add(call); });
  // A refused period leaves the chart as it was, as it leaves the labels.
  if (stats) chartCost->SetMonths(months.Months());
}

void TForm1::BuildLogbookReport() {
  dorvane::LogbookDocument doc;
  // What was written stays in the box, also when the run stops early.
  struct ShowOnExit {
    QTextEdit* box;
    const dorvane::LogbookDocument& doc;
    ~ShowOnExit() { dorvane::ShowLogbookDocument(box, doc); }
  } show{RichEdit1, doc};
  dorvane::RunLogbookReport(WindowReportInputs(), doc);
}

std::size_t TForm1::SelectedBand() const {
  return static_cast<std::size_t>(std::max(strgrdCost->currentRow(), 0));
}

void TForm1::OfferToReadChargesTable() {
  // A start that failed before step 4 left the grid empty: the user may read the table now,
  // before changing it; otherwise the changes stay out of the file.
  if (closeState_->WasLoaded(dorvane::SettingsPart::ChargesTable) || chargesTableOffered_) return;
  chargesTableOffered_ = true;
  if (services_.messages.Confirm(dorvane::ReadChargesTableAgainText(SettingsPath())) !=
      dorvane::Answer::Yes) {
    return;
  }
  FillCostHeader();
  LoadChargesTable();
  closeState_->Loaded(dorvane::SettingsPart::ChargesTable);
}

void TForm1::btnNewClick() {
  Guard([this] {
    OfferToReadChargesTable();
    dorvane::BandEditorValues values = frmCostEditor->Values();
    dorvane::ResetCostEditor(values);
    values.locked = false;
    frmCostEditor->SetValues(values);
    if (frmCostEditor->exec() != QDialog::Accepted) return;
    dorvane::ChargeRows rows = ChargeTableRows();
    dorvane::InsertBandAtTop(services_.regional, rows, frmCostEditor->Values());
    const int current = strgrdCost->currentRow();
    SetChargeTableRows(rows);
    closeState_->ChangedByUser(dorvane::SettingsPart::ChargesTable);
    strgrdCost->setCurrentCell(current, 0);  // the selected row number stays
  });
}

void TForm1::btnEditClick() {
  Guard([this] {
    OfferToReadChargesTable();
    dorvane::ChargeRows rows = ChargeTableRows();
    const std::size_t band = SelectedBand();
    if (band >= rows.size()) return;
    dorvane::BandEditorValues values = frmCostEditor->Values();
    values.locked = false;
    dorvane::ResetCostEditor(values);
    dorvane::BandToEditor(services_.regional, rows[band], values);
    frmCostEditor->SetValues(values);
    if (frmCostEditor->exec() != QDialog::Accepted) return;
    dorvane::WriteBandFromEditor(services_.regional, rows, band, frmCostEditor->Values());
    SetChargeTableRows(rows);
    closeState_->ChangedByUser(dorvane::SettingsPart::ChargesTable);
    strgrdCost->setCurrentCell(static_cast<int>(band), 0);
  });
}

void TForm1::btnDeleteClick() {
  Guard([this] {
    OfferToReadChargesTable();
    if (services_.messages.Confirm(dorvane::kDeleteLineQuestion, /*withCancel=*/true) !=
        dorvane::Answer::Yes) {
      return;
    }
    dorvane::ChargeRows rows = ChargeTableRows();
    const std::size_t band = SelectedBand();
    const std::size_t selected = dorvane::DeleteBand(rows, band);
    SetChargeTableRows(rows);
    closeState_->ChangedByUser(dorvane::SettingsPart::ChargesTable);
    strgrdCost->setCurrentCell(static_cast<int>(selected), 0);
  });
}

void TForm1::ShowRegionalSample() {
  const QString sample = dorvane::ToQString(dorvane::NotationSample(services_.regional));
  lblRegionalSample->setText(sample);
  const QString described = QStringLiteral("Regional settings of this data folder: ") + sample;
  lblRegionalSample->setToolTip(described);
  lblRegionalSample->setAccessibleName(described);
  grpboxRegional->setToolTip(described);
}

void TForm1::btnDesktopRegionalClick() {
  Guard([this] {
    if (!services_.desktopRegional) return;
    const dorvane::RegionalSettings from = services_.regional;
    const dorvane::RegionalSettings to = services_.desktopRegional();
    if (to == from) {
      services_.messages.Information(
          "This data folder already uses the desktop's regional settings (" +
          dorvane::NotationSample(to) + ").");
      return;
    }
    if (services_.messages.Confirm(
            "Rewrite the calls and the charges tables of this data folder in the desktop's "
            "regional settings?\n\nNow: " +
            dorvane::NotationSample(from) + "\nThen: " + dorvane::NotationSample(to)) !=
        dorvane::Answer::Yes) {
      return;
    }
    dorvane::ConvertFolderNotation(StorePath(), services_.paths.settings, services_.registry, from,
                                   to);
    // What the window holds goes over too, so that whatever it saves later is in the new
    // notation; every control that reads the settings reads this one copy of them.
    const dorvane::ChargeRows rows = dorvane::ChargeRowsInNotation(ChargeTableRows(), from, to);
    editWarnCost->setText(dorvane::ToQString(
        dorvane::NumberTextInNotation(dorvane::FromQString(editWarnCost->text()), from, to)));
    editWarnAverageCost->setText(dorvane::ToQString(dorvane::NumberTextInNotation(
        dorvane::FromQString(editWarnAverageCost->text()), from, to)));
    services_.regional = to;
    SetChargeTableRows(rows);
    FillCostHeader();
    DateTimePickerStart->SetDateTime(DateTimePickerStart->DateTime());
    DateTimePickerStop->SetDateTime(DateTimePickerStop->DateTime());
    ShowRegionalSample();
  });
}

void TForm1::btnDeleteDataClick() {
  Guard([this] {
    if (services_.messages.Confirm(dorvane::kDeleteAllCallsQuestion) == dorvane::Answer::Yes) {
      dorvane::DeleteAllCalls(services_.files, StorePath());
    }
  });
}
