#include "platform/qt/printing.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QTextDocument>
#include <QVBoxLayout>
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

PrintSetupForm::PrintSetupForm(QPrinter& printer, const QStringList& printers,
                               const QString& current, QWidget* parent)
    : QDialog(parent), printer_(printer) {
  setObjectName(QStringLiteral("PrinterSetupDialog1"));
  setWindowTitle(QStringLiteral("Print Setup"));
  setModal(true);

  auto* printerGroup = new QGroupBox(QStringLiteral("Printer"), this);
  cmbPrinter = new QComboBox(printerGroup);
  cmbPrinter->setObjectName(QStringLiteral("cmbPrinter"));
  cmbPrinter->addItems(printers);
  int chosen = static_cast<int>(printers.indexOf(current));
  if (chosen < 0) chosen = static_cast<int>(printers.indexOf(QPrinterInfo::defaultPrinterName()));
  cmbPrinter->setCurrentIndex(chosen < 0 ? 0 : chosen);
  cmbPrinter->setEnabled(!printers.isEmpty());
  auto* printerName = new QLabel(QStringLiteral("&Name:"), printerGroup);
  printerName->setBuddy(cmbPrinter);
  auto* printerRow = new QHBoxLayout(printerGroup);
  printerRow->addWidget(printerName);
  printerRow->addWidget(cmbPrinter, 1);

  auto* paperGroup = new QGroupBox(QStringLiteral("Paper"), this);
  cmbPaper = new QComboBox(paperGroup);
  cmbPaper->setObjectName(QStringLiteral("cmbPaper"));
  for (QPageSize::PageSizeId id :
       {QPageSize::A4, QPageSize::Letter, QPageSize::Legal, QPageSize::A3, QPageSize::A5,
        QPageSize::B5, QPageSize::Executive}) {
    cmbPaper->addItem(QPageSize::name(id), static_cast<int>(id));
  }
  const int paper = cmbPaper->findData(static_cast<int>(printer.pageLayout().pageSize().id()));
  if (paper >= 0) cmbPaper->setCurrentIndex(paper);
  auto* paperSize = new QLabel(QStringLiteral("Si&ze:"), paperGroup);
  paperSize->setBuddy(cmbPaper);
  auto* paperRow = new QHBoxLayout(paperGroup);
  paperRow->addWidget(paperSize);
  paperRow->addWidget(cmbPaper, 1);

  auto* orientationGroup = new QGroupBox(QStringLiteral("Orientation"), this);
  rbPortrait = new QRadioButton(QStringLiteral("P&ortrait"), orientationGroup);
  rbLandscape = new QRadioButton(QStringLiteral("L&andscape"), orientationGroup);
  const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
  rbPortrait->setChecked(!landscape);
  rbLandscape->setChecked(landscape);
  auto* orientationColumn = new QVBoxLayout(orientationGroup);
  orientationColumn->addWidget(rbPortrait);
  orientationColumn->addWidget(rbLandscape);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QGridLayout(this);
  layout->addWidget(printerGroup, 0, 0, 1, 2);
  layout->addWidget(paperGroup, 1, 0);
  layout->addWidget(orientationGroup, 1, 1);
  layout->addWidget(buttons, 2, 0, 1, 2);
}

QString PrintSetupForm::ChosenPrinter() const {
  return cmbPrinter->currentIndex() < 0 ? QString() : cmbPrinter->currentText();
}

void PrintSetupForm::accept() {
  const QString name = ChosenPrinter();
  if (!name.isEmpty()) printer_.setPrinterName(name);
  printer_.setPageSize(
      QPageSize(static_cast<QPageSize::PageSizeId>(cmbPaper->currentData().toInt())));
  printer_.setPageOrientation(rbLandscape->isChecked() ? QPageLayout::Landscape
                                                       : QPageLayout::Portrait);
  QDialog::accept();
}

QtReportPrinter::QtReportPrinter() : printer_(std::make_unique<QPrinter>()) {}

void QtReportPrinter::UsePrinter(const std::string& printer) {
  const QString name =
      printer.empty() ? QPrinterInfo::defaultPrinterName() : QString::fromStdString(printer);
  if (!name.isEmpty() && printer_->printerName() != name) printer_->setPrinterName(name);
}

bool QtReportPrinter::PrintDialog(QWidget* parent, std::string& printer) {
  UsePrinter(printer);
  QPrintDialog dialog(printer_.get(), parent);
  // The whole report, always: no page range, no selection, no print to file.
  dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  if (dialog.exec() != QDialog::Accepted) return false;
  printer = printer_->printerName().toStdString();
  return true;
}

bool QtReportPrinter::PrinterSetupDialog(QWidget* parent, std::string& printer) {
  PrintSetupForm dialog(*printer_, QPrinterInfo::availablePrinterNames(),
                        QString::fromStdString(printer), parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  printer = dialog.ChosenPrinter().toStdString();
  return true;
}

void QtReportPrinter::Print(const QTextDocument& document, const std::string& printer) {
  UsePrinter(printer);
  PrintDocument(document, *printer_);
}

}  // namespace dorvane
