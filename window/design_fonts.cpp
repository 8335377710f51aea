#include "design_fonts.h"

#include <QStringList>

namespace zirared {

QFont ArialFont(double pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);  // explicit either way: never inherited from the page
    return font;
}

QFont VerdanaFont(double pointSize, bool italic) {
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(pointSize);
    font.setItalic(italic);
    // Set explicitly so that it does not inherit the bold of the page it lies on.
    font.setBold(false);
    return font;
}

}  // namespace zirared
