// The windows are laid out at fixed positions drawn for one font size. With the desktop's own
// font, every position and size is scaled by how much wider that font writes than the one the
// positions were drawn for, never below the drawn size.
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace dorvane {

// How much wider `font` writes than the font the design was drawn for (at least 1).
double DesignScale(const QFont& font);

// A design coordinate, size or rectangle at `scale`.
int Scaled(int value, double scale);
QRect Scaled(const QRect& rect, double scale);

// Scales the position and size of every control placed at a design position within `container`:
// its own children and, for a frame or box that holds placed controls, theirs in turn. Controls
// that a layout places, and the insides of compound controls, are left alone.
void ScaleDesign(QWidget* container, double scale);

}  // namespace dorvane
