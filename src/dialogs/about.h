// The About box: product name, version and copyright, shown modally over the main window.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  // Writes the texts afresh, centres the box on the screen and waits until it is closed.
  void ShowModal();
  // The texts and caption as every showing sets them.
  void FillTexts();

  QFrame* Panel1 = nullptr;
  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* Copyright = nullptr;
  QPushButton* OKButton = nullptr;

 private:
  // How much the design's positions grow for the desktop's font.
  double scale_ = 1;
};
