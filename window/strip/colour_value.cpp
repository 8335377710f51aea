#include "colour_value.h"

#include <algorithm>

namespace zirared {
namespace {

int ClampComponent(int component) {
    return std::clamp(component, 0, 255);
}

// Only the system colours a window of this program can ask for; the numbers are the
// platform's COLOR_* indexes.
bool SystemColourRole(int index, QPalette::ColorRole& role) {
    switch (index) {
        case 5:  // window background (text boxes)
            role = QPalette::Base;
            return true;
        case 8:  // window text
            role = QPalette::Text;
            return true;
        case 15:  // button face: the face of dialogs, so the window's own background
            role = QPalette::Window;
            return true;
        case 16:  // button shadow
            role = QPalette::Dark;
            return true;
        case 18:  // button text
            role = QPalette::ButtonText;
            return true;
        case 20:  // button highlight
            role = QPalette::Light;
            return true;
        case 23:  // tooltip text
            role = QPalette::ToolTipText;
            return true;
        case 24:  // tooltip background
            role = QPalette::ToolTipBase;
            return true;
        default:
            return false;
    }
}

}  // namespace

ColourValue ColourValueFromComponents(int red, int green, int blue) {
    return static_cast<ColourValue>(ClampComponent(red)) +
           256u * static_cast<ColourValue>(ClampComponent(green)) +
           65536u * static_cast<ColourValue>(ClampComponent(blue));
}

ColourValue ColourValueFrom(const QColor& colour) {
    return ColourValueFromComponents(colour.red(), colour.green(), colour.blue());
}

QRgb ToQRgb(ColourValue colour) {
    return qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

QColor ToQColor(ColourValue colour) {
    return QColor(ToQRgb(colour));
}

ColourValue ResolveColour(ColourValue colour, const QPalette& palette) {
    if ((colour & kSystemColourFlag) == 0) {
        return colour & 0x00FFFFFFu;
    }
    QPalette::ColorRole role{};
    if (!SystemColourRole(static_cast<int>(colour & ~kSystemColourFlag), role)) {
        return 0;
    }
    return ColourValueFrom(palette.color(role));
}

ColourValue DarkenedBy(ColourValue colour, int amount) {
    return ColourValueFromComponents(RedOf(colour) - amount, GreenOf(colour) - amount,
                                     BlueOf(colour) - amount);
}

}  // namespace zirared
