#include "svg_pixmap.h"

#include <QSvgRenderer>
#include <QtGlobal>

#include "svg_rendering.h"

// Q_INIT_RESOURCE must be used outside any namespace. The resources live in a static
// library: without this reference the linker would drop them from the program.
static void InitZiraredResources() {
    Q_INIT_RESOURCE(zirared);
}

namespace zirared {

void EnsureResourcesLoaded() {
    static const bool loaded = [] {
        InitZiraredResources();
        return true;
    }();
    Q_UNUSED(loaded);
}

QPixmap SvgPixmap(const QString& resourcePath, QSize size, qreal devicePixelRatio) {
    EnsureResourcesLoaded();
    QSvgRenderer renderer(resourcePath);
    return RenderSvgAt(renderer, size, devicePixelRatio);
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64}) {
        icon.addPixmap(SvgPixmap(QStringLiteral(":/zirared/icon.svg"), QSize(side, side)));
    }
    return icon;
}

}  // namespace zirared
