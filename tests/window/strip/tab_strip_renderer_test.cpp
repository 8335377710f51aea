#include "tab_strip_renderer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <ostream>
#include <set>
#include <string>

#include "print_row.h"
#include "strip_font.h"
#include "strip_test_colours.h"
#include "tab_layout.h"
#include "tab_strip_constants.h"

namespace zirared {
namespace {

using test::PrintTo;

using testing::FixedColours;
using testing::kFace;
using testing::kOutline;
using testing::kText;
using testing::kUnselectedFill;

QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y);
}

int InkPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += Pixel(image, x, y) == kText ? 1 : 0;
        }
    }
    return count;
}

// The measurements the fixed icon places were designed for: with full hinting and no
// antialiasing the captions take whole-pixel advances.
TEST(TabLayoutTest, CaptionsMeasuredInTheStripFontPlaceTheTabsUnderTheirIcons) {
    const TabLayout layout = LayoutTabs(StripFont());
    EXPECT_EQ(layout[0].captionWidth, 59);
    EXPECT_EQ(layout[1].captionWidth, 87);
    EXPECT_EQ(layout[2].captionWidth, 70);
    EXPECT_EQ(layout[0].left, 0);
    EXPECT_EQ(layout[1].left, 92);
    EXPECT_EQ(layout[2].left, 212);
    EXPECT_EQ(layout[2].nextLeft, 315);
    EXPECT_LE(layout[2].right, kStripSize.width());
    for (std::size_t k = 0; k < layout.size(); ++k) {
        EXPECT_GE(kTabIcons[k].left, layout[k].left + 2) << "icon " << k;
        EXPECT_LE(kTabIcons[k].left + kTabIconSize, layout[k].right - 2) << "icon " << k;
    }
}

struct AnchorCase {
    const char* name;
    TabGeometry tab;
    QSize drawn;
    QPoint expected;
};

class CaptionAnchorTest : public ::testing::TestWithParam<AnchorCase> {};

TEST_P(CaptionAnchorTest, CentresInTheNormalWidthTabRoundingHalvesToEven) {
    EXPECT_EQ(CaptionAnchor(GetParam().tab, GetParam().drawn), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, CaptionAnchorTest,
    ::testing::Values(
        AnchorCase{"NormalCaptionSitsAfterTheMargin", {59, 0, 91, 91, 92}, {59, 12}, {16, 7}},
        AnchorCase{"BoldHalfRoundsDownToEven", {59, 0, 91, 91, 92}, {66, 12}, {12, 7}},
        AnchorCase{"BoldHalfRoundsUpToEven", {87, 92, 119, 211, 212}, {100, 12}, {102, 7}},
        AnchorCase{"OddHeightHalfRoundsToEven", {70, 212, 102, 314, 315}, {81, 13}, {222, 6}}),
    [](const auto& info) { return std::string(info.param.name); });

class TabStripPictureTest : public ::testing::TestWithParam<int> {
protected:
    TabStripRenderer m_renderer;
    QImage m_image = m_renderer.render(GetParam(), FixedColours());

    const TabGeometry& tab(int k) const {
        return m_renderer.layout()[static_cast<std::size_t>(k - 1)];
    }
};

TEST_P(TabStripPictureTest, UsesOnlyItsOwnColoursSoTheFillsFindClosedRegions) {
    const std::set<QRgb> allowed{kFace, kUnselectedFill, kText, kOutline};
    for (int y = 0; y < m_image.height(); ++y) {
        for (int x = 0; x < m_image.width(); ++x) {
            ASSERT_TRUE(allowed.count(Pixel(m_image, x, y)) == 1)
                << "unexpected colour " << std::hex << Pixel(m_image, x, y) << " at " << std::dec
                << x << "," << y;
        }
    }
}

TEST_P(TabStripPictureTest, UnselectedTabsAreOutlinedFromRow4WithBevelsThatStopBeforeTheirEnd) {
    for (int k = 1; k <= kTabCount; ++k) {
        if (k == GetParam()) {
            continue;
        }
        const int left = tab(k).left;
        const int right = tab(k).right;
        SCOPED_TRACE("tab " + std::to_string(k));
        for (int y = 6; y <= 26; ++y) {
            EXPECT_EQ(Pixel(m_image, left + 1, y), kOutline) << "left side row " << y;
            EXPECT_EQ(Pixel(m_image, right - 1, y), kOutline) << "right side row " << y;
        }
        for (int x = left + 3; x <= right - 3; ++x) {
            EXPECT_EQ(Pixel(m_image, x, 4), kOutline) << "top column " << x;
        }
        EXPECT_EQ(Pixel(m_image, left + 2, 5), kOutline);
        EXPECT_EQ(Pixel(m_image, right - 2, 5), kOutline);
        // End points of the sides and the top are not drawn.
        EXPECT_EQ(Pixel(m_image, left + 1, 5), kFace);
        EXPECT_EQ(Pixel(m_image, right - 1, 5), kFace);
        EXPECT_EQ(Pixel(m_image, right - 2, 4), kFace);
        EXPECT_EQ(Pixel(m_image, left + 2, 4), kFace);
        EXPECT_EQ(Pixel(m_image, left, 10), kFace) << "an unselected tab starts one column in";
        EXPECT_EQ(Pixel(m_image, left + 5, 3), kFace) << "nothing above an unselected tab";
    }
}

TEST_P(TabStripPictureTest, SelectedTabIsFourRowsTallerAndOneColumnWiderOnTheLeft) {
    const int left = tab(GetParam()).left;
    const int right = tab(GetParam()).right;
    for (int y = 2; y <= 26; ++y) {
        EXPECT_EQ(Pixel(m_image, left, y), kOutline) << "left side row " << y;
        EXPECT_EQ(Pixel(m_image, right - 1, y), kOutline) << "right side row " << y;
    }
    for (int x = left + 2; x <= right - 3; ++x) {
        EXPECT_EQ(Pixel(m_image, x, 0), kOutline) << "top column " << x;
    }
    EXPECT_EQ(Pixel(m_image, left + 1, 1), kOutline);
    EXPECT_EQ(Pixel(m_image, right - 2, 1), kOutline);
    EXPECT_EQ(Pixel(m_image, left, 1), kFace);
    EXPECT_EQ(Pixel(m_image, right - 1, 1), kFace);
    EXPECT_EQ(Pixel(m_image, right - 2, 0), kFace);
    EXPECT_EQ(Pixel(m_image, left + 1, 0), kFace);
}

TEST_P(TabStripPictureTest, FrameLiesJustOutsideThePageAndTheBaselineOpensUnderTheSelectedTab) {
    const int left = tab(GetParam()).left;
    const int right = tab(GetParam()).right;
    for (int y = 26; y < 180; ++y) {
        EXPECT_EQ(Pixel(m_image, 0, y), kOutline) << "left frame row " << y;
        EXPECT_EQ(Pixel(m_image, 319, y), kOutline) << "right frame row " << y;
    }
    for (int x = 0; x < 320; ++x) {
        EXPECT_EQ(Pixel(m_image, x, 179), kOutline) << "bottom column " << x;
        const bool opened = x >= left + 1 && x <= right - 2;
        EXPECT_EQ(Pixel(m_image, x, 26), opened ? kFace : kOutline) << "baseline column " << x;
    }
    EXPECT_EQ(Pixel(m_image, 160, 100), kFace) << "page area stays cleared";
}

TEST_P(TabStripPictureTest, UnselectedTabsAreDarkerAndTheSelectedOneTakesThePageColour) {
    for (int k = 1; k <= kTabCount; ++k) {
        const QRgb expected = k == GetParam() ? kFace : kUnselectedFill;
        EXPECT_EQ(Pixel(m_image, tab(k).left + 5, 15), expected) << "tab " << k;
        EXPECT_EQ(Pixel(m_image, tab(k).right - 4, 24), expected) << "tab " << k;
        EXPECT_EQ(Pixel(m_image, tab(k).left + 3, 7), expected) << "tab " << k;
    }
    // The gaps between tabs are not part of any tab.
    EXPECT_EQ(Pixel(m_image, tab(1).right, 15), kFace);
    EXPECT_EQ(Pixel(m_image, tab(3).right + 1, 15), kFace);
}

TEST_P(TabStripPictureTest, HighlightBarsCoverTheTopRowsInsideTheSelectedOutline) {
    const auto bars = HighlightBarRects(tab(GetParam()));
    for (const QRect& bar : bars) {
        ASSERT_EQ(bar.height(), 1);
        EXPECT_EQ(Pixel(m_image, bar.left() - 1, bar.top()), kOutline) << "left of a bar";
        EXPECT_EQ(Pixel(m_image, bar.right() + 1, bar.top()), kOutline) << "right of a bar";
        for (int x = bar.left(); x <= bar.right(); ++x) {
            EXPECT_NE(Pixel(m_image, x, bar.top()), kOutline) << "bar over the outline at " << x;
        }
    }
}

TEST_P(TabStripPictureTest, CaptionsStayInsideTheirTabsAndTheSelectedOneIsBold) {
    const QImage unselectedPicture = m_renderer.render(GetParam() % kTabCount + 1, FixedColours());
    for (int k = 1; k <= kTabCount; ++k) {
        const QRect inside(tab(k).left + 2, 5, tab(k).width - 4, 21);
        const QRect whole(tab(k).left, 0, tab(k).width, 27);
        EXPECT_EQ(InkPixels(m_image, inside), InkPixels(m_image, whole)) << "tab " << k;
        EXPECT_GT(InkPixels(m_image, inside), 50) << "tab " << k;
    }
    const QRect selectedArea(tab(GetParam()).left, 0, tab(GetParam()).width, 27);
    EXPECT_GT(InkPixels(m_image, selectedArea), InkPixels(unselectedPicture, selectedArea));
}

INSTANTIATE_TEST_SUITE_P(SelectedTab, TabStripPictureTest, ::testing::Values(1, 2, 3),
                         [](const auto& info) { return "Tab" + std::to_string(info.param); });

TEST(TabStripPictureTest, PageColourDifferentFromButtonFaceShadesOnlyTheTabs) {
    TabStripColours colours = FixedColours();
    colours.page = ColourValueFromComponents(250, 240, 230);
    const TabStripRenderer renderer;
    const QImage image = renderer.render(2, colours);
    const TabLayout& layout = renderer.layout();
    EXPECT_EQ(Pixel(image, layout[1].left + 5, 15), qRgb(250, 240, 230));
    EXPECT_EQ(Pixel(image, layout[1].left + 5, 1), qRgb(250, 240, 230)) << "under the bars";
    EXPECT_EQ(Pixel(image, layout[1].left + 5, 26), qRgb(250, 240, 230)) << "opened baseline";
    EXPECT_EQ(Pixel(image, layout[0].left + 5, 15), qRgb(240, 230, 220));
    EXPECT_EQ(Pixel(image, layout[2].left + 5, 15), qRgb(240, 230, 220));
    EXPECT_EQ(Pixel(image, layout[0].right, 15), kFace) << "gap keeps the button face";
}

TEST(FillTabTest, DarkeningStopsAtZeroForDarkPageColours) {
    QImage strip(4, 4, QImage::Format_RGB32);
    strip.fill(qRgb(1, 2, 3));
    FillTab(strip, 1, 1, false, ColourValueFromComponents(5, 100, 10));
    EXPECT_EQ(Pixel(strip, 3, 3), qRgb(0, 90, 0));
}

}  // namespace
}  // namespace zirared
