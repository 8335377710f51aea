#include "tab_layout.h"

#include <QFontMetrics>
#include <QString>

#include "whole_pixels.h"

namespace zirared {

QString TabTitle(int tab) {
    return QString::fromLatin1(kTabCaptions[static_cast<std::size_t>(tab - 1)]).trimmed();
}

TabLayout LayoutTabs(const QFont& normalFont) {
    const QFontMetrics metrics(normalFont);
    TabLayout layout{};
    int left = 0;
    for (int k = 0; k < kTabCount; ++k) {
        TabGeometry& tab = layout[static_cast<std::size_t>(k)];
        tab.captionWidth = metrics.horizontalAdvance(
            QString::fromLatin1(kTabCaptions[static_cast<std::size_t>(k)]));
        tab.left = left;
        tab.width = tab.captionWidth + 2 * kCaptionMargin;
        tab.right = tab.left + tab.width;
        tab.nextLeft = tab.right + kGapBetweenTabs;
        left = tab.nextLeft;
    }
    return layout;
}

int TabAt(const TabLayout& layout, QPointF point) {
    if (point.y() > kTabHeight) {
        return 0;
    }
    for (int k = 0; k < kTabCount; ++k) {
        if (point.x() < layout[static_cast<std::size_t>(k)].nextLeft) {
            return k + 1;
        }
    }
    return 0;
}

QPoint CaptionAnchor(const TabGeometry& tab, QSize drawnSize, const DeviceGrid& grid) {
    const double centre = (grid.edgeX(tab.left) + grid.edgeX(tab.right)) / 2.0;
    return {RoundHalfToEven(centre - drawnSize.width() / 2.0),
            RoundHalfToEven((grid.edgeY(kTabHeight) - drawnSize.height()) / 2.0)};
}

std::array<QRect, kTabCount> HighlightBarRects(const TabGeometry& selected) {
    // Lines that stop before their end point: (Left + 2, 1) to (Right - 2, 1), then
    // (Left + 1, row) to (Right - 1, row) for rows 2 and 3.
    return {QRect(selected.left + 2, 1, selected.width - 4, 1),
            QRect(selected.left + 1, 2, selected.width - 2, 1),
            QRect(selected.left + 1, 3, selected.width - 2, 1)};
}

QRect FocusMarkRect(const TabGeometry& selected) {
    return {QPoint(selected.left + 3, 5), QPoint(selected.right - 4, kTabHeight - 2)};
}

}  // namespace zirared
