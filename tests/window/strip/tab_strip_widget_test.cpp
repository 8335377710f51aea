#include "tab_strip_widget.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "print_row.h"
#include "strip_test_colours.h"
#include "tab_layout.h"
#include "tab_strip_constants.h"
#include "tab_strip_renderer.h"

namespace zirared {
namespace {

using test::PrintTo;

using testing::FixedColours;
using testing::FixedPalette;
using testing::kOutline;

// Delivers a press the way the window system does: to the topmost child under the point, from
// where an ignored press travels up to its parents.
void PressAt(TabStripWidget& strip, QPoint point, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = strip.childAt(point);
    if (target == nullptr) {
        target = &strip;
    }
    const QPointF local = target->mapFrom(&strip, QPointF(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, strip.mapToGlobal(QPointF(point)), button,
                      button, modifiers);
    QApplication::sendEvent(target, &press);
}

class TabStripWidgetTest : public ::testing::Test {
protected:
    TabStripWidgetTest() {
        m_window.resize(349, 213);
        m_strip = new TabStripWidget(&m_window);
        m_strip->setPalette(FixedPalette());
        for (std::size_t i = 0; i < m_pages.size(); ++i) {
            m_pages[i] = new QWidget(&m_window);
            m_pages[i]->setObjectName(QStringLiteral("pictab_%1").arg(i));
            m_pages[i]->setPalette(FixedPalette());
        }
        m_strip->SetPages(m_pages);
        m_strip->SetupTabStrip();
        m_window.show();
    }

    int visiblePage() const {
        int visible = -1;
        for (std::size_t i = 0; i < m_pages.size(); ++i) {
            if (m_pages[i]->isVisible()) {
                EXPECT_EQ(visible, -1) << "more than one page visible";
                visible = static_cast<int>(i);
            }
        }
        return visible;
    }

    QWidget* bar(int index) const {
        return m_strip->findChild<QWidget*>(QStringLiteral("shpSelezione_%1").arg(index));
    }

    void expectBarsOn(int tab) const {
        const auto rects = HighlightBarRects(m_strip->layout()[static_cast<std::size_t>(tab - 1)]);
        for (int i = 0; i < kTabCount; ++i) {
            ASSERT_NE(bar(i), nullptr);
            EXPECT_EQ(bar(i)->geometry(), rects[static_cast<std::size_t>(i)]) << "bar " << i;
            EXPECT_TRUE(bar(i)->isVisible());
        }
    }

    QWidget m_window;
    TabStripWidget* m_strip = nullptr;
    TabStripWidget::Pages m_pages{};
};

TEST_F(TabStripWidgetTest, SetupCentresTheStripSelectsTab1AndPlacesThePages) {
    EXPECT_EQ(m_strip->objectName(), QStringLiteral("picTabContainer"));
    EXPECT_EQ(m_strip->geometry(), QRect(14, 6, 320, 180));
    for (QWidget* page : m_pages) {
        EXPECT_EQ(page->parentWidget(), m_strip);
        EXPECT_EQ(page->geometry(), QRect(1, 27, 318, 152));
    }
    EXPECT_EQ(m_strip->selectedTab(), 1);
    EXPECT_EQ(visiblePage(), 0);
    expectBarsOn(1);
    EXPECT_EQ(bar(0)->palette().color(QPalette::Window), QColor(249, 169, 0));
    EXPECT_EQ(bar(1)->palette().color(QPalette::Window), QColor(246, 196, 86));
    EXPECT_EQ(bar(2)->palette().color(QPalette::Window), QColor(246, 196, 86));
    EXPECT_EQ(m_strip->stripImage(), TabStripRenderer().render(1, FixedColours()));
}

TEST_F(TabStripWidgetTest, ScreenShowsThePaintedPictureUnderTheOverlays) {
    // Rendered at one device pixel per pixel, whatever the screen's scale.
    QImage screen(m_strip->size(), QImage::Format_RGB32);
    m_strip->render(&screen);
    const TabGeometry& tab2 = m_strip->layout()[1];
    EXPECT_EQ(screen.pixel(tab2.left + 1, 20), kOutline);
    EXPECT_EQ(screen.pixel(tab2.left + 5, 24), testing::kUnselectedFill);
    EXPECT_EQ(screen.pixel(10, 1), qRgb(249, 169, 0)) << "highlight bar 0 over tab 1";
    EXPECT_EQ(screen.pixel(319, 100), kOutline) << "frame beside the page";
}

TEST_F(TabStripWidgetTest, TabIconsSitAtTheirFixedPlacesUnderTheClickArea) {
    for (const TabIcon& icon : kTabIcons) {
        auto* label = m_strip->findChild<QLabel*>(QString::fromLatin1(icon.objectName));
        ASSERT_NE(label, nullptr) << icon.objectName;
        EXPECT_EQ(label->geometry(), QRect(icon.left, icon.top, 16, 16));
        EXPECT_FALSE(label->pixmap().isNull()) << icon.objectName << " artwork did not load";
        EXPECT_EQ(m_strip->childAt(icon.left + 8, icon.top + 8), m_strip->cursorTab());
    }
    EXPECT_EQ(m_strip->cursorTab()->objectName(), QStringLiteral("lblCursorTab"));
    EXPECT_EQ(m_strip->cursorTab()->geometry(), QRect(0, 0, 312, 26));
}

struct PressCase {
    const char* name;
    int startTab;
    QPoint point;
    Qt::MouseButton button;
    Qt::KeyboardModifiers modifiers;
    std::optional<int> selects;  // nothing: the press is ignored
};

class TabStripPressTest : public TabStripWidgetTest,
                          public ::testing::WithParamInterface<PressCase> {};

TEST_P(TabStripPressTest, SelectsTheTabUnderThePressOrLeavesEverythingAsItWas) {
    const PressCase& row = GetParam();
    m_strip->SelectTab(row.startTab);
    const qint64 pictureBefore = m_strip->stripImage().cacheKey();
    QSignalSpy selections(m_strip, &TabStripWidget::tabSelected);

    PressAt(*m_strip, row.point, row.button, row.modifiers);

    if (row.selects.has_value()) {
        EXPECT_EQ(m_strip->selectedTab(), *row.selects);
        EXPECT_EQ(visiblePage(), *row.selects - 1);
        expectBarsOn(*row.selects);
        ASSERT_EQ(selections.count(), 1);
        EXPECT_EQ(selections.at(0).at(0).toInt(), *row.selects);
        EXPECT_EQ(m_strip->stripImage(), TabStripRenderer().render(*row.selects, FixedColours()));
    } else {
        EXPECT_EQ(m_strip->selectedTab(), row.startTab);
        EXPECT_EQ(visiblePage(), row.startTab - 1);
        EXPECT_EQ(selections.count(), 0);
        EXPECT_EQ(m_strip->stripImage().cacheKey(), pictureBefore) << "redrawn";
    }
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;

INSTANTIATE_TEST_SUITE_P(
    Presses, TabStripPressTest,
    ::testing::Values(
        PressCase{"ClickAreaTopRowOverTab2", 1, {100, 0}, Qt::LeftButton, kNone, 2},
        PressCase{"OverAnIconSelectsItsTab", 1, {105, 15}, Qt::LeftButton, kNone, 2},
        PressCase{"Row26BelowTheClickAreaStillSelects", 1, {100, 26}, Qt::LeftButton, kNone, 2},
        PressCase{"Row27OnTheLeftFrameIsIgnored", 1, {0, 27}, Qt::LeftButton, kNone, {}},
        PressCase{"BottomFrameIsIgnored", 2, {160, 179}, Qt::LeftButton, kNone, {}},
        PressCase{"PressOnThePageIsIgnored", 1, {100, 100}, Qt::LeftButton, kNone, {}},
        PressCase{"GapColumnRightOfTab1SelectsTab1", 3, {91, 10}, Qt::LeftButton, kNone, 1},
        PressCase{"OneColumnFurtherSelectsTab2", 1, {92, 10}, Qt::LeftButton, kNone, 2},
        PressCase{"LastColumnOfTab3RightOfTheClickArea", 1, {314, 10}, Qt::LeftButton, kNone, 3},
        PressCase{"EndOfTab3ExtentIsIgnored", 1, {315, 10}, Qt::LeftButton, kNone, {}},
        PressCase{"RightEdgeOfTheBandIsIgnored", 2, {319, 3}, Qt::LeftButton, kNone, {}},
        PressCase{"HighlightBarDoesNotSwallowThePress", 3, {313, 2}, Qt::LeftButton, kNone, 3},
        PressCase{"RightButtonSelectsLikeTheLeft", 1, {250, 10}, Qt::RightButton, kNone, 3},
        PressCase{"MiddleButtonWithModifierKeys",
                  3,
                  {150, 20},
                  Qt::MiddleButton,
                  Qt::ShiftModifier | Qt::ControlModifier,
                  2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TabStripWidgetTest, PressOnTheSelectedTabRedrawsTheSamePictureAndKeepsThePage) {
    m_strip->SelectTab(2);
    const QImage before = m_strip->stripImage();
    QSignalSpy selections(m_strip, &TabStripWidget::tabSelected);
    PressAt(*m_strip, QPoint(150, 10));
    EXPECT_EQ(selections.count(), 1);
    EXPECT_NE(m_strip->stripImage().cacheKey(), before.cacheKey()) << "not redrawn";
    EXPECT_EQ(m_strip->stripImage(), before);
    EXPECT_EQ(visiblePage(), 1);
}

TEST_F(TabStripWidgetTest, IgnoredPressStillPutsTheClickAreaOverTheTabBand) {
    m_strip->cursorTab()->setGeometry(0, 24, 312, 20);  // where the design leaves it
    PressAt(*m_strip, QPoint(100, 100));
    EXPECT_EQ(m_strip->cursorTab()->geometry(), QRect(0, 0, 312, 26));
    EXPECT_EQ(m_strip->selectedTab(), 1);
}

TEST_F(TabStripWidgetTest, TabsAreShadedFromTheFirstPagesBackground) {
    QPalette pagePalette = m_pages[0]->palette();
    pagePalette.setColor(QPalette::Window, QColor(250, 240, 230));
    m_pages[0]->setPalette(pagePalette);
    m_strip->SelectTab(3);
    const TabLayout& layout = m_strip->layout();
    EXPECT_EQ(m_strip->stripImage().pixel(layout[2].left + 5, 15), qRgb(250, 240, 230));
    EXPECT_EQ(m_strip->stripImage().pixel(layout[0].left + 5, 15), qRgb(240, 230, 220));
    EXPECT_EQ(m_strip->stripImage().pixel(layout[0].right, 15), testing::kFace);
}

TEST_F(TabStripWidgetTest, BandBehindTheTabsTakesTheWindowColourWhateverTheButtonColour) {
    // Colour schemes (Breeze, Adwaita) give buttons a lighter face than windows.
    QPalette scheme = FixedPalette();
    scheme.setColor(QPalette::Button, QColor(252, 252, 252));
    scheme.setColor(QPalette::Window, QColor(239, 240, 241));
    m_strip->setPalette(scheme);
    m_pages[0]->setPalette(scheme);
    m_strip->SelectTab(1);
    const TabLayout& layout = m_strip->layout();
    EXPECT_EQ(m_strip->stripImage().pixel(layout[2].nextLeft + 1, 10), qRgb(239, 240, 241));
    EXPECT_EQ(m_strip->stripImage().pixel(layout[0].left + 5, 15), qRgb(239, 240, 241));
}

// Outline pixels in a row of `screen` from `x` on, stepping by `step`.
int OutlineRun(const QImage& screen, int x, int y, int dx, int dy) {
    int run = 0;
    while (screen.valid(x, y) && screen.pixel(x, y) != kOutline) {
        x += dx;
        y += dy;
    }
    for (; screen.valid(x, y) && screen.pixel(x, y) == kOutline; x += dx, y += dy) {
        ++run;
    }
    return run;
}

// Dark enough to be a caption's letters; the outline and the fills are lighter.
bool IsInk(QRgb pixel) {
    return qGray(pixel) < 128;
}

// Runs at ratio 1 with the others, and again under QT_SCALE_FACTOR 1.25, 1.5 and 2 (see
// CMakeLists.txt): the window as the screen shows it, strip at its place in the window.
TEST_F(TabStripWidgetTest, ScreenShowsEvenLinesAndClearCaptionsAtTheScreensPixelRatio) {
    const qreal r = m_strip->devicePixelRatioF();
    EXPECT_EQ(m_strip->stripImage().devicePixelRatio(), r);
    for (const TabIcon& icon : kTabIcons) {
        auto* label = m_strip->findChild<QLabel*>(QString::fromLatin1(icon.objectName));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->pixmap().size(), QSize(kTabIconSize, kTabIconSize) * r) << icon.objectName;
    }
    const QRectF strip(QPointF(m_strip->pos()) * r, QSizeF(kStripSize) * r);
    for (int tab = 1; tab <= kTabCount; ++tab) {
        SCOPED_TRACE("tab " + std::to_string(tab) + " selected");
        m_strip->SelectTab(tab);
        const QImage screen = m_window.grab().toImage();
        // The frame's sides, and its top and bottom right of the tabs, are lines of one width.
        const int middle = qRound(strip.center().y());
        const int left = OutlineRun(screen, qFloor(strip.left()), middle, 1, 0);
        EXPECT_GE(left, 1);
        EXPECT_EQ(OutlineRun(screen, qCeil(strip.right()), middle, -1, 0), left);
        const int column = qRound(strip.right() - 2 * r);
        const int bottom = OutlineRun(screen, column, qCeil(strip.bottom()), 0, -1);
        EXPECT_EQ(bottom, left);
        EXPECT_EQ(OutlineRun(screen, column, qFloor(strip.top()), 0, 1), left);

        // No letter touches an icon's box: letters are the dark pixels with the icons hidden.
        const auto icons = m_strip->findChildren<QLabel*>(QRegularExpression("^Image"));
        std::vector<QRect> boxes;
        for (QLabel* icon : icons) {
            const QRectF box(QPointF(icon->mapTo(&m_window, QPoint(0, 0))) * r,
                             QSizeF(icon->size()) * r);
            boxes.emplace_back(QPoint(qFloor(box.left()) - 1, qFloor(box.top()) - 1),
                               QPoint(qCeil(box.right()), qCeil(box.bottom())));
            icon->hide();
        }
        const QImage bare = m_window.grab().toImage();
        for (QLabel* icon : icons) {
            icon->show();
        }
        int smooth = 0;
        for (int y = 0; y < bare.height(); ++y) {
            for (int x = 0; x < bare.width(); ++x) {
                const int grey = qGray(bare.pixel(x, y));
                smooth += grey > 64 && grey < 128 ? 1 : 0;
                for (const QRect& box : boxes) {
                    ASSERT_FALSE(IsInk(bare.pixel(x, y)) && box.contains(x, y))
                        << "letter at " << x << "," << y << " touches an icon";
                }
            }
        }
        // Smooth letters have edges between ink and paper; at ratio 1 they are crisp.
        EXPECT_EQ(smooth > 0, r > 1.0);
    }
}

TEST_F(TabStripWidgetTest, OutOfRangeTabNumberChangesNothing) {
    const qint64 pictureBefore = m_strip->stripImage().cacheKey();
    m_strip->SelectTab(4);
    m_strip->SelectTab(-1);
    EXPECT_EQ(m_strip->selectedTab(), 1);
    EXPECT_EQ(m_strip->stripImage().cacheKey(), pictureBefore);
}

QAccessibleInterface* Accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

TEST_F(TabStripWidgetTest, ScreenReadersSeeAPageTabListOfThreeNamedTabsThenThePages) {
    QAccessibleInterface* list = Accessible(m_strip);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_EQ(list->childCount(), kTabCount + 3);
    const std::array<const char*, kTabCount> names{"Dividi File", "Assembla Files", "Informazioni"};
    for (int k = 0; k < kTabCount; ++k) {
        QAccessibleInterface* tab = list->child(k);
        ASSERT_NE(tab, nullptr) << k;
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        EXPECT_EQ(tab->text(QAccessible::Name),
                  QString::fromUtf8(names[static_cast<std::size_t>(k)]));
        EXPECT_EQ(tab->parent(), list);
        EXPECT_EQ(list->indexOfChild(tab), k);
        EXPECT_EQ(tab, list->child(k)) << "a tab keeps one interface";
        EXPECT_EQ(tab->state().selected, k == 0) << k;
        const TabGeometry& geometry = m_strip->layout()[static_cast<std::size_t>(k)];
        EXPECT_EQ(tab->rect().topLeft(), m_strip->mapToGlobal(QPoint(geometry.left, 0)));
        const QPoint inside = m_strip->mapToGlobal(QPoint(geometry.left + 20, 12));
        EXPECT_EQ(list->childAt(inside.x(), inside.y()), tab);
    }
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* page = list->child(kTabCount + i);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->object(), m_pages[static_cast<std::size_t>(i)]);
        EXPECT_EQ(page->text(QAccessible::Name), list->child(i)->text(QAccessible::Name));
        EXPECT_EQ(list->indexOfChild(page), kTabCount + i);
    }
}

TEST_F(TabStripWidgetTest, PressActionOfAPageTabSelectsIt) {
    QAccessibleInterface* tab = Accessible(m_strip)->child(2);
    ASSERT_NE(tab, nullptr);
    QAccessibleActionInterface* actions = tab->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QSignalSpy selections(m_strip, &TabStripWidget::tabSelected);

    actions->doAction(QAccessibleActionInterface::pressAction());

    EXPECT_EQ(m_strip->selectedTab(), 3);
    EXPECT_EQ(visiblePage(), 2);
    EXPECT_EQ(selections.count(), 1);
    EXPECT_TRUE(tab->state().selected);
    EXPECT_FALSE(Accessible(m_strip)->child(0)->state().selected);
}

TEST_F(TabStripWidgetTest, TabIconsHaveNamesForScreenReaders) {
    for (const TabIcon& icon : kTabIcons) {
        auto* label = m_strip->findChild<QLabel*>(QString::fromLatin1(icon.objectName));
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(Accessible(label)->text(QAccessible::Name).isEmpty()) << icon.objectName;
    }
}

// The keyboard needs an active window; a button on the first page stands for the controls.
class TabStripKeyboardTest : public TabStripWidgetTest {
protected:
    TabStripKeyboardTest() {
        m_button = new QPushButton(QStringLiteral("Dividi"), m_pages[0]);
        m_button->setGeometry(10, 10, 80, 25);
        m_button->show();
        m_window.activateWindow();
        QApplication::setActiveWindow(&m_window);
    }

    // The tab band as shown; the pages below have focus marks of their own.
    QImage tabBand() const {
        QImage picture(m_strip->width(), kPageTop, QImage::Format_RGB32);
        m_strip->render(&picture, QPoint(), QRegion(0, 0, m_strip->width(), kPageTop));
        return picture;
    }

    QPushButton* m_button = nullptr;
};

struct KeyCase {
    const char* name;
    bool stripFocused;  // otherwise the page's button has the focus
    int startTab;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int selects;
};

class TabStripKeyTest : public TabStripKeyboardTest,
                        public ::testing::WithParamInterface<KeyCase> {};

TEST_P(TabStripKeyTest, ChangesTheTabAsAKeyboardUserExpects) {
    const KeyCase& row = GetParam();
    m_strip->SelectTab(row.startTab);
    QWidget* focus = row.stripFocused ? static_cast<QWidget*>(m_strip) : m_button;
    focus->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(focus->hasFocus());

    QTest::keyClick(focus, row.key, row.modifiers);

    EXPECT_EQ(m_strip->selectedTab(), row.selects);
    EXPECT_EQ(visiblePage(), row.selects - 1);
    EXPECT_EQ(m_strip->stripImage(), TabStripRenderer().render(row.selects, FixedColours()));
}

constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

INSTANTIATE_TEST_SUITE_P(
    Keys, TabStripKeyTest,
    ::testing::Values(KeyCase{"RightMovesToTheNextTab", true, 1, Qt::Key_Right, kNone, 2},
                      KeyCase{"LeftMovesToThePreviousTab", true, 3, Qt::Key_Left, kNone, 2},
                      KeyCase{"RightStopsAtTheLastTab", true, 3, Qt::Key_Right, kNone, 3},
                      KeyCase{"LeftStopsAtTheFirstTab", true, 1, Qt::Key_Left, kNone, 1},
                      KeyCase{"ArrowOnAPageControlLeavesTheTab", false, 1, Qt::Key_Right, kNone, 1},
                      KeyCase{"CtrlTabFromAPageControl", false, 1, Qt::Key_Tab, kCtrl, 2},
                      KeyCase{"CtrlTabWrapsToTheFirstTab", false, 3, Qt::Key_Tab, kCtrl, 1},
                      KeyCase{"CtrlPageDownFromAPageControl", false, 2, Qt::Key_PageDown, kCtrl, 3},
                      // X11 sends Ctrl+Shift+Tab as Backtab; other platforms as Tab.
                      KeyCase{"CtrlShiftTabAsBacktabWrapsToTheLastTab", false, 1, Qt::Key_Backtab,
                              Qt::ControlModifier | Qt::ShiftModifier, 3},
                      KeyCase{"CtrlShiftTabAsTab", false, 3, Qt::Key_Tab,
                              Qt::ControlModifier | Qt::ShiftModifier, 2},
                      KeyCase{"CtrlPageUpWithTheStripFocused", true, 2, Qt::Key_PageUp, kCtrl, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TabStripKeyboardTest, TabReachesTheStripWhichThenShowsAFocusMarkOnlyWhileFocused) {
    m_button->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(m_button->hasFocus());
    const QImage unfocused = tabBand();
    QTest::keyClick(m_button, Qt::Key_Tab);
    QTRY_VERIFY(m_strip->hasFocus());

    const QImage focused = tabBand();
    const QRect mark = FocusMarkRect(m_strip->layout()[0]);
    int changed = 0;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            if (focused.pixel(x, y) == unfocused.pixel(x, y)) {
                continue;
            }
            ++changed;
            const bool onOutline =
                x == mark.left() || x == mark.right() || y == mark.top() || y == mark.bottom();
            ASSERT_TRUE(mark.contains(x, y) && onOutline)
                << "changed off the mark at " << x << "," << y;
            EXPECT_EQ(focused.pixel(x, y), testing::kText);
        }
    }
    EXPECT_GT(changed, mark.width());
    EXPECT_LT(changed, mark.width() + mark.height()) << "a dotted mark, not a solid one";

    m_button->setFocus(Qt::BacktabFocusReason);
    QTRY_VERIFY(!m_strip->hasFocus());
    EXPECT_EQ(tabBand(), unfocused);
}

TEST_F(TabStripKeyboardTest, TheFocusedStripSpeaksAsItsSelectedTab) {
    m_strip->SelectTab(2);
    m_strip->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(m_strip->hasFocus());
    QAccessibleInterface* list = Accessible(m_strip);
    EXPECT_EQ(list->focusChild(), list->child(1));
    EXPECT_TRUE(list->child(1)->state().focused);
    EXPECT_FALSE(list->child(0)->state().focused);
}

TEST_F(TabStripKeyboardTest, FocusThatCameWithoutTheKeyboardShowsNoMarkUntilAKeyIsUsed) {
    m_button->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(m_button->hasFocus());
    const QImage unfocused = tabBand();
    m_strip->setFocus(Qt::ActiveWindowFocusReason);
    QTRY_VERIFY(m_strip->hasFocus());
    EXPECT_EQ(tabBand(), unfocused);

    QTest::keyClick(m_strip, Qt::Key_Left);  // nothing left of tab 1, but the keyboard is in use
    EXPECT_EQ(m_strip->selectedTab(), 1);
    EXPECT_NE(tabBand(), unfocused);
}

}  // namespace
}  // namespace zirared
