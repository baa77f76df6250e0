#include "reports/printing.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QTextDocument>
#include <algorithm>

namespace dorvane {

void PrintDocument(const QTextDocument& document, QPrinter& printer) {
  printer.setDocName(QString());
  // The whole printable area: no margin beyond what the printer cannot reach.
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  std::unique_ptr<QTextDocument> copy(document.clone());
  copy->setDefaultFont(document.defaultFont());
  copy->documentLayout()->setPaintDevice(&printer);
  copy->setDocumentMargin(0);
  const QRectF area = printer.pageRect(QPrinter::DevicePixel);
  copy->setPageSize(area.size());

  QPainter painter(&printer);
  if (!painter.isActive()) return;  // the printer refused the job
  const int pages = std::max(1, copy->pageCount());
  for (int page = 0; page < pages; ++page) {
    if (page > 0) printer.newPage();
    const QRectF clip(0, page * area.height(), area.width(), area.height());
    // Each page shows the next slice of the laid-out document at the painter's origin, which
    // is the top left corner of the printable area.
    painter.save();
    painter.translate(0, -clip.top());
    copy->drawContents(&painter, clip);
    painter.restore();
  }
}

QtReportPrinter::QtReportPrinter() : printer_(std::make_unique<QPrinter>()) {}

bool QtReportPrinter::PrintDialog(QWidget* parent) {
  QPrintDialog dialog(printer_.get(), parent);
  // The whole report, always: no page range, no selection, no print to file.
  dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  return dialog.exec() == QDialog::Accepted;
}

void QtReportPrinter::PrinterSetupDialog(QWidget* parent) {
  QPageSetupDialog dialog(printer_.get(), parent);
  dialog.exec();
}

void QtReportPrinter::Print(const QTextDocument& document) {
  PrintDocument(document, *printer_);
}

}  // namespace dorvane
