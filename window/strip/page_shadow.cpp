#include "page_shadow.h"

#include <algorithm>

#include "tab_strip_constants.h"

namespace zirared {
namespace {

// One-pixel rectangle outline with both corners included, painted as four filled runs so the
// result does not depend on pen, caps or antialiasing.
void DrawOutline(QPainter& painter, QPoint topLeft, QPoint bottomRight, const QColor& colour) {
    const int width = bottomRight.x() - topLeft.x() + 1;
    const int height = bottomRight.y() - topLeft.y() + 1;
    if (width <= 0 || height <= 0) {
        return;
    }
    painter.fillRect(QRect(topLeft.x(), topLeft.y(), width, 1), colour);
    painter.fillRect(QRect(topLeft.x(), bottomRight.y(), width, 1), colour);
    painter.fillRect(QRect(topLeft.x(), topLeft.y(), 1, height), colour);
    painter.fillRect(QRect(bottomRight.x(), topLeft.y(), 1, height), colour);
}

int Darker(int component) {
    return std::max(0, component - kShadowDarkening);
}

}  // namespace

void DrawPageShadow(QPainter& painter, const QRect& strip, const QColor& windowColour) {
    int red = windowColour.red();
    int green = windowColour.green();
    int blue = windowColour.blue();
    const int sl = strip.left();
    const int st = strip.top();
    const int sw = strip.width();
    const int sh = strip.height();
    // The outer ring first; the inner one is darkened once more.
    for (int ring = 2; ring >= 1; --ring) {
        red = Darker(red);
        green = Darker(green);
        blue = Darker(blue);
        DrawOutline(painter, QPoint(sl + 1 + ring, st + 31 + ring),
                    QPoint(sl + 1 + ring + sw - 1, st + 31 + ring + sh - 31),
                    QColor(red, green, blue));
    }
}

}  // namespace zirared
