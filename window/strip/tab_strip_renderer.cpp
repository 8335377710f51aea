#include "tab_strip_renderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "grid_line.h"
#include "raster_ops.h"
#include "strip_font.h"

namespace zirared {
namespace {

// The picture being drawn, in design coordinates on `grid`.
struct Canvas {
    QImage& image;
    const DeviceGrid& grid;
};

void DrawLine(Canvas& strip, int x1, int y1, int x2, int y2, QPoint inside) {
    DrawGridLine(strip.image, strip.grid, QPoint(x1, y1), QPoint(x2, y2), inside,
                 ToQRgb(kOutlineColour));
}

// A design point inside the tab, below which lies the page: the tab's lines lie against it.
QPoint InsideOf(const TabGeometry& tab) {
    return {(tab.left + tab.right) / 2, kTabHeight + 1};
}

// Rows 4 to 26; the side starts one column right of the tab's left.
void DrawUnselectedOutline(Canvas& strip, const TabGeometry& tab) {
    const int left = tab.left;
    const int right = tab.right;
    const QPoint inside = InsideOf(tab);
    DrawLine(strip, left + 1, 26, left + 1, 5, inside);
    DrawLine(strip, left + 3, 4, right - 2, 4, inside);
    DrawLine(strip, left + 1, 6, left + 3, 4, inside);
    DrawLine(strip, right - 1, 6, right - 3, 4, inside);
    DrawLine(strip, right - 1, 26, right - 1, 5, inside);
}

// Rows 0 to 26, one column wider on the left than an unselected tab.
void DrawSelectedOutline(Canvas& strip, const TabGeometry& tab) {
    const int left = tab.left;
    const int right = tab.right;
    const QPoint inside = InsideOf(tab);
    DrawLine(strip, left, 26, left, 1, inside);
    DrawLine(strip, left, 2, left + 2, 0, inside);
    DrawLine(strip, left + 2, 0, right - 2, 0, inside);
    DrawLine(strip, right - 1, 2, right - 3, 0, inside);
    DrawLine(strip, right - 1, 26, right - 1, 1, inside);
}

// Just outside the page rectangle: row 26, columns 0 and 319, row 179.
void DrawFrame(Canvas& strip) {
    const int sw = kStripSize.width();
    const int sh = kStripSize.height();
    const QPoint inside(sw / 2, (kTabHeight + sh) / 2);
    DrawLine(strip, 1, kTabHeight, sw, kTabHeight, inside);
    DrawLine(strip, 0, kTabHeight, 0, sh, inside);
    DrawLine(strip, 0, sh - 1, sw, sh - 1, inside);
    DrawLine(strip, sw - 1, kTabHeight, sw - 1, sh, inside);
}

QFont WithWeight(QFont font, bool bold) {
    font.setBold(bold);
    return font;
}

// The dots per metre of 96 dots per inch, the resolution the strip's font sizes are meant for.
constexpr int kDotsPerMetreAt96Dpi = 3780;

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

QImage TabStripRenderer::render(int selectedTab, const TabStripColours& colours, qreal ratio,
                                QPointF phase) const {
    Q_ASSERT(selectedTab >= 1 && selectedTab <= kTabCount);
    selectedTab = std::clamp(selectedTab, 1, kTabCount);
    const DeviceGrid grid{std::max<qreal>(1.0, ratio), phase};
    // Above ratio 1 the captions are smooth, so they go over the fills instead of bounding them.
    const bool smoothCaptions = grid.ratio > 1.0;
    QImage image(grid.edgeX(kStripSize.width()), grid.edgeY(kStripSize.height()),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMetreAt96Dpi);
    image.setDotsPerMeterY(kDotsPerMetreAt96Dpi);
    image.fill(ToQRgb(colours.buttonFace));
    Canvas strip{image, grid};
    const std::size_t selected = static_cast<std::size_t>(selectedTab - 1);

    std::array<QPoint, kTabCount> anchors{};
    for (int k = 1; k <= kTabCount; ++k) {
        anchors[static_cast<std::size_t>(k - 1)] = captionAnchor(image, grid, k, k == selectedTab);
    }
    const auto unselectedCaptions = [&] {
        for (int n = kTabCount; n >= 1; --n) {
            if (n != selectedTab) {
                drawCaption(image, grid, n, false, colours.buttonText);
            }
        }
    };
    const auto selectedCaption = [&] {
        drawCaption(image, grid, selectedTab, true, colours.buttonText);
    };

    for (int n = kTabCount; n >= 1; --n) {
        if (n != selectedTab) {
            DrawUnselectedOutline(strip, m_layout[static_cast<std::size_t>(n - 1)]);
        }
    }
    if (!smoothCaptions) {
        unselectedCaptions();
    }
    DrawFrame(strip);
    DrawSelectedOutline(strip, m_layout[selected]);
    if (!smoothCaptions) {
        selectedCaption();
    }

    for (int k = 1; k <= kTabCount; ++k) {
        const QPoint anchor = anchors[static_cast<std::size_t>(k - 1)];
        FillTab(image, anchor.x(), anchor.y(), k == selectedTab, colours.page);
    }

    // Opens the selected tab into its page: no baseline between its two sides.
    const TabGeometry& tab = m_layout[selected];
    const QRect opening = grid.rect(QRect(tab.left + 1, kTabHeight, tab.width - 2, 1));
    for (int y = opening.top(); y <= opening.bottom(); ++y) {
        for (int x = opening.left(); x <= opening.right(); ++x) {
            image.setPixel(x, y, ToQRgb(colours.page));
        }
    }

    if (smoothCaptions) {
        unselectedCaptions();
        selectedCaption();
    }
    image.setDevicePixelRatio(grid.ratio);
    return image;
}

QFont TabStripRenderer::captionFont(bool bold, qreal ratio) const {
    QFont font = bold ? m_boldFont : m_normalFont;
    if (ratio == 1.0) {
        return font;
    }
    // At the device's size, not magnified, so the glyphs keep their shapes; a point size on the
    // 96 dpi picture reaches fractional pixel sizes too.
    const qreal pointSize =
        font.pixelSize() > 0 ? font.pixelSize() * 72.0 / 96.0 : font.pointSizeF();
    font.setPointSizeF(pointSize * ratio);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QPoint TabStripRenderer::captionAnchor(const QImage& image, const DeviceGrid& grid, int tab,
                                       bool bold) const {
    const QFontMetrics metrics(captionFont(bold, grid.ratio), &image);
    const QString caption = QString::fromLatin1(kTabCaptions[static_cast<std::size_t>(tab - 1)]);
    QPoint anchor =
        CaptionAnchor(m_layout[static_cast<std::size_t>(tab - 1)],
                      QSize(metrics.horizontalAdvance(caption), metrics.height()), grid);

    // Centred, a bold caption can reach its icon; its first letter keeps a line's width clear of
    // the icon's box (smooth edges one pixel more).
    const TabIcon& icon = kTabIcons[static_cast<std::size_t>(tab - 1)];
    const int iconEnd = std::max(grid.edgeX(icon.left + kTabIconSize),
                                 grid.edgeX(icon.left) + qRound(kTabIconSize * grid.ratio));
    const QString letters = caption.trimmed();
    const int inkOffset = metrics.horizontalAdvance(caption.left(caption.indexOf(letters))) +
                          std::max(0, metrics.leftBearing(letters.front()));
    const int clearance = grid.lineWidth() + (grid.ratio > 1.0 ? 1 : 0);
    anchor.setX(std::max(anchor.x(), iconEnd + clearance - inkOffset));
    return anchor;
}

void TabStripRenderer::drawCaption(QImage& image, const DeviceGrid& grid, int tab, bool bold,
                                   ColourValue colour) const {
    const QFont font = captionFont(bold, grid.ratio);
    const QFontMetrics metrics(font, &image);
    const QString caption = QString::fromLatin1(kTabCaptions[static_cast<std::size_t>(tab - 1)]);
    const QPoint anchor = captionAnchor(image, grid, tab, bold);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, grid.ratio > 1.0);
    painter.setFont(font);
    painter.setPen(ToQColor(colour));
    painter.drawText(anchor.x(), anchor.y() + metrics.ascent(), caption);
}

void FillTab(QImage& strip, int x, int y, bool selected, ColourValue pageColour) {
    const int darkening = selected ? 0 : kTabDarkening;
    const ColourValue fill = DarkenedBy(pageColour, darkening);
    FloodFillSurface(strip, QPoint(x, y), ToQRgb(fill));
}

}  // namespace zirared
