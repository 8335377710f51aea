#pragma once

#include <QColor>
#include <QPalette>
#include <QRgb>

#include "colour_value.h"
#include "tab_strip_renderer.h"

namespace zirared::testing {

// A fixed theme: button face = page = window colour, black captions.
inline constexpr QRgb kFace = qRgb(236, 233, 216);
inline constexpr QRgb kUnselectedFill = qRgb(226, 223, 206);
inline constexpr QRgb kText = qRgb(0, 0, 0);
inline constexpr QRgb kOutline = qRgb(145, 167, 180);

inline TabStripColours FixedColours() {
    return {ColourValueFrom(QColor(kFace)), ColourValueFrom(QColor(kText)),
            ColourValueFrom(QColor(kFace))};
}

inline QPalette FixedPalette() {
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(kFace));
    palette.setColor(QPalette::Window, QColor(kFace));
    palette.setColor(QPalette::ButtonText, QColor(kText));
    return palette;
}

}  // namespace zirared::testing
