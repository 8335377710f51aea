#include "tab_strip_renderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "raster_ops.h"
#include "strip_font.h"

namespace zirared {
namespace {

// The picture being drawn: design coordinates, `scale` device pixels per design pixel.
struct Canvas {
    QImage& image;
    int scale;
};

void DrawLine(Canvas& strip, int x1, int y1, int x2, int y2) {
    DrawLineExcludingEnd(strip.image, QPoint(x1, y1), QPoint(x2, y2), ToQRgb(kOutlineColour),
                         strip.scale);
}

// Rows 4 to 26; the side starts one column right of the tab's left.
void DrawUnselectedOutline(Canvas& strip, const TabGeometry& tab) {
    const int left = tab.left;
    const int right = tab.right;
    DrawLine(strip, left + 1, 26, left + 1, 5);
    DrawLine(strip, left + 3, 4, right - 2, 4);
    DrawLine(strip, left + 1, 6, left + 3, 4);
    DrawLine(strip, right - 1, 6, right - 3, 4);
    DrawLine(strip, right - 1, 26, right - 1, 5);
}

// Rows 0 to 26, one column wider on the left than an unselected tab.
void DrawSelectedOutline(Canvas& strip, const TabGeometry& tab) {
    const int left = tab.left;
    const int right = tab.right;
    DrawLine(strip, left, 26, left, 1);
    DrawLine(strip, left, 2, left + 2, 0);
    DrawLine(strip, left + 2, 0, right - 2, 0);
    DrawLine(strip, right - 1, 2, right - 3, 0);
    DrawLine(strip, right - 1, 26, right - 1, 1);
}

// Just outside the page rectangle: row 26, columns 0 and 319, row 179.
void DrawFrame(Canvas& strip) {
    const int sw = kStripSize.width();
    const int sh = kStripSize.height();
    DrawLine(strip, 1, kTabHeight, sw, kTabHeight);
    DrawLine(strip, 0, kTabHeight, 0, sh);
    DrawLine(strip, 0, sh - 1, sw, sh - 1);
    DrawLine(strip, sw - 1, kTabHeight, sw - 1, sh);
}

QFont WithWeight(QFont font, bool bold) {
    font.setBold(bold);
    return font;
}

QFont ScaledBy(QFont font, int scale) {
    if (font.pixelSize() > 0) {
        font.setPixelSize(font.pixelSize() * scale);
    } else {
        font.setPointSizeF(font.pointSizeF() * scale);
    }
    return font;
}

}  // namespace

TabStripColours ResolveTabStripColours(const QPalette& stripPalette, const QPalette& pagePalette) {
    return {ResolveColour(kStripBackground, stripPalette),
            ResolveColour(kCaptionColour, stripPalette),
            ColourValueFrom(pagePalette.color(QPalette::Window))};
}

TabStripRenderer::TabStripRenderer() : TabStripRenderer(StripFont()) {}

TabStripRenderer::TabStripRenderer(const QFont& normalFont)
    : m_normalFont(WithWeight(normalFont, false)),
      m_boldFont(WithWeight(normalFont, true)),
      m_layout(LayoutTabs(m_normalFont)) {}

QImage TabStripRenderer::render(int selectedTab, const TabStripColours& colours, int scale) const {
    Q_ASSERT(selectedTab >= 1 && selectedTab <= kTabCount);
    selectedTab = std::clamp(selectedTab, 1, kTabCount);
    scale = std::max(1, scale);
    QImage image(kStripSize * scale, QImage::Format_RGB32);
    image.fill(ToQRgb(colours.buttonFace));
    Canvas strip{image, scale};
    const std::size_t selected = static_cast<std::size_t>(selectedTab - 1);

    std::array<QPoint, kTabCount> anchors{};
    for (int n = kTabCount; n >= 1; --n) {
        if (n == selectedTab) {
            continue;
        }
        DrawUnselectedOutline(strip, m_layout[static_cast<std::size_t>(n - 1)]);
        anchors[static_cast<std::size_t>(n - 1)] =
            drawCaption(image, scale, n, false, colours.buttonText);
    }
    DrawFrame(strip);
    DrawSelectedOutline(strip, m_layout[selected]);
    anchors[selected] = drawCaption(image, scale, selectedTab, true, colours.buttonText);

    for (int k = 1; k <= kTabCount; ++k) {
        const QPoint anchor = anchors[static_cast<std::size_t>(k - 1)];
        FillTab(image, anchor.x(), anchor.y(), k == selectedTab, colours.page);
    }

    // Opens the selected tab into its page: no baseline between its two sides.
    const TabGeometry& tab = m_layout[selected];
    DrawLineExcludingEnd(image, QPoint(tab.left + 1, kTabHeight), QPoint(tab.right - 1, kTabHeight),
                         ToQRgb(colours.page), scale);
    image.setDevicePixelRatio(scale);
    return image;
}

QPoint TabStripRenderer::drawCaption(QImage& image, int scale, int tab, bool bold,
                                     ColourValue colour) const {
    // Drawn with the font at the device's size, not magnified, so the glyphs stay crisp; the
    // tabs keep the places the design font gives them.
    const QFont font = ScaledBy(bold ? m_boldFont : m_normalFont, scale);
    const QFontMetrics metrics(font);
    const QString caption = QString::fromLatin1(kTabCaptions[static_cast<std::size_t>(tab - 1)]);
    const QPoint anchor =
        CaptionAnchor(m_layout[static_cast<std::size_t>(tab - 1)],
                      QSize(metrics.horizontalAdvance(caption), metrics.height()), scale);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(ToQColor(colour));
    painter.drawText(anchor.x(), anchor.y() + metrics.ascent(), caption);
    return anchor;
}

void FillTab(QImage& strip, int x, int y, bool selected, ColourValue pageColour) {
    const int darkening = selected ? 0 : kTabDarkening;
    const ColourValue fill = DarkenedBy(pageColour, darkening);
    FloodFillSurface(strip, QPoint(x, y), ToQRgb(fill));
}

}  // namespace zirared
