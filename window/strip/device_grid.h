#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QtGlobal>
#include <algorithm>
#include <cmath>

namespace zirared {

// Where the strip's design pixels land on a screen of pixel ratio `ratio`: design coordinate v
// starts at device pixel edge(v) = round(phase + v * ratio) - round(phase). That is how Qt rounds
// the child widgets laid over the strip (pages, highlight bars, icons), so the picture meets them
// exactly; `phase` is the fractional part of the strip's own device position, which that
// rounding depends on. At a whole ratio r, edge(v) = r * v.
struct DeviceGrid {
    qreal ratio = 1.0;
    QPointF phase;

    int edgeX(int v) const { return Edge(v, ratio, phase.x()); }
    int edgeY(int v) const { return Edge(v, ratio, phase.y()); }
    // Device pixels of a design rectangle, from its first edge to the edge after its last pixel.
    QRect rect(const QRect& design) const {
        return QRect(QPoint(edgeX(design.left()), edgeY(design.top())),
                     QPoint(edgeX(design.right() + 1) - 1, edgeY(design.bottom() + 1) - 1));
    }
    // One width for every line, so the two sides of a frame look alike: whole device pixels, no
    // more than the narrowest design pixel, so a line never reaches under the next one's widget.
    int lineWidth() const { return std::max(1, static_cast<int>(std::floor(ratio + 1e-9))); }

private:
    static int Edge(int v, qreal ratio, qreal phase) {
        return qRound(phase + v * ratio) - qRound(phase);
    }
};

// The grid of a widget whose top-left corner lies at `deviceOrigin` (window device pixels); the
// strip is never drawn smaller than its design.
inline DeviceGrid GridAt(qreal ratio, QPointF deviceOrigin) {
    return {std::max<qreal>(1.0, ratio), QPointF(deviceOrigin.x() - std::floor(deviceOrigin.x()),
                                                 deviceOrigin.y() - std::floor(deviceOrigin.y()))};
}

}  // namespace zirared
