// Printing the logbook report: the print and printer set-up dialogs and the printed pages, behind
// a small interface so that the window tests need no printer.
#pragma once

#include <QPrinter>
#include <memory>

class QTextDocument;
class QWidget;

namespace dorvane {

class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;
  // The print dialog: printer, its properties, copies and collation; true when confirmed, the
  // choice then being the current printer.
  virtual bool PrintDialog(QWidget* parent) = 0;
  // The printer set-up dialog (printer, paper, orientation); a confirmed choice is kept for the
  // next print.
  virtual void PrinterSetupDialog(QWidget* parent) = 0;
  // Prints the whole document on the current printer as one job.
  virtual void Print(const QTextDocument& document) = 0;
};

// Lays the document out on the printable area of the printer (no margin added) and prints it page
// by page; an empty document prints one empty page. The document itself is not changed.
void PrintDocument(const QTextDocument& document, QPrinter& printer);

class QtReportPrinter : public ReportPrinter {
 public:
  QtReportPrinter();
  bool PrintDialog(QWidget* parent) override;
  void PrinterSetupDialog(QWidget* parent) override;
  void Print(const QTextDocument& document) override;

  QPrinter& Printer() { return *printer_; }

 private:
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace dorvane
