// Takes the README's pictures: the three pages, the band editor and a logbook, from the fixture
// files in docs/shots/ (a three-band tariff and a summer of calls), with US English settings
// and the clock at 15 August 1998, noon. dorvane_screenshots OUTPUT_FOLDER [maximised|dark];
// see scripts/screenshots.sh, which runs it under Xvfb at the design size, maximised, at scale 2
// (QT_SCALE_FACTOR) and with a dark palette.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
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

// The modal dialog of type D that `open` shows, taken while it is up and then cancelled.
template <typename D, typename Open>
bool SaveDialog(const QString& folder, const char* name, Open open) {
  bool saved = false;
  QTimer::singleShot(100, [&] {
    if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
      saved = Save(dialog->grab().toImage(), folder, name);
      dialog->reject();
    }
  });
  open();
  return saved;
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

// A dark Fusion palette, as a desktop with a dark theme gives it.
void UseDarkPalette(QApplication& app) {
  app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette dark;
  const QColor window(53, 53, 53);
  const QColor base(35, 35, 35);
  dark.setColor(QPalette::Window, window);
  dark.setColor(QPalette::WindowText, Qt::white);
  dark.setColor(QPalette::Base, base);
  dark.setColor(QPalette::AlternateBase, window);
  dark.setColor(QPalette::Text, Qt::white);
  dark.setColor(QPalette::Button, window);
  dark.setColor(QPalette::ButtonText, Qt::white);
  dark.setColor(QPalette::BrightText, Qt::red);
  dark.setColor(QPalette::Link, QColor(42, 130, 218));
  dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
  dark.setColor(QPalette::HighlightedText, Qt::black);
  dark.setColor(QPalette::Light, QColor(90, 90, 90));
  dark.setColor(QPalette::Midlight, QColor(70, 70, 70));
  dark.setColor(QPalette::Mid, QColor(45, 45, 45));
  dark.setColor(QPalette::Dark, QColor(25, 25, 25));
  dark.setColor(QPalette::Shadow, Qt::black);
  dark.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
  dark.setColor(QPalette::Disabled, QPalette::Text, Qt::gray);
  dark.setColor(QPalette::Disabled, QPalette::ButtonText, Qt::gray);
  app.setPalette(dark);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString variant = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
  if (argc < 2 || argc > 3 ||
      !(variant.isEmpty() || variant == QLatin1String("maximised") ||
        variant == QLatin1String("dark"))) {
    std::fprintf(stderr, "usage: dorvane_screenshots OUTPUT_FOLDER [maximised|dark]\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(out)) {
    std::fprintf(stderr, "cannot make %s\n", qPrintable(out));
    return 1;
  }
  if (variant == QLatin1String("dark")) UseDarkPalette(app);
  dorvane::testing::FormRig rig;
  for (const char* name : {"dorvane.INI", "dorvane.DB"}) {
    if (!QFile::copy(QStringLiteral(DORVANE_SHOTS_DATA "/") + QLatin1String(name),
                     QString::fromStdString(rig.Path(name)))) {
      std::fprintf(stderr, "cannot copy %s\n", name);
      return 1;
    }
  }
  TForm1& form = rig.Show();
  if (variant == QLatin1String("maximised")) {
    form.showMaximized();
    // Without a window manager the window is not maximised for us: it takes the screen.
    if (const QScreen* screen = form.screen()) form.setGeometry(screen->availableGeometry());
  } else {
    form.show();
  }
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

  // The band editor over the evening band, then the about box.
  ok &= SaveDialog<TfrmCostEditor>(out, "costeditor.png", [&] { form.btnEdit->click(); });
  ok &= SaveDialog<QDialog>(out, "about.png", [&] { form.About1Click(); });

  if (!rig.messages.AllShown() || !rig.messages.Shown().empty()) ok = false;
  form.hide();
  return ok ? 0 : 1;
}
