// The main window: creation, the show sequence, page change, hints, the options that enable
// their boxes, the delete command, the command-line check, help calls and closing.
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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
#include <functional>

#include "app/controls.h"
#include "app/mainmdi.h"
#include "capture/callstore.h"
#include "capture/modemlog.h"
#include "dialogs/about.h"
#include "dialogs/costedit.h"
#include "gui/support/fakes.h"
#include "platform/error.h"
#include "settings/closestate.h"

using dorvane::Answer;
using dorvane::RegionalSettings;
using dorvane::testing::BoxKind;
using dorvane::testing::FormRig;
using dorvane::testing::LogSession;

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
  void captionsAndDesignPlaces();
  void showSequenceStartsFromDefaults_data();
  void showSequenceStartsFromDefaults();
  void sharedReportBoxesFollowTheReportPage_data();
  void sharedReportBoxesFollowTheReportPage();
  void openedOnTheOptionsPageTheBoxesWaitOnTheLogbook();
  void hintsShowInTheStatusBar_data();
  void hintsShowInTheStatusBar();
  void tabGoesOnToTheNextControl_data();
  void tabGoesOnToTheNextControl();
  void warningBoxesEnableTheirThresholds_data();
  void warningBoxesEnableTheirThresholds();
  void deleteAllModemCalls_data();
  void deleteAllModemCalls();
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
  void datePickerShowsTheShortDate_data();
  void datePickerShowsTheShortDate();
  void datePickerKeepsItsTimeOfDay();
  void captionsFitAndControlsDoNotOverlap();
  void screenReaderNamesEveryControl_data();
  void screenReaderNamesEveryControl();
  void aLargerWindowGrowsTheGridAndTheLogbook();
  void cutDaysAndTimeCellsShowTheirTextAsATip();
};

void MainFormTest::createsTheWindowAsDesigned() {
  FormRig rig;
  TForm1& form = rig.Create();
  QCOMPARE(form.objectName(), QStringLiteral("Form1"));
  QCOMPARE(form.windowTitle(), QStringLiteral("Dorvane 1.70"));
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
  QCOMPARE(form.StatusBar1->height(), 19);
  QCOMPARE(form.Panel1->height(), 57);
  for (const char* name : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4",
                           "SpeedButton5", "strgrdCost", "btnDeleteData", "RichEdit1",
                           "ProgressBar1", "lblMonthlyCostDuringPeriod", "GroupBox6"}) {
    QVERIFY2(Child(form, name) != nullptr, name);
  }
  for (const char* name : {"Print1", "PrintSetup1", "Exit1", "Contents1", "HowtoUseHelp1",
                           "KeltrixHomepage1", "About1", "N1", "N2", "N3"}) {
    QVERIFY2(form.findChild<QAction*>(QLatin1String(name)) != nullptr, name);
  }
  // The value labels' colours.
  QCOMPARE(form.lblPeriod->palette().color(QPalette::WindowText), QColor(0, 0, 0));
  QCOMPARE(form.lblNumberOfCalls->palette().color(QPalette::WindowText), QColor(0x80, 0, 0x80));
  QCOMPARE(form.lblTotalCallingTime->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
  QCOMPARE(form.lblTotalCost->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
  QCOMPARE(form.lblLowestCost->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
  // Caption labels of the statistics box end on one line.
  const int right = form.Label2->geometry().right();
  for (QLabel* label : {form.Label4, form.Label5, form.Label16, form.Label7, form.Label6}) {
    QCOMPARE(label->geometry().right(), right);
  }
}

// Every caption as the design spells it, accelerators included, and the design's place of each
// control: left, top, width, height, with -1 where the control takes the size its caption needs
// or was moved to fit this font. Checked before the show sequence, while the shared boxes are
// still on the logbook page.
void MainFormTest::captionsAndDesignPlaces() {
  struct Row {
    const char* control;
    const char* caption;
    int place[4];
  };
  const Row rows[] = {
      {"File1", "&File", {-1, -1, -1, -1}},
      {"Print1", "&Print...", {-1, -1, -1, -1}},
      {"PrintSetup1", "P&rint Setup...", {-1, -1, -1, -1}},
      {"Exit1", "E&xit", {-1, -1, -1, -1}},
      {"Help1", "&Help", {-1, -1, -1, -1}},
      {"Contents1", "&Contents", {-1, -1, -1, -1}},
      {"HowtoUseHelp1", "&How to Use Help", {-1, -1, -1, -1}},
      {"KeltrixHomepage1", "&Keltrix Home Page", {-1, -1, -1, -1}},
      {"About1", "&About...", {-1, -1, -1, -1}},
      {"SpeedButton1", "Exit", {8, 8, 57, 41}},
      {"SpeedButton3", "Print", {80, 8, 57, 41}},
      {"SpeedButton4", "Help", {168, 8, 57, 41}},
      {"SpeedButton5", "Lower Cost", {232, 8, -1, 41}},
      {"SpeedButton2", "About", {320, 8, 57, 41}},
      {"GroupBox4", "", {-1, 200, -1, 60}},
      {"Label8", "If you had always called at", {8, 16, -1, -1}},
      {"Label10", "lowest charge:", {-1, 16, -1, -1}},
      {"Label11", "highest charge:", {-1, 40, -1, -1}},
      {"GroupBox5", "", {-1, 264, -1, 57}},
      {"Label12", "Estimated cost for this month:", {-1, 16, -1, -1}},
      {"Label13", "Average monthly cost during selected period:", {-1, 36, -1, -1}},
      {"RichEdit1", "", {8, 168, 609, 153}},
      {"GroupBox7", "", {8, 8, 265, 153}},
      {"Label1", "Report Period Between:", {16, 24, -1, -1}},
      {"DateTimePickerStart", "", {16, 48, 89, 21}},
      {"Label9", "and", {120, 56, -1, -1}},
      {"DateTimePickerStop", "", {152, 48, 89, 21}},
      {"btnCreate", "&Create Report", {-1, 96, -1, 25}},
      {"ProgressBar1", "", {16, 128, 233, 16}},
      {"GroupBox3", "", {-1, 8, -1, 153}},
      {"Label2", "Period:", {-1, 24, -1, -1}},
      {"Label4", "Number of Calls:", {-1, 45, -1, -1}},
      {"Label5", "Average Time per Call:", {-1, 66, -1, -1}},
      {"Label16", "Total Time:", {-1, 86, -1, -1}},
      {"Label7", "Average Cost per Call:", {-1, 107, -1, -1}},
      {"Label6", "Total Cost:", {-1, 128, -1, -1}},
      {"GroupBox1", "Windows Modem Log File", {8, 8, 249, 81}},
      {"Label3", "Log File:", {8, 16, -1, -1}},
      {"editLogFileName", "", {8, 32, 225, 21}},
      {"GroupBox2", "Warnings", {280, 8, 337, 81}},
      {"chkboxWarnCost", "Warn when cost per month has exceeded:", {8, 16, 257, 17}},
      {"editWarnCost", "0", {272, 12, 49, 21}},
      {"chkboxWarnAverageCost", "Warn when average cost per call has exceeded:", {8, 40, 249, 33}},
      {"editWarnAverageCost", "0", {272, 44, 49, 21}},
      {"GroupBox6", "Cost Settings", {8, 96, 249, 65}},
      {"chkboxIgnoreBusyCalls", "Ignore Busy Calls", {8, 24, -1, -1}},
      {"btnDeleteData", "Delete All Modem Calls", {280, 120, -1, 25}},
      {"grpboxOnlineCost", "Charges for Online Time", {8, 168, 609, 153}},
      {"strgrdCost", "", {8, 46, 521, 99}},
      {"lblTableFrom", "Table in force from:", {8, 20, -1, -1}},
      {"spnFirstDay", "", {-1, 96, 45, 21}},
      {"grpboxBillingPeriod", "Billing Period", {8, 200, 193, 60}},
      {"btnNew", "&New...", {536, 16, -1, 25}},
      {"btnEdit", "&Edit...", {536, 48, -1, 25}},
      {"btnDelete", "&Delete", {536, 80, -1, 25}},
      {"BitBtn6", "&Help", {536, 120, -1, 25}},
  };
  FormRig rig;
  TForm1& form = rig.Create();
  for (const Row& row : rows) {
    QString text;
    QRect rect;
    if (auto* action = form.findChild<QAction*>(QLatin1String(row.control))) {
      text = action->text();
      QVERIFY2(action->isEnabled() && action->shortcut().isEmpty(), row.control);
    } else {
      QWidget* widget = Child(form, row.control);
      QVERIFY2(widget != nullptr, row.control);
      if (auto* menu = qobject_cast<QMenu*>(widget)) text = menu->title();
      if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
      if (auto* box = qobject_cast<QGroupBox*>(widget)) text = box->title();
      if (auto* edit = qobject_cast<QLineEdit*>(widget)) text = edit->text();
      rect = widget->geometry();
    }
    QCOMPARE(text, QString::fromUtf8(row.caption));
    const int actual[] = {rect.left(), rect.top(), rect.width(), rect.height()};
    for (int i = 0; i < 4; ++i) {
      if (row.place[i] >= 0 && actual[i] != row.place[i]) {
        QFAIL(qPrintable(QStringLiteral("%1: %2 instead of %3 at %4")
                             .arg(QLatin1String(row.control))
                             .arg(actual[i])
                             .arg(row.place[i])
                             .arg(i)));
      }
    }
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

void MainFormTest::hintsShowInTheStatusBar_data() {
  QTest::addColumn<QString>("control");
  QTest::addColumn<QString>("hint");
  QTest::newRow("grid") << "strgrdCost"
                        << "If you are not sure how to fill in this grid, click on the help "
                           "button at the lower right";
  QTest::newRow("create") << "btnCreate"
                          << "Create a Report for the Period given above";
  QTest::newRow("new") << "btnNew"
                       << "New entry";
  QTest::newRow("edit") << "btnEdit"
                        << "Edit entry";
  QTest::newRow("delete") << "btnDelete"
                          << "Delete entry";
  QTest::newRow("help") << "BitBtn6"
                        << "Show Help on how to fill in this grid";
  QTest::newRow("monthly warning")
      << "chkboxWarnCost"
      << "Checking this box generates a message when online cost per month has exceed the given "
         "amount";
  QTest::newRow("average warning")
      << "chkboxWarnAverageCost"
      << "Checking this box generates a message when average cost per call has exceed the given "
         "amount";
  QTest::newRow("period") << "lblPeriod"
                          << "Dates of the First and Last Call during the Period given above";
  QTest::newRow("number of calls") << "lblNumberOfCalls"
                                   << "Number of Calls during the Period given above";
  QTest::newRow("average time") << "lblAverageCallingTime"
                                << "Average time per Call during the Period given above";
  QTest::newRow("average cost") << "lblAverageCost"
                                << "Average Cost per Call during the Period given above";
  QTest::newRow("total cost") << "lblTotalCost"
                              << "Total Cost per Call during the Period given above";
  QTest::newRow("lowest cost") << "lblLowestCost"
                               << "This is how much the cost for the selected period would have "
                                  "been if you had only called at the lowest charge";
  QTest::newRow("highest cost") << "lblHighestCost"
                                << "This is how much the cost for the selected period would have "
                                   "been if you had only called at the highest charge";
  QTest::newRow("estimated monthly cost")
      << "lblEstimatedMonthlyCost"
      << "This is how much the cost for this month is expected to be based on calls made so far";
  QTest::newRow("monthly cost during period")
      << "lblMonthlyCostDuringPeriod"
      << "This is how much the calculated monthly cost has been for the selected period";
}

void MainFormTest::hintsShowInTheStatusBar() {
  QFETCH(QString, control);
  QFETCH(QString, hint);
  FormRig rig;
  TForm1& form = rig.Show();
  QWidget* widget = Child(form, control.toLatin1().constData());
  QVERIFY(widget != nullptr);
  QVERIFY(widget->toolTip().isEmpty());

  // The mouse moves onto the control, then onto the tool panel, which has no hint.
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  for (int tag : {1, 2, 3}) {
    if (form.PageControl1->widget(tag - 1)->isAncestorOf(widget)) ChoosePage(form, tag);
  }
  QTest::mouseMove(widget, widget->rect().center());
  QTRY_COMPARE(StatusText(form), hint);
  // Never a pop-up tip, even for a control that was given one.
  widget->setToolTip(QStringLiteral("pop-up"));
  QHelpEvent tip(QEvent::ToolTip, widget->rect().center(),
                 widget->mapToGlobal(widget->rect().center()));
  QApplication::sendEvent(widget, &tip);
  QVERIFY(!QToolTip::isVisible());
  QTest::mouseMove(form.Panel1, QPoint(600, 20));
  QTRY_COMPARE(StatusText(form), QString());
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
                                << "btnNew";
}

// Tab leaves a date picker or the grid at once, whichever field or cell it is in.
void MainFormTest::tabGoesOnToTheNextControl() {
  QFETCH(int, page);
  QFETCH(QString, from);
  QFETCH(QString, to);
  FormRig rig;
  TForm1& form = rig.Show();
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
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

void MainFormTest::warningBoxesEnableTheirThresholds_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("edit");
  QTest::newRow("monthly cost") << "chkboxWarnCost"
                                << "editWarnCost";
  QTest::newRow("average cost") << "chkboxWarnAverageCost"
                                << "editWarnAverageCost";
}

void MainFormTest::warningBoxesEnableTheirThresholds() {
  QFETCH(QString, box);
  QFETCH(QString, edit);
  FormRig rig;
  TForm1& form = rig.Show();
  auto* check = qobject_cast<QCheckBox*>(Child(form, box.toLatin1().constData()));
  QWidget* threshold = Child(form, edit.toLatin1().constData());
  QVERIFY(check != nullptr && threshold != nullptr);
  QVERIFY(!threshold->isEnabled());
  check->click();
  QVERIFY(check->isChecked());
  QVERIFY(threshold->isEnabled());
  check->click();
  QVERIFY(!threshold->isEnabled());
  // A change made by the program counts as well.
  check->setChecked(true);
  QVERIFY(threshold->isEnabled());
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
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
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
    QCOMPARE(seen, (QStringList{"Dorvane", "Dorvane", "Version 1.70",
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
  // A folder in the settings file's place: the save cannot replace it.
  QVERIFY(QDir(rig.dir.path()).mkdir(QStringLiteral("dorvane.INI")));
  rig.messages.Expect(BoxKind::ShowError, "Unable to write to " + rig.Path("dorvane.INI"));
  form.close();
  QVERIFY(rig.messages.AllShown());
  QVERIFY(!form.IsClosed());
  // Failing again, the save no longer traps the user: asked, they may stay or leave.
  const std::string question =
      "Dorvane could not save its settings. Close anyway?\n\n" + rig.Path("dorvane.INI");
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

void MainFormTest::datePickerShowsTheShortDate_data() {
  QTest::addColumn<QString>("pattern");
  QTest::addColumn<QString>("separator");
  QTest::addColumn<QString>("text");
  QTest::newRow("US") << "m/d/yyyy"
                      << "/"
                      << "7/30/1998";
  QTest::newRow("two-digit fields") << "mm/dd/yy"
                                    << "/"
                                    << "07/30/98";
  QTest::newRow("separator from the settings") << "dd/mm/yyyy"
                                               << "."
                                               << "30.07.1998";
  QTest::newRow("ISO") << "yyyy-mm-dd"
                       << "/"
                       << "1998-07-30";
  QTest::newRow("quoted text") << "d 'of' m yyyy"
                               << "/"
                               << "30 of 7 1998";
  QTest::newRow("letters as separator") << "d/m/yyyy"
                                        << "x"
                                        << "30x7x1998";
}

void MainFormTest::datePickerShowsTheShortDate() {
  QFETCH(QString, pattern);
  QFETCH(QString, separator);
  QFETCH(QString, text);
  RegionalSettings rs = RegionalSettings::UsEnglish();
  rs.shortDateFormat = pattern.toStdString();
  rs.dateSeparator = separator.toStdString();
  dorvane::TDateTimePicker picker(rs, 36006.5);
  QCOMPARE(picker.text(), text);
  QCOMPARE(picker.text().toStdString(), dorvane::DateToStr(rs, 36006.5));
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
void MainFormTest::captionsFitAndControlsDoNotOverlap() {
  FormRig rig;
  TForm1& form = rig.Show();
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  const QString shots = qEnvironmentVariable("DORVANE_SHOTS_DIR");
  for (int tag : {1, 2, 3}) {
    ChoosePage(form, tag);
    QWidget* page = form.PageControl1->currentWidget();
    QList<QWidget*> parents = page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    parents.prepend(page);
    for (QWidget* parent : parents) {
      if (qobject_cast<QGroupBox*>(parent) == nullptr && parent != page) continue;
      const QList<QWidget*> controls =
          parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
      for (QWidget* control : controls) {
        const QByteArray name = control->objectName().toLatin1();
        QVERIFY2(parent->rect().contains(control->geometry()), name.constData());
        for (QWidget* other : controls) {
          if (other != control && !other->objectName().isEmpty() && !name.isEmpty()) {
            QVERIFY2(!control->geometry().intersects(other->geometry()),
                     (name + " overlaps " + other->objectName().toLatin1()).constData());
          }
        }
        const QFontMetrics metrics = control->fontMetrics();
        if (auto* label = qobject_cast<QLabel*>(control)) {
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
        }
      }
    }
    if (!shots.isEmpty()) {
      QVERIFY(form.grab().save(QDir(shots).filePath(QStringLiteral("page%1.png").arg(tag))));
    }
  }
  for (QToolButton* tool : form.Panel1->findChildren<QToolButton*>()) {
    QVERIFY2(tool->fontMetrics().horizontalAdvance(tool->text()) + 4 <= tool->width(),
             tool->objectName().toLatin1().constData());
  }
}

void MainFormTest::screenReaderNamesEveryControl_data() {
  QTest::addColumn<bool>("inEditor");
  QTest::addColumn<QString>("control");
  QTest::addColumn<QString>("name");
  const struct {
    bool inEditor;
    const char* control;
    const char* name;
  } rows[] = {
      {false, "DateTimePickerStart", "Report period from"},
      {false, "DateTimePickerStop", "Report period to"},
      {false, "editWarnCost", "Warn when cost per month has exceeded:"},
      {false, "editWarnAverageCost", "Warn when average cost per call has exceeded:"},
      {false, "chkboxWarnAverageCost", "Warn when average cost per call has exceeded:"},
      {false, "editLogFileName", "Log File"},
      {false, "strgrdCost", "Charges for Online Time"},
      {false, "RichEdit1", "Modem Logbook Report"},
      {false, "ProgressBar1", "Report progress"},
      {false, "lblPeriod", "Period"},
      {false, "lblNumberOfCalls", "Number of Calls"},
      {false, "lblAverageCallingTime", "Average Time per Call"},
      {false, "lblTotalCallingTime", "Total Time"},
      {false, "lblAverageCost", "Average Cost per Call"},
      {false, "lblTotalCost", "Total Cost"},
      {false, "lblLowestCost", "If you had always called at lowest charge"},
      {false, "lblHighestCost", "If you had always called at highest charge"},
      {false, "lblEstimatedMonthlyCost", "Estimated cost for this month"},
      {false, "lblMonthlyCostDuringPeriod", "Average monthly cost during selected period"},
      {true, "DateTimePickerFrom", "Time from"},
      {true, "DateTimePickerTo", "Time to"},
      {true, "editStartCost", "Start cost per phone call"},
      {true, "editMinuteCost", "Cost per minute"},
      {true, "editMinimumCost", "Minimum cost per phone call"},
      {true, "editMinimumPeriod", "Minimum time period per phone call [minutes]"},
      {true, "CheckBox2", "Monday"},
  };
  for (const auto& row : rows) {
    QTest::newRow(row.control) << row.inEditor << QString::fromLatin1(row.control)
                               << QString::fromLatin1(row.name);
  }
}

void MainFormTest::screenReaderNamesEveryControl() {
  QFETCH(bool, inEditor);
  QFETCH(QString, control);
  QFETCH(QString, name);
  FormRig rig;
  TForm1& form = rig.Show();
  QObject* window = inEditor ? static_cast<QObject*>(form.frmCostEditor) : &form;
  auto* widget = window->findChild<QWidget*>(control);
  QVERIFY(widget != nullptr);
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  QVERIFY(accessible != nullptr);
  QCOMPARE(accessible->text(QAccessible::Name), name);
  // A value label tells its value besides its caption.
  if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && !label->text().isEmpty()) {
    QCOMPARE(accessible->text(QAccessible::Description), label->text());
  }
}

void MainFormTest::aLargerWindowGrowsTheGridAndTheLogbook() {
  FormRig rig;
  TForm1& form = rig.Show();
  form.show();
  const QSize start = form.size();
  const QRect box7 = form.GroupBox7->geometry();
  const int buttonGap = form.grpboxOnlineCost->width() - form.BitBtn6->geometry().right();
  form.resize(start + QSize(200, 150));
  QCOMPARE(form.RichEdit1->geometry(), QRect(8, 168, 809, 303));
  QCOMPARE(form.grpboxOnlineCost->geometry(), QRect(8, 168, 809, 303));
  QCOMPARE(form.strgrdCost->geometry(), QRect(8, 46, 721, 249));
  QCOMPARE(form.btnNew->x(), 736);
  QCOMPARE(form.grpboxOnlineCost->width() - form.BitBtn6->geometry().right(), buttonGap);
  QCOMPARE(form.GroupBox7->geometry(), box7);
  // Back at its starting size every control is where the design puts it; smaller it won't go.
  form.resize(start - QSize(100, 100));
  QCOMPARE(form.size(), start);
  QCOMPARE(form.RichEdit1->geometry(), QRect(8, 168, 609, 153));
  QCOMPARE(form.strgrdCost->geometry(), QRect(8, 46, 521, 99));
  QCOMPARE(form.btnNew->x(), 536);
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

QTEST_MAIN(MainFormTest)
#include "mainform_test.moc"
