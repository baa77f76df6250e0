// The window while it stays open: a session the classic log leaves open is the call in
// progress, shown in the status bar with its cost so far; the monthly warning comes once per
// call, in the status bar when no notification service takes it; the open session stays in the
// log.
#include "app/sessionwatch.h"

#include <QCheckBox>
#include <QLabel>
#include <QStatusBar>
#include <QTest>

#include "support/fakes.h"

using dorvane::testing::FormRig;
using dorvane::testing::LogLine;

namespace {

class RefusingNotifier : public dorvane::Notifier {
 public:
  bool Notify(const std::string& summary, const std::string& body) override {
    notices.push_back(summary + ": " + body);
    return false;
  }
  std::vector<std::string> notices;
};

class NoEnvironment : public dorvane::ProcessEnvironment {
 public:
  explicit NoEnvironment(std::string home) : home_(std::move(home)) {}
  std::optional<std::string> Variable(const char* name) const override {
    if (std::string(name) == "HOME") return home_;
    return std::nullopt;
  }
  std::string ExecutablePath() const override { return "/usr/bin/dorvane"; }

 private:
  std::string home_;
};

}  // namespace

class SessionWatchTest : public QObject {
  Q_OBJECT

 private slots:
  void anOpenSessionIsTheCallInProgress() {
    FormRig rig;
    // A limit of $1.00 a month; the store holds no call, so the start does not warn.
    rig.WriteFile("dorvane.INI", "[Warn Monthly Cost]\r\nWarn=1\r\nCost=1\r\n");
    TForm1& form = rig.Show();
    // Dialled ten minutes before the rig's noon, still up.
    const std::string log = LogLine("08-15-1998 11:50:00.00", "COM1 in use.") +
                            LogLine("08-15-1998 11:50:10.00", "Dialing.");
    rig.WriteFile("ModemLog.txt", log);
    RefusingNotifier notifier;
    const NoEnvironment env(rig.dir.Path());
    dorvane::SessionWatch watch(form, notifier, env, rig.dir.Path());
    QVERIFY(watch.CallStart().has_value());
    // The catch-all band: $0.30 a call and $0.10 a minute, 9 minutes 50 seconds so far.
    const QString line =
        QStringLiteral("Online since 11:50:10 AM (00:09:50): $1.28; this period $1.28");
    QCOMPARE(watch.lblCallInProgress->text(),
             line + QStringLiteral(" \u2014 over the monthly limit"));
    QCOMPARE(watch.lblCallInProgress->accessibleDescription(),
             line + QStringLiteral("\nCosts for Online Time have reached $1.28 this month"));
    QVERIFY(!watch.lblCallInProgress->isHidden());
    QCOMPARE(notifier.notices.size(), std::size_t{1});
    // Once per call, however often the second ticks.
    QTest::qWait(1100);
    QCOMPARE(notifier.notices.size(), std::size_t{1});
    // Nothing was imported while the session is open: the log keeps the call's start.
    QCOMPARE(rig.ReadFile("ModemLog.txt"), log);
    QVERIFY(rig.messages.Shown().empty());
  }

  void theDesktopOptionsStartOff() {
    FormRig rig;
    TForm1& form = rig.Show();
    RefusingNotifier notifier;
    const NoEnvironment env(rig.dir.Path());
    dorvane::SessionWatch watch(form, notifier, env, rig.dir.Path());
    QVERIFY(!watch.chkboxCloseToTray->isChecked());
    QVERIFY(!watch.chkboxCheckAtLogin->isChecked());
    QVERIFY(watch.lblCallInProgress->isHidden());
    // Ticked, the login check writes its entry; unticked, it takes it away again.
    const std::string entry = rig.Path(".config/autostart/dorvane-check.desktop");
    watch.chkboxCheckAtLogin->setChecked(true);
    QVERIFY(QFile::exists(QString::fromStdString(entry)));
    watch.chkboxCheckAtLogin->setChecked(false);
    QVERIFY(!QFile::exists(QString::fromStdString(entry)));
    // Without a tray the close box still closes.
    watch.chkboxCloseToTray->setChecked(true);
    QVERIFY(!form.hideOnClose);
  }
};

QTEST_MAIN(SessionWatchTest)
#include "sessionwatch_test.moc"
