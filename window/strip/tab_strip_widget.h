#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <array>

#include "device_grid.h"
#include "tab_layout.h"
#include "tab_strip_renderer.h"

class QFocusEvent;
class QFrame;
class QKeyEvent;
class QLabel;
class QMouseEvent;
class QPaintEvent;

namespace zirared {

// The drawn tab strip `picTabContainer`: paints only its rendered picture, and holds the click
// area `lblCursorTab`, the highlight bars `shpSelezione_0..2`, the tab icons and the three pages.
// Usage from the window's load handler: create the pages as children of the strip, hand them
// over with SetPages(), then call SetupTabStrip() once. Any press in the tab band, with any
// button, selects the tab under it on the press.
//
// Keyboard: the strip takes the focus by Tab (a dotted mark then shows in the selected tab, as
// long as the keyboard is in use) and Left / Right move the selection; Ctrl+Tab / Ctrl+PgDn and
// Ctrl+Shift+Tab / Ctrl+PgUp move it from anywhere in the window, wrapping round. At any device
// pixel ratio the picture is rendered for the device's own pixels (see DeviceGrid).
class TabStripWidget : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabStripWidget)

public:
    using Pages = std::array<QWidget*, kTabCount>;

    explicit TabStripWidget(QWidget* parent = nullptr);
    ~TabStripWidget() override;

    // The pages pictab_0..2; they become children of the strip, opaque, above everything else.
    void SetPages(const Pages& pages);

    // 320 x 180, centred horizontally in the parent at top 6; pages placed without a border at
    // (1, 27, 318, 152); tab 1 selected.
    void SetupTabStrip();

    // tabNumber 1..3 selects that tab; 0 selects the tab under (x, y) in strip pixels, or
    // ignores the press when there is none. Every accepted call redraws the whole strip.
    void SelectTab(int tabNumber, float x = 0.0F, float y = 0.0F);
    // The tab after or before the selected one, wrapping round.
    void SelectNextTab();
    void SelectPreviousTab();

    int selectedTab() const { return m_selectedTab; }
    const Pages& pages() const { return m_pages; }
    const QImage& stripImage() const { return m_image; }
    const TabLayout& layout() const { return m_renderer.layout(); }
    // The window gives it the hand pointer.
    QLabel* cursorTab() const { return m_cursorTab; }

signals:
    // After every accepted selection, also of the tab already selected.
    void tabSelected(int tab);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void picTabContainer_MouseDown(QPointF position);
    void lblCursorTab_MouseDown(QPointF position);
    void renderStrip(int selectedTab);
    // For the device pixels where the picture is shown.
    void renderStripAt(int selectedTab, const DeviceGrid& grid);
    bool showsFocusMark() const;
    void notifyAccessibleSelection();
    void createIcons();
    void drawIcons();
    void createShortcuts();
    void createHighlightBars();
    void placeHighlightBars(int selectedTab);
    void showOnlyPage(int index);

    TabStripRenderer m_renderer;
    QImage m_image;
    QPointF m_imagePhase;
    int m_selectedTab = 0;
    Pages m_pages{};
    std::array<QFrame*, kTabCount> m_highlightBars{};
    std::array<QLabel*, kTabCount> m_icons{};
    QLabel* m_cursorTab = nullptr;
    bool m_keyUsed = false;  // since the strip last took the focus
};

}  // namespace zirared
