// Takes the README's pictures: the three pages, the band editor and a logbook, from the fixture
// files in docs/shots/ (a three-band tariff and a summer of calls), with US English settings
// and the clock at 15 August 1998, noon. dorvane_screenshots OUTPUT_FOLDER; see
// scripts/screenshots.sh, which runs it under Xvfb.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

#include "app/mainmdi.h"
#include "dialogs/costedit.h"
#include "gui/support/fakes.h"

namespace {

bool Save(const QImage& image, const QString& folder, const char* name) {
  const QString path = QDir(folder).filePath(QLatin1String(name));
  if (!image.save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

// The logbook as a sheet of paper: the report document on a white page with margins.
QImage LogbookSheet(const QTextDocument& report) {
  QTextDocument doc;
  doc.setHtml(report.toHtml());
  doc.setTextWidth(560);
  const QSizeF size = doc.documentLayout()->documentSize();
  QImage sheet(600, static_cast<int>(size.height()) + 40, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  painter.translate(20, 20);
  doc.drawContents(&painter);
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: dorvane_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  dorvane::testing::FormRig rig;
  for (const char* name : {"dorvane.INI", "dorvane.DB"}) {
    if (!QFile::copy(QStringLiteral(DORVANE_SHOTS_DATA "/") + QLatin1String(name),
                     QString::fromStdString(rig.Path(name)))) {
      std::fprintf(stderr, "cannot copy %s\n", name);
      return 1;
    }
  }
  TForm1& form = rig.Show();
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  bool ok = true;

  form.PageControl1->setCurrentIndex(0);
  QTest::qWait(50);
  ok &= Save(form.grab().toImage(), out, "page1.png");

  form.PageControl1->setCurrentIndex(1);
  form.btnCreate->click();
  QTest::qWait(50);
  ok &= Save(form.grab().toImage(), out, "page2.png");
  ok &= Save(LogbookSheet(*form.RichEdit1->document()), out, "logbook.png");

  form.PageControl1->setCurrentIndex(2);
  form.strgrdCost->setCurrentCell(1, 0);
  QTest::qWait(50);
  ok &= Save(form.grab().toImage(), out, "page3.png");

  // The band editor over the evening band, taken while it is up and then cancelled.
  QTimer::singleShot(100, [&] {
    if (auto* editor = qobject_cast<TfrmCostEditor*>(QApplication::activeModalWidget())) {
      ok &= Save(editor->grab().toImage(), out, "costeditor.png");
      editor->reject();
    } else {
      ok = false;
    }
  });
  form.btnEdit->click();

  if (!rig.messages.AllShown() || !rig.messages.Shown().empty()) ok = false;
  form.hide();
  return ok ? 0 : 1;
}
