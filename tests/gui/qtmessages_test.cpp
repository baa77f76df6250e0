// The message boxes: caption, icon, buttons and the answer of each kind.
#include "platform/qt/qtmessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>

using dorvane::Answer;
using dorvane::QtMessageService;

namespace {

struct SeenBox {
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QWidget* parent = nullptr;
};

// Waits for the next modal box, notes what it shows and presses `press` (NoButton: Escape).
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton press) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, &seen, press] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    timer->stop();
    timer->deleteLater();
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
            box->parentWidget()};
    if (press == QMessageBox::NoButton)
      QTest::keyClick(box, Qt::Key_Escape);
    else
      box->button(press)->click();
  });
  timer->start(5);
}

}  // namespace

using Show = std::function<void(QtMessageService&)>;
Q_DECLARE_METATYPE(Show)
Q_DECLARE_METATYPE(Answer)

class QtMessagesTest : public QObject {
  Q_OBJECT
 private slots:
  void noticeKinds_data();
  void noticeKinds();
  void confirm_data();
  void confirm();
  void boxesAreModalToTheParent();
};

void QtMessagesTest::noticeKinds_data() {
  QTest::addColumn<Show>("show");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QMessageBox::Icon>("icon");
  QTest::addColumn<QString>("text");
  QTest::newRow("information") << Show([](QtMessageService& m) { m.Information("Saved"); })
                               << "Information" << QMessageBox::Information << "Saved";
  QTest::newRow("warning") << Show([](QtMessageService& m) { m.Warning("Too dear"); }) << "Warning"
                           << QMessageBox::Warning << "Too dear";
  QTest::newRow("error") << Show([](QtMessageService& m) { m.ErrorMessage("No file"); }) << "Error"
                         << QMessageBox::Critical << "No file";
  QTest::newRow("note") << Show([](QtMessageService& m) { m.Note("Invalid Report Period"); })
                        << "Dorvane" << QMessageBox::NoIcon << "Invalid Report Period";
  QTest::newRow("error box adds a full stop")
      << Show([](QtMessageService& m) { m.ShowError("'x' is not a valid time"); }) << "Dorvane"
      << QMessageBox::Critical << "'x' is not a valid time.";
  QTest::newRow("error box keeps a closing bracket")
      << Show([](QtMessageService& m) { m.ShowError("Unable to write (disk full)"); }) << "Dorvane"
      << QMessageBox::Critical << "Unable to write (disk full)";
  QTest::newRow("markup is shown as typed")
      << Show([](QtMessageService& m) { m.Information("<b>5 &amp; 6</b>"); }) << "Information"
      << QMessageBox::Information << "<b>5 &amp; 6</b>";
}

void QtMessagesTest::noticeKinds() {
  QFETCH(Show, show);
  QFETCH(QString, caption);
  QFETCH(QMessageBox::Icon, icon);
  QFETCH(QString, text);
  QtMessageService messages;
  SeenBox seen;
  AnswerNextBox(seen, QMessageBox::Ok);
  show(messages);
  QCOMPARE(seen.caption, caption);
  QCOMPARE(seen.icon, icon);
  QCOMPARE(seen.text, text);
  QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void QtMessagesTest::confirm_data() {
  QTest::addColumn<bool>("withCancel");
  QTest::addColumn<QMessageBox::StandardButton>("press");
  QTest::addColumn<Answer>("answer");
  QTest::newRow("yes") << false << QMessageBox::Yes << Answer::Yes;
  QTest::newRow("no") << false << QMessageBox::No << Answer::No;
  QTest::newRow("escape means no") << false << QMessageBox::NoButton << Answer::No;
  QTest::newRow("yes of three") << true << QMessageBox::Yes << Answer::Yes;
  QTest::newRow("no of three") << true << QMessageBox::No << Answer::No;
  QTest::newRow("cancel") << true << QMessageBox::Cancel << Answer::Cancel;
  QTest::newRow("escape means cancel") << true << QMessageBox::NoButton << Answer::Cancel;
}

void QtMessagesTest::confirm() {
  QFETCH(bool, withCancel);
  QFETCH(QMessageBox::StandardButton, press);
  QFETCH(Answer, answer);
  QtMessageService messages;
  SeenBox seen;
  AnswerNextBox(seen, press);
  QCOMPARE(messages.Confirm("Delete all modem calls?", withCancel), answer);
  QCOMPARE(seen.caption, QString("Confirm"));
  QCOMPARE(seen.icon, QMessageBox::Question);
  QCOMPARE(seen.text, QString("Delete all modem calls?"));
  QMessageBox::StandardButtons expected = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) expected |= QMessageBox::Cancel;
  QCOMPARE(seen.buttons, expected);
}

void QtMessagesTest::boxesAreModalToTheParent() {
  QWidget first;
  QWidget second;
  QtMessageService messages(&first);
  SeenBox seen;
  AnswerNextBox(seen, QMessageBox::Ok);
  messages.Warning("one");
  QCOMPARE(seen.parent, &first);
  messages.SetParent(&second);
  AnswerNextBox(seen, QMessageBox::Ok);
  messages.Warning("two");
  QCOMPARE(seen.parent, &second);
}

QTEST_MAIN(QtMessagesTest)
#include "qtmessages_test.moc"
