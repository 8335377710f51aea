#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

namespace zirared {

// The classic dotted focus rectangle: every other pixel of the outline of `area` (both corners
// included), starting at its top-left one, in `colour`. Painted as one-pixel squares, so a
// painter scaled to a device pixel ratio r draws r x r dots.
void DrawFocusMark(QPainter& painter, const QRect& area, const QColor& colour);

}  // namespace zirared
