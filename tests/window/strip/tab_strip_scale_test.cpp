#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <array>
#include <ostream>
#include <string>

#include "print_row.h"
#include "strip_test_colours.h"
#include "tab_layout.h"
#include "tab_strip_constants.h"
#include "tab_strip_renderer.h"
#include "whole_pixels.h"

namespace zirared {
namespace {

using test::PrintTo;

using testing::FixedColours;
using testing::kOutline;
using testing::kText;

// Around each caption, where glyphs drawn at the device's size differ from magnified ones: the
// caption's ink at ratio 1 and at ratio r, two design pixels wider on every side.
std::array<QRect, kTabCount> CaptionAreas(const QImage& design, const QImage& device, int r,
                                          const TabLayout& layout) {
    std::array<QRect, kTabCount> areas{};
    for (std::size_t k = 0; k < layout.size(); ++k) {
        QRect ink;
        for (int y = 0; y < kTabHeight * r; ++y) {
            for (int x = layout[k].left * r; x < layout[k].right * r; ++x) {
                if (device.pixel(x, y) == kText || design.pixel(x / r, y / r) == kText) {
                    ink |= QRect(x / r, y / r, 1, 1);
                }
            }
        }
        areas[k] = ink.adjusted(-2, -2, 2, 2);
    }
    return areas;
}

bool InAny(const std::array<QRect, kTabCount>& areas, int x, int y) {
    for (const QRect& area : areas) {
        if (area.contains(x, y)) {
            return true;
        }
    }
    return false;
}

class TabStripAtRatio : public ::testing::TestWithParam<int> {
protected:
    const TabStripRenderer m_renderer;
};

TEST_P(TabStripAtRatio, EveryDesignPixelBecomesASquareOfItsColourAwayFromTheCaptions) {
    const int r = GetParam();
    for (int selected = 1; selected <= kTabCount; ++selected) {
        const QImage design = m_renderer.render(selected, FixedColours());
        const QImage device = m_renderer.render(selected, FixedColours(), r);
        ASSERT_EQ(device.size(), kStripSize * r);
        EXPECT_EQ(device.devicePixelRatio(), r);
        const auto captions = CaptionAreas(design, device, r, m_renderer.layout());
        for (int y = 0; y < design.height(); ++y) {
            for (int x = 0; x < design.width(); ++x) {
                if (InAny(captions, x, y)) {
                    continue;
                }
                for (int dy = 0; dy < r; ++dy) {
                    for (int dx = 0; dx < r; ++dx) {
                        ASSERT_EQ(device.pixel(x * r + dx, y * r + dy), design.pixel(x, y))
                            << "tab " << selected << " selected, design pixel " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST_P(TabStripAtRatio, FrameSideIsARunOfRatioOutlinePixelsAndTheCaptionsAreNotMagnified) {
    const int r = GetParam();
    const QImage device = m_renderer.render(1, FixedColours(), r);
    const int row = 100 * r;
    EXPECT_NE(device.pixel(319 * r - 1, row), kOutline) << "left of the frame's right side";
    for (int dx = 0; dx < r; ++dx) {
        EXPECT_EQ(device.pixel(319 * r + dx, row), kOutline) << "column " << dx << " of the side";
    }

    // Glyphs drawn at the device's size have edges that do not fall on design pixels.
    const TabGeometry& tab = m_renderer.layout()[1];
    int mixedSquares = 0;
    for (int y = 0; y < kTabHeight; ++y) {
        for (int x = tab.left; x < tab.right; ++x) {
            int ink = 0;
            for (int dy = 0; dy < r; ++dy) {
                for (int dx = 0; dx < r; ++dx) {
                    ink += device.pixel(x * r + dx, y * r + dy) == kText ? 1 : 0;
                }
            }
            mixedSquares += ink > 0 && ink < r * r ? 1 : 0;
        }
    }
    EXPECT_GT(mixedSquares, 10);
}

INSTANTIATE_TEST_SUITE_P(Ratios, TabStripAtRatio, ::testing::Values(2, 3),
                         [](const auto& info) { return "Ratio" + std::to_string(info.param); });

struct ScaleCase {
    const char* name;
    qreal devicePixelRatio;
    int scale;
};

class StripScaleTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(StripScaleTest, FractionalRatiosRoundToTheNearestWholeOne) {
    EXPECT_EQ(WholePixelScale(GetParam().devicePixelRatio), GetParam().scale);
}

INSTANTIATE_TEST_SUITE_P(Ratios, StripScaleTest,
                         ::testing::Values(ScaleCase{"Standard", 1.0, 1},
                                           ScaleCase{"QuarterStaysAtOne", 1.25, 1},
                                           ScaleCase{"HalfRoundsUp", 1.5, 2},
                                           ScaleCase{"Double", 2.0, 2},
                                           ScaleCase{"BelowOneStaysAtOne", 0.75, 1},
                                           ScaleCase{"ThreeQuartersBelowThree", 2.75, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zirared
