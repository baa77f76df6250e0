#include "app/controls.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <string_view>

namespace dorvane {

namespace {

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

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
  std::size_t i = 0;
  const std::size_t n = pattern.size();
  while (i < n) {
    const char c = pattern[i];
    const char up = AsciiUpper(c);
    std::size_t run = 1;
    while (i + run < n && AsciiUpper(pattern[i + run]) == up) ++run;
    switch (up) {
      case '"':
      case '\'': {
        const auto close = pattern.find(c, i + 1);
        const auto end = close == std::string_view::npos ? n : close;
        literal += QString::fromUtf8(pattern.substr(i + 1, end - i - 1));
        i = end == n ? n : end + 1;
        continue;
      }
      case 'D':
        flush();
        if (run >= 5) {
          Translate(rs, rs.shortDateFormat, out, depth + 1);
        } else {
          out += QString(static_cast<int>(run), QLatin1Char('d'));
        }
        break;
      case 'M':
        flush();
        out += QString(static_cast<int>(run > 4 ? 4 : run), QLatin1Char('M'));
        break;
      case 'Y':
        flush();
        out += run <= 2 ? QLatin1String("yy") : QLatin1String("yyyy");
        break;
      case '/':
        run = 1;
        literal += QString::fromStdString(rs.dateSeparator);
        break;
      default:
        run = 1;
        literal += QString::fromUtf8(pattern.substr(i, 1));
        break;
    }
    i += run;
  }
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

void TDateTimePicker::ShowValue() {
  showing_ = true;
  setDate(ToQDate(value_));
  showing_ = false;
}

void TDateTimePicker::OnDateChanged(QDate date) {
  if (showing_ || !date.isValid()) return;
  value_ = ReplaceDate(value_, EncodeDate(date.year(), date.month(), date.day()));
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
