// Printing the logbook report: the print and printer set-up dialogs and the printed pages, behind
// a small interface so that the window tests need no printer.
#pragma once

#include <QDialog>
#include <QPrinter>
#include <QStringList>
#include <memory>
#include <string>

class QComboBox;
class QRadioButton;
class QTextDocument;
class QWidget;

namespace dorvane {

// The program's current printer is named by its caller; an empty name is the system's default
// printer. Paper and orientation chosen in the set-up dialog stay with the printer for the run.
class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;
  // The print dialog (printer, its properties, copies and collation), offering `printer` first.
  // True when confirmed; `printer` then names the printer chosen there.
  virtual bool PrintDialog(QWidget* parent, std::string& printer) = 0;
  // The printer set-up dialog (printer, paper, orientation), with `printer` chosen at first.
  // True when confirmed; `printer` then names the printer chosen there.
  virtual bool PrinterSetupDialog(QWidget* parent, std::string& printer) = 0;
  // Prints the whole document on the named printer as one job.
  virtual void Print(const QTextDocument& document, const std::string& printer) = 0;
};

// Lays the document out on the printable area of the printer (no margin added) and prints it page
// by page; an empty document prints one empty page. The document itself is not changed.
void PrintDocument(const QTextDocument& document, QPrinter& printer);

// The printer set-up dialog: the printer, the paper and the orientation. Confirming it applies
// the choice to the printer; cancelling changes nothing.
class PrintSetupForm : public QDialog {
  Q_OBJECT

 public:
  // `printers` are the names offered; `current` is chosen at first (the system's default printer
  // when empty or not among them).
  PrintSetupForm(QPrinter& printer, const QStringList& printers, const QString& current,
                 QWidget* parent = nullptr);

  // The printer chosen in the list; empty when there is none.
  QString ChosenPrinter() const;
  void accept() override;

  QComboBox* cmbPrinter = nullptr;
  QComboBox* cmbPaper = nullptr;
  QRadioButton* rbPortrait = nullptr;
  QRadioButton* rbLandscape = nullptr;

 private:
  QPrinter& printer_;
};

class QtReportPrinter : public ReportPrinter {
 public:
  QtReportPrinter();
  bool PrintDialog(QWidget* parent, std::string& printer) override;
  bool PrinterSetupDialog(QWidget* parent, std::string& printer) override;
  void Print(const QTextDocument& document, const std::string& printer) override;

  QPrinter& Printer() { return *printer_; }

 private:
  // Points the printer at the named one (the default printer when empty).
  void UsePrinter(const std::string& printer);

  std::unique_ptr<QPrinter> printer_;
};

}  // namespace dorvane
