#include "svg_rendering.h"

#include <QPainter>
#include <QSvgRenderer>

namespace zirared {

QPixmap RenderSvgAt(QSvgRenderer& renderer, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

}  // namespace zirared
