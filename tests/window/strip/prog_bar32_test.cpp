#include "prog_bar32.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QObject>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "print_row.h"
#include "progress_bar_placement.h"

namespace zirared {
namespace {

using test::PrintTo;

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

class ProgBar32Test : public ::testing::Test {
protected:
    ProgBar32Test() { m_window.resize(349, 213); }

    QProgressBar* shownBar() const {
        return m_window.findChild<QProgressBar*>(QStringLiteral("ProgBar"));
    }
    int barCount() const { return static_cast<int>(m_window.findChildren<QProgressBar*>().size()); }

    QWidget m_window;
    CProgBar32 m_progBar;
};

TEST(ProgressBarPlacementTest, SixPixelsBelowTheContainerAsWideAsIt) {
    EXPECT_EQ(ProgressBarRectBelow(QRect(14, 6, 320, 180)), QRect(14, 192, 320, 15));
}

TEST_F(ProgBar32Test, CreateProgressBarPutsAnEmptyHorizontalBarUnderTheStrip) {
    QWidget container(&m_window);
    container.setGeometry(14, 6, 320, 180);
    ASSERT_TRUE(CreateProgressBarBelow(m_progBar, m_window, container));
    QProgressBar* bar = shownBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->parentWidget(), &m_window);
    EXPECT_EQ(bar->geometry(), QRect(14, 192, 320, 15));
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(bar->property("smooth").toBool());
    EXPECT_EQ(m_progBar.hWnd(), reinterpret_cast<CProgBar32::WindowHandle>(bar));
    EXPECT_EQ(m_progBar.NoParentHwnd(), &m_window);
}

struct ValueCase {
    const char* name;
    std::int16_t written;
    std::int16_t shown;
};

class ProgBar32ValueTest : public ProgBar32Test, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ProgBar32ValueTest, ShowsThePositionClampedToTheRange) {
    ASSERT_TRUE(m_progBar.Create(&m_window, 0, 0, 200, 15, false));
    m_progBar.Value(GetParam().written);
    EXPECT_EQ(shownBar()->value(), GetParam().shown);
    EXPECT_EQ(m_progBar.Value(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Positions, ProgBar32ValueTest,
                         ::testing::Values(ValueCase{"InRangeReadsBack", 50, 50},
                                           ValueCase{"JustAboveIsFull", 101, 100},
                                           ValueCase{"NegativeIsEmpty", -5, 0},
                                           ValueCase{"LargestPositionIsFull", 32767, 100},
                                           ValueCase{"SmallestPositionIsEmpty", -32768, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgBar32Test, RepaintsAtOnceOnlyWhenTheShownValueChanges) {
    ASSERT_TRUE(m_progBar.Create(&m_window, 0, 0, 320, 15, false));
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    PaintCounter counter;
    shownBar()->installEventFilter(&counter);

    m_progBar.Value(1);
    EXPECT_GE(counter.paints, 1) << "a change of one percent must show without an event pass";
    const int afterChange = counter.paints;
    m_progBar.Value(1);
    m_progBar.Value(150);
    const int afterFull = counter.paints;
    EXPECT_GT(afterFull, afterChange);
    m_progBar.Value(101);  // still shown full
    EXPECT_EQ(counter.paints, afterFull);
}

TEST_F(ProgBar32Test, CreateWithoutOverrideOrParentMakesNothing) {
    EXPECT_FALSE(m_progBar.Create(nullptr, 0, 0, 100, 15, false));
    EXPECT_EQ(m_progBar.hWnd(), 0u);
    EXPECT_EQ(barCount(), 0);
    m_progBar.Value(50);  // no bar: nothing happens
    EXPECT_EQ(m_progBar.Value(), 0);
}

TEST_F(ProgBar32Test, OverrideIsTheParentWhateverParentIsGiven) {
    QWidget other;
    m_progBar.NoParentHwnd(&m_window);
    ASSERT_TRUE(m_progBar.Create(nullptr, 5, 6, 70, 8, true));
    EXPECT_EQ(shownBar()->parentWidget(), &m_window);
    EXPECT_EQ(shownBar()->geometry(), QRect(5, 6, 70, 8));
    m_progBar.Destroy();
    ASSERT_TRUE(m_progBar.Create(&other, 5, 6, 70, 8, true));
    EXPECT_EQ(shownBar()->parentWidget(), &m_window);
}

TEST_F(ProgBar32Test, ZeroWidthTakesTheParentsWidthAndZeroHeightGives20) {
    QWidget parent;
    parent.resize(320, 100);
    ASSERT_TRUE(m_progBar.Create(&parent, 3, 4, 0, 0, false));
    auto* bar = parent.findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(3, 4, 320, 20));
}

TEST_F(ProgBar32Test, DestroyTwiceLeavesNoBarAndDoesNothingTheSecondTime) {
    ASSERT_TRUE(m_progBar.Create(&m_window, 0, 0, 100, 15, false));
    m_progBar.Destroy();
    EXPECT_EQ(m_progBar.hWnd(), 0u);
    EXPECT_EQ(barCount(), 0);
    m_progBar.Destroy();
    EXPECT_EQ(m_progBar.hWnd(), 0u);
}

TEST_F(ProgBar32Test, SecondCreateReplacesTheEarlierBarInsteadOfLeavingItOnScreen) {
    ASSERT_TRUE(m_progBar.Create(&m_window, 0, 0, 100, 15, false));
    ASSERT_TRUE(m_progBar.Create(&m_window, 0, 20, 100, 15, false));
    EXPECT_EQ(barCount(), 1);
    EXPECT_EQ(shownBar()->y(), 20);
}

TEST_F(ProgBar32Test, WindowClosedFirstLeavesTheInstanceWithoutABar) {
    auto window = std::make_unique<QWidget>();
    ASSERT_TRUE(m_progBar.Create(window.get(), 0, 0, 100, 15, false));
    window.reset();
    EXPECT_EQ(m_progBar.hWnd(), 0u);
    m_progBar.Value(10);
    m_progBar.Destroy();
}

TEST_F(ProgBar32Test, ProgVertAppliesFromTheNextCreate) {
    m_progBar.ProgVert(true);
    EXPECT_TRUE(m_progBar.ProgVert());
    ASSERT_TRUE(m_progBar.Create(&m_window, 0, 0, 15, 100, false));
    EXPECT_EQ(shownBar()->orientation(), Qt::Vertical);

    m_progBar.ProgVert(false);
    EXPECT_FALSE(m_progBar.ProgVert());
    EXPECT_EQ(shownBar()->orientation(), Qt::Vertical) << "the existing bar keeps its own";
    m_progBar.Destroy();
    ASSERT_TRUE(m_progBar.Create(&m_window, 0, 0, 100, 15, false));
    EXPECT_EQ(shownBar()->orientation(), Qt::Horizontal);
}

TEST_F(ProgBar32Test, ColoursAreKeptAndReachTheBarsPalette) {
    m_progBar.BackColor(0x00FF0000u);  // before any bar: only kept
    EXPECT_EQ(m_progBar.BackColor(), 0x00FF0000u);
    ASSERT_TRUE(m_progBar.Create(&m_window, 0, 0, 100, 15, false));
    m_progBar.BackColor(0x000000FFu);
    m_progBar.BarColor(0x0000FF00u);
    EXPECT_EQ(m_progBar.BackColor(), 0x000000FFu);
    EXPECT_EQ(m_progBar.BarColor(), 0x0000FF00u);
    EXPECT_EQ(shownBar()->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(shownBar()->palette().color(QPalette::Highlight), QColor(0, 255, 0));
}

// The bar shows its colour flat, as the native bar does, from its left edge up to the value.
TEST_F(ProgBar32Test, TheFilledPartIsTheBarColourUpToTheValue) {
    ASSERT_TRUE(m_progBar.Create(&m_window, 0, 0, 320, 15, false));
    m_progBar.BarColor(0x0000FF00u);
    m_progBar.Value(60);
    const QImage picture = shownBar()->grab().toImage();
    const int middle = picture.height() / 2;
    int runs = 0;
    int lastFilled = -1;
    bool inRun = false;
    for (int x = 0; x < picture.width(); ++x) {
        const bool filled = picture.pixelColor(x, middle) == QColor(0, 255, 0);
        runs += filled && !inRun ? 1 : 0;
        lastFilled = filled ? x : lastFilled;
        inRun = filled;
    }
    EXPECT_EQ(runs, 1);
    EXPECT_LE(lastFilled, picture.width() * 60 / 100);
    EXPECT_GE(lastFilled, picture.width() * 55 / 100);
}

TEST_F(ProgBar32Test, DelayLetsPendingEventsRunEvenWithANegativeTime) {
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    m_progBar.Delay(-1);
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace zirared
