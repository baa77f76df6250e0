// Small controls of the main window that Qt has no exact counterpart for: a date picker that
// holds a date-time of its own and shows only its date, and a check box whose caption wraps.
#pragma once

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QProxyStyle>
#include <QString>
#include <vector>

#include "platform/datetime.h"
#include "platform/regional.h"

namespace dorvane {

// The Qt display format for a short date pattern of the classic letters ("m/d/yyyy" gives
// "M/d/yyyy", "dd.mm.yy" gives "dd.MM.yy"); separators and quoted text become literal text.
QString QtDateFormat(const RegionalSettings& rs);

// A date picker with a drop-down calendar. It keeps a full date-time: the widget shows the date
// in the short date format, and choosing another date replaces only the date part, so each
// picker keeps its own time of day.
class TDateTimePicker : public QDateTimeEdit {
  Q_OBJECT
 public:
  TDateTimePicker(const RegionalSettings& rs, TDateTime initial, QWidget* parent = nullptr);

  TDateTime DateTime() const { return value_; }
  // Replaces the whole value, time of day included.
  void SetDateTime(TDateTime value);
  // Takes the date of `date` and keeps this picker's time of day. Throws Error for a value
  // that is not a date.
  void SetDate(TDateTime date);

 protected:
  // Tab goes on to the next control, as from any other box; the date separator and Ctrl with
  // the arrow keys still move between the day, month and year.
  bool event(QEvent* event) override;

 private:
  void ShowValue();
  void OnDateChanged(QDate date);

  TDateTime value_ = 0;
  bool showing_ = false;
};

// The controls within `container` that Tab stops at, in the order the eye reads them: row by
// row from the top (controls whose middle lies within another's height share its row), left to
// right within a row, each box's controls where the box stands.
std::vector<QWidget*> TabStopsAsSeen(QWidget* container);

// Draws a group box the classic way: the frame's top line runs through the middle of the
// caption, which interrupts it. Everything else is the application's style.
class TGroupBoxStyle : public QProxyStyle {
  Q_OBJECT
 public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override;
};

// A check box whose caption wraps onto further lines within the box's width.
class TWrapCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  explicit TWrapCheckBox(const QString& text, QWidget* parent = nullptr);

  // The caption's rectangle within the box (beside the indicator).
  QRect CaptionRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override;
};

}  // namespace dorvane
