#pragma once

#include <QFont>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>

#include "tab_strip_constants.h"

namespace zirared {

// One tab's columns, from the width of its caption in normal weight.
struct TabGeometry {
    int captionWidth = 0;  // TW
    int left = 0;          // Left
    int width = 0;         // W = TW + 32
    int right = 0;         // Right = Left + W, one past the tab's right side
    // A press in [left, nextLeft) belongs to this tab: its drawn width and the gap after it.
    int nextLeft = 0;
};

using TabLayout = std::array<TabGeometry, kTabCount>;

// Tab `tab`'s (1..3) caption as words, without the blanks that make room for its icon: what
// screen readers say for the tab and its page.
QString TabTitle(int tab);

// Measures the captions in `normalFont`; selecting a tab never moves any tab.
TabLayout LayoutTabs(const QFont& normalFont);

// The tab (1..3) a press at `point` selects, or 0 when the press is ignored: below the tab band
// (row > 26) or at or right of the end of tab 3's extent.
int TabAt(const TabLayout& layout, QPointF point);

// Top-left point of a caption drawn at `drawnSize` (its size in the weight it is drawn in),
// centred in the tab sized for the normal caption. At `scale` r the point and the size are in
// device pixels, r per design pixel, so a caption drawn with an r times larger font is centred
// in the same tab.
QPoint CaptionAnchor(const TabGeometry& tab, QSize drawnSize, int scale = 1);

// The three one-pixel highlight bars over the top rows inside the selected tab's outline.
std::array<QRect, kTabCount> HighlightBarRects(const TabGeometry& selected);

// Where the keyboard focus mark runs inside the selected tab: two columns in from its sides,
// below the highlight bars and above the page, around the tab's icon and caption.
QRect FocusMarkRect(const TabGeometry& selected);

}  // namespace zirared
