#pragma once

#include <QFont>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>

#include "device_grid.h"
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

// Top-left device point of a caption drawn at `drawnSize` (device pixels, in the weight it is
// drawn in), centred in the tab sized for the normal caption as the tab lies on `grid`.
QPoint CaptionAnchor(const TabGeometry& tab, QSize drawnSize, const DeviceGrid& grid = {});

// The three one-pixel highlight bars over the top rows inside the selected tab's outline.
std::array<QRect, kTabCount> HighlightBarRects(const TabGeometry& selected);

// Where the keyboard focus mark runs inside the selected tab: two columns in from its sides,
// below the highlight bars and above the page, around the tab's icon and caption.
QRect FocusMarkRect(const TabGeometry& selected);

}  // namespace zirared
