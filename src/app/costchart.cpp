#include "app/costchart.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusTipEvent>
#include <algorithm>
#include <cmath>

#include "platform/qt/qtext.h"

namespace dorvane {

namespace {

// Narrower than this, one bar per month gives way to one bar per year.
constexpr int kMinBarPitch = 8;
constexpr int kGap = 6;

// A step for the value axis of about five ticks: 1, 2 or 5 times a power of ten.
double TickStep(double maximum) {
  if (!(maximum > 0) || !std::isfinite(maximum)) return 1;
  const double raw = maximum / 5;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / magnitude;
  const double nice = norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10;
  return nice * magnitude;
}

}  // namespace

TCostChart::TCostChart(const RegionalSettings& rs, QWidget* parent) : QWidget(parent), rs_(rs) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAccessibleName(QStringLiteral("Cost per month"));
  Describe();
}

void TCostChart::SetMonths(std::vector<CostBucket> months) {
  months_ = std::move(months);
  const int room = std::max(1, width() - 80);
  bars_ = ChartBuckets(months_, static_cast<std::size_t>(std::max(1, room / kMinBarPitch)));
  current_ = bars_.empty() ? -1 : std::clamp(current_, 0, static_cast<int>(bars_.size()) - 1);
  Describe();
  update();
}

void TCostChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A wider chart may show months where it showed years, and the other way round.
  SetMonths(std::move(months_));
}

void TCostChart::SetCurrentBar(int index) {
  if (bars_.empty()) return;
  current_ = std::clamp(index, 0, static_cast<int>(bars_.size()) - 1);
  Describe();
  Tell(BarText(current_));
  update();
}

QString TCostChart::BarText(int index) const {
  if (index < 0 || index >= static_cast<int>(bars_.size())) return QString();
  const CostBucket& b = bars_[static_cast<std::size_t>(index)];
  return ToQString(BucketName(rs_, b)) + QStringLiteral(": ") + ToQString(MoneyToStr(rs_, b.cost)) +
         QStringLiteral(", ") + QString::number(b.calls) +
         (b.calls == 1 ? QStringLiteral(" call") : QStringLiteral(" calls")) +
         QStringLiteral(" (cheapest band ") + ToQString(MoneyToStr(rs_, b.lowest)) +
         QStringLiteral(", dearest band ") + ToQString(MoneyToStr(rs_, b.highest)) +
         QLatin1Char(')');
}

void TCostChart::Describe() {
  if (bars_.empty()) {
    setAccessibleDescription(QStringLiteral("No calls in the period"));
    return;
  }
  const bool years = bars_.front().month == 0;
  QString text =
      (years ? QStringLiteral("Average per year: ") : QStringLiteral("Average per month: ")) +
      ToQString(MoneyToStr(rs_, AverageBucketCost(bars_)));
  if (current_ >= 0) text += QStringLiteral(". ") + BarText(current_);
  setAccessibleDescription(text);
}

void TCostChart::Tell(const QString& text) {
  QStatusTipEvent tip(text);
  QApplication::sendEvent(this, &tip);
}

QSize TCostChart::minimumSizeHint() const {
  return QSize(120, 80);
}

TCostChart::Plot TCostChart::Layout() const {
  Plot plot;
  double maximum = 0;
  for (const CostBucket& b : bars_) maximum = std::max({maximum, b.cost, b.lowest, b.highest});
  plot.step = TickStep(maximum);
  plot.top = std::max(plot.step, std::ceil(maximum / plot.step - 1e-9) * plot.step);
  const QFontMetrics fm = fontMetrics();
  int labelWidth = 0;
  for (double tick = 0; tick <= plot.top + plot.step / 2; tick += plot.step) {
    labelWidth = std::max(labelWidth, fm.horizontalAdvance(ToQString(MoneyToStr(rs_, tick))));
  }
  const int left = fm.height() + kGap + labelWidth + kGap;
  // Room for the legend, and for half the top amount, which is centred on its line.
  const int top = LegendLines() * fm.height() + 2 * kGap + fm.height() / 2;
  const int bottom = 2 * fm.height() + 2 * kGap;
  plot.area =
      QRect(left, top, std::max(1, width() - left - kGap), std::max(1, height() - top - bottom));
  return plot;
}

QRect TCostChart::BarRect(int index) const {
  if (index < 0 || index >= static_cast<int>(bars_.size())) return QRect();
  return BarRect(Layout(), index);
}

QRect TCostChart::BarRect(const Plot& plot, int index) const {
  const double pitch = static_cast<double>(plot.area.width()) / static_cast<double>(bars_.size());
  const int barWidth = std::max(1, static_cast<int>(pitch * 0.7));
  const int x = plot.area.left() + static_cast<int>(index * pitch + (pitch - barWidth) / 2);
  const double cost = bars_[static_cast<std::size_t>(index)].cost;
  const int h = static_cast<int>(std::lround(std::max(0.0, cost) / plot.top * plot.area.height()));
  return QRect(x, plot.area.bottom() - h + 1, barWidth, h);
}

int TCostChart::BarAt(QPoint pos) const {
  if (bars_.empty()) return -1;
  const Plot plot = Layout();
  if (pos.x() < plot.area.left() || pos.x() > plot.area.right()) return -1;
  const double pitch = static_cast<double>(plot.area.width()) / static_cast<double>(bars_.size());
  return std::clamp(static_cast<int>((pos.x() - plot.area.left()) / pitch), 0,
                    static_cast<int>(bars_.size()) - 1);
}

void TCostChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  p.fillRect(rect(), pal.color(QPalette::Base));
  p.setPen(pal.color(QPalette::Mid));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  const QFontMetrics fm = fontMetrics();
  const QColor text = pal.color(QPalette::Text);
  if (bars_.empty()) {
    p.setPen(text);
    p.drawText(rect(), Qt::AlignCenter, QStringLiteral("No calls in the period"));
    return;
  }
  const Plot plot = Layout();
  const QRect& a = plot.area;
  const bool years = bars_.front().month == 0;

  // The value axis: a tick and a faint line per step, amounts in the regional currency format.
  for (double tick = 0; tick <= plot.top + plot.step / 2; tick += plot.step) {
    const int y = a.bottom() - static_cast<int>(std::lround(tick / plot.top * a.height()));
    p.setPen(pal.color(QPalette::Midlight));
    p.drawLine(a.left(), y, a.right(), y);
    p.setPen(text);
    const QString label = ToQString(MoneyToStr(rs_, tick));
    p.drawText(QRect(0, y - fm.height() / 2, a.left() - kGap, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, label);
  }
  // Axis titles.
  p.save();
  p.translate(fm.ascent(), a.center().y());
  p.rotate(-90);
  p.drawText(QRect(-a.height() / 2, -fm.ascent(), a.height(), fm.height()), Qt::AlignCenter,
             QStringLiteral("Cost"));
  p.restore();
  p.drawText(QRect(a.left(), height() - fm.height() - kGap / 2, a.width(), fm.height()),
             Qt::AlignCenter, years ? QStringLiteral("Year") : QStringLiteral("Month"));

  // Bars, their marks and their names, thinned so that the names do not run into each other.
  const double pitch = static_cast<double>(a.width()) / static_cast<double>(bars_.size());
  int widest = 0;
  for (const CostBucket& b : bars_)
    widest = std::max(widest, fm.horizontalAdvance(ToQString(BucketName(rs_, b))));
  const int every = std::max(1, static_cast<int>(std::ceil((widest + kGap) / pitch)));
  const QColor barColour = pal.color(QPalette::Highlight);
  for (int i = 0; i < static_cast<int>(bars_.size()); ++i) {
    const CostBucket& b = bars_[static_cast<std::size_t>(i)];
    const QRect bar = BarRect(plot, i);
    p.fillRect(bar, i == current_ && hasFocus() ? barColour.darker(140) : barColour);
    const auto markY = [&](double amount) {
      return a.bottom() -
             static_cast<int>(std::lround(std::max(0.0, amount) / plot.top * a.height()));
    };
    if (b.calls > 0) {
      p.setPen(QPen(text, 2));
      const int x1 = bar.left() - 1;
      const int x2 = bar.right() + 1;
      p.drawLine(x1, markY(b.lowest), x2, markY(b.lowest));
      p.drawLine(x1, markY(b.highest), x2, markY(b.highest));
    }
    if (i % every == 0) {
      p.setPen(text);
      const QString name = ToQString(BucketName(rs_, b));
      const int w = fm.horizontalAdvance(name);
      const int x = std::clamp(bar.center().x() - w / 2, 0, std::max(0, width() - w));
      p.drawText(x, a.bottom() + kGap + fm.ascent(), name);
    }
  }
  if (current_ >= 0 && hasFocus()) {
    p.setPen(QPen(text, 1, Qt::DotLine));
    p.drawRect(BarRect(current_).adjusted(-2, -2, 1, 1));
  }

  // The average as a dashed line across the bars.
  const double average = AverageBucketCost(bars_);
  const int avgY = a.bottom() - static_cast<int>(std::lround(average / plot.top * a.height()));
  // The link colour stands out from the bars unless the palette gives both the same hue.
  QColor lineColour = pal.color(QPalette::Link);
  if (std::abs(lineColour.hslHue() - barColour.hslHue()) < 30) lineColour = text;
  p.setPen(QPen(lineColour, 2, Qt::DashLine));
  p.drawLine(a.left(), avgY, a.right(), avgY);

  // The legend across the top, on as many lines as the width needs.
  const std::vector<LegendItem> items = Legend();
  int line = 0;
  int x = kGap;
  const int h = fm.height();
  for (const LegendItem& item : items) {
    const int w = LegendWidth(item);
    if (x > kGap && x + w > width() - kGap) {
      ++line;
      x = kGap;
    }
    const int y = kGap + line * h;
    switch (item.sample) {
      case LegendItem::Bar:
        p.fillRect(QRect(x, y + 2, h - 4, h - 4), barColour);
        break;
      case LegendItem::Mark:
        p.setPen(QPen(text, 2));
        p.drawLine(x, y + h / 2, x + h - 4, y + h / 2);
        break;
      case LegendItem::Line:
        p.setPen(QPen(lineColour, 2, Qt::DashLine));
        p.drawLine(x, y + h / 2, x + h - 4, y + h / 2);
        break;
    }
    p.setPen(text);
    p.drawText(x + h, y + fm.ascent(), item.text);
    x += w + 2 * kGap;
  }
}

std::vector<TCostChart::LegendItem> TCostChart::Legend() const {
  const bool years = !bars_.empty() && bars_.front().month == 0;
  return {
      {LegendItem::Bar, QStringLiteral("Cost")},
      {LegendItem::Mark, QStringLiteral("Cheapest and dearest band")},
      {LegendItem::Line,
       (years ? QStringLiteral("Average per year: ") : QStringLiteral("Average per month: ")) +
           ToQString(MoneyToStr(rs_, AverageBucketCost(bars_)))},
  };
}

int TCostChart::LegendWidth(const LegendItem& item) const {
  return fontMetrics().height() + fontMetrics().horizontalAdvance(item.text);
}

int TCostChart::LegendLines() const {
  int lines = 1;
  int x = kGap;
  for (const LegendItem& item : Legend()) {
    const int w = LegendWidth(item);
    if (x > kGap && x + w > width() - kGap) {
      ++lines;
      x = kGap;
    }
    x += w + 2 * kGap;
  }
  return lines;
}

void TCostChart::keyPressEvent(QKeyEvent* event) {
  if (bars_.empty()) {
    QWidget::keyPressEvent(event);
    return;
  }
  const int last = static_cast<int>(bars_.size()) - 1;
  switch (event->key()) {
    case Qt::Key_Left:
      SetCurrentBar(current_ - 1);
      break;
    case Qt::Key_Right:
      SetCurrentBar(current_ + 1);
      break;
    case Qt::Key_Home:
      SetCurrentBar(0);
      break;
    case Qt::Key_End:
      SetCurrentBar(last);
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TCostChart::mouseMoveEvent(QMouseEvent* event) {
  const int bar = BarAt(event->position().toPoint());
  Tell(BarText(bar));
}

void TCostChart::mousePressEvent(QMouseEvent* event) {
  const int bar = BarAt(event->position().toPoint());
  if (bar >= 0) SetCurrentBar(bar);
  QWidget::mousePressEvent(event);
}

}  // namespace dorvane
