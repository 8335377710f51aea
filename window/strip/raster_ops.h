#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>

namespace zirared {

// Sets every pixel of the segment from `from` up to, but not including, `to`, as the classic
// line primitive does; pixels outside the image are skipped. On an image `scale` times the
// design's size, `from` and `to` are design pixels and each design pixel the line sets becomes
// a `scale` x `scale` square.
void DrawLineExcludingEnd(QImage& image, QPoint from, QPoint to, QRgb colour, int scale = 1);

// Surface flood fill: every pixel that has the seed pixel's colour and is joined to the seed
// through such pixels by up, down, left and right steps becomes `fill`.
void FloodFillSurface(QImage& image, QPoint seed, QRgb fill);

}  // namespace zirared
