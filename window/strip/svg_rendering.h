#pragma once

#include <QPixmap>
#include <QSize>

class QSvgRenderer;

namespace zirared {

// `renderer`'s picture at exactly `size` pixels, times `devicePixelRatio` device pixels so
// that it stays sharp on a dense screen, transparent where the picture is not (all of it for
// an invalid renderer).
QPixmap RenderSvgAt(QSvgRenderer& renderer, QSize size, qreal devicePixelRatio);

}  // namespace zirared
