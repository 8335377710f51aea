#include "raster_ops.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <ostream>

#include "print_row.h"

namespace zirared {
namespace {

using test::PrintTo;

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kInk = qRgb(10, 20, 30);
constexpr QRgb kFill = qRgb(200, 0, 0);

QImage BlankImage(int width = 12, int height = 12) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kWhite);
    return image;
}

int CountPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

struct LineCase {
    const char* name;
    QPoint from;
    QPoint to;
    int expectedPixels;
};

class DrawLineTest : public ::testing::TestWithParam<LineCase> {};

// The end point is never set and the start point always is (unless both coincide).
TEST_P(DrawLineTest, SetsFromStartUpToButNotIncludingEnd) {
    const LineCase& row = GetParam();
    QImage image = BlankImage();
    DrawLineExcludingEnd(image, row.from, row.to, kInk);
    EXPECT_EQ(CountPixels(image, kInk), row.expectedPixels);
    if (image.valid(row.to)) {
        EXPECT_EQ(image.pixel(row.to), kWhite);
    }
    if (row.from != row.to) {
        EXPECT_EQ(image.pixel(row.from), kInk);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DrawLineTest,
    ::testing::Values(LineCase{"HorizontalRightwards", {1, 3}, {6, 3}, 5},
                      LineCase{"HorizontalLeftwards", {6, 3}, {1, 3}, 5},
                      LineCase{"VerticalUpwardsLikeATabSide", {2, 10}, {2, 5}, 5},
                      LineCase{"BevelDiagonalUpRight", {1, 6}, {3, 4}, 2},
                      LineCase{"BevelDiagonalUpLeft", {9, 6}, {7, 4}, 2},
                      LineCase{"ZeroLengthDrawsNothing", {4, 4}, {4, 4}, 0},
                      LineCase{"EndOutsideImageIsClipped", {8, 1}, {20, 1}, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FloodFillSurfaceTest, StopsAtOtherColoursAndDoesNotCrossDiagonalGaps) {
    QImage image = BlankImage(8, 8);
    // A closed diamond outline whose sides touch only corner to corner.
    const QPoint outline[] = {{3, 0}, {4, 1}, {5, 2}, {6, 3}, {5, 4}, {4, 5},
                              {3, 6}, {2, 5}, {1, 4}, {0, 3}, {1, 2}, {2, 1}};
    for (const QPoint& point : outline) {
        image.setPixel(point, kInk);
    }
    FloodFillSurface(image, QPoint(3, 3), kFill);
    EXPECT_EQ(image.pixel(3, 3), kFill);
    EXPECT_EQ(image.pixel(3, 1), kFill);
    EXPECT_EQ(image.pixel(5, 3), kFill);
    EXPECT_EQ(image.pixel(0, 0), kWhite) << "leaked through a diagonal step";
    EXPECT_EQ(image.pixel(7, 7), kWhite);
    EXPECT_EQ(CountPixels(image, kInk), 12);
}

TEST(FloodFillSurfaceTest, FillWithTheSeedColourEndsAndChangesNothing) {
    QImage image = BlankImage();
    FloodFillSurface(image, QPoint(5, 5), kWhite);
    EXPECT_EQ(CountPixels(image, kWhite), image.width() * image.height());
}

TEST(FloodFillSurfaceTest, SeedOutsideTheImageChangesNothing) {
    QImage image = BlankImage();
    FloodFillSurface(image, QPoint(-1, 5), kFill);
    FloodFillSurface(image, QPoint(5, 12), kFill);
    EXPECT_EQ(CountPixels(image, kFill), 0);
}

}  // namespace
}  // namespace zirared
