// The help viewer over a help file in a temporary folder, with a scripted message service.
#include "platform/qt/helpviewer.h"

#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>
#include <utility>

#include "gui/support/fakes.h"

using dorvane::QtHelpEngine;

namespace {

using dorvane::testing::BoxKind, dorvane::testing::FailQtTest, dorvane::testing::RecordingShell,
    dorvane::testing::ScriptedMessages, dorvane::testing::TempDir;

QString Filler(int paragraphs) {
  QString out;
  for (int i = 0; i < paragraphs; ++i) out += "<p>Line of text to fill the page.</p>\n";
  return out;
}

}  // namespace

class HelpViewerTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void contentsShowsTheTopOfTheFile();
  void jumpToTopic();
  void missingTopicShowsOneBox();
  void missingFileShowsOneBox();
  void eachRequestReadsTheFileAfresh();
  void filesTopicNamesThisRunsFolder();
  void linksWithinAndOutOfTheFile();
  void helpOnHelpNeedsNoFile();
  void quitClosesTheWindow();
  void shippedHelpHasTheProgramsTopics();

 private:
  QTextBrowser* Browser(QtHelpEngine& help) {
    return help.Window()->findChild<QTextBrowser*>("helpText");
  }
  QString TextAtCursor(QtHelpEngine& help) { return Browser(help)->textCursor().block().text(); }
  void WriteHelp(const QString& body) {
    QFile file(path_);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(("<html><body>" + body + "</body></html>").toUtf8());
  }

  TempDir dir_;
  QString path_;
  ScriptedMessages messages_;
  QWidget owner_;
};

void HelpViewerTest::init() {
  path_ = QString::fromStdString(dir_.File("dorvane.HLP"));
  WriteHelp("<h1>Contents</h1><p><a href=\"#Second\">Go to the second topic</a></p>" + Filler(80) +
            "<h2 id=\"First\">First topic</h2>" + Filler(80) +
            "<h2><a name=\"Second\"></a>Second topic</h2>" + Filler(80) +
            "<p><a href=\"https://example.org/rates\">Rates on the web</a></p>" + Filler(20));
  messages_ = ScriptedMessages(FailQtTest);
}

void HelpViewerTest::contentsShowsTheTopOfTheFile() {
  QtHelpEngine help(path_.toStdString(), messages_);
  help.SetOwner(&owner_);
  QVERIFY(help.Window() == nullptr);
  QVERIFY(help.Contents());
  QWidget* window = help.Window();
  QVERIFY(window != nullptr);
  QVERIFY(window->isVisible());
  QCOMPARE(window->windowTitle(), QString("Dorvane Help"));
  QCOMPARE(window->parentWidget(), &owner_);
  QVERIFY(window->isWindow());
  QCOMPARE(TextAtCursor(help), QString("Contents"));
  QCOMPARE(Browser(help)->verticalScrollBar()->value(), 0);
}

// By an id attribute or a named anchor, in any letter case.
void HelpViewerTest::jumpToTopic() {
  for (const auto& [topic, heading] :
       {std::pair{"First", "First topic"}, std::pair{"Second", "Second topic"},
        std::pair{"second", "Second topic"}}) {
    QtHelpEngine help(path_.toStdString(), messages_);
    QVERIFY2(help.JumpToTopic(topic), topic);
    QCOMPARE(TextAtCursor(help), QString(heading));
    QVERIFY2(Browser(help)->verticalScrollBar()->value() > 0, topic);
  }
}

void HelpViewerTest::missingTopicShowsOneBox() {
  QtHelpEngine help(path_.toStdString(), messages_);
  messages_.Expect(BoxKind::ErrorMessage, "Help topic not found: Nowhere");
  QVERIFY(!help.JumpToTopic("Nowhere"));
  QVERIFY(messages_.AllShown());
  // The contents stay on show.
  QVERIFY(help.Window()->isVisible());
  QCOMPARE(TextAtCursor(help), QString("Contents"));
}

void HelpViewerTest::missingFileShowsOneBox() {
  const std::string missing = dir_.File("absent.HLP");
  QtHelpEngine help(missing, messages_);
  messages_.Expect(BoxKind::ErrorMessage, "Help file not found: " + missing);
  QVERIFY(!help.JumpToTopic("First"));
  QVERIFY(messages_.AllShown());
  messages_.Expect(BoxKind::ErrorMessage, "Help file not found: " + missing);
  QVERIFY(!help.Contents());
  QVERIFY(messages_.AllShown());
  QVERIFY(help.Window() == nullptr);
}

void HelpViewerTest::eachRequestReadsTheFileAfresh() {
  QtHelpEngine help(path_.toStdString(), messages_);
  QVERIFY(help.Contents());
  WriteHelp("<h1>New contents</h1><h2 id=\"Third\">Third topic</h2>");
  QVERIFY(help.JumpToTopic("Third"));
  QCOMPARE(TextAtCursor(help), QString("Third topic"));
  QVERIFY(!Browser(help)->toPlainText().contains("Second topic"));
}

// The help says where this run keeps its files, whatever characters the folder's name holds.
void HelpViewerTest::filesTopicNamesThisRunsFolder() {
  WriteHelp("<p>Files are in <span id=\"DataFolder\">a folder</span>.</p>");
  QtHelpEngine help(path_.toStdString(), messages_);
  help.SetFilesFolder("/home/a\\1 <b>&", false);
  QVERIFY(help.Contents());
  QCOMPARE(Browser(help)->toPlainText(),
           QString("Files are in /home/a\\1 <b>&, your data folder."));
}

void HelpViewerTest::linksWithinAndOutOfTheFile() {
  QtHelpEngine help(path_.toStdString(), messages_);
  RecordingShell shell;
  help.SetShell(&shell);
  QVERIFY(help.Contents());
  QTextBrowser* browser = Browser(help);
  auto* back = help.Window()->findChild<QToolButton*>("backButton");
  auto* forward = help.Window()->findChild<QToolButton*>("forwardButton");
  QVERIFY(!back->isEnabled());

  emit browser->anchorClicked(QUrl("#Second"));
  QCOMPARE(TextAtCursor(help), QString("Second topic"));
  QVERIFY(shell.urls.empty());
  back->click();
  QCOMPARE(TextAtCursor(help), QString("Contents"));
  QVERIFY(forward->isEnabled());
  forward->click();
  QCOMPARE(TextAtCursor(help), QString("Second topic"));
  QVERIFY(!forward->isEnabled());

  emit browser->anchorClicked(QUrl("https://example.org/rates"));
  QCOMPARE(shell.urls, std::vector<std::string>{"https://example.org/rates"});
  QCOMPARE(TextAtCursor(help), QString("Second topic"));

  messages_.Expect(BoxKind::ErrorMessage, "Help topic not found: Gone");
  emit browser->anchorClicked(QUrl("#Gone"));
  QVERIFY(messages_.AllShown());
}

void HelpViewerTest::helpOnHelpNeedsNoFile() {
  QtHelpEngine help(dir_.File("absent.HLP"), messages_);
  QVERIFY(help.HelpOnHelp());
  QVERIFY(help.Window()->isVisible());
  QVERIFY(Browser(help)->toPlainText().startsWith("How to Use Help"));
}

void HelpViewerTest::quitClosesTheWindow() {
  QtHelpEngine help(path_.toStdString(), messages_);
  help.Quit();  // nothing open yet: nothing happens
  QVERIFY(help.Window() == nullptr);
  QVERIFY(help.Contents());
  help.Quit();
  QVERIFY(!help.Window()->isVisible());
  QVERIFY(help.Contents());
  QVERIFY(help.Window()->isVisible());
}

void HelpViewerTest::shippedHelpHasTheProgramsTopics() {
  const QString shipped = QString(DORVANE_TEST_DATA) + "/../../help/dorvane.html";
  QVERIFY(QFile::exists(shipped));
  QtHelpEngine help(shipped.toStdString(), messages_);
  for (const char* topic : {"Introduction", "How_to_Reduce_Costs_for_Online_Time",
                            "How_to_Specify_Charges_for_Online_Time"}) {
    QVERIFY2(help.JumpToTopic(topic), topic);
    QVERIFY(!TextAtCursor(help).isEmpty());
  }
  // Every link within the file leads to a topic of it.
  const QString html = Browser(help)->toHtml();
  static const QRegularExpression link("href=\"#([^\"]+)\"");
  int links = 0;
  for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
    const QString topic = it.next().captured(1);
    QVERIFY2(help.JumpToTopic(topic.toStdString()), qPrintable(topic));
  }
  QVERIFY(links > 10);
}

QTEST_MAIN(HelpViewerTest)
#include "helpviewer_test.moc"
