#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>

#include "device_grid.h"

namespace zirared {

// Draws the design segment from `from` up to, not including, `to` on a picture laid out on
// `grid`. Each design pixel of the segment becomes a square grid.lineWidth() device pixels wide,
// inside its design pixel on the side that faces `inside` (a design point of the region the line
// bounds), and squares that do not touch are joined: the line stays whole and closes the region
// for a fill. At a whole ratio every design pixel becomes exactly its square.
void DrawGridLine(QImage& image, const DeviceGrid& grid, QPoint from, QPoint to, QPoint inside,
                  QRgb colour);

}  // namespace zirared
