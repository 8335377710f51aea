#include "raster_ops.h"

#include <cstdlib>

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

std::vector<QPoint> LinePixelsExcludingEnd(QPoint from, QPoint to) {
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int stepX = from.x() < to.x() ? 1 : -1;
    const int stepY = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    int x = from.x();
    int y = from.y();
    std::vector<QPoint> pixels;
    while (x != to.x() || y != to.y()) {
        pixels.emplace_back(x, y);
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
    return pixels;
}

void FillSquare(QImage& image, QPoint topLeft, int width, QRgb colour) {
    for (int row = 0; row < width; ++row) {
        for (int column = 0; column < width; ++column) {
            SetPixelClipped(image, topLeft.x() + column, topLeft.y() + row, colour);
        }
    }
}

void DrawLineExcludingEnd(QImage& image, QPoint from, QPoint to, QRgb colour) {
    for (const QPoint pixel : LinePixelsExcludingEnd(from, to)) {
        SetPixelClipped(image, pixel.x(), pixel.y(), colour);
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
