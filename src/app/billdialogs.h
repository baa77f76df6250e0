// The two small dialogs of the bill on the Options page: the public holidays list, and the
// first day of a new charges table.
#pragma once

#include <QDialog>
#include <vector>

#include "charges/holidays.h"
#include "platform/messages.h"
#include "platform/regional.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace dorvane {

class TDateTimePicker;

// The holidays: a list to add days to (typed as 12-25, 2026-12-24 or Easter+1) and remove them
// from, a country whose usual holidays fill it, and the weekday a holiday is priced as.
class THolidaysDialog : public QDialog {
  Q_OBJECT
 public:
  THolidaysDialog(const RegionalSettings& rs, MessageService& messages, QWidget* parent = nullptr);

  void SetHolidays(const Holidays& holidays);
  Holidays Result() const;

  QListWidget* lstHolidays = nullptr;
  QLineEdit* editHoliday = nullptr;
  QPushButton* btnAddHoliday = nullptr;
  QPushButton* btnRemoveHoliday = nullptr;
  QComboBox* cmbCountry = nullptr;
  QPushButton* btnFillHolidays = nullptr;
  QComboBox* cmbPricedAs = nullptr;

  void btnAddHolidayClick();
  void btnRemoveHolidayClick();
  void btnFillHolidaysClick();

 private:
  void ShowRules();

  MessageService& messages_;
  std::vector<HolidayRule> rules_;
};

// The first day of a new charges table, a copy of the one the grid shows.
class TNewTableDialog : public QDialog {
  Q_OBJECT
 public:
  TNewTableDialog(const RegionalSettings& rs, TDateTime initial, QWidget* parent = nullptr);
  TDateTime From() const;

  TDateTimePicker* DateTimePickerFrom = nullptr;
};

}  // namespace dorvane
