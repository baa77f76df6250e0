#include "dialogs/costedit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimeEdit>
#include <algorithm>

#include "platform/error.h"
#include "platform/qt/designscale.h"
#include "platform/qt/named.h"
#include "platform/qt/qtext.h"

using dorvane::Named;

namespace {

QTime ToQTime(dorvane::TDateTime value) {
  const dorvane::TimeParts t = dorvane::DecodeTime(value);
  return QTime(t.hour, t.minute, t.second, t.millisecond);
}

dorvane::TDateTime FromQTime(QTime t) {
  return dorvane::EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

// A time field that Tab leaves at once, as any other box: its hours, minutes, seconds and
// designator are reached with the arrow keys and the time separator, not with four Tab stops.
class OneStopTimeEdit : public QTimeEdit {
 public:
  explicit OneStopTimeEdit(QWidget* parent) : QTimeEdit(parent) {}

 protected:
  bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

}  // namespace

TfrmCostEditor::TfrmCostEditor(const dorvane::RegionalSettings& rs,
                               dorvane::MessageService& messages, QWidget* parent)
    : QDialog(parent), rs_(rs), messages_(messages) {
  setObjectName(QStringLiteral("frmCostEditor"));
  setWindowTitle(QStringLiteral("Cost Editor"));
  setModal(true);
  setFixedSize(501, 345);

  grpboxDays = Named(new QGroupBox(QStringLiteral("Days"), this), "grpboxDays");
  grpboxDays->setGeometry(8, 8, 161, 201);
  const char* const names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                               "Thursday", "Friday", "Saturday"};
  for (int i = 0; i < 7; ++i) {
    auto* box = new QCheckBox(QLatin1String(names[i]), grpboxDays);
    box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
    box->setProperty("tag", i + 1);
    box->setGeometry(8, 24 + 24 * i, 145, 17);
    dayBoxes[static_cast<std::size_t>(i)] = box;
  }

  grpboxTime = Named(new QGroupBox(QStringLiteral("Time"), this), "grpboxTime");
  grpboxTime->setGeometry(8, 216, 161, 97);
  auto* from = new QLabel(QStringLiteral("From:"), grpboxTime);
  from->setGeometry(8, 34, 38, 17);
  auto* to = new QLabel(QStringLiteral("To:"), grpboxTime);
  to->setGeometry(8, 66, 38, 17);
  DateTimePickerFrom = Named(new OneStopTimeEdit(grpboxTime), "DateTimePickerFrom");
  DateTimePickerTo = Named(new OneStopTimeEdit(grpboxTime), "DateTimePickerTo");
  // The regional long time, 12-hour with designators where the settings say so.
  const QString format = dorvane::ToQString(dorvane::TimePickerFormat(rs));
  for (QTimeEdit* picker : {DateTimePickerFrom, DateTimePickerTo}) picker->setDisplayFormat(format);
  // The design's pickers are 81 pixels wide; seconds and a designator need more in this font.
  const int pickerWidth = std::max(105, DateTimePickerFrom->sizeHint().width());
  DateTimePickerFrom->setGeometry(48, 32, pickerWidth, 21);
  DateTimePickerTo->setGeometry(48, 64, pickerWidth, 21);
  // Wider pickers widen the left column, and everything to its right moves along.
  const int widen = std::max(0, 48 + pickerWidth + 8 - grpboxTime->width());
  from->setBuddy(DateTimePickerFrom);
  to->setBuddy(DateTimePickerTo);
  // Named by their captions, without the colon.
  DateTimePickerFrom->setAccessibleName(QStringLiteral("From"));
  DateTimePickerTo->setAccessibleName(QStringLiteral("To"));

  grpboxOnlineCost = Named(new QGroupBox(QStringLiteral("Online Cost"), this), "grpboxOnlineCost");
  grpboxOnlineCost->setGeometry(180, 8, 305, 260);
  struct Field {
    QLabel*& label;
    const char* labelName;
    const char* caption;
    QLineEdit*& edit;
    const char* editName;
    int top;
  };
  const Field fields[] = {
      {lblStartCost, "lblStartCost", "Start cost per phone call", editStartCost, "editStartCost",
       25},
      {lblMinuteCost, "lblMinuteCost", "Cost per minute", editMinuteCost, "editMinuteCost", 85},
      {lblMinimumCost, "lblMinimumCost", "Minimum cost per phone call", editMinimumCost,
       "editMinimumCost", 145},
      {lblMinimumPeriod, "lblMinimumPeriod", "Minimum time period per phone call [minutes]",
       editMinimumPeriod, "editMinimumPeriod", 205},
  };
  for (const Field& f : fields) {
    f.label = Named(new QLabel(QLatin1String(f.caption), grpboxOnlineCost), f.labelName);
    f.label->setGeometry(8, f.top - 4, 226, 30);
    f.label->setWordWrap(true);
    f.edit = Named(new QLineEdit(QStringLiteral("0"), grpboxOnlineCost), f.editName);
    f.edit->setGeometry(240, f.top, 49, 21);
    f.label->setBuddy(f.edit);
    // Named by the caption as designed: the currency added to it later is not part of the name.
    f.edit->setAccessibleName(QLatin1String(f.caption));
  }

  OKBtn = Named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
  OKBtn->setGeometry(230, 284, 75, 25);
  OKBtn->setDefault(true);
  CancelBtn = Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
  CancelBtn->setGeometry(310, 284, 75, 25);
  HelpBtn = Named(new QPushButton(QStringLiteral("&Help"), this), "HelpBtn");
  HelpBtn->setGeometry(390, 284, 75, 25);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  for (QGroupBox* box : {grpboxDays, grpboxTime}) box->resize(box->width() + widen, box->height());
  for (QWidget* right : {static_cast<QWidget*>(grpboxOnlineCost), static_cast<QWidget*>(OKBtn),
                         static_cast<QWidget*>(CancelBtn), static_cast<QWidget*>(HelpBtn)})
    right->move(right->x() + widen, right->y());

  // Days, times, the four numbers, then the buttons.
  QWidget* order[] = {dayBoxes[0],       dayBoxes[1],   dayBoxes[2],    dayBoxes[3],
                      dayBoxes[4],       dayBoxes[5],   dayBoxes[6],    DateTimePickerFrom,
                      DateTimePickerTo,  editStartCost, editMinuteCost, editMinimumCost,
                      editMinimumPeriod, OKBtn,         CancelBtn,      HelpBtn};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  // Drawn for a smaller font: the positions grow with the desktop's font.
  const double scale = dorvane::DesignScale(font());
  dorvane::ScaleDesign(this, scale);
  setFixedSize(dorvane::Scaled(501 + widen, scale), dorvane::Scaled(345, scale));
}

dorvane::BandEditorValues TfrmCostEditor::Values() const {
  dorvane::BandEditorValues v;
  for (std::size_t i = 0; i < dayBoxes.size(); ++i) v.days[i + 1] = dayBoxes[i]->isChecked();
  v.from = FromQTime(DateTimePickerFrom->time());
  v.to = FromQTime(DateTimePickerTo->time());
  v.numbers = {dorvane::FromQString(editStartCost->text()),
               dorvane::FromQString(editMinuteCost->text()),
               dorvane::FromQString(editMinimumCost->text()),
               dorvane::FromQString(editMinimumPeriod->text())};
  v.locked = !grpboxDays->isEnabled();
  return v;
}

void TfrmCostEditor::SetValues(const dorvane::BandEditorValues& v) {
  for (std::size_t i = 0; i < dayBoxes.size(); ++i) dayBoxes[i]->setChecked(v.days[i + 1]);
  DateTimePickerFrom->setTime(ToQTime(v.from));
  DateTimePickerTo->setTime(ToQTime(v.to));
  editStartCost->setText(dorvane::ToQString(v.numbers[0]));
  editMinuteCost->setText(dorvane::ToQString(v.numbers[1]));
  editMinimumCost->setText(dorvane::ToQString(v.numbers[2]));
  editMinimumPeriod->setText(dorvane::ToQString(v.numbers[3]));
  grpboxDays->setEnabled(!v.locked);
  grpboxTime->setEnabled(!v.locked);
}

void TfrmCostEditor::done(int result) {
  if (result == QDialog::Accepted) {
    try {
      if (!dorvane::EditorTimesInOrder(rs_, Values())) {
        messages_.ErrorMessage(dorvane::kTimeIntervalBackwards);
        return;
      }
    } catch (const dorvane::Error& e) {
      messages_.ShowError(e.what());
      return;
    }
  }
  QDialog::done(result);
}

void TfrmCostEditor::mousePressEvent(QMouseEvent* event) {
  FormMouseDown(event->position().toPoint());
  QDialog::mousePressEvent(event);
}

void TfrmCostEditor::FormMouseDown(QPoint point) {
  for (QGroupBox* group : {grpboxDays, grpboxTime}) {
    const QRect r = group->geometry();
    const bool inside = point.x() >= r.left() && point.x() <= r.left() + r.width() &&
                        point.y() >= r.top() && point.y() <= r.top() + r.height();
    if (!group->isEnabled() && inside) {
      messages_.Information(dorvane::kLockedBandNote);
      return;
    }
  }
}
