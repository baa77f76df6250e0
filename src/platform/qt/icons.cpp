#include "platform/qt/icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace dorvane {

namespace {

// Every picture is drawn on a 48 x 48 grid and scaled to the size asked for.
constexpr qreal kGrid = 48.0;

// The program's palette.
const QColor kInk(0x33, 0x3a, 0x45);
const QColor kBlue(0x2f, 0x6d, 0xb5);
const QColor kBlueDark(0x1f, 0x4e, 0x86);
const QColor kGreen(0x2e, 0x9d, 0x4a);
const QColor kGreenDark(0x1f, 0x74, 0x35);
const QColor kRed(0xd2, 0x3b, 0x3b);
const QColor kRedDark(0x9e, 0x22, 0x22);
const QColor kGold(0xf0, 0xc0, 0x3c);
const QColor kGoldDark(0xa5, 0x7a, 0x12);
const QColor kPaper(0xfc, 0xfc, 0xfa);
const QColor kGrey(0xb8, 0xbe, 0xc8);
const QColor kGreyDark(0x6b, 0x72, 0x80);
const QColor kWood(0xb0, 0x70, 0x3a);
const QColor kWoodDark(0x7a, 0x47, 0x1f);

class Painter {
 public:
  Painter(QPainter& p, bool disabled) : p_(p), disabled_(disabled) {}

  // Disabled pictures keep their shapes in soft greys.
  QColor C(const QColor& c) const {
    if (!disabled_) return c;
    const int g = 150 + qGray(c.rgb()) / 3;
    return QColor(g, g, g);
  }
  QPen Pen(const QColor& c, qreal width) const {
    return QPen(C(c), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  }
  void Fill(const QPainterPath& path, const QColor& fill, const QColor& line, qreal width = 2.0) {
    p_.setPen(line.isValid() ? Pen(line, width) : QPen(Qt::NoPen));
    p_.setBrush(C(fill));
    p_.drawPath(path);
  }
  void Stroke(const QPainterPath& path, const QColor& line, qreal width) {
    p_.setPen(Pen(line, width));
    p_.setBrush(Qt::NoBrush);
    p_.drawPath(path);
  }
  void Line(QPointF a, QPointF b, const QColor& line, qreal width) {
    p_.setPen(Pen(line, width));
    p_.drawLine(a, b);
  }
  void Circle(QPointF centre, qreal r, const QColor& fill, const QColor& line, qreal width = 2.0) {
    QPainterPath path;
    path.addEllipse(centre, r, r);
    Fill(path, fill, line, width);
  }
  void Rect(QRectF r, qreal radius, const QColor& fill, const QColor& line, qreal width = 2.0) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    Fill(path, fill, line, width);
  }
  QPainter& Raw() { return p_; }

 private:
  QPainter& p_;
  bool disabled_;
};

// A question mark as a stroked hook and a dot, centred on x = cx.
void QuestionMark(Painter& p, qreal cx, qreal top, qreal scale, const QColor& colour) {
  QPainterPath hook;
  hook.moveTo(cx - 7 * scale, top + 8 * scale);
  hook.cubicTo(cx - 7 * scale, top + 1 * scale, cx + 7 * scale, top + 1 * scale, cx + 7 * scale,
               top + 8 * scale);
  hook.cubicTo(cx + 7 * scale, top + 13 * scale, cx, top + 13 * scale, cx, top + 19 * scale);
  hook.lineTo(cx, top + 21 * scale);
  p.Stroke(hook, colour, 4.5 * scale);
  p.Circle({cx, top + 28 * scale}, 2.6 * scale, colour, QColor());
}

// A coin seen from the front, with a raised rim.
void Coin(Painter& p, QPointF centre, qreal r) {
  p.Circle(centre, r, kGold, kGoldDark, 2.0);
  QPainterPath rim;
  rim.addEllipse(centre, r * 0.68, r * 0.68);
  p.Stroke(rim, kGoldDark, 1.5);
  // A glint on the upper left of the face.
  QPainterPath glint;
  glint.arcMoveTo(QRectF(centre.x() - r * 0.45, centre.y() - r * 0.45, r * 0.9, r * 0.9), 100);
  glint.arcTo(QRectF(centre.x() - r * 0.45, centre.y() - r * 0.45, r * 0.9, r * 0.9), 100, 70);
  p.Stroke(glint, QColor(0xff, 0xf3, 0xc4), 1.8);
}

// A filled arrow from `from` to `to`.
void Arrow(Painter& p, QPointF from, QPointF to, qreal width, const QColor& fill,
           const QColor& line) {
  const QLineF axis(from, to);
  const qreal length = axis.length();
  QPainterPath path;
  const qreal head = width * 1.9;
  const qreal shaft = length - head;
  path.moveTo(0, -width / 2);
  path.lineTo(shaft, -width / 2);
  path.lineTo(shaft, -width * 1.1);
  path.lineTo(length, 0);
  path.lineTo(shaft, width * 1.1);
  path.lineTo(shaft, width / 2);
  path.lineTo(0, width / 2);
  path.closeSubpath();
  QTransform t;
  t.translate(from.x(), from.y());
  t.rotate(-axis.angle());
  p.Fill(t.map(path), fill, line, 1.5);
}

void DrawExit(Painter& p) {
  // An open door in its frame, an arrow leaving through it.
  p.Rect({8, 5, 24, 38}, 1.5, kPaper, kInk);
  QPainterPath door;
  door.moveTo(10, 6);
  door.lineTo(22, 10);
  door.lineTo(22, 46);
  door.lineTo(10, 42);
  door.closeSubpath();
  p.Fill(door, kWood, kWoodDark);
  p.Circle({19.5, 27}, 1.6, kGold, QColor());
  Arrow(p, {24, 24}, {45, 24}, 7, kGreen, kGreenDark);
}

void DrawPrint(Painter& p) {
  p.Rect({13, 4, 22, 16}, 1, kPaper, kInk);   // the sheet going in
  p.Rect({4, 17, 40, 18}, 4, kGrey, kInk);    // the body
  p.Line({9, 23}, {14, 23}, kGreen, 3);       // the power lamp
  p.Rect({11, 29, 26, 15}, 1, kPaper, kInk);  // the printed sheet
  for (qreal y : {34.0, 38.0}) p.Line({15, y}, {33, y}, kGreyDark, 1.5);
}

void DrawHelp(Painter& p) {
  p.Circle({24, 24}, 20, kBlue, kBlueDark);
  QuestionMark(p, 24, 8, 1.0, kPaper);
}

void DrawLowerCost(Painter& p) {
  Coin(p, {20, 20}, 16);
  Arrow(p, {37, 12}, {37, 45}, 7, kGreen, kGreenDark);
}

void DrawAbout(Painter& p) {
  p.Circle({24, 24}, 20, kBlue, kBlueDark);
  p.Circle({24, 13.5}, 3.2, kPaper, QColor());
  p.Rect({20.5, 19.5, 7, 18}, 1.5, kPaper, QColor());
}

void DrawCreateReport(Painter& p) {
  QPainterPath page;
  page.moveTo(8, 3);
  page.lineTo(30, 3);
  page.lineTo(40, 13);
  page.lineTo(40, 45);
  page.lineTo(8, 45);
  page.closeSubpath();
  p.Fill(page, kPaper, kInk);
  QPainterPath fold;
  fold.moveTo(30, 3);
  fold.lineTo(30, 13);
  fold.lineTo(40, 13);
  p.Stroke(fold, kInk, 2);
  p.Line({12, 40}, {36, 40}, kInk, 1.5);  // the chart's base line
  p.Rect({14, 28, 5, 11}, 0.5, kBlue, QColor());
  p.Rect({21.5, 20, 5, 19}, 0.5, kGreen, QColor());
  p.Rect({29, 24, 5, 15}, 0.5, kRed, QColor());
}

void DrawNew(Painter& p) {
  QPainterPath plus;
  plus.addRoundedRect(QRectF(19, 6, 10, 36), 2, 2);
  plus.addRoundedRect(QRectF(6, 19, 36, 10), 2, 2);
  plus.setFillRule(Qt::WindingFill);
  p.Fill(plus.simplified(), kGreen, kGreenDark);
}

void DrawEdit(Painter& p) {
  // A pencil lying from the lower left to the upper right.
  QPainterPath pencil;
  pencil.moveTo(0, -5);
  pencil.lineTo(30, -5);
  pencil.lineTo(30, 5);
  pencil.lineTo(0, 5);
  pencil.closeSubpath();
  QPainterPath eraser;
  eraser.addRoundedRect(QRectF(30, -5, 7, 10), 2, 2);
  QPainterPath tip;
  tip.moveTo(0, -5);
  tip.lineTo(-10, 0);
  tip.lineTo(0, 5);
  tip.closeSubpath();
  QPainterPath lead;
  lead.moveTo(-6.5, -1.75);
  lead.lineTo(-10, 0);
  lead.lineTo(-6.5, 1.75);
  lead.closeSubpath();
  QTransform t;
  t.translate(13, 35);
  t.rotate(-45);
  p.Fill(t.map(tip), QColor(0xf2, 0xd7, 0xa6), kInk);
  p.Fill(t.map(lead), kInk, QColor());
  p.Fill(t.map(pencil), kGold, kInk);
  p.Fill(t.map(eraser), QColor(0xe8, 0x8a, 0x9a), kInk);
}

void DrawDelete(Painter& p) {
  p.Line({11, 11}, {37, 37}, kRedDark, 10);
  p.Line({37, 11}, {11, 37}, kRedDark, 10);
  p.Line({11, 11}, {37, 37}, kRed, 7);
  p.Line({37, 11}, {11, 37}, kRed, 7);
}

void DrawHelpButton(Painter& p) {
  QuestionMark(p, 24, 3, 1.35, kBlue);
}

void DrawProgram(Painter& p) {
  // A telephone handset over a coin.
  QPainterPath handle;
  handle.moveTo(9, 20);
  handle.cubicTo(14, 6, 34, 6, 39, 20);
  p.Stroke(handle, kInk, 8);
  p.Stroke(handle, kBlue, 5);
  QTransform left;
  left.translate(9, 21);
  left.rotate(-20);
  QTransform right;
  right.translate(39, 21);
  right.rotate(20);
  QPainterPath cup;
  cup.addRoundedRect(QRectF(-6, -4, 12, 9), 3, 3);
  p.Fill(left.map(cup), kBlue, kBlueDark);
  p.Fill(right.map(cup), kBlue, kBlueDark);
  Coin(p, {30, 33}, 12);
}

void Draw(IconKind kind, Painter& p) {
  switch (kind) {
    case IconKind::Exit:
      return DrawExit(p);
    case IconKind::Print:
      return DrawPrint(p);
    case IconKind::Help:
      return DrawHelp(p);
    case IconKind::LowerCost:
      return DrawLowerCost(p);
    case IconKind::About:
      return DrawAbout(p);
    case IconKind::CreateReport:
      return DrawCreateReport(p);
    case IconKind::New:
      return DrawNew(p);
    case IconKind::Edit:
      return DrawEdit(p);
    case IconKind::Delete:
      return DrawDelete(p);
    case IconKind::HelpButton:
      return DrawHelpButton(p);
    case IconKind::Program:
      return DrawProgram(p);
  }
}

class VectorIconEngine : public QIconEngine {
 public:
  explicit VectorIconEngine(IconKind kind) : kind_(kind) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(rect.width(), rect.height());
    painter->translate(rect.x() + (rect.width() - side) / 2.0,
                       rect.y() + (rect.height() - side) / 2.0);
    painter->scale(side / kGrid, side / kGrid);
    Painter p(*painter, mode == QIcon::Disabled);
    Draw(kind_, p);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
  }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    return {{16, 16}, {24, 24}, {32, 32}, {48, 48}};
  }

  QIconEngine* clone() const override { return new VectorIconEngine(kind_); }

 private:
  IconKind kind_;
};

}  // namespace

QIcon MakeIcon(IconKind kind) {
  return QIcon(new VectorIconEngine(kind));
}

}  // namespace dorvane
