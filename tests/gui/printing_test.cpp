// Prints documents into PDF files and counts their pages.
#include "platform/qt/printing.h"

#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

#include "support/files.h"

namespace {

int PrintedPages(const QTextDocument& document, const QString& path) {
  QPrinter printer(QPrinter::ScreenResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  dorvane::PrintDocument(document, printer);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QString pdf = QString::fromLatin1(file.readAll());
  return static_cast<int>(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

}  // namespace

class PrintingTest : public QObject {
  Q_OBJECT

 private slots:
  void anEmptyBoxPrintsOneEmptyPage() {
    dorvane::testing::TempDir dir;
    QTextDocument empty;
    QCOMPARE(PrintedPages(empty, QString::fromStdString(dir.File("empty.pdf"))), 1);
  }

  void aLongReportGoesOnToFurtherPagesAndStaysAsItWas() {
    dorvane::testing::TempDir dir;
    QString text;
    for (int i = 0; i < 400; ++i) text += QStringLiteral("call line %1\n").arg(i);
    QTextDocument report(text);
    const QString before = report.toPlainText();
    QVERIFY(PrintedPages(report, QString::fromStdString(dir.File("long.pdf"))) > 1);
    QCOMPARE(report.toPlainText(), before);
  }

  void theSetUpDialogChoosesThePrinterPaperAndOrientation() {
    QPrinter printer(QPrinter::ScreenResolution);
    const QStringList printers{QStringLiteral("Office"), QStringLiteral("Second floor")};
    {
      dorvane::PrintSetupForm cancelled(printer, printers, QStringLiteral("Second floor"));
      QCOMPARE(cancelled.cmbPrinter->currentText(), QStringLiteral("Second floor"));
      cancelled.rbLandscape->setChecked(true);
      cancelled.reject();
      QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    }
    dorvane::PrintSetupForm setup(printer, printers, QString());
    setup.cmbPrinter->setCurrentIndex(1);
    setup.cmbPaper->setCurrentIndex(setup.cmbPaper->findData(static_cast<int>(QPageSize::A5)));
    setup.rbLandscape->setChecked(true);
    setup.accept();
    QCOMPARE(setup.ChosenPrinter(), QStringLiteral("Second floor"));
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A5);
  }
};

QTEST_MAIN(PrintingTest)
#include "printing_test.moc"
