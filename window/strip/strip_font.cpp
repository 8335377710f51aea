#include "strip_font.h"

#include <QStringList>

namespace zirared {

QFont StripFont(bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setBold(bold);
    return font;
}

}  // namespace zirared
