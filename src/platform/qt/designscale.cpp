#include "platform/qt/designscale.h"

#include <QFontMetricsF>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace dorvane {

namespace {

// A sentence of the window, written in the font the positions were drawn for (the sans-serif
// at 11 pixels) and in the font in use.
constexpr const char* kSample = "Warn when average cost per call has exceeded: 0123456789";

QFont DesignFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  return font;
}

bool HoldsPlacedControls(const QWidget* widget) {
  // Plain frames and boxes hold controls placed by hand; every other control (a grid, a
  // picker, a text box) arranges its own insides.
  return widget->layout() == nullptr &&
         (qobject_cast<const QGroupBox*>(widget) != nullptr ||
          QLatin1String(widget->metaObject()->className()) == QLatin1String("QFrame") ||
          QLatin1String(widget->metaObject()->className()) == QLatin1String("QWidget"));
}

}  // namespace

double DesignScale(const QFont& font) {
  const QString sample = QLatin1String(kSample);
  const double drawn = QFontMetricsF(DesignFont()).horizontalAdvance(sample);
  const double used = QFontMetricsF(font).horizontalAdvance(sample);
  const double drawnHeight = QFontMetricsF(DesignFont()).height();
  const double usedHeight = QFontMetricsF(font).height();
  if (!(drawn > 0) || !(drawnHeight > 0)) return 1;
  return std::max({1.0, used / drawn, usedHeight / drawnHeight});
}

int Scaled(int value, double scale) {
  return static_cast<int>(std::lround(value * scale));
}

QRect Scaled(const QRect& rect, double scale) {
  const int left = Scaled(rect.left(), scale);
  const int top = Scaled(rect.top(), scale);
  return QRect(left, top, Scaled(rect.left() + rect.width(), scale) - left,
               Scaled(rect.top() + rect.height(), scale) - top);
}

void ScaleDesign(QWidget* container, double scale) {
  if (scale == 1.0) return;
  for (QObject* child : container->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget == nullptr || widget->isWindow()) continue;
    QRect rect = Scaled(widget->geometry(), scale);
    // A one-line caption was already made as tall as the font in use: only its place moves.
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (label != nullptr && !label->wordWrap() && label->pixmap().isNull())
      rect.setHeight(widget->height());
    widget->setGeometry(rect);
    if (HoldsPlacedControls(widget)) ScaleDesign(widget, scale);
  }
}

}  // namespace dorvane
