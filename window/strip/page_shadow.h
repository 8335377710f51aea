#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

namespace zirared {

// The two-ring shadow right of and below the page area, on the window's own background:
// rectangle outlines (both corners included) 10 and 20 darker than the window colour, each
// component stopping at 0. `strip` is the tab strip's rectangle in window pixels. The strip
// covers the rings' inner parts, so what shows are two columns right of it and two rows below.
// Call it from the window's paintEvent, before its children paint, so it survives repaints.
void DrawPageShadow(QPainter& painter, const QRect& strip, const QColor& windowColour);

}  // namespace zirared
