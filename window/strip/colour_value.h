#pragma once

#include <QColor>
#include <QPalette>
#include <QRgb>
#include <cstdint>

namespace zirared {

// A colour as the window design stores it: 0x00BBGGRR, red in the low byte. A value with the
// top bit set, 0x80000000 + n, names system colour n and must be resolved before use.
using ColourValue = std::uint32_t;

inline constexpr ColourValue kSystemColourFlag = 0x80000000u;
inline constexpr ColourValue kButtonFaceColour = 0x8000000Fu;
inline constexpr ColourValue kButtonTextColour = 0x80000012u;

constexpr int RedOf(ColourValue colour) {
    return static_cast<int>(colour & 0xFFu);
}
constexpr int GreenOf(ColourValue colour) {
    return static_cast<int>((colour & 0xFF00u) / 256u);
}
constexpr int BlueOf(ColourValue colour) {
    return static_cast<int>((colour & 0xFF0000u) / 65536u);
}

// Components outside 0..255 are clamped, so a darkened colour never goes below black.
ColourValue ColourValueFromComponents(int red, int green, int blue);

ColourValue ColourValueFrom(const QColor& colour);
QRgb ToQRgb(ColourValue colour);
QColor ToQColor(ColourValue colour);

// System colours resolve through the palette (button face = QPalette::Window, the role the
// window and its pages are filled with, so the strip's band matches them under any colour
// scheme; button text = QPalette::ButtonText, ...); an unknown system colour resolves to black.
// Plain values pass.
ColourValue ResolveColour(ColourValue colour, const QPalette& palette);

// Each component reduced by `amount`, stopping at 0.
ColourValue DarkenedBy(ColourValue colour, int amount);

}  // namespace zirared
