#include "focus_mark.h"

namespace zirared {
namespace {

void Dot(QPainter& painter, const QRect& area, int x, int y, const QColor& colour) {
    // The pattern is anchored at the top-left corner, so it never shifts with the tab.
    if ((x - area.left() + y - area.top()) % 2 == 0) {
        painter.fillRect(QRect(x, y, 1, 1), colour);
    }
}

}  // namespace

void DrawFocusMark(QPainter& painter, const QRect& area, const QColor& colour) {
    if (area.isEmpty()) {
        return;
    }
    for (int x = area.left(); x <= area.right(); ++x) {
        Dot(painter, area, x, area.top(), colour);
        Dot(painter, area, x, area.bottom(), colour);
    }
    for (int y = area.top() + 1; y < area.bottom(); ++y) {
        Dot(painter, area, area.left(), y, colour);
        Dot(painter, area, area.right(), y, colour);
    }
}

}  // namespace zirared
