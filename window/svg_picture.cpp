#include "svg_picture.h"

#include <QEvent>

#include "svg_pixmap.h"

namespace zirared {

SvgPicture::SvgPicture(const QString& resourcePath, QWidget* parent)
    : QLabel(parent), m_resourcePath(resourcePath) {}

SvgPicture::~SvgPicture() = default;

void SvgPicture::Redraw() {
    setPixmap(SvgPixmap(m_resourcePath, size(), devicePixelRatioF()));
}

bool SvgPicture::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal) {
        Redraw();
    }
    return QLabel::event(event);
}

}  // namespace zirared
