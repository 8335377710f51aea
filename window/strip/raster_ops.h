#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <vector>

namespace zirared {

// The pixels of the segment from `from` up to, but not including, `to`, in drawing order, as the
// classic line primitive sets them.
std::vector<QPoint> LinePixelsExcludingEnd(QPoint from, QPoint to);

// Sets those pixels; pixels outside the image are skipped.
void DrawLineExcludingEnd(QImage& image, QPoint from, QPoint to, QRgb colour);

// Sets the `width` x `width` square whose top-left pixel is `topLeft`, skipping pixels outside.
void FillSquare(QImage& image, QPoint topLeft, int width, QRgb colour);

// Surface flood fill: every pixel that has the seed pixel's colour and is joined to the seed
// through such pixels by up, down, left and right steps becomes `fill`.
void FloodFillSurface(QImage& image, QPoint seed, QRgb fill);

}  // namespace zirared
