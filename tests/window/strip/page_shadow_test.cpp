#include "page_shadow.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <ostream>
#include <string>

#include "print_row.h"

namespace zirared {
namespace {

using test::PrintTo;

// The strip at its place in a 349 x 213 window: left 14, top 6, 320 x 180.
const QRect kStrip(14, 6, 320, 180);

QImage WindowWithShadow(const QColor& windowColour) {
    QImage window(349, 213, QImage::Format_RGB32);
    window.fill(windowColour);
    QPainter painter(&window);
    DrawPageShadow(painter, kStrip, windowColour);
    return window;
}

struct ShadowCase {
    const char* name;
    QColor window;
    QColor inner;  // column next to the strip, and row below it: darkened twice
    QColor outer;  // darkened once
};

class PageShadowTest : public ::testing::TestWithParam<ShadowCase> {};

bool OnOutline(int x, int y, const QRect& corners) {
    const bool insideX = x >= corners.left() && x <= corners.right();
    const bool insideY = y >= corners.top() && y <= corners.bottom();
    return (insideX && (y == corners.top() || y == corners.bottom())) ||
           (insideY && (x == corners.left() || x == corners.right()));
}

// Everything the strip does not cover, pixel by pixel: the darker ring with corners (16, 38)
// and (335, 187) drawn over the lighter one with corners (17, 39) and (336, 188).
TEST_P(PageShadowTest, TwoRingsShowRightOfAndBelowTheStrip) {
    const ShadowCase& row = GetParam();
    const QImage window = WindowWithShadow(row.window);
    const QRect inner(QPoint(16, 38), QPoint(335, 187));
    const QRect outer(QPoint(17, 39), QPoint(336, 188));
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            if (kStrip.contains(x, y)) {
                continue;
            }
            const QRgb expected = OnOutline(x, y, inner)   ? row.inner.rgb()
                                  : OnOutline(x, y, outer) ? row.outer.rgb()
                                                           : row.window.rgb();
            ASSERT_EQ(window.pixel(x, y), expected) << "at " << x << "," << y;
        }
    }
    // The two columns and rows the shadow is seen as.
    EXPECT_EQ(window.pixel(335, 100), row.inner.rgb());
    EXPECT_EQ(window.pixel(336, 100), row.outer.rgb());
    EXPECT_EQ(window.pixel(334, 100), row.window.rgb());
    EXPECT_EQ(window.pixel(100, 187), row.inner.rgb());
    EXPECT_EQ(window.pixel(100, 188), row.outer.rgb());
    EXPECT_EQ(window.pixel(100, 186), row.window.rgb());
}

INSTANTIATE_TEST_SUITE_P(
    WindowColours, PageShadowTest,
    ::testing::Values(ShadowCase{"ClassicButtonFace", QColor(236, 233, 216), QColor(216, 213, 196),
                                 QColor(226, 223, 206)},
                      ShadowCase{"ComponentsBelowTenStopAtBlack", QColor(5, 15, 0), QColor(0, 0, 0),
                                 QColor(0, 5, 0)},
                      ShadowCase{"ComponentsBetweenElevenAndNineteen", QColor(19, 11, 255),
                                 QColor(0, 0, 235), QColor(9, 1, 245)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zirared
