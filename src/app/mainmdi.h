// The main window: menu, tool buttons, the three pages and the status bar; the creation, show
// and close sequences, the page change that carries the shared report boxes, and the help calls.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/services.h"
#include "charges/chargerow.h"

class QAction;
class QCheckBox;
class QComboBox;
class QSpinBox;
class QHelpEvent;
class QResizeEvent;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QTextEdit;
class QToolButton;

namespace dorvane {
class CallStore;
class ModemLogImport;
class SettingsCloseState;
class SettingsFile;
class TCostChart;
class TDateTimePicker;
class TWrapCheckBox;
enum class AnalysisLabel;
struct WindowTariff;
struct CurrentMonthFigures;
struct Options;
struct ReportInputs;
struct TariffCalendar;
class RunningCostWarning;
}  // namespace dorvane

class TAboutBox;
class TfrmCostEditor;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // The tag that marks the report boxes shared by the two report pages.
  static constexpr int kSharedReportTag = 9;

  explicit TForm1(dorvane::AppServices services, QWidget* parent = nullptr);
  ~TForm1() override;

  // Paths of the files named after the program.
  const std::string& HelpFile() const { return helpFile_; }
  const std::string& SettingsPath() const;
  double CurrentMonthCost() const;
  int CurrentMonthCount() const;
  const std::string& StorePath() const;
  const std::string& WindowsDirectory() const { return windowsDirectory_; }

  // The tag of the page on top (1 to 3).
  int ActivePageTag() const;
  // Puts the page with this tag on top as the program does it: the page-change handler does
  // not run. A tag outside 1 to 3 opens the first page.
  void SetActivePage(int tag);

  // True once the show sequence has run (it runs once, at the first showing).
  bool ShowSequenceDone() const { return showSequenceDone_; }
  // True once the window has been closed through the close sequence.
  bool IsClosed() const { return closed_; }

  // Runs `work`; a failure is shown in the standard error box and ends the work there. Every
  // event handler runs its body through this, so no exception reaches the event loop.
  // Returns false when `work` failed.
  bool Guard(const std::function<void()>& work);

  // True when the first command-line parameter, in upper case, holds "CHECK": the program then
  // closes again once its start-up work is done.
  static bool IsCheckRun(const std::vector<std::string>& arguments);

  // --- While open in the user's session (mainmdi_session.cpp) ---
  // Brings the calls of a modem log that appeared or changed since the last import into the
  // store, as the start does, then refreshes the costs analysis and, when its page is on top,
  // the logbook report. A log as the last import found it is not read again.
  void ImportNewCalls();
  // The status line of the call that started at `start`, and the cost warning when it is due
  // now (once per call).
  struct CallTick {
    std::string line;
    std::optional<std::string> warning;
  };
  CallTick CallInProgressTick(dorvane::TDateTime start);
  // The end that the system asks for: saves what can be saved without a box. False, with what
  // could not be written and why, when the save failed.
  bool SaveForSignal(std::string& failure);
  // Set while the tray holds the window: closing it only hides it.
  bool hideOnClose = false;

 public slots:
  void FormCreate();
  void FormShow();
  void FormClose();
  void PageControl1Change();
  void Exit1Click();
  void Contents1Click();
  void HowtoUseHelp1Click();
  void BitBtn6Click();
  void BitBtn7Click();
  void About1Click();
  void KeltrixHomepage1Click();
  void chkboxWarnCostClick();
  void chkboxWarnAverageCostClick();
  void btnCreateClick();
  void Print1Click();
  void PrintSetup1Click();
  void btnNewClick();
  void btnEditClick();
  void btnDeleteClick();
  void btnDeleteDataClick();
  void btnDesktopRegionalClick();
  // The bill: billing day, holidays, tariff history, and the report on a billing period
  // (mainmdi_bill.cpp).
  void cmbTableFromChange();
  void btnNewTableClick();
  void btnDeleteTableClick();
  void btnHolidaysClick();
  void btnCurrentPeriodClick();
  void btnPreviousPeriodClick();

 public:
  // The controls, under the names of the window design.
  QMenu* File1 = nullptr;
  QAction* Print1 = nullptr;
  QAction* PrintSetup1 = nullptr;
  QAction* N1 = nullptr;
  QAction* Exit1 = nullptr;
  QMenu* Help1 = nullptr;
  QAction* Contents1 = nullptr;
  QAction* HowtoUseHelp1 = nullptr;
  QAction* N3 = nullptr;
  QAction* KeltrixHomepage1 = nullptr;
  QAction* N2 = nullptr;
  QAction* About1 = nullptr;
  QAction* LowerCost1 = nullptr;
  QAction* ChargesHelp1 = nullptr;
  QMenu* Report1 = nullptr;
  QAction* CreateReport1 = nullptr;
  QAction* DeleteData1 = nullptr;
  QAction* DesktopRegional1 = nullptr;
  QMenu* Charges1 = nullptr;
  QAction* NewBand1 = nullptr;
  QAction* EditBand1 = nullptr;
  QAction* DeleteBand1 = nullptr;
  // The bill's commands: the report on a billing period, the holidays and the tariff history.
  QAction* CurrentPeriod1 = nullptr;
  QAction* PreviousPeriod1 = nullptr;
  QAction* Holidays1 = nullptr;
  QAction* NewTable1 = nullptr;
  QAction* DeleteTable1 = nullptr;

  QFrame* Panel1 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  QToolButton* SpeedButton5 = nullptr;
  QToolButton* SpeedButton2 = nullptr;

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet3 = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  // Page 1.
  QGroupBox* GroupBox4 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* lblLowestCost = nullptr;
  QLabel* lblHighestCost = nullptr;
  QGroupBox* GroupBox5 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label13 = nullptr;
  QLabel* lblEstimatedMonthlyCost = nullptr;
  QLabel* lblMonthlyCostDuringPeriod = nullptr;
  // The cost of each month of the period, redrawn with the analysis.
  dorvane::TCostChart* chartCost = nullptr;

  // Page 2, and the shared report boxes.
  QTextEdit* RichEdit1 = nullptr;
  QGroupBox* GroupBox7 = nullptr;
  QLabel* Label1 = nullptr;
  dorvane::TDateTimePicker* DateTimePickerStart = nullptr;
  QLabel* Label9 = nullptr;
  dorvane::TDateTimePicker* DateTimePickerStop = nullptr;
  QPushButton* btnCreate = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label16 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* lblPeriod = nullptr;
  QLabel* lblNumberOfCalls = nullptr;
  QLabel* lblAverageCallingTime = nullptr;
  QLabel* lblTotalCallingTime = nullptr;
  QLabel* lblAverageCost = nullptr;
  QLabel* lblTotalCost = nullptr;

  // Page 3.
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* editLogFileName = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QCheckBox* chkboxWarnCost = nullptr;
  QLineEdit* editWarnCost = nullptr;
  dorvane::TWrapCheckBox* chkboxWarnAverageCost = nullptr;
  QLineEdit* editWarnAverageCost = nullptr;
  QGroupBox* GroupBox6 = nullptr;
  QCheckBox* chkboxIgnoreBusyCalls = nullptr;
  QPushButton* btnDeleteData = nullptr;
  QGroupBox* grpboxRegional = nullptr;
  QLabel* lblRegionalSample = nullptr;
  QPushButton* btnDesktopRegional = nullptr;
  QGroupBox* grpboxOnlineCost = nullptr;
  QTableWidget* strgrdCost = nullptr;

  TfrmCostEditor* frmCostEditor = nullptr;
  TAboutBox* AboutBox = nullptr;
  QPushButton* btnNew = nullptr;
  QPushButton* btnEdit = nullptr;
  QPushButton* btnDelete = nullptr;
  QPushButton* BitBtn6 = nullptr;

  // The bill: the billing day, the holidays, the charges table the grid shows, and the report
  // period set to a billing period.
  QLabel* lblFirstDay = nullptr;
  QSpinBox* spnFirstDay = nullptr;
  QPushButton* btnHolidays = nullptr;
  QLabel* lblTableFrom = nullptr;
  QComboBox* cmbTableFrom = nullptr;
  QPushButton* btnNewTable = nullptr;
  QPushButton* btnDeleteTable = nullptr;
  QPushButton* btnCurrentPeriod = nullptr;
  QPushButton* btnPreviousPeriod = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildMenu();
  void BuildToolPanel();
  void BuildCostsAnalysisPage();
  void BuildLogbookPage();
  void BuildOptionsPage();
  void BuildBillControls();
  void FitInitialSize();
  // Gives the room of a window larger than its starting size to the logbook box and the
  // charges grid; at the starting size every control is where the design puts it.
  void FitGrowingControls();
  // The charges grid's columns: each amount column as wide as its widest text, the Days and the
  // Time column sharing what is left; the design's widths while there is nothing to share.
  void FitCostColumns();
  // Tab goes through each page's controls in the order the eye reads them.
  void OrderTabs();
  // A Days or Time cell whose text its column cuts shows the whole text as a tip.
  bool ShowCutCellTip(QHelpEvent* event);
  void MoveSharedReportBoxes();
  void CloseSequence();
  // Before the first edit of a charges table the start did not read: offers to read it.
  void OfferToReadChargesTable();

  // Show steps.
  void LoadOptions();
  // The options as the Options page shows them.
  dorvane::Options OptionsOnPage() const;
  void FillCostHeader();
  // The notation of the data folder, as the Options page shows it.
  void ShowRegionalSample();
  void LoadChargesTable();
  // The grid's bands as cell texts, in grid order.
  dorvane::ChargeRows ChargeTableRows() const;
  void SetChargeTableRows(const dorvane::ChargeRows& bands);
  // The selected band's index (0 = row 1 of the design's grid).
  std::size_t SelectedBand() const;

  // Reports: what a run works on (the seams, the pickers' period, the grid's bands, the bar and
  // the statistics labels), and the two report runs.
  dorvane::ReportInputs WindowReportInputs();
  void SetStatisticsLabel(dorvane::AnalysisLabel label, const std::string& text);
  void BuildCostsAnalysis();
  void BuildLogbookReport();

  // The bill (mainmdi_bill.cpp). Loads the billing day, holidays and tariff history after the
  // charges table; entries that are not valid are told once in the error box.
  void LoadTariff();
  // The grid's rows back into the table it shows; the table in force now.
  dorvane::ChargeRows InForceTableRows();
  // The grid's rows (`charges`) into the table they belong to; then the table in force now, and
  // the earlier tables and the holidays into `calendar`: what prices a call, whichever table
  // the grid shows.
  void SplitTariff(dorvane::ChargeRows& charges, dorvane::TariffCalendar& calendar);
  // The report run's table in force now, its calendar and billing day.
  void SetRunTariff(dorvane::ReportInputs& run);
  void ShowTable(std::size_t index);
  void FillTableChooser();
  void SetReportToBillingPeriod(bool previous);
  void SaveTariffAtClose();

  dorvane::AppServices services_;
  std::string helpFile_;
  std::unique_ptr<dorvane::SettingsFile> settingsFile_;
  // Which parts of the settings file the close sequence may write, and the failed closes.
  std::unique_ptr<dorvane::SettingsCloseState> closeState_;
  // Left by the costs analysis for the warnings: every stored call of the current month.
  std::unique_ptr<dorvane::CurrentMonthFigures> currentMonth_;
  // The billing day, holidays and tariff history as loaded and as edited; null until loaded.
  std::unique_ptr<dorvane::WindowTariff> tariff_;
  std::unique_ptr<dorvane::CallStore> callStore_;
  // The modem-log import, which knows the program's own files and never takes one for a log.
  std::unique_ptr<dorvane::ModemLogImport> import_;
  // The warning while a call runs, given once per call.
  std::unique_ptr<dorvane::RunningCostWarning> runningWarning_;
  // The report period the show sequence (or a refresh) set; a period the user chose stays.
  std::pair<dorvane::TDateTime, dorvane::TDateTime> storePeriod_{};
  std::string windowsDirectory_;
  // The current printer, chosen in the print set-up or print dialog; empty for the default.
  std::string printerName_;
  bool showSequenceDone_ = false;
  // The modem log as the last import found it, taken before reading it: whatever is written
  // during the import changes it, and the next look reads the log again. None when there was
  // no log.
  std::optional<dorvane::FileStamp> importedLogStamp_;
  bool closed_ = false;
  // The offer to read an unread charges table is made once, and so is the note at close.
  bool chargesTableOffered_ = false;
  bool keptOutNoted_ = false;
  // The window's size after FitInitialSize: the design positions hold at this size.
  QSize startSize_;
  // How much the design's positions grow for the desktop's font (1 for the drawn size).
  double scale_ = 1;
};
