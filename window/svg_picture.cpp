#include "svg_picture.h"

#include "screen_change.h"
#include "svg_pixmap.h"

namespace zirared {

SvgPicture::SvgPicture(const QString& resourcePath, QWidget* parent)
    : QLabel(parent), m_resourcePath(resourcePath) {
    OnScreenChange(*this, [this] { Redraw(); });
}

SvgPicture::~SvgPicture() = default;

void SvgPicture::Redraw() {
    setPixmap(SvgPixmap(m_resourcePath, size(), devicePixelRatioF()));
}

}  // namespace zirared
