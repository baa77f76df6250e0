// The main window: creation, the show sequence, page change, hints, the options that enable
// their boxes, the delete command, the command-line check, help calls and closing.
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>
#include <cmath>
#include <functional>
#include <utility>

#include "app/controls.h"
#include "app/costchart.h"
#include "app/mainmdi.h"
#include "capture/callstore.h"
#include "capture/modemlog.h"
#include "dialogs/about.h"
#include "dialogs/costedit.h"
#include "gui/support/fakes.h"
#include "platform/error.h"
#include "platform/product.h"
#include "platform/regionalrecord.h"
#include "settings/closestate.h"
#include "settings/notationchange.h"

using dorvane::Answer, dorvane::RegionalSettings, dorvane::testing::BoxKind,
    dorvane::testing::FormRig, dorvane::testing::LogSession;

using FormAction = std::function<void(TForm1&)>;
using Strings = std::vector<std::string>;
Q_DECLARE_METATYPE(FormAction)
Q_DECLARE_METATYPE(Strings)

namespace {

constexpr double kDesignStop = 36006.99998842592;  // 30 July 1998 23:59:59

QWidget* Child(TForm1& form, const char* name) {
  auto* widget = form.findChild<QWidget*>(QLatin1String(name));
  if (widget == nullptr) qWarning("no control %s", name);
  return widget;
}

QString StatusText(TForm1& form) {
  return form.StatusBar1->currentMessage();
}

// Shows the window and waits until it is on the screen; false when it never got there.
bool OnScreen(QWidget& window) {
  window.show();
  return QTest::qWaitForWindowExposed(&window);
}

// Turns to the page with this tag as the user does, which runs the page-change handler.
void ChoosePage(TForm1& form, int tag) {
  form.PageControl1->setCurrentIndex(tag - 1);
}

bool SharedBoxesOn(TForm1& form, QWidget* page) {
  return form.GroupBox7->parentWidget() == page && form.GroupBox3->parentWidget() == page;
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT
 private slots:
  void createsTheWindowAsDesigned();
  void everyCommandHasAMenuItemAndAShortcut();
  void showSequenceStartsFromDefaults_data();
  void showSequenceStartsFromDefaults();
  void sharedReportBoxesFollowTheReportPage_data();
  void sharedReportBoxesFollowTheReportPage();
  void openedOnTheOptionsPageTheBoxesWaitOnTheLogbook();
  void hintsShowInTheStatusBarAndToScreenReaders();
  void tabGoesOnToTheNextControl_data();
  void tabGoesOnToTheNextControl();
  void warningBoxesEnableTheirThresholds();
  void deleteAllModemCalls_data();
  void deleteAllModemCalls();
  void theFolderTakesTheDesktopsRegionalSettings();
  void commandLineCheck_data();
  void commandLineCheck();
  void failedShowStepIsReportedOnceAndEndsTheSequence_data();
  void failedShowStepIsReportedOnceAndEndsTheSequence();
  void aTableTheStartDidNotReadIsNeverSaved();
  void anUnwritableDataFolderIsNamedAndTheRestStillLoads();
  void reportPeriodComesFromTheCallStore();
  void helpAndHomePage_data();
  void helpAndHomePage();
  void everyWayOfClosingRunsTheCloseSequence_data();
  void everyWayOfClosingRunsTheCloseSequence();
  void reportsPricesAndWarnings();
  void bandEditorAddsEditsAndDeletesBands();
  void aboutBoxShowsTheProgramsTexts_data();
  void aboutBoxShowsTheProgramsTexts();
  void settingsSurviveARestart();
  void firstRunHelpOpensOnce_data();
  void firstRunHelpOpensOnce();
  void checkRunLeavesTheFirstRunHelpToTheNextStart();
  void refusedSettingsKeepTheWindowOpen();
  void bytesTheUserDidNotChangeAreKept();
  void datePickerShowsTheShortDate();
  void datePickerKeepsItsTimeOfDay();
  void captionsFitAndControlsDoNotOverlap();
  void screenReaderNamesEveryControl();
  void tabFollowsTheEye();
  void valueColoursReadOnLightAndDarkPalettes();
  void aLargerWindowGrowsTheChartTheGridAndTheLogbook();
  void chartShowsEveryMonthOfThePeriod();
  void cutDaysAndTimeCellsShowTheirTextAsATip();
};

void MainFormTest::createsTheWindowAsDesigned() {
  FormRig rig;
  TForm1& form = rig.Create();
  QCOMPARE(form.objectName(), QStringLiteral("Form1"));
  QCOMPARE(form.windowTitle(), QStringLiteral("Dorvane " DORVANE_VERSION));
  QCOMPARE(form.SettingsPath(), rig.Path("dorvane.INI"));
  QCOMPARE(form.StorePath(), rig.Path("dorvane.DB"));
  QCOMPARE(form.HelpFile(), rig.Path("dorvane.HLP"));

  const QStringList captions = {"Costs Analysis", "Logbook Report", "Options"};
  for (int i = 0; i < 3; ++i) {
    QCOMPARE(form.PageControl1->tabText(i), captions[i]);
    QCOMPARE(form.PageControl1->widget(i)->property("tag").toInt(), i + 1);
  }
  // Before the show sequence the shared boxes sit where the design puts them.
  QVERIFY(SharedBoxesOn(form, form.TabSheet2));
  QCOMPARE(form.GroupBox7->property("tag").toInt(), 9);
  QCOMPARE(form.GroupBox3->property("tag").toInt(), 9);
  QCOMPARE(form.DateTimePickerStart->DateTime(), 36006.0);
  QCOMPARE(form.DateTimePickerStop->DateTime(), kDesignStop);
  for (const char* name : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4",
                           "SpeedButton5", "strgrdCost", "btnDeleteData", "RichEdit1",
                           "ProgressBar1", "lblMonthlyCostDuringPeriod", "GroupBox6"}) {
    QVERIFY2(Child(form, name) != nullptr, name);
  }
  for (const char* name : {"Print1", "PrintSetup1", "Exit1", "Contents1", "HowtoUseHelp1",
                           "KeltrixHomepage1", "About1", "N1", "N2", "N3"}) {
    QVERIFY2(form.findChild<QAction*>(QLatin1String(name)) != nullptr, name);
  }
}

void MainFormTest::showSequenceStartsFromDefaults_data() {
  QTest::addColumn<QString>("windowsDirectory");
  QTest::addColumn<QString>("logFileName");
  QTest::newRow("Windows directory in the registry") << "C:\\WINDOWS"
                                                     << "C:\\WINDOWS\\ModemLog.txt";
  QTest::newRow("no Windows directory") << ""
                                        << "\\ModemLog.txt";
}

void MainFormTest::showSequenceStartsFromDefaults() {
  QFETCH(QString, windowsDirectory);
  QFETCH(QString, logFileName);
  FormRig rig;
  if (!windowsDirectory.isEmpty()) {
    rig.registry->WriteString(dorvane::kSetupKey, "WinDir", windowsDirectory.toStdString());
  }
  TForm1& form = rig.Show();

  QCOMPARE(QString::fromStdString(form.WindowsDirectory()), windowsDirectory);
  QCOMPARE(rig.registry->ReadString(dorvane::kModemKey, "LoggingPath").value_or("?"),
           logFileName.toStdString());
  QCOMPARE(form.editLogFileName->text(), logFileName);
  QVERIFY(form.chkboxIgnoreBusyCalls->isChecked());
  QVERIFY(!form.chkboxWarnCost->isChecked());
  QVERIFY(!form.editWarnCost->isEnabled());
  QCOMPARE(form.editWarnCost->text(), QStringLiteral("0"));
  QVERIFY(!form.chkboxWarnAverageCost->isChecked());
  QVERIFY(!form.editWarnAverageCost->isEnabled());
  QCOMPARE(form.editWarnAverageCost->text(), QStringLiteral("0"));

  const QStringList header = {"Days",         "Time",      "Start Cost [$]",
                              "$ per Minute", "Minimum $", "Min period [minutes]"};
  const QStringList band = {
      "The time not specified above", "12:00:00 AM - 11:59:59 PM", "0.3", "0.1", "0", "0"};
  QCOMPARE(form.strgrdCost->rowCount(), 1);
  for (int column = 0; column < 6; ++column) {
    QCOMPARE(form.strgrdCost->horizontalHeaderItem(column)->text(), header[column]);
    QCOMPARE(form.strgrdCost->item(0, column)->text(), band[column]);
  }
  QCOMPARE(form.ActivePageTag(), 1);
  QVERIFY(SharedBoxesOn(form, form.TabSheet1));
  // No call store: the pickers keep the design's period.
  QCOMPARE(form.DateTimePickerStart->DateTime(), 36006.0);
  QCOMPARE(form.DateTimePickerStop->DateTime(), kDesignStop);
  QVERIFY(!form.IsClosed());
  QVERIFY(rig.messages.Shown().empty());
}

void MainFormTest::sharedReportBoxesFollowTheReportPage_data() {
  QTest::addColumn<QList<int>>("choices");
  QTest::addColumn<int>("page");
  QTest::newRow("to the logbook") << QList<int>{2} << 2;
  QTest::newRow("options keep them on the analysis page") << QList<int>{3} << 1;
  QTest::newRow("options, then the logbook") << QList<int>{3, 2} << 2;
  QTest::newRow("logbook, options, analysis") << QList<int>{2, 3, 1} << 1;
  QTest::newRow("logbook, then options") << QList<int>{2, 3} << 2;
}

void MainFormTest::sharedReportBoxesFollowTheReportPage() {
  QFETCH(QList<int>, choices);
  QFETCH(int, page);
  FormRig rig;
  TForm1& form = rig.Show();
  const QRect box7 = form.GroupBox7->geometry();
  const QRect box3 = form.GroupBox3->geometry();
  for (int tag : choices) {
    ChoosePage(form, tag);
    QCOMPARE(form.ActivePageTag(), tag);
    QVERIFY(!SharedBoxesOn(form, form.TabSheet3));
  }
  QVERIFY(SharedBoxesOn(form, form.PageControl1->widget(page - 1)));
  QCOMPARE(form.GroupBox7->geometry(), box7);
  QCOMPARE(form.GroupBox3->geometry(), box3);
  QVERIFY(!form.GroupBox7->isHidden());
  QVERIFY(!form.GroupBox3->isHidden());
  // Only the shared boxes move.
  QCOMPARE(form.RichEdit1->parentWidget(), form.TabSheet2);
  QCOMPARE(form.GroupBox4->parentWidget(), form.TabSheet1);
}

void MainFormTest::openedOnTheOptionsPageTheBoxesWaitOnTheLogbook() {
  FormRig rig;
  TForm1& form = rig.Create();
  // As the show sequence does for a stored page 3: the page goes on top without the handler,
  // then the handler runs for it.
  form.SetActivePage(3);
  QCOMPARE(form.ActivePageTag(), 3);
  QVERIFY(SharedBoxesOn(form, form.TabSheet2));
  form.PageControl1Change();
  QVERIFY(SharedBoxesOn(form, form.TabSheet2));
  ChoosePage(form, 1);
  QVERIFY(SharedBoxesOn(form, form.TabSheet1));
}

void MainFormTest::tabGoesOnToTheNextControl_data() {
  QTest::addColumn<int>("page");
  QTest::addColumn<QString>("from");
  QTest::addColumn<QString>("to");
  QTest::newRow("first date") << 1 << "DateTimePickerStart"
                              << "DateTimePickerStop";
  QTest::newRow("last date") << 2 << "DateTimePickerStop"
                             << "btnCreate";
  QTest::newRow("charges grid") << 3 << "strgrdCost"
                                << "btnEdit";
}

// Tab leaves a date picker or the grid at once, whichever field or cell it is in.
void MainFormTest::tabGoesOnToTheNextControl() {
  QFETCH(int, page);
  QFETCH(QString, from);
  QFETCH(QString, to);
  FormRig rig;
  TForm1& form = rig.Show();
  QVERIFY(OnScreen(form));
  form.activateWindow();
  ChoosePage(form, page);
  QWidget* start = Child(form, from.toLatin1().constData());
  QVERIFY(start != nullptr);
  start->setFocus();
  QTRY_VERIFY(start->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget()->objectName(), to);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  QCOMPARE(QApplication::focusWidget()->objectName(), from);
  // Within a date picker the date separator moves on to the next field, not out of the box.
  if (auto* picker = qobject_cast<dorvane::TDateTimePicker*>(start)) {
    picker->setCurrentSectionIndex(0);
    QTest::keyClick(picker, '/');
    QVERIFY(picker->hasFocus());
    QCOMPARE(picker->currentSectionIndex(), 1);
  }
}

void MainFormTest::warningBoxesEnableTheirThresholds() {
  for (const auto& [box, edit] : {std::pair{"chkboxWarnCost", "editWarnCost"},
                                  std::pair{"chkboxWarnAverageCost", "editWarnAverageCost"}}) {
    FormRig rig;
    TForm1& form = rig.Show();
    auto* check = qobject_cast<QCheckBox*>(Child(form, box));
    QWidget* threshold = Child(form, edit);
    QVERIFY2(check != nullptr && threshold != nullptr, box);
    QVERIFY2(!threshold->isEnabled(), edit);
    check->click();
    QVERIFY2(check->isChecked(), box);
    QVERIFY2(threshold->isEnabled(), edit);
    check->click();
    QVERIFY2(!threshold->isEnabled(), edit);
    // A change made by the program counts as well.
    check->setChecked(true);
    QVERIFY2(threshold->isEnabled(), edit);
  }
}

void MainFormTest::deleteAllModemCalls_data() {
  QTest::addColumn<bool>("storeExists");
  QTest::addColumn<Answer>("answer");
  QTest::addColumn<bool>("storeLeft");
  QTest::newRow("yes") << true << Answer::Yes << false;
  QTest::newRow("no") << true << Answer::No << true;
  QTest::newRow("yes without a store") << false << Answer::Yes << false;
}

void MainFormTest::deleteAllModemCalls() {
  QFETCH(bool, storeExists);
  QFETCH(Answer, answer);
  QFETCH(bool, storeLeft);
  FormRig rig;
  const std::string store = "[1998-7]\r\n36006.5=36006.6\r\n";
  if (storeExists) rig.WriteFile("dorvane.DB", store);
  TForm1& form = rig.Show();
  form.lblNumberOfCalls->setText(QStringLiteral("1"));

  rig.messages.Expect(BoxKind::Confirm, dorvane::kDeleteAllCallsQuestion, answer);
  form.btnDeleteData->click();
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(rig.Exists("dorvane.DB"), storeLeft);
  if (storeLeft) QCOMPARE(rig.ReadFile("dorvane.DB"), store);
  // Nothing on screen is refreshed.
  QCOMPARE(form.lblNumberOfCalls->text(), QStringLiteral("1"));
}

// The Options page names the folder's notation; the button rewrites the folder and the window
// in the desktop's, once the user agrees.
void MainFormTest::theFolderTakesTheDesktopsRegionalSettings() {
  FormRig rig;
  RegionalSettings german = RegionalSettings::UsEnglish();
  german.decimalSeparator = ",";
  german.thousandSeparator = ".";
  german.currencySymbol = "\u20AC";
  german.currencyFormat = 3;
  german.shortDateFormat = "dd.mm.yyyy";
  german.dateSeparator = ".";
  german.longTimeFormat = "hh:nn:ss";
  german.shortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
  german.longDayNames = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                         "Donnerstag", "Freitag", "Samstag"};
  rig.regional = german;
  const std::string store = "[1998-8]\r\n36022,5=36022,625\r\n";
  const std::string settings =
      "[strgrdCost]\r\nCount=2\r\nCell01=Mo, Di\r\nCell11=08:00:00 - 17:59:59\r\n"
      "Cell21=0,12\r\nCell31=0,04\r\nCell41=0\r\nCell51=0\r\n"
      "Cell02=The time not specified above\r\nCell12=00:00:00 - 23:59:59\r\nCell22=0,3\r\n"
      "Cell32=0,1\r\nCell42=0\r\nCell52=0\r\n";
  rig.WriteFile("dorvane.DB", store);
  rig.WriteFile("dorvane.INI", settings);
  TForm1& form = rig.Show();
  const QString germanSample = QString::fromStdString(dorvane::NotationSample(german));
  QCOMPARE(form.lblRegionalSample->text(), germanSample);
  QCOMPARE(form.lblRegionalSample->accessibleName(),
           QStringLiteral("Regional settings of this data folder: ") + germanSample);
  QVERIFY(!form.btnDesktopRegional->accessibleDescription().isEmpty());

  const RegionalSettings us = RegionalSettings::UsEnglish();
  rig.desktop = us;
  const std::string question =
      "Rewrite the calls and the charges tables of this data folder in the desktop's regional "
      "settings?\n\nNow: " +
      dorvane::NotationSample(german) + "\nThen: " + dorvane::NotationSample(us);
  rig.messages.Expect(BoxKind::Confirm, question, Answer::No);
  form.btnDesktopRegional->click();
  QCOMPARE(rig.ReadFile("dorvane.DB"), store);
  QCOMPARE(rig.ReadFile("dorvane.INI"), settings);

  rig.messages.Expect(BoxKind::Confirm, question, Answer::Yes);
  form.btnDesktopRegional->click();
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(rig.ReadFile("dorvane.DB"), std::string("[1998-8]\r\n36022.5=36022.625\r\n"));
  const std::string converted = rig.ReadFile("dorvane.INI");
  QVERIFY2(converted.find("Cell01=Mon, Tue\r\nCell11=8:00:00 AM - 5:59:59 PM\r\nCell21=0.12\r\n") !=
               std::string::npos,
           converted.c_str());
  QCOMPARE(dorvane::ReadRecordedRegional(*rig.registry).value_or(german), us);
  QCOMPARE(form.strgrdCost->item(0, 0)->text(), QStringLiteral("Mon, Tue"));
  QCOMPARE(form.strgrdCost->item(1, 3)->text(), QStringLiteral("0.1"));
  QCOMPARE(form.lblRegionalSample->text(), QString::fromStdString(dorvane::NotationSample(us)));

  rig.messages.Expect(BoxKind::Information,
                      "This data folder already uses the desktop's regional settings (" +
                          dorvane::NotationSample(us) + ").");
  form.btnDesktopRegional->click();
  QVERIFY(rig.messages.AllShown());
}

void MainFormTest::commandLineCheck_data() {
  QTest::addColumn<Strings>("arguments");
  QTest::addColumn<bool>("closes");
  QTest::newRow("CHECK") << Strings{"CHECK"} << true;
  QTest::newRow("/check") << Strings{"/check"} << true;
  QTest::newRow("-Check") << Strings{"-Check"} << true;
  QTest::newRow("text around it") << Strings{"recheck"} << true;
  QTest::newRow("second parameter only") << Strings{"x", "CHECK"} << false;
  QTest::newRow("no parameter") << Strings{} << false;
  QTest::newRow("misspelt") << Strings{"chek"} << false;
}

void MainFormTest::commandLineCheck() {
  QFETCH(Strings, arguments);
  QFETCH(bool, closes);
  FormRig rig;
  rig.WriteFile("ModemLog.txt", LogSession("07-30-1998 20:14:03.25", "07-30-1998 20:52:41.80"));
  TForm1& form = rig.Show(arguments);
  // The start-up work is done either way; then the check closes the window.
  QVERIFY(rig.Exists("dorvane.DB"));
  QVERIFY(!rig.Exists("ModemLog.txt"));
  QCOMPARE(form.IsClosed(), closes);
  QCOMPARE(rig.help.requests, closes ? Strings{"Quit"} : Strings{});
  QVERIFY(!form.isVisible());
}

void MainFormTest::failedShowStepIsReportedOnceAndEndsTheSequence_data() {
  QTest::addColumn<bool>("refusingRegistry");
  QTest::addColumn<QString>("store");
  QTest::addColumn<QString>("error");
  QTest::addColumn<bool>("logImported");
  // Whether the close keeps the user's settings file as it was: nothing was loaded before the
  // failure, so nothing may be written over it.
  QTest::addColumn<bool>("settingsKept");
  QTest::newRow("registry refuses the log switch")
      << true << ""
      << "Failed to set data for 'LoggingPath'" << false << true;
  QTest::newRow("call store line that is no number")
      << false << "[1998-7]\r\nabc=36006.6\r\n"
      << "Line 2 of %1: 'abc' is not a valid floating point value" << true << false;
}

void MainFormTest::failedShowStepIsReportedOnceAndEndsTheSequence() {
  QFETCH(bool, refusingRegistry);
  QFETCH(QString, store);
  QFETCH(QString, error);
  QFETCH(bool, logImported);
  QFETCH(bool, settingsKept);
  FormRig rig;
  dorvane::testing::RefusingRegistry refusing;
  if (!store.isEmpty()) rig.WriteFile("dorvane.DB", store.toStdString());
  const std::string ini =
      "[Warn Monthly Cost]\r\nWarn=0\r\nCost=12,50\r\n[strgrdCost]\r\nCount=1\r\n"
      "Cell01=The time not specified above\r\nCell21=0.25\r\n";
  rig.WriteFile("dorvane.INI", ini);
  rig.WriteFile("ModemLog.txt", LogSession("08-02-1998 10:00:00.00", "08-02-1998 10:30:00.00"));
  rig.messages.Expect(
      BoxKind::ShowError,
      error.replace(QLatin1String("%1"), QString::fromStdString(rig.Path("dorvane.DB")))
          .toStdString());

  TForm1& form = rig.Show({"CHECK"}, refusingRegistry ? &refusing : nullptr);
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(rig.messages.Shown().size(), std::size_t{1});
  QCOMPARE(rig.Exists("ModemLog.txt"), !logImported);
  // The rest of the sequence was skipped: the check did not close the window.
  QVERIFY(!form.IsClosed());
  QVERIFY(rig.help.requests.empty());
  QCOMPARE(form.DateTimePickerStop->DateTime(), kDesignStop);
  // The window stays usable.
  ChoosePage(form, 2);
  QVERIFY(SharedBoxesOn(form, form.TabSheet2));
  ChoosePage(form, 1);
  QVERIFY(SharedBoxesOn(form, form.TabSheet1));
  // Closing writes only what was loaded (and the page the user chose).
  form.close();
  QVERIFY(form.IsClosed());
  const std::string after = rig.ReadFile("dorvane.INI");
  if (settingsKept) {
    QCOMPARE(after, ini + "[PageControl]\r\nActivePage=1\r\n");
  } else {
    QVERIFY(after.find("Cell31=0.1\r\n") != std::string::npos);
  }
}

void MainFormTest::reportPeriodComesFromTheCallStore() {
  FormRig rig;
  rig.WriteFile("ModemLog.txt", LogSession("07-30-1998 20:14:03.25", "07-30-1998 20:52:41.80") +
                                    LogSession("08-02-1998 23:59:00.00", "08-03-1998 00:10:00.00"));
  TForm1& form = rig.Show();
  // From midnight of the first call's day to the end of the day the last call started.
  QCOMPARE(form.DateTimePickerStart->DateTime(), dorvane::EncodeDate(1998, 7, 30));
  QCOMPARE(form.DateTimePickerStop->DateTime(),
           dorvane::EncodeDate(1998, 8, 2) + (kDesignStop - 36006));
  QCOMPARE(form.DateTimePickerStart->date(), QDate(1998, 7, 30));
  QCOMPARE(form.DateTimePickerStop->date(), QDate(1998, 8, 2));
  QVERIFY(!rig.Exists("ModemLog.txt"));
}

void MainFormTest::helpAndHomePage_data() {
  QTest::addColumn<FormAction>("action");
  QTest::addColumn<QString>("request");
  QTest::newRow("Contents") << FormAction([](TForm1& f) { f.Contents1->trigger(); }) << "Contents";
  QTest::newRow("Help tool button")
      << FormAction([](TForm1& f) { f.SpeedButton4->click(); }) << "Contents";
  QTest::newRow("How to Use Help")
      << FormAction([](TForm1& f) { f.HowtoUseHelp1->trigger(); }) << "HelpOnHelp";
  QTest::newRow("help beside the grid") << FormAction([](TForm1& f) { f.BitBtn6->click(); })
                                        << "JumpToTopic How_to_Specify_Charges_for_Online_Time";
  QTest::newRow("Lower Cost") << FormAction([](TForm1& f) { f.SpeedButton5->click(); })
                              << "JumpToTopic How_to_Reduce_Costs_for_Online_Time";
  QTest::newRow("home page") << FormAction([](TForm1& f) { f.KeltrixHomepage1->trigger(); }) << "";
}

void MainFormTest::helpAndHomePage() {
  QFETCH(FormAction, action);
  QFETCH(QString, request);
  FormRig rig;
  TForm1& form = rig.Show();
  action(form);
  QCOMPARE(rig.help.requests, request.isEmpty() ? Strings{} : Strings{request.toStdString()});
  QCOMPARE(rig.shell.urls.size(), std::size_t{request.isEmpty() ? 1u : 0u});
}

void MainFormTest::everyWayOfClosingRunsTheCloseSequence_data() {
  QTest::addColumn<FormAction>("closeIt");
  QTest::newRow("Exit") << FormAction([](TForm1& f) { f.Exit1->trigger(); });
  QTest::newRow("Exit tool button") << FormAction([](TForm1& f) { f.SpeedButton1->click(); });
  QTest::newRow("close box") << FormAction([](TForm1& f) { f.close(); });
}

void MainFormTest::everyWayOfClosingRunsTheCloseSequence() {
  QFETCH(FormAction, closeIt);
  FormRig rig;
  TForm1& form = rig.Show();
  QVERIFY(OnScreen(form));
  closeIt(form);
  QVERIFY(form.IsClosed());
  QVERIFY(!form.isVisible());
  QCOMPARE(rig.help.requests, Strings{"Quit"});
}

// With DORVANE_SHOTS_DIR set, saves a picture of the widget there.
void SaveShot(QWidget& widget, const char* name) {
  const QString shots = qEnvironmentVariable("DORVANE_SHOTS_DIR");
  if (!shots.isEmpty()) widget.grab().save(shots + QLatin1Char('/') + QLatin1String(name));
}

// Runs `inDialog` on the band editor once it is up, then opens it with `open`.
void WithCostEditor(TForm1& form, const std::function<void(TfrmCostEditor&)>& inDialog,
                    const std::function<void()>& open) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* editor = qobject_cast<TfrmCostEditor*>(QApplication::activeModalWidget());
    if (editor == nullptr) return;
    QVERIFY(QTest::qWaitForWindowActive(editor));
    seen = true;
    inDialog(*editor);
    if (editor->isVisible()) editor->reject();
  });
  open();
  QVERIFY(seen);
  QVERIFY(!form.frmCostEditor->isVisible());
}

void MainFormTest::bandEditorAddsEditsAndDeletesBands() {
  FormRig rig;
  TForm1& form = rig.Show();
  QCOMPARE(form.frmCostEditor->lblStartCost->text(),
           QStringLiteral("Start cost per phone call [$]:"));

  // New: weekdays only, 8 to 18, with a cost per minute that is no number first.
  WithCostEditor(
      form,
      [&](TfrmCostEditor& e) {
        QVERIFY(e.grpboxDays->isEnabled());
        e.dayBoxes[0]->setChecked(false);
        e.dayBoxes[6]->setChecked(false);
        e.DateTimePickerFrom->setTime(QTime(8, 0));
        e.DateTimePickerTo->setTime(QTime(18, 0));
        // The regional long time, on the 12-hour clock of these settings.
        QCOMPARE(e.DateTimePickerTo->text(), QStringLiteral("6:00:00 PM"));
        e.editMinuteCost->setText(QStringLiteral("abc"));
        rig.messages.Expect(BoxKind::ShowError, "'abc' is not a valid floating point value");
        e.OKBtn->click();
        QVERIFY(e.isVisible());
        e.editMinuteCost->setText(QStringLiteral("0.05"));
        e.editMinimumPeriod->setText(QStringLiteral("5"));
        e.OKBtn->click();
        QVERIFY(!e.isVisible());
      },
      [&] { form.btnNew->click(); });
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(form.strgrdCost->rowCount(), 2);
  QCOMPARE(form.strgrdCost->item(0, 0)->text(), QStringLiteral("Mon, Tue, Wed, Thu, Fri"));
  QCOMPARE(form.strgrdCost->item(0, 1)->text(), QStringLiteral("8:00:00 AM - 6:00:00 PM"));
  QCOMPARE(form.strgrdCost->item(0, 3)->text(), QStringLiteral("0.05"));
  QCOMPARE(form.strgrdCost->item(1, 0)->text(), QStringLiteral("The time not specified above"));

  // Edit the catch-all band: days and times locked, a press on them explains why.
  form.strgrdCost->setCurrentCell(1, 0);
  WithCostEditor(
      form,
      [&](TfrmCostEditor& e) {
        QVERIFY(!e.grpboxDays->isEnabled());
        QVERIFY(!e.grpboxTime->isEnabled());
        QCOMPARE(e.editMinimumPeriod->text(), QStringLiteral("0"));
        SaveShot(e, "costeditor.png");
        rig.messages.Expect(BoxKind::Information, dorvane::kLockedBandNote);
        QTest::mouseClick(&e, Qt::LeftButton, {}, QPoint(20, 100));
        e.editStartCost->setText(QStringLiteral("0.2"));
        e.OKBtn->click();
      },
      [&] { form.btnEdit->click(); });
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(form.strgrdCost->item(1, 0)->text(), QStringLiteral("The time not specified above"));
  QCOMPARE(form.strgrdCost->item(1, 2)->text(), QStringLiteral("0.2"));

  // A new band after editing: the minimum period of the band last loaded, the costs "0".
  WithCostEditor(
      form,
      [&](TfrmCostEditor& e) {
        QCOMPARE(e.editMinimumPeriod->text(), QStringLiteral("0"));
        QCOMPARE(e.editStartCost->text(), QStringLiteral("0"));
        QVERIFY(e.grpboxDays->isEnabled());
      },
      [&] { form.btnNew->click(); });
  QCOMPARE(form.strgrdCost->rowCount(), 2);  // cancelled: nothing added

  // Delete: No changes nothing; Yes on the catch-all band clears its costs only.
  rig.messages.Expect(BoxKind::Confirm, "Delete this line?", dorvane::Answer::No);
  form.btnDelete->click();
  rig.messages.Expect(BoxKind::Confirm, "Delete this line?", dorvane::Answer::Yes);
  form.btnDelete->click();
  QCOMPARE(form.strgrdCost->rowCount(), 2);
  QCOMPARE(form.strgrdCost->item(1, 2)->text(), QStringLiteral("0"));
  form.strgrdCost->setCurrentCell(0, 0);
  rig.messages.Expect(BoxKind::Confirm, "Delete this line?", dorvane::Answer::Yes);
  form.btnDelete->click();
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(form.strgrdCost->rowCount(), 1);
  QCOMPARE(form.strgrdCost->currentRow(), 0);
}

// A start that failed before the charges table was loaded leaves the grid empty: an edit there
// offers to read the file; refused, the edit stays out of the file and the close says so.
void MainFormTest::aTableTheStartDidNotReadIsNeverSaved() {
  const std::string ini =
      "[strgrdCost]\r\nCount=3\r\nCell01=Mon\r\nCell11=08:00:00 AM - 06:00:00 PM\r\n"
      "Cell02=Tue\r\nCell12=08:00:00 AM - 06:00:00 PM\r\nCell03=The time not specified above\r\n";
  for (const bool readAgain : {false, true}) {
    FormRig rig;
    dorvane::testing::RefusingRegistry refusing;
    rig.WriteFile("dorvane.INI", ini);
    rig.messages.Expect(BoxKind::ShowError, "Failed to set data for 'LoggingPath'");
    TForm1& form = rig.Show({}, &refusing);
    const std::string path = rig.Path("dorvane.INI");
    rig.messages.Expect(BoxKind::Confirm, dorvane::ReadChargesTableAgainText(path),
                        readAgain ? dorvane::Answer::Yes : dorvane::Answer::No);
    rig.messages.Expect(BoxKind::Confirm, "Delete this line?", dorvane::Answer::Yes);
    form.btnDelete->click();
    QCOMPARE(form.strgrdCost->rowCount(), readAgain ? 2 : 1);
    if (!readAgain) {
      rig.messages.Expect(BoxKind::Warning, dorvane::ChargesTableKeptOutText(path));
    }
    form.close();
    QVERIFY(rig.messages.AllShown());
    if (readAgain) {
      QVERIFY(rig.ReadFile("dorvane.INI").find("Count=2\r\nCell01=Tue") != std::string::npos);
    } else {
      QCOMPARE(rig.ReadFile("dorvane.INI"), ini);
    }
  }
}

// A data folder that cannot be written: one message naming it with the system's reason; the
// tariff, the options and the period are still read, and the log waits for a writable store.
void MainFormTest::anUnwritableDataFolderIsNamedAndTheRestStillLoads() {
  class ReadOnlyFolder : public dorvane::RealFileSystem {
   public:
    using RealFileSystem::RealFileSystem;
    std::optional<std::string> FolderWriteProblem(const std::string&) const override {
      return "Read-only file system";
    }
  };
  FormRig rig;
  rig.files = std::make_unique<ReadOnlyFolder>(rig.Path(""));
  rig.WriteFile("dorvane.INI",
                "[Warn Monthly Cost]\r\nCost=12,50\r\n[strgrdCost]\r\nCount=2\r\nCell01=Mon\r\n"
                "Cell02=The time not specified above\r\n");
  rig.WriteFile("dorvane.DB", "[1998-7]\r\n36006.5=36006.6\r\n[1998-8]\r\n36008.5=36008.6\r\n");
  const std::string log = LogSession("08-02-1998 10:00:00.00", "08-02-1998 10:30:00.00");
  rig.WriteFile("ModemLog.txt", log);
  rig.messages.Expect(
      BoxKind::ShowError,
      dorvane::DataFolderUnwritableText(dorvane::PortableDataPaths(rig.Path("dorvane")).folder,
                                        "Read-only file system"));
  TForm1& form = rig.Show();
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(form.strgrdCost->rowCount(), 2);
  QCOMPARE(form.editWarnCost->text(), QStringLiteral("12,50"));
  QCOMPARE(form.DateTimePickerStart->date(), QDate(1998, 7, 30));
  QCOMPARE(form.DateTimePickerStop->date(), QDate(1998, 8, 1));
  QCOMPARE(form.lblNumberOfCalls->text(), QStringLiteral("2"));
  QCOMPARE(rig.ReadFile("ModemLog.txt"), log);
  QVERIFY(!rig.Exists("dorvane.REG"));
}

void MainFormTest::reportsPricesAndWarnings() {
  FormRig rig;  // today is 15 August 1998, noon
  rig.WriteFile("dorvane.INI",
                "[Warn Monthly Cost]\r\nWarn=1\r\nCost=1\r\n"
                "[Warn Average Cost]\r\nWarn=1\r\nCost=2\r\n");
  rig.WriteFile("ModemLog.txt", LogSession("07-30-1998 20:14:03.25", "07-30-1998 20:52:41.80") +
                                    LogSession("08-02-1998 23:59:00.00", "08-03-1998 00:10:00.00"));
  // August holds one call of 11 minutes: 0.3 + 1.1; its average, 1.40, stays below 2.
  rig.messages.Expect(BoxKind::Warning, "Costs for Online Time have reached $1.40 this month");
  TForm1& form = rig.Show();
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(form.CurrentMonthCount(), 1);

  // The start-up costs analysis over both calls at the catch-all band alone.
  const std::vector<std::pair<QLabel*, QString>> analysis = {
      {form.lblPeriod, "7/30/1998  -  8/3/1998"},
      {form.lblNumberOfCalls, "2"},
      {form.lblAverageCallingTime, "00:24:49"},
      {form.lblTotalCallingTime, "00:49:38"},
      {form.lblAverageCost, "$2.78"},
      {form.lblTotalCost, "$5.56"},
      {form.lblLowestCost, "$5.56 ($0.00)"},
      {form.lblHighestCost, "$5.56 ($0.00)"},
      {form.lblEstimatedMonthlyCost, "$2.89"},
      {form.lblMonthlyCostDuringPeriod, "$10.78"},
  };
  for (const auto& [label, text] : analysis) QCOMPARE(label->text(), text);
  QCOMPARE(form.ProgressBar1->value(), 0);

  ChoosePage(form, 2);
  form.btnCreate->click();
  const QString report = form.RichEdit1->toPlainText();
  QVERIFY2(report.startsWith("Modem Logbook Report\n\n7/30/1998 8:14:03 PM  -  7/30/1998 "
                             "8:52:41 PM  Time: 00:38:38  Cost: $4.16\n"),
           qPrintable(report));
  QVERIFY2(report.endsWith("Total Cost: $5.56\n"), qPrintable(report));
  // The empty line between the calls and the summary is as high as the summary's text.
  const QTextBlock period = form.RichEdit1->document()->find(QStringLiteral("Period: ")).block();
  QCOMPARE(period.previous().text(), QString());
  QCOMPARE(period.previous().charFormat().fontPointSize(), 12.0);
  SaveShot(form, "logbook.png");

  form.Print1->trigger();
  QCOMPARE(rig.printer.printed, Strings{report.toStdString()});
  rig.printer.confirm = false;
  form.SpeedButton3->click();
  QCOMPARE(rig.printer.printDialogs, 2);
  QCOMPARE(rig.printer.printed.size(), std::size_t{1});
  form.PrintSetup1->trigger();
  QCOMPARE(rig.printer.setupDialogs, 1);
  // A printer chosen in the set-up is offered first and printed on; a cancelled set-up keeps it.
  rig.printer.confirm = true;
  rig.printer.setupConfirm = true;
  rig.printer.setupChoice = "Second floor";
  form.PrintSetup1->trigger();
  rig.printer.setupConfirm = false;
  rig.printer.setupChoice = "Cellar";
  form.PrintSetup1->trigger();
  form.Print1->trigger();
  QCOMPARE(rig.printer.offered, (Strings{"", "", "Second floor"}));
  QCOMPARE(rig.printer.printedOn, (Strings{"", "Second floor"}));

  // A stop date before the start date: the note, the title block alone, the labels kept.
  form.DateTimePickerStop->SetDate(dorvane::EncodeDate(1998, 7, 1));
  rig.messages.Expect(BoxKind::Note, "Invalid Report Period");
  form.btnCreate->click();
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(form.RichEdit1->toPlainText(), QStringLiteral("Modem Logbook Report\n\n"));
  QCOMPARE(form.lblTotalCost->text(), QStringLiteral("$5.56"));
}

void MainFormTest::aboutBoxShowsTheProgramsTexts_data() {
  QTest::addColumn<FormAction>("openIt");
  QTest::newRow("menu item") << FormAction([](TForm1& f) { f.About1->trigger(); });
  QTest::newRow("tool button") << FormAction([](TForm1& f) { f.SpeedButton2->click(); });
}

void MainFormTest::aboutBoxShowsTheProgramsTexts() {
  QFETCH(FormAction, openIt);
  FormRig rig;
  TForm1& form = rig.Show();
  // Twice: the second showing rewrites what a first one might have left.
  for (int showing = 0; showing < 2; ++showing) {
    QStringList seen;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      wasModal = true;
      seen << box->windowTitle() << box->ProductName->text() << box->Version->text()
           << box->Copyright->text();
      const QString shots = qEnvironmentVariable("DORVANE_SHOTS_DIR");
      if (!shots.isEmpty()) box->grab().save(shots + QStringLiteral("/about.png"));
      box->ProductName->setText(QStringLiteral("changed"));
      QTest::keyClick(box, Qt::Key_Return);  // the default button
    });
    openIt(form);
    QVERIFY(wasModal);
    QCOMPARE(seen, (QStringList{"Dorvane", "Dorvane", "Version " DORVANE_VERSION,
                                QString::fromUtf8(dorvane::kCopyrightText)}));
    QVERIFY(!form.AboutBox->isVisible());
  }
  QVERIFY(rig.messages.Shown().empty());
}

void MainFormTest::settingsSurviveARestart() {
  FormRig rig;
  rig.WriteFile("dorvane.INI",
                "[strgrdCost]\r\nCount=2\r\nCell01=Mon, Tue\r\nCell11=8:00:00 AM - 6:00:00 PM\r\n"
                "Cell21=0.2\r\nCell31=0.05\r\nCell41=0\r\nCell51=1.5\r\n");
  {
    TForm1& form = rig.Show();
    QCOMPARE(form.strgrdCost->rowCount(), 2);
    QCOMPARE(form.strgrdCost->item(0, 0)->text(), QStringLiteral("Mon, Tue"));
    QCOMPARE(form.strgrdCost->item(1, 0)->text(), QStringLiteral("The time not specified above"));
    QCOMPARE(form.strgrdCost->item(1, 2)->text(), QStringLiteral("0.3"));
    form.chkboxIgnoreBusyCalls->setChecked(false);
    form.editLogFileName->setText(QStringLiteral("D:\\Modem\\ModemLog.txt"));
    QTest::mouseClick(form.chkboxWarnCost, Qt::LeftButton);
    form.editWarnCost->setText(QStringLiteral("12,50"));
    ChoosePage(form, 3);
    form.close();
    QVERIFY(form.IsClosed());
  }
  const std::string saved = rig.ReadFile("dorvane.INI");
  QVERIFY(saved.find("[PageControl]\r\nActivePage=3\r\n") != std::string::npos);
  QVERIFY(saved.find("Cell51=1.5\r\n") != std::string::npos);

  TForm1& again = rig.Show();
  QVERIFY(!again.chkboxIgnoreBusyCalls->isChecked());
  QCOMPARE(again.editLogFileName->text(), QStringLiteral("D:\\Modem\\ModemLog.txt"));
  QVERIFY(again.chkboxWarnCost->isChecked());
  QVERIFY(again.editWarnCost->isEnabled());
  QCOMPARE(again.editWarnCost->text(), QStringLiteral("12,50"));
  QVERIFY(!again.editWarnAverageCost->isEnabled());
  QCOMPARE(again.ActivePageTag(), 3);
  QVERIFY(SharedBoxesOn(again, again.TabSheet2));
  QCOMPARE(again.strgrdCost->rowCount(), 2);
  QCOMPARE(again.strgrdCost->item(0, 1)->text(), QStringLiteral("8:00:00 AM - 6:00:00 PM"));
  QVERIFY(rig.messages.Shown().empty());
}

void MainFormTest::firstRunHelpOpensOnce_data() {
  QTest::addColumn<QString>("settings");
  QTest::addColumn<Strings>("requests");
  QTest::addColumn<bool>("sectionStays");
  QTest::newRow("FirstTime=1") << "[Prog]\r\nFirstTime=1\r\n"
                               << Strings{"JumpToTopic Introduction"} << false;
  QTest::newRow("FirstTime=0") << "[Prog]\r\nFirstTime=0\r\n" << Strings{} << true;
  QTest::newRow("no FirstTime") << "[Prog]\r\nOther=1\r\n" << Strings{} << true;
}

void MainFormTest::firstRunHelpOpensOnce() {
  QFETCH(QString, settings);
  QFETCH(Strings, requests);
  QFETCH(bool, sectionStays);
  FormRig rig;
  rig.WriteFile("dorvane.INI", settings.toStdString());
  rig.Show();
  QCOMPARE(rig.help.requests, requests);
  QCOMPARE(rig.ReadFile("dorvane.INI").find("[Prog]") != std::string::npos, sectionStays);
  rig.help.requests.clear();
  rig.Show();
  QVERIFY(rig.help.requests.empty());
}

void MainFormTest::checkRunLeavesTheFirstRunHelpToTheNextStart() {
  FormRig rig;
  rig.WriteFile("dorvane.INI", "[Prog]\r\nFirstTime=1\r\n");
  rig.Show({"CHECK"});
  QCOMPARE(rig.help.requests, Strings{"Quit"});
  QVERIFY(rig.ReadFile("dorvane.INI").find("[Prog]") != std::string::npos);
  rig.help.requests.clear();
  rig.Show();
  QCOMPARE(rig.help.requests, Strings{"JumpToTopic Introduction"});
  QVERIFY(rig.ReadFile("dorvane.INI").find("[Prog]") == std::string::npos);
}

void MainFormTest::refusedSettingsKeepTheWindowOpen() {
  FormRig rig;
  TForm1& form = rig.Show();
  // A folder in the settings file's place: the save cannot replace it. The first close asks,
  // with the system's reason; the user may go back, or leave without saving.
  QVERIFY(QDir(QString::fromStdString(rig.dir.Path())).mkdir(QStringLiteral("dorvane.INI")));
  const std::string question = "Dorvane could not save its settings.\n\nUnable to write to " +
                               rig.Path("dorvane.INI") + ": Is a directory\n\nClose anyway?";
  rig.messages.Expect(BoxKind::Confirm, question, Answer::No);
  form.close();
  QVERIFY(rig.messages.AllShown());
  QVERIFY(!form.IsClosed());
  rig.messages.Expect(BoxKind::Confirm, question, Answer::Yes);
  form.close();
  QVERIFY(rig.messages.AllShown());
  QVERIFY(form.IsClosed());
}

// Settings written in another encoding go through the controls and come back unchanged, also
// when the user changed something else.
void MainFormTest::bytesTheUserDidNotChangeAreKept() {
  FormRig rig;
  const std::string log = "LogFileName=C:\\Mod\xE9m\\ModemLog.txt\r\n";
  const std::string cost = "Cost=1\xA0\x80\r\n";
  const std::string cell = "Cell01=Mo\xE9, Tu\xC3\r\n";
  rig.WriteFile("dorvane.INI", "[Windows Modem Log File]\r\n" + log + "[Warn Monthly Cost]\r\n" +
                                   cost + "[strgrdCost]\r\nCount=2\r\n" + cell);
  TForm1& form = rig.Show();
  form.chkboxWarnAverageCost->setChecked(true);
  form.strgrdCost->item(1, 3)->setText(QStringLiteral("0.2"));
  form.close();
  QVERIFY(form.IsClosed());
  const std::string saved = rig.ReadFile("dorvane.INI");
  for (const std::string& line : {log, cost, cell, std::string("Cell32=0.2\r\n")}) {
    QVERIFY2(saved.find(line) != std::string::npos, line.c_str());
  }
  QVERIFY(rig.messages.Shown().empty());
}

void MainFormTest::datePickerShowsTheShortDate() {
  const struct {
    const char* pattern;
    const char* separator;
    const char* text;
  } cases[] = {
      {"m/d/yyyy", "/", "7/30/1998"},    {"mm/dd/yy", "/", "07/30/98"},  // two-digit fields
      {"dd/mm/yyyy", ".", "30.07.1998"},  // the separator from the settings
      {"yyyy-mm-dd", "/", "1998-07-30"}, {"d 'of' m yyyy", "/", "30 of 7 1998"},  // quoted text
      {"d/m/yyyy", "x", "30x7x1998"},  // letters as separator
  };
  for (const auto& c : cases) {
    RegionalSettings rs = RegionalSettings::UsEnglish();
    rs.shortDateFormat = c.pattern;
    rs.dateSeparator = c.separator;
    dorvane::TDateTimePicker picker(rs, 36006.5);
    QCOMPARE(picker.text(), QString(c.text));
    QCOMPARE(picker.text().toStdString(), dorvane::DateToStr(rs, 36006.5));
  }
}

void MainFormTest::datePickerKeepsItsTimeOfDay() {
  const RegionalSettings rs = RegionalSettings::UsEnglish();
  dorvane::TDateTimePicker picker(rs, kDesignStop);
  picker.SetDate(dorvane::EncodeDate(1999, 1, 12) + 0.25);
  QCOMPARE(picker.DateTime(), dorvane::EncodeDate(1999, 1, 12) + (kDesignStop - 36006));
  // A date chosen in the calendar keeps the time as well.
  picker.setDate(QDate(1999, 2, 1));
  QCOMPARE(picker.DateTime(), dorvane::EncodeDate(1999, 2, 1) + (kDesignStop - 36006));
  // A value that is no date is refused and changes nothing.
  bool refused = false;
  try {
    picker.SetDate(1e12);
  } catch (const dorvane::Error&) {
    refused = true;
  }
  QVERIFY(refused);
  QCOMPARE(picker.DateTime(), dorvane::EncodeDate(1999, 2, 1) + (kDesignStop - 36006));
}

// Every caption fits its control and no two controls of one parent overlap, on each page with
// the shared boxes on it. With DORVANE_SHOTS_DIR set, each page is also saved as pageN.png.
namespace {

// The controls placed in `container` (and in its boxes and frames) lie within it, none over
// another, and each is wide enough for its caption or value.
void CheckPlacedControls(QWidget* container) {
  QList<QWidget*> parents = {container};
  for (QWidget* child : container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (qobject_cast<QGroupBox*>(child) != nullptr ||
        QLatin1String(child->metaObject()->className()) == QLatin1String("QFrame"))
      parents << child;
  }
  for (QWidget* parent : parents) {
    const QList<QWidget*> controls =
        parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) {
      if (control->isWindow() || control->isHidden()) continue;
      const QByteArray name = control->objectName().toLatin1();
      QVERIFY2(parent->rect().contains(control->geometry()), name.constData());
      for (QWidget* other : controls) {
        if (other != control && !other->isHidden() && !other->isWindow() &&
            !other->objectName().isEmpty() && !name.isEmpty()) {
          QVERIFY2(!control->geometry().intersects(other->geometry()),
                   (name + " overlaps " + other->objectName().toLatin1()).constData());
        }
      }
      const QFontMetrics metrics = control->fontMetrics();
      if (auto* label = qobject_cast<QLabel*>(control)) {
        if (!label->wordWrap())
          QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(), name.constData());
      } else if (auto* wrap = qobject_cast<dorvane::TWrapCheckBox*>(control)) {
        const QRect caption = wrap->CaptionRect();
        const QRect needed = metrics.boundingRect(caption, Qt::TextWordWrap, wrap->text());
        QVERIFY2(needed.height() <= caption.height() && needed.width() <= caption.width(),
                 name.constData());
      } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        QVERIFY2(check->sizeHint().width() <= check->width(), name.constData());
      } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        QVERIFY2(
            metrics.horizontalAdvance(button->text().remove('&')) + icon + 8 <= button->width(),
            name.constData());
      } else if (auto* field = qobject_cast<QAbstractSpinBox*>(control)) {
        // A date or time with its arrows: the last digit is not cut.
        QVERIFY2(field->sizeHint().width() <= field->width(), name.constData());
      }
    }
  }
}

}  // namespace

// At the desktop's font and at a much larger one: every page, the band editor and the About box.
void MainFormTest::captionsFitAndControlsDoNotOverlap() {
  const QFont original = QApplication::font();
  QFont large = original;
  large.setPointSizeF(original.pointSizeF() > 0 ? original.pointSizeF() * 1.6 : 15);
  for (const QFont& font : {original, large}) {
    QApplication::setFont(font);
    FormRig rig;
    TForm1& form = rig.Show();
    QVERIFY(OnScreen(form));
    const QString shots = qEnvironmentVariable("DORVANE_SHOTS_DIR");
    for (int tag : {1, 2, 3}) {
      ChoosePage(form, tag);
      CheckPlacedControls(form.PageControl1->currentWidget());
      if (QTest::currentTestFailed()) return;
      if (!shots.isEmpty()) {
        QVERIFY(form.grab().save(QDir(shots).filePath(QStringLiteral("page%1.png").arg(tag))));
      }
    }
    CheckPlacedControls(form.Panel1);
    for (QToolButton* tool : form.Panel1->findChildren<QToolButton*>()) {
      QVERIFY2(tool->fontMetrics().horizontalAdvance(tool->text()) + 4 <= tool->width(),
               tool->objectName().toLatin1().constData());
    }
    CheckPlacedControls(form.frmCostEditor);
    form.AboutBox->FillTexts();
    CheckPlacedControls(form.AboutBox);
    if (QTest::currentTestFailed()) return;
  }
  QApplication::setFont(original);
}

void MainFormTest::cutDaysAndTimeCellsShowTheirTextAsATip() {
  FormRig rig;
  const std::string days = "Monday, Tuesday, Wednesday, Thursday, Friday";
  rig.WriteFile("dorvane.INI",
                "[strgrdCost]\r\nCount=2\r\nCell01=" + days +
                    "\r\nCell11=08:00:00 AM - 06:00:00 PM\r\nCell21=0.5\r\nCell02=Sun\r\n");
  TForm1& form = rig.Show();
  form.show();
  ChoosePage(form, 3);
  QWidget* viewport = form.strgrdCost->viewport();
  const auto tipAt = [&](int row, int column) {
    // A tip goes away after a short delay: the next one is asked only once it has gone.
    QToolTip::hideText();
    for (int waited = 0; QToolTip::isVisible() && waited < 2000; waited += 20) QTest::qWait(20);
    const QPoint at =
        form.strgrdCost->visualRect(form.strgrdCost->model()->index(row, column)).center();
    QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  QCOMPARE(tipAt(0, 0), QString::fromStdString(days));
  QCOMPARE(tipAt(1, 0), QString());  // "Sun" fits
  QCOMPARE(tipAt(0, 2), QString());  // costs never show one
  // A column the user widened no longer cuts the text.
  form.strgrdCost->horizontalHeader()->resizeSection(0, 400);
  QCOMPARE(form.strgrdCost->columnWidth(0), 400);
  QCOMPARE(tipAt(0, 0), QString());
  form.strgrdCost->horizontalHeader()->resizeSection(1, 40);
  QCOMPARE(tipAt(0, 1), QStringLiteral("08:00:00 AM - 06:00:00 PM"));
}

namespace {

QString Plain(QString caption) {
  caption.remove(QLatin1Char('&'));
  if (caption.endsWith(QLatin1String("..."))) caption.chop(3);
  return caption.trimmed();
}

// Every accessible object under `root` that stands for a visible control, depth first. The
// cells of a table and the lines of a text box are the control's own content, not controls.
void CollectAccessible(QAccessibleInterface* iface, QList<QAccessibleInterface*>& out) {
  if (iface == nullptr || iface->state().invisible) return;
  out << iface;
  const QAccessible::Role role = iface->role();
  if (role == QAccessible::Table || role == QAccessible::EditableText ||
      role == QAccessible::ScrollBar || role == QAccessible::MenuBar ||
      role == QAccessible::SpinBox || role == QAccessible::ComboBox)
    return;
  for (int i = 0; i < iface->childCount(); ++i) CollectAccessible(iface->child(i), out);
}

QString Describe(QAccessibleInterface* iface) {
  QObject* object = iface->object();
  return QStringLiteral("%1 (%2, role %3)")
      .arg(object != nullptr ? object->objectName() : QString())
      .arg(object != nullptr ? QLatin1String(object->metaObject()->className()) : QLatin1String(""))
      .arg(static_cast<int>(iface->role()));
}

// The rules a screen reader relies on, for one window: every control has a name; a hint is the
// control's description; a caption is the name of what it labels, without its colon, and the
// labelled control points back to it.
void CheckAccessibleWindow(QWidget* window) {
  QList<QAccessibleInterface*> all;
  CollectAccessible(QAccessible::queryAccessibleInterface(window), all);
  QVERIFY(all.size() > 5);
  for (QAccessibleInterface* iface : all) {
    const QString what = Describe(iface);
    QVERIFY2(!iface->text(QAccessible::Name).trimmed().isEmpty(),
             qPrintable(what + QStringLiteral(" has no name")));
    auto* widget = qobject_cast<QWidget*>(iface->object());
    if (widget == nullptr) continue;
    if (!widget->statusTip().isEmpty()) {
      QCOMPARE(iface->text(QAccessible::Description), widget->statusTip());
    }
    auto* caption = qobject_cast<QLabel*>(widget);
    if (caption == nullptr || caption->buddy() == nullptr) continue;
    QString name = caption->text().remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    QAccessibleInterface* labelled = QAccessible::queryAccessibleInterface(caption->buddy());
    const QString given = labelled->text(QAccessible::Name);
    // The name is the caption: its start where the program adds to a caption (the currency),
    // or with the words before it where a caption reads on from another.
    QVERIFY2(!given.endsWith(QLatin1Char(':')) && !given.isEmpty() &&
                 (name.startsWith(given) || given.endsWith(name)),
             qPrintable(given + QStringLiteral(" named after ") + caption->text()));
    bool pointsBack = false;
    for (const auto& [other, relation] : labelled->relations(QAccessible::Label))
      pointsBack |= other->object() == caption;
    QVERIFY2(pointsBack, qPrintable(given + QStringLiteral(" is not labelled by its caption")));
    if (auto* value = qobject_cast<QLabel*>(caption->buddy())) {
      // A value says its value once, as its text, and never as its name.
      QVERIFY(value->text().isEmpty() || !given.contains(value->text()));
    }
  }
}

// The ancestors of `a` and `b` that are siblings under their nearest common ancestor.
std::pair<QWidget*, QWidget*> SiblingAncestors(QWidget* a, QWidget* b) {
  for (QWidget* x = a; x != nullptr; x = x->parentWidget()) {
    for (QWidget* y = b; y != nullptr; y = y->parentWidget()) {
      if (x->parentWidget() != nullptr && x->parentWidget() == y->parentWidget()) return {x, y};
    }
  }
  return {a, b};
}

// True when the eye meets `a` before `b`: a row above it, or on the same row to its left.
bool ReadBefore(QWidget* a, QWidget* b) {
  const auto [x, y] = SiblingAncestors(a, b);
  if (x == y) return true;
  const QRect ra = x->geometry();
  const QRect rb = y->geometry();
  const bool sameRow = (rb.center().y() >= ra.top() && rb.center().y() <= ra.bottom()) ||
                       (ra.center().y() >= rb.top() && ra.center().y() <= rb.bottom());
  return sameRow ? ra.left() < rb.left() : ra.top() < rb.top();
}

// The controls Tab stops at from `start`, once round.
QList<QWidget*> TabRound(QWidget* start) {
  QList<QWidget*> stops;
  start->setFocus();
  for (int i = 0; i < 100; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || stops.contains(focus)) break;
    stops << focus;
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  return stops;
}

double Luminance(const QColor& c) {
  const auto channel = [](double v) {
    v /= 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette DarkPalette() {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(53, 53, 53));
  dark.setColor(QPalette::WindowText, Qt::white);
  dark.setColor(QPalette::Base, QColor(35, 35, 35));
  dark.setColor(QPalette::Text, Qt::white);
  dark.setColor(QPalette::Button, QColor(53, 53, 53));
  dark.setColor(QPalette::ButtonText, Qt::white);
  return dark;
}

}  // namespace

// Every button of the window does what one of its menu items does, and every menu item has a
// shortcut of its own.
void MainFormTest::everyCommandHasAMenuItemAndAShortcut() {
  FormRig rig;
  TForm1& form = rig.Show();
  QList<QAction*> items;
  QSet<QString> shortcuts;
  for (QAction* menu : form.menuBar()->actions()) {
    for (QAction* item : menu->menu()->actions()) {
      if (item->isSeparator()) continue;
      items << item;
      QVERIFY2(!item->shortcut().isEmpty(), qPrintable(item->text()));
      const QString keys = item->shortcut().toString();
      QVERIFY2(!shortcuts.contains(keys), qPrintable(keys));
      shortcuts << keys;
    }
  }
  QList<QAbstractButton*> buttons = form.Panel1->findChildren<QAbstractButton*>();
  for (QWidget* page : {form.TabSheet1, form.TabSheet2, form.TabSheet3}) {
    for (QPushButton* button : page->findChildren<QPushButton*>()) buttons << button;
  }
  QVERIFY(buttons.size() >= 11);
  for (QAbstractButton* button : buttons) {
    const QString caption = Plain(button->text());
    bool found = false;
    for (QAction* item : items) found |= Plain(item->text()) == caption;
    if (found) continue;
    // A help button asks the help for what one of the menu's items asks it.
    rig.help.requests.clear();
    button->click();
    QVERIFY2(!rig.help.requests.empty(), qPrintable(caption + QStringLiteral(" has no menu item")));
    const std::vector<std::string> asked = rig.help.requests;
    for (QAction* item : items) {
      if (item->menu() != nullptr || !form.Help1->actions().contains(item)) continue;
      if (item == form.About1 || item == form.KeltrixHomepage1) continue;
      rig.help.requests.clear();
      item->trigger();
      found |= rig.help.requests == asked;
    }
    QVERIFY2(found, qPrintable(caption + QStringLiteral(" has no menu item")));
  }
}

// A control's hint shows in the status bar under the mouse, never as a pop-up tip, and a screen
// reader reads it as the control's description.
void MainFormTest::hintsShowInTheStatusBarAndToScreenReaders() {
  FormRig rig;
  TForm1& form = rig.Show();
  QVERIFY(OnScreen(form));
  // The controls whose only help is their hint.
  for (const char* name :
       {"strgrdCost", "btnCreate", "btnNew", "btnEdit", "btnDelete", "BitBtn6", "chkboxWarnCost",
        "chkboxWarnAverageCost", "lblPeriod", "lblNumberOfCalls", "lblAverageCallingTime",
        "lblAverageCost", "lblTotalCost", "lblLowestCost", "lblHighestCost",
        "lblEstimatedMonthlyCost", "lblMonthlyCostDuringPeriod"}) {
    QWidget* widget = Child(form, name);
    QVERIFY2(widget != nullptr && !widget->statusTip().isEmpty(), name);
  }
  for (int tag : {1, 2, 3}) {
    ChoosePage(form, tag);
    for (QWidget* widget : form.PageControl1->currentWidget()->findChildren<QWidget*>()) {
      const QString hint = widget->statusTip();
      if (hint.isEmpty() || !widget->isVisible()) continue;
      QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Description), hint);
      QTest::mouseMove(widget, widget->rect().center());
      QTRY_COMPARE(StatusText(form), hint);
      widget->setToolTip(QStringLiteral("pop-up"));
      QHelpEvent tip(QEvent::ToolTip, widget->rect().center(),
                     widget->mapToGlobal(widget->rect().center()));
      QApplication::sendEvent(widget, &tip);
      QVERIFY(!QToolTip::isVisible());
      widget->setToolTip(QString());
      QTest::mouseMove(form.Panel1, QPoint(form.Panel1->width() - 5, 5));
      QTRY_COMPARE(StatusText(form), QString());
    }
  }
}

void MainFormTest::screenReaderNamesEveryControl() {
  FormRig rig;
  rig.WriteFile("dorvane.DB", "[1998 06]\r\n35952.5=35952.51\r\n");
  TForm1& form = rig.Show();
  QVERIFY(OnScreen(form));
  for (int tag : {1, 2, 3}) {
    ChoosePage(form, tag);
    CheckAccessibleWindow(&form);
  }
  // The value of a statistics label is its text; its caption is its name.
  QAccessibleInterface* total = QAccessible::queryAccessibleInterface(form.lblTotalCost);
  QCOMPARE(total->text(QAccessible::Name), QStringLiteral("Total Cost"));
  QVERIFY(!form.lblTotalCost->text().isEmpty());
  QVERIFY(total->text(QAccessible::Description) != form.lblTotalCost->text());

  form.frmCostEditor->show();
  CheckAccessibleWindow(form.frmCostEditor);
  form.frmCostEditor->hide();
  form.AboutBox->show();
  CheckAccessibleWindow(form.AboutBox);
  form.AboutBox->hide();
}

// Tab stops at every control that takes the keyboard, in the order the eye reads the page, and
// a field made of parts (a date, a time) is one stop.
void MainFormTest::tabFollowsTheEye() {
  FormRig rig;
  TForm1& form = rig.Show();
  QVERIFY(OnScreen(form));
  form.activateWindow();
  QTRY_VERIFY(form.isActiveWindow());
  for (int tag : {1, 2, 3}) {
    ChoosePage(form, tag);
    QWidget* page = form.PageControl1->currentWidget();
    const QList<QWidget*> round = TabRound(form.SpeedButton1);
    for (QToolButton* tool : form.Panel1->findChildren<QToolButton*>())
      QVERIFY2(round.contains(tool), qPrintable(tool->text()));
    QList<QWidget*> onPage;
    for (QWidget* stop : round)
      if (page->isAncestorOf(stop)) onPage << stop;
    for (QWidget* widget : page->findChildren<QWidget*>()) {
      const bool takesTab = (widget->focusPolicy() & Qt::TabFocus) != 0 &&
                            widget->focusProxy() == nullptr && widget->isVisible() &&
                            widget->isEnabled();
      const bool inside = qobject_cast<QAbstractScrollArea*>(widget->parentWidget()) != nullptr ||
                          qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) != nullptr;
      if (takesTab && !inside)
        QVERIFY2(onPage.contains(widget), qPrintable(widget->objectName() + " is not reached"));
    }
    for (int i = 1; i < onPage.size(); ++i) {
      QVERIFY2(ReadBefore(onPage[i - 1], onPage[i]),
               qPrintable(onPage[i - 1]->objectName() + " before " + onPage[i]->objectName()));
    }
  }
  // The band editor: the time fields are one stop each.
  QTimer::singleShot(0, [&] {
    auto* editor = qobject_cast<TfrmCostEditor*>(QApplication::activeModalWidget());
    if (editor == nullptr) return;
    QVERIFY(QTest::qWaitForWindowActive(editor));
    editor->DateTimePickerFrom->setFocus();
    QTRY_VERIFY(editor->DateTimePickerFrom->hasFocus());
    QTest::keyClick(editor->DateTimePickerFrom, Qt::Key_Tab);
    const bool toNext = editor->DateTimePickerTo->hasFocus();
    QTest::keyClick(editor->DateTimePickerTo, Qt::Key_Tab);
    const bool toCost = editor->editStartCost->hasFocus();
    editor->reject();
    QVERIFY(toNext);
    QVERIFY(toCost);
  });
  form.btnNew->click();
}

// The value colours keep a readable contrast on the desktop's palette, light or dark.
void MainFormTest::valueColoursReadOnLightAndDarkPalettes() {
  const QPalette original = QApplication::palette();
  for (const QPalette& palette : {original, DarkPalette()}) {
    QApplication::setPalette(palette);
    FormRig rig;
    TForm1& form = rig.Create();
    for (QLabel* label : form.findChildren<QLabel*>()) {
      const QColor text = label->palette().color(QPalette::WindowText);
      const QColor back = label->palette().color(QPalette::Window);
      QVERIFY2(Contrast(text, back) >= 3.0, qPrintable(label->objectName()));
    }
    for (QLabel* label : form.AboutBox->findChildren<QLabel*>()) {
      QVERIFY2(Contrast(label->palette().color(QPalette::WindowText),
                        label->palette().color(QPalette::Window)) >= 3.0,
               qPrintable(label->objectName()));
    }
  }
  QApplication::setPalette(original);
}

// What a larger window has to spare goes to the chart, the logbook and the charges grid, whose
// Days and Time columns take it; the other controls keep their places and sizes, and back at its
// starting size the window is as it was.
void MainFormTest::aLargerWindowGrowsTheChartTheGridAndTheLogbook() {
  FormRig rig;
  TForm1& form = rig.Show();
  form.show();
  ChoosePage(form, 3);
  const QSize start = form.size();
  QList<QWidget*> growing = {form.chartCost, form.RichEdit1, form.grpboxOnlineCost,
                             form.strgrdCost};
  QMap<QWidget*, QRect> before;
  for (QWidget* page : {form.TabSheet1, form.TabSheet2, form.TabSheet3}) {
    for (QWidget* w : page->findChildren<QWidget*>()) {
      const bool placed =
          w->parentWidget() == page || qobject_cast<QGroupBox*>(w->parentWidget()) != nullptr;
      if (placed) before[w] = w->geometry();
    }
  }
  const int days = form.strgrdCost->columnWidth(0);
  const int time = form.strgrdCost->columnWidth(1);
  form.resize(start + QSize(400, 300));
  for (QWidget* w : growing) {
    QVERIFY2(w->width() >= before[w].width() + 300 && w->height() >= before[w].height() + 250,
             qPrintable(w->objectName()));
  }
  QVERIFY(form.strgrdCost->columnWidth(0) > days);
  QVERIFY(form.strgrdCost->columnWidth(1) > time);
  int columns = 0;
  for (int c = 0; c < form.strgrdCost->columnCount(); ++c)
    columns += form.strgrdCost->columnWidth(c);
  QVERIFY(columns <= form.strgrdCost->viewport()->width());
  for (int tag : {1, 2, 3}) {
    ChoosePage(form, tag);
    for (auto it = before.begin(); it != before.end(); ++it) {
      QWidget* w = it.key();
      if (!form.PageControl1->currentWidget()->isAncestorOf(w)) continue;
      if (growing.contains(w) || growing.contains(w->parentWidget())) continue;
      QVERIFY2(w->size() == it.value().size(), qPrintable(w->objectName()));
      // Inside its box, within the page.
      QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
    }
  }
  // The buttons beside the grid stay beside it, inside the box.
  QVERIFY(form.btnNew->x() > form.strgrdCost->geometry().right());
  QVERIFY(form.grpboxOnlineCost->rect().contains(form.BitBtn6->geometry()));
  form.resize(start - QSize(100, 100));
  QCOMPARE(form.size(), start);
  for (QWidget* w : growing) QCOMPARE(w->geometry(), before[w]);
}

// One bar for each month from the first call of the period to the last, months without calls
// at nothing; the keyboard steps from bar to bar and a screen reader hears month, cost and calls.
void MainFormTest::chartShowsEveryMonthOfThePeriod() {
  FormRig rig;
  // Calls in June and September 1998: July and August have none.
  rig.WriteFile("dorvane.DB", "[1998 06]\r\n35952.5=35952.51\r\n[1998 09]\r\n36039.5=36039.52\r\n");
  TForm1& form = rig.Show();
  const auto& bars = form.chartCost->Bars();
  QCOMPARE(bars.size(), std::size_t{4});
  QCOMPARE(bars[0].calls, 1);
  QCOMPARE(bars[1].calls, 0);
  QCOMPARE(bars[1].cost, 0.0);
  QCOMPARE(bars[3].calls, 1);
  QVERIFY(OnScreen(form));
  form.chartCost->setFocus();
  QTest::keyClick(form.chartCost, Qt::Key_End);
  QTest::keyClick(form.chartCost, Qt::Key_Left);
  QCOMPARE(form.chartCost->CurrentBar(), 2);
  const QString said =
      QAccessible::queryAccessibleInterface(form.chartCost)->text(QAccessible::Description);
  QVERIFY2(said.contains(QStringLiteral("Aug 1998: $0.00, 0 calls")), qPrintable(said));
  QCOMPARE(StatusText(form), form.chartCost->BarText(2));
  // Every bar and its name lie within the chart.
  for (int i = 0; i < 4; ++i) QVERIFY(form.chartCost->rect().contains(form.chartCost->BarRect(i)));
  // A refused period leaves the chart as it was.
  form.DateTimePickerStop->SetDateTime(30000);
  rig.messages.Expect(BoxKind::Note, "Invalid Report Period");
  ChoosePage(form, 1);
  form.btnCreate->click();
  QCOMPARE(form.chartCost->Bars().size(), std::size_t{4});
}

QTEST_MAIN(MainFormTest)
#include "mainform_test.moc"
