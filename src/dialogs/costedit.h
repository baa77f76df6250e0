// The band editor: days, a daily time window and four numbers of one charge band.
#pragma once

#include <QDialog>
#include <array>

#include "charges/bandedit.h"
#include "platform/messages.h"
#include "platform/regional.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

class TfrmCostEditor : public QDialog {
  Q_OBJECT

 public:
  TfrmCostEditor(const dorvane::RegionalSettings& rs, dorvane::MessageService& messages,
                 QWidget* parent = nullptr);

  // The controls as values, and back.
  dorvane::BandEditorValues Values() const;
  void SetValues(const dorvane::BandEditorValues& values);

  // Checks the input when the dialog is closed with OK; the close is called off on a failure.
  void done(int result) override;

  QGroupBox* grpboxDays = nullptr;
  std::array<QCheckBox*, 7> dayBoxes{};  // CheckBox1 (Sunday) to CheckBox7 (Saturday)
  QGroupBox* grpboxTime = nullptr;
  QTimeEdit* DateTimePickerFrom = nullptr;
  QTimeEdit* DateTimePickerTo = nullptr;
  QGroupBox* grpboxOnlineCost = nullptr;
  QLabel* lblStartCost = nullptr;
  QLabel* lblMinuteCost = nullptr;
  QLabel* lblMinimumCost = nullptr;
  QLabel* lblMinimumPeriod = nullptr;
  QLineEdit* editStartCost = nullptr;
  QLineEdit* editMinuteCost = nullptr;
  QLineEdit* editMinimumCost = nullptr;
  QLineEdit* editMinimumPeriod = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;

 protected:
  // A press on the dialog's surface over a locked group explains the lock.
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void FormMouseDown(QPoint point);

  const dorvane::RegionalSettings& rs_;
  dorvane::MessageService& messages_;
};
