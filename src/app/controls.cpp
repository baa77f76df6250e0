#include "app/controls.h"

#include <qdrawutil.h>

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <string_view>

#include "platform/formatpattern.h"

namespace dorvane {

namespace {

// Literal text in a Qt format: quoted, a quote inside doubled.
void AppendLiteral(QString& out, const QString& text) {
  if (text.isEmpty()) return;
  QString quoted = text;
  quoted.replace(QLatin1Char('\''), QLatin1String("''"));
  out += QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

void Translate(const RegionalSettings& rs, std::string_view pattern, QString& out, int depth) {
  if (depth > 2) return;  // a short date that names itself
  QString literal;
  const auto flush = [&] {
    AppendLiteral(out, literal);
    literal.clear();
  };
  // Only a date shows in the picker; anything else is shown as the text it is.
  ForEachFormatElement(pattern, [&](const FormatElement& e) {
    switch (e.kind) {
      case FormatElement::Kind::Day:
        flush();
        if (e.count >= 5) {
          Translate(rs, rs.shortDateFormat, out, depth + 1);
        } else {
          out += QString(static_cast<int>(e.count), QLatin1Char('d'));
        }
        break;
      case FormatElement::Kind::Month:
        flush();
        out += QString(static_cast<int>(e.count > 4 ? 4 : e.count), QLatin1Char('M'));
        break;
      case FormatElement::Kind::Year:
        flush();
        out += e.count <= 2 ? QLatin1String("yy") : QLatin1String("yyyy");
        break;
      case FormatElement::Kind::DateSeparator:
        literal += QString::fromStdString(rs.dateSeparator);
        break;
      default:
        literal += QString::fromUtf8(e.text.data(), static_cast<qsizetype>(e.text.size()));
        break;
    }
  });
  flush();
}

QDate ToQDate(TDateTime value) {
  const DateParts d = DecodeDate(value);
  return QDate(d.year, d.month, d.day);
}

}  // namespace

QString QtDateFormat(const RegionalSettings& rs) {
  QString out;
  Translate(rs, rs.shortDateFormat, out, 0);
  return out;
}

TDateTimePicker::TDateTimePicker(const RegionalSettings& rs, TDateTime initial, QWidget* parent)
    : QDateTimeEdit(parent), value_(initial) {
  setCalendarPopup(true);
  setDisplayFormat(QtDateFormat(rs));
  setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
  ShowValue();
  connect(this, &QDateTimeEdit::dateChanged, this, &TDateTimePicker::OnDateChanged);
}

void TDateTimePicker::SetDateTime(TDateTime value) {
  ToQDate(value);  // refuses a value that is no date before anything changes
  value_ = value;
  ShowValue();
}

void TDateTimePicker::SetDate(TDateTime date) {
  ToQDate(date);
  value_ = ReplaceDate(value_, date);
  ShowValue();
}

bool TDateTimePicker::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (tab && (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
      const bool forward = key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier) == 0;
      QWidget::focusNextPrevChild(forward);
      return true;
    }
  }
  return QDateTimeEdit::event(event);
}

void TDateTimePicker::ShowValue() {
  showing_ = true;
  setDate(ToQDate(value_));
  showing_ = false;
}

void TDateTimePicker::OnDateChanged(QDate date) {
  if (showing_ || !date.isValid()) return;
  value_ = ReplaceDate(value_, EncodeDate(date.year(), date.month(), date.day()));
}

namespace {

void CollectTabStops(QWidget* container, std::vector<QWidget*>& stops) {
  std::vector<QWidget*> children;
  for (QObject* child : container->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget != nullptr && !widget->isWindow() && !widget->isHidden()) children.push_back(widget);
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
  // Rows: a control joins the row above when its middle lies within that row's first control.
  std::vector<std::vector<QWidget*>> rows;
  for (QWidget* widget : children) {
    const int middle = widget->geometry().center().y();
    if (!rows.empty()) {
      const QRect first = rows.back().front()->geometry();
      if (middle >= first.top() && middle <= first.bottom()) {
        rows.back().push_back(widget);
        continue;
      }
    }
    rows.push_back({widget});
  }
  for (std::vector<QWidget*>& row : rows) {
    std::stable_sort(row.begin(), row.end(),
                     [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
    for (QWidget* widget : row) {
      if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->focusProxy() == nullptr) {
        stops.push_back(widget);
      } else {
        CollectTabStops(widget, stops);
      }
    }
  }
}

}  // namespace

std::vector<QWidget*> TabStopsAsSeen(QWidget* container) {
  std::vector<QWidget*> stops;
  CollectTabStops(container, stops);
  return stops;
}

QRect TGroupBoxStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                     SubControl sub, const QWidget* widget) const {
  const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  if (control != CC_GroupBox || box == nullptr) {
    return QProxyStyle::subControlRect(control, option, sub, widget);
  }
  const QFontMetrics& metrics = option->fontMetrics;
  switch (sub) {
    case SC_GroupBoxFrame:
      return option->rect.adjusted(0, metrics.height() / 2, 0, 0);
    case SC_GroupBoxLabel: {
      // The caption sits at the top, a little in from the left, with room for a gap each side.
      const int width = metrics.horizontalAdvance(box->text) + 4;
      return QRect(option->rect.left() + 6, option->rect.top(), width, metrics.height());
    }
    case SC_GroupBoxContents:
      return option->rect.adjusted(2, metrics.height(), -2, -2);
    default:
      return QProxyStyle::subControlRect(control, option, sub, widget);
  }
}

void TGroupBoxStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const {
  const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  if (control != CC_GroupBox || box == nullptr) {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    return;
  }
  const QRect label = subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget);
  painter->save();
  QRegion clip(option->rect);
  if (!box->text.isEmpty()) clip -= label;
  painter->setClipRegion(clip);
  // An etched line: a dark line with a light one below and to the right of it.
  const QRect frame = subControlRect(CC_GroupBox, option, SC_GroupBoxFrame, widget);
  qDrawShadeRect(painter, frame, option->palette, true, 1, 0);
  painter->restore();
  if (!box->text.isEmpty()) {
    drawItemText(painter, label, Qt::AlignCenter | Qt::TextShowMnemonic, option->palette,
                 (option->state & State_Enabled) != 0, box->text, QPalette::WindowText);
  }
}

TWrapCheckBox::TWrapCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

QRect TWrapCheckBox::CaptionRect() const {
  QStyleOptionButton opt;
  initStyleOption(&opt);
  return style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, this);
}

void TWrapCheckBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton opt;
  initStyleOption(&opt);
  const QString caption = opt.text;
  const QRect captionRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, this);
  opt.text.clear();
  painter.drawControl(QStyle::CE_CheckBox, opt);
  style()->drawItemText(&painter, captionRect,
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                        palette(), isEnabled(), caption, QPalette::WindowText);
}

bool TWrapCheckBox::hitButton(const QPoint& pos) const {
  return rect().contains(pos);
}

}  // namespace dorvane
