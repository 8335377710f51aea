#include "grid_line.h"

#include <cstdlib>
#include <vector>

#include "raster_ops.h"

namespace zirared {
namespace {

// Top-left device pixel of the square of design pixel `pixel`: at the side of its design pixel
// that faces `inside`, so the line lies against the region it bounds and against the widgets
// laid over that region.
QPoint SquareOf(const DeviceGrid& grid, QPoint pixel, QPoint inside, int width) {
    const int x =
        pixel.x() < inside.x() ? grid.edgeX(pixel.x() + 1) - width : grid.edgeX(pixel.x());
    const int y =
        pixel.y() < inside.y() ? grid.edgeY(pixel.y() + 1) - width : grid.edgeY(pixel.y());
    return {x, y};
}

bool Touch(QPoint a, QPoint b, int width) {
    return std::abs(a.x() - b.x()) <= width && std::abs(a.y() - b.y()) <= width;
}

}  // namespace

void DrawGridLine(QImage& image, const DeviceGrid& grid, QPoint from, QPoint to, QPoint inside,
                  QRgb colour) {
    const std::vector<QPoint> pixels = LinePixelsExcludingEnd(from, to);
    if (pixels.empty()) {
        return;
    }
    const int width = grid.lineWidth();
    QPoint previous = SquareOf(grid, pixels.front(), inside, width);
    FillSquare(image, previous, width, colour);
    // The end point's square is drawn by the line that starts there; it is still joined to.
    for (std::size_t i = 1; i <= pixels.size(); ++i) {
        const bool atEnd = i == pixels.size();
        const QPoint square = SquareOf(grid, atEnd ? to : pixels[i], inside, width);
        if (!Touch(previous, square, width)) {
            for (const QPoint step : LinePixelsExcludingEnd(previous, square)) {
                FillSquare(image, step, width, colour);
            }
        }
        if (!atEnd) {
            FillSquare(image, square, width, colour);
        }
        previous = square;
    }
}

}  // namespace zirared
