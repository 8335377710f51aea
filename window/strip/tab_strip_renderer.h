#pragma once

#include <QFont>
#include <QImage>
#include <QPalette>
#include <QPoint>

#include "colour_value.h"
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

    // The whole strip with tab `selectedTab` (1..3) selected, from a cleared image. At `scale`
    // r the image is r times larger (device pixel ratio r): every design pixel of a line or a
    // fill becomes an r x r square, and the captions are drawn with the font r times larger.
    QImage render(int selectedTab, const TabStripColours& colours, int scale = 1) const;

private:
    // Returns the caption's anchor in device pixels, where its tab's fill is seeded.
    QPoint drawCaption(QImage& image, int scale, int tab, bool bold, ColourValue colour) const;

    QFont m_normalFont;
    QFont m_boldFont;
    TabLayout m_layout;
};

// Shades one tab's inside by a surface fill seeded at its caption anchor (x, y): the selected
// tab takes the page colour, the others 10 darker per component (stopping at 0).
void FillTab(QImage& strip, int x, int y, bool selected, ColourValue pageColour);

}  // namespace zirared
