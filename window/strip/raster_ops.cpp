#include "raster_ops.h"

#include <cstdlib>
#include <vector>

namespace zirared {
namespace {

// RGB32 stores an opaque alpha; compare the colour only.
bool SameColour(QRgb a, QRgb b) {
    return (a & 0x00FFFFFFu) == (b & 0x00FFFFFFu);
}

void SetPixelClipped(QImage& image, int x, int y, QRgb colour) {
    if (image.valid(x, y)) {
        image.setPixel(x, y, colour);
    }
}

}  // namespace

void DrawLineExcludingEnd(QImage& image, QPoint from, QPoint to, QRgb colour, int scale) {
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int stepX = from.x() < to.x() ? 1 : -1;
    const int stepY = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    int x = from.x();
    int y = from.y();
    while (x != to.x() || y != to.y()) {
        for (int row = 0; row < scale; ++row) {
            for (int column = 0; column < scale; ++column) {
                SetPixelClipped(image, x * scale + column, y * scale + row, colour);
            }
        }
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void FloodFillSurface(QImage& image, QPoint seed, QRgb fill) {
    if (!image.valid(seed)) {
        return;
    }
    const QRgb seedColour = image.pixel(seed);
    // Filling with the seed's own colour changes nothing, and would never end.
    if (SameColour(seedColour, fill)) {
        return;
    }
    std::vector<QPoint> pending{seed};
    while (!pending.empty()) {
        const QPoint point = pending.back();
        pending.pop_back();
        if (!image.valid(point) || !SameColour(image.pixel(point), seedColour)) {
            continue;
        }
        image.setPixel(point, fill);
        pending.emplace_back(point.x() + 1, point.y());
        pending.emplace_back(point.x() - 1, point.y());
        pending.emplace_back(point.x(), point.y() + 1);
        pending.emplace_back(point.x(), point.y() - 1);
    }
}

}  // namespace zirared
