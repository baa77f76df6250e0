#include "app/billdialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/controls.h"
#include "charges/holidaypresets.h"
#include "platform/error.h"
#include "platform/qt/named.h"
#include "platform/qt/qtext.h"

namespace dorvane {

inline constexpr const char* kNotAHoliday =
    "'%s' is not a holiday: type a day as 12-25, a date as 2026-12-24 or Easter+1";

THolidaysDialog::THolidaysDialog(const RegionalSettings& rs, MessageService& messages,
                                 QWidget* parent)
    : QDialog(parent), messages_(messages) {
  setObjectName(QStringLiteral("frmHolidays"));
  setWindowTitle(QStringLiteral("Holidays"));
  auto* grid = new QGridLayout(this);

  lstHolidays = Named(new QListWidget(this), "lstHolidays");
  lstHolidays->setAccessibleName(QStringLiteral("Holidays"));
  grid->addWidget(lstHolidays, 0, 0, 4, 1);

  editHoliday = Named(new QLineEdit(this), "editHoliday");
  editHoliday->setAccessibleName(QStringLiteral("Holiday"));
  editHoliday->setPlaceholderText(QStringLiteral("12-25 or Easter+1"));
  grid->addWidget(editHoliday, 0, 1);
  btnAddHoliday = Named(new QPushButton(QStringLiteral("&Add"), this), "btnAddHoliday");
  grid->addWidget(btnAddHoliday, 0, 2);
  btnRemoveHoliday = Named(new QPushButton(QStringLiteral("&Remove"), this), "btnRemoveHoliday");
  grid->addWidget(btnRemoveHoliday, 1, 2);

  cmbCountry = Named(new QComboBox(this), "cmbCountry");
  cmbCountry->setAccessibleName(QStringLiteral("Country"));
  for (const HolidayPreset& preset : HolidayPresets()) {
    cmbCountry->addItem(QString::fromUtf8(preset.country));
  }
  grid->addWidget(cmbCountry, 2, 1);
  btnFillHolidays = Named(new QPushButton(QStringLiteral("Add &Country"), this), "btnFillHolidays");
  grid->addWidget(btnFillHolidays, 2, 2);

  auto* pricedAsRow = new QHBoxLayout;
  auto* pricedAsLabel = new QLabel(QStringLiteral("&Priced as:"), this);
  cmbPricedAs = Named(new QComboBox(this), "cmbPricedAs");
  for (const std::string& day : rs.longDayNames) cmbPricedAs->addItem(ToQString(day));
  pricedAsLabel->setBuddy(cmbPricedAs);
  cmbPricedAs->setAccessibleName(QStringLiteral("Priced as"));
  pricedAsRow->addWidget(pricedAsLabel);
  pricedAsRow->addWidget(cmbPricedAs, 1);
  grid->addLayout(pricedAsRow, 3, 1, 1, 2, Qt::AlignTop);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  grid->addWidget(buttons, 4, 0, 1, 3);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(btnAddHoliday, &QPushButton::clicked, this, &THolidaysDialog::btnAddHolidayClick);
  connect(editHoliday, &QLineEdit::returnPressed, this, &THolidaysDialog::btnAddHolidayClick);
  connect(btnRemoveHoliday, &QPushButton::clicked, this, &THolidaysDialog::btnRemoveHolidayClick);
  connect(btnFillHolidays, &QPushButton::clicked, this, &THolidaysDialog::btnFillHolidaysClick);
  // Enter in the day box adds the day; it does not close the dialog, so no button takes Enter.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
}

void THolidaysDialog::SetHolidays(const Holidays& holidays) {
  rules_ = holidays.Rules();
  cmbPricedAs->setCurrentIndex(holidays.PricedAs() - 1);
  ShowRules();
}

Holidays THolidaysDialog::Result() const {
  return Holidays(cmbPricedAs->currentIndex() + 1, rules_);
}

void THolidaysDialog::ShowRules() {
  lstHolidays->clear();
  for (const HolidayRule& rule : rules_) {
    lstHolidays->addItem(ToQString(HolidayRuleText(rule)));
  }
}

void THolidaysDialog::btnAddHolidayClick() {
  const std::string text = FromQString(editHoliday->text().trimmed());
  const std::optional<HolidayRule> rule = ParseHolidayRule(text);
  if (!rule) {
    messages_.ShowError(FormatMessage(kNotAHoliday, text));
    return;
  }
  AddHolidayRules(rules_, {*rule});
  ShowRules();
  editHoliday->clear();
}

void THolidaysDialog::btnRemoveHolidayClick() {
  const int row = lstHolidays->currentRow();
  if (row < 0 || row >= static_cast<int>(rules_.size())) return;
  rules_.erase(rules_.begin() + row);
  ShowRules();
  lstHolidays->setCurrentRow(std::min(row, lstHolidays->count() - 1));
}

void THolidaysDialog::btnFillHolidaysClick() {
  const int index = cmbCountry->currentIndex();
  if (index < 0) return;
  AddHolidayRules(rules_, HolidayPresets()[static_cast<std::size_t>(index)].days);
  ShowRules();
}

TNewTableDialog::TNewTableDialog(const RegionalSettings& rs, TDateTime initial, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("frmNewTable"));
  setWindowTitle(QStringLiteral("New Charges Table"));
  auto* column = new QVBoxLayout(this);
  auto* label = new QLabel(
      QStringLiteral("A copy of the table shown, in force from this day on (00:00):"), this);
  label->setWordWrap(true);
  column->addWidget(label);
  DateTimePickerFrom = Named(new TDateTimePicker(rs, initial, this), "DateTimePickerFrom");
  DateTimePickerFrom->setAccessibleName(QStringLiteral("In force from"));
  label->setBuddy(DateTimePickerFrom);
  column->addWidget(DateTimePickerFrom);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  column->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

TDateTime TNewTableDialog::From() const {
  return DatePart(DateTimePickerFrom->DateTime());
}

}  // namespace dorvane
