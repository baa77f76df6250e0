// The bill in the window: a settings file with a billing day, holidays and a tariff history
// gives the window the figures dorvane-report prints for the same files, under two regional
// settings; the new controls change and save only what the user changed.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <sstream>

#include "app/billdialogs.h"
#include "app/controls.h"
#include "app/mainmdi.h"
#include "cli/reportcli.h"
#include "cli/reportexport.h"
#include "platform/clock.h"
#include "platform/qt/qtext.h"
#include "support/chargecells.h"
#include "support/fakes.h"
#include "support/profiles.h"

using dorvane::EncodeDate, dorvane::EncodeTime, dorvane::RegionalSettings, dorvane::TDateTime,
    dorvane::testing::BoxKind, dorvane::testing::FormRig;

namespace {

TDateTime At(int y, int m, int d, int h, int n) {
  return EncodeDate(y, m, d) + EncodeTime(h, n, 0, 0);
}

std::string Band(const RegionalSettings& rs, int row, const std::string& days, double start,
                 double perMinute) {
  const std::string window =
      days == dorvane::kCatchAllBandText
          ? dorvane::TimeToStr(rs, 0) + " - " + dorvane::TimeToStr(rs, 0.99999)
          : dorvane::TimeToStr(rs, EncodeTime(8, 0, 0, 0)) + " - " +
                dorvane::TimeToStr(rs, EncodeTime(17, 59, 59, 0));
  return dorvane::testing::BandCells(rs, row, days, window, start, perMinute);
}

std::string Table(const RegionalSettings& rs, double start, double dayRate, double otherRate) {
  std::string weekdays = rs.shortDayNames[1];
  for (int d = 2; d <= 5; ++d) weekdays += ", " + rs.shortDayNames[static_cast<std::size_t>(d)];
  return "Count=2\r\n" + Band(rs, 1, weekdays, start, dayRate) +
         Band(rs, 2, dorvane::kCatchAllBandText, 0, otherRate);
}

// Calls around the holidays and the table change of 1 August 1998; today (15 August 1998) is
// the first day of a billing period.
void WriteBillFiles(FormRig& rig) {
  const RegionalSettings& rs = rig.regional;
  rig.WriteFile("dorvane.INI",
                "[Billing]\r\nFirstDay=15\r\n"
                "[Holidays]\r\nPricedAs=1\r\nCount=2\r\nDay1=08-03\r\n"
                "Day2=Easter+1\r\n"
                "[strgrdCost]\r\nValidFrom=1998-08-01\r\n" +
                    Table(rs, 0.1, 0.2, 0.05) + "[strgrdCost 1998-01-01]\r\n" +
                    Table(rs, 0, 0.3, 0.1));
  std::string store = "[1998-4]\r\n";
  for (auto [start, minutes] : {std::pair{At(1998, 4, 13, 10, 0), 10},
                                {At(1998, 7, 20, 10, 0), 5},
                                {At(1998, 8, 3, 10, 0), 7},
                                {At(1998, 8, 10, 14, 0), 3},
                                {At(1998, 8, 15, 9, 0), 4}}) {
    store += dorvane::FloatToStr(rs, start) + "=" +
             dorvane::FloatToStr(rs, start + minutes / 1440.0) + "\r\n";
  }
  rig.WriteFile("dorvane.DB", store);
}

// The ten analysis labels as dorvane-report's text form prints them.
std::string WindowAnalysis(TForm1& form) {
  const QLabel* labels[] = {form.lblPeriod,
                            form.lblNumberOfCalls,
                            form.lblAverageCallingTime,
                            form.lblTotalCallingTime,
                            form.lblAverageCost,
                            form.lblTotalCost,
                            form.lblLowestCost,
                            form.lblHighestCost,
                            form.lblEstimatedMonthlyCost,
                            form.lblMonthlyCostDuringPeriod};
  std::string text;
  for (std::size_t i = 0; i < std::size(labels); ++i) {
    text += dorvane::CaptionLine(dorvane::kStatisticsLabels[i]) + " " +
            dorvane::FromQString(labels[i]->text()) + "\n";
  }
  return text;
}

std::string ReportAnalysis(FormRig& rig, std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  args.insert(args.end(), {"--settings", rig.Path("dorvane.INI"), "--store", rig.Path("dorvane.DB"),
                           "--today", "1998-08-15"});
  const int status =
      dorvane::RunDorvaneReport(args, {*rig.files, rig.clock, rig.regional, "", "", out, err});
  if (status != dorvane::kReportDone) qWarning("%s", err.str().c_str());
  return out.str();
}

// Runs `inDialog` on the modal dialog of type D that `open` shows, then closes it with OK.
template <typename D>
bool WithDialog(const std::function<void(D&)>& inDialog, const std::function<void()>& open) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    seen = true;
    inDialog(*dialog);
    dialog->accept();
  });
  open();
  return seen;
}

}  // namespace

class BillWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void windowAndReportAgree_data();
  void windowAndReportAgree();
  void invalidEntriesAreToldOnceAtStart();
  void changesReachTheFileAndNothingElse();
};

void BillWindowTest::windowAndReportAgree_data() {
  QTest::addColumn<QString>("profile");
  QTest::newRow("US English") << QString();
  QTest::newRow("German") << QStringLiteral("DE");
}

void BillWindowTest::windowAndReportAgree() {
  QFETCH(QString, profile);
  FormRig rig;
  if (!profile.isEmpty()) rig.regional = dorvane::test::Profile(profile.toStdString());
  WriteBillFiles(rig);
  TForm1& form = rig.Show();
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(form.spnFirstDay->value(), 15);
  QCOMPARE(form.cmbTableFrom->count(), 2);
  // The start-up analysis: the whole store; this billing period holds the call of today.
  QCOMPARE(form.CurrentMonthCount(), 1);
  const std::string startup = WindowAnalysis(form);
  QCOMPARE(startup, ReportAnalysis(rig, {}));
  // The estimate of the first day of a period is 31 times its cost so far: 4 minutes on a
  // Saturday at the catch-all band of the table in force now.
  QCOMPARE(form.lblEstimatedMonthlyCost->text().toStdString(),
           dorvane::MoneyToStr(rig.regional, 4 * 0.05 * 31));

  // One step to the previous and back to the current billing period.
  form.btnPreviousPeriod->click();
  QCOMPARE(form.lblNumberOfCalls->text(), QStringLiteral("3"));
  QCOMPARE(WindowAnalysis(form), ReportAnalysis(rig, {"--period", "previous"}));
  form.btnCurrentPeriod->click();
  QCOMPARE(form.lblNumberOfCalls->text(), QStringLiteral("1"));
  QCOMPARE(WindowAnalysis(form), ReportAnalysis(rig, {"--period", "current"}));

  // Showing the earlier table in the grid changes no price.
  form.cmbTableFrom->setCurrentIndex(0);
  QCOMPARE(form.strgrdCost->item(0, 3)->text().toStdString(),
           dorvane::FloatToStr(rig.regional, 0.3));
  form.btnPreviousPeriod->click();
  QCOMPARE(WindowAnalysis(form), ReportAnalysis(rig, {"--period", "previous"}));
  // Nor the price of the call in progress: ten minutes of this Saturday at the catch-all band
  // of the table in force now, on top of this period's stored call.
  const TForm1::CallTick tick = form.CallInProgressTick(rig.clock.Now() - 10 / 1440.0);
  QVERIFY2(tick.line.find(": " + dorvane::MoneyToStr(rig.regional, 10 * 0.05) + ";") !=
               std::string::npos,
           tick.line.c_str());
}

void BillWindowTest::invalidEntriesAreToldOnceAtStart() {
  FormRig rig;
  rig.WriteFile("dorvane.INI",
                "[Billing]\r\nFirstDay=31\r\n[Holidays]\r\nPricedAs=9\r\nCount=2\r\n"
                "Day1=02-30\r\nDay2=Easter+x\r\n");
  rig.messages.Expect(BoxKind::ShowError,
                      "[Billing] FirstDay=31 is not valid and is left out.\n"
                      "[Holidays] PricedAs=9 is not valid and is left out.\n"
                      "[Holidays] Day1=02-30 is not valid and is left out.\n"
                      "[Holidays] Day2=Easter+x is not valid and is left out.");
  TForm1& form = rig.Show();
  QVERIFY(rig.messages.AllShown());
  QCOMPARE(form.spnFirstDay->value(), 1);
  // Nothing else changes: the close leaves the entries as the user wrote them.
  form.close();
  QVERIFY(rig.ReadFile("dorvane.INI").find("FirstDay=31") != std::string::npos);
  QVERIFY(rig.ReadFile("dorvane.INI").find("Day2=Easter+x") != std::string::npos);
}

void BillWindowTest::changesReachTheFileAndNothingElse() {
  FormRig rig;
  TForm1& form = rig.Show();
  form.close();
  // A file without the new parts gets none of them.
  QVERIFY(rig.ReadFile("dorvane.INI").find("Billing") == std::string::npos);
  QVERIFY(rig.ReadFile("dorvane.INI").find("ValidFrom") == std::string::npos);

  FormRig second;
  second.WriteFile("dorvane.INI", rig.ReadFile("dorvane.INI"));
  TForm1& next = second.Show();
  next.spnFirstDay->setValue(20);
  QVERIFY(WithDialog<dorvane::THolidaysDialog>(
      [](dorvane::THolidaysDialog& d) {
        d.cmbCountry->setCurrentIndex(d.cmbCountry->findText(QStringLiteral("United Kingdom")));
        d.btnFillHolidays->click();
        d.editHoliday->setText(QStringLiteral("1998-12-24"));
        d.btnAddHoliday->click();
      },
      [&] { next.btnHolidays->click(); }));
  // A table from 1 September 1998, after today: a dated section; [strgrdCost] stays the table
  // in force today.
  QVERIFY(WithDialog<dorvane::TNewTableDialog>(
      [](dorvane::TNewTableDialog& d) { d.DateTimePickerFrom->SetDate(EncodeDate(1998, 9, 1)); },
      [&] { next.btnNewTable->click(); }));
  QCOMPARE(next.cmbTableFrom->count(), 2);
  QCOMPARE(next.cmbTableFrom->currentIndex(), 1);
  next.strgrdCost->item(0, 2)->setText(QStringLiteral("0.5"));
  next.close();
  std::string saved = second.ReadFile("dorvane.INI");
  for (const char* expected :
       {"[Billing]\r\nFirstDay=20", "PricedAs=1\r\nCount=6\r\nDay1=01-01\r\nDay2=Easter-2",
        "Day6=1998-12-24", "[strgrdCost]\r\nCount=1\r\nCell01=The time not specified above",
        "Cell21=0.3", "[strgrdCost 1998-09-01]\r\nCount=1", "Cell21=0.5"}) {
    QVERIFY2(saved.find(expected) != std::string::npos, expected);
  }
  QVERIFY(saved.find("ValidFrom") == std::string::npos);

  // A table from 1 August, before today, takes [strgrdCost] over; the table without a first day
  // keeps pricing every call before it under the first day of the calendar.
  FormRig third;
  third.WriteFile("dorvane.INI", saved);
  TForm1& last = third.Show();
  QCOMPARE(last.cmbTableFrom->count(), 2);
  QVERIFY(WithDialog<dorvane::TNewTableDialog>(
      [](dorvane::TNewTableDialog& d) { d.DateTimePickerFrom->SetDate(EncodeDate(1998, 8, 1)); },
      [&] { last.btnNewTable->click(); }));
  QCOMPARE(last.cmbTableFrom->count(), 3);
  last.close();
  saved = third.ReadFile("dorvane.INI");
  if (qEnvironmentVariableIsSet("DORVANE_SHOW_INI")) qInfo("%s", saved.c_str());
  for (const char* expected : {"ValidFrom=1998-08-01", "[strgrdCost 0001-01-01]\r\nCount=1",
                               "[strgrdCost 1998-09-01]\r\nCount=1"}) {
    QVERIFY2(saved.find(expected) != std::string::npos, expected);
  }
}

QTEST_MAIN(BillWindowTest)
#include "billwindow_test.moc"
