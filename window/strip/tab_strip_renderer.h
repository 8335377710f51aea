#pragma once

#include <QFont>
#include <QImage>
#include <QPalette>
#include <QPoint>
#include <QPointF>

#include "colour_value.h"
#include "device_grid.h"
#include "tab_layout.h"

namespace zirared {

// Resolved 0x00BBGGRR colours the strip is painted with.
struct TabStripColours {
    ColourValue buttonFace = 0;  // background the strip is cleared to
    ColourValue buttonText = 0;  // captions
    ColourValue page = 0;        // background of the first page: the selected tab's inside
};

// Button face and text from the strip's palette; page colour from the first page's background.
TabStripColours ResolveTabStripColours(const QPalette& stripPalette, const QPalette& pagePalette);

// Paints the 320 x 180 strip without any widget: tabs, captions, frame and fills. Icons,
// highlight bars and pages are widgets laid over this picture and never part of it.
class TabStripRenderer {
public:
    TabStripRenderer();
    explicit TabStripRenderer(const QFont& normalFont);

    const TabLayout& layout() const { return m_layout; }

    // The whole strip with tab `selectedTab` (1..3) selected, from a cleared image, at device
    // pixel ratio `ratio` for a strip whose device position has the fractional part `phase`
    // (see DeviceGrid). Lines keep one width of whole device pixels; at a whole ratio r every
    // design pixel of a line or a fill becomes an r x r square. Above ratio 1 the captions are
    // drawn smooth at the device's size, over the fills.
    QImage render(int selectedTab, const TabStripColours& colours, qreal ratio = 1.0,
                  QPointF phase = {}) const;

private:
    // The caption's anchor in device pixels: where it is drawn, and where its tab's fill is seeded.
    QPoint captionAnchor(const QImage& image, const DeviceGrid& grid, int tab, bool bold) const;
    void drawCaption(QImage& image, const DeviceGrid& grid, int tab, bool bold,
                     ColourValue colour) const;
    QFont captionFont(bool bold, qreal ratio) const;

    QFont m_normalFont;
    QFont m_boldFont;
    TabLayout m_layout;
};

// Shades one tab's inside by a surface fill seeded at its caption anchor (x, y): the selected
// tab takes the page colour, the others 10 darker per component (stopping at 0).
void FillTab(QImage& strip, int x, int y, bool selected, ColourValue pageColour);

}  // namespace zirared
