#include "link_label.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "link_label_accessible.h"

namespace zirared {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    InstallLinkLabelAccessibility();
    setFocusPolicy(Qt::TabFocus);
}

LinkLabel::~LinkLabel() = default;

void LinkLabel::activate() {
    emit activated();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a left press released over the label.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        activate();
    }
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                event->accept();
                activate();
                return;
            }
            break;
        default:
            break;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = QFontMetrics(font())
                      .boundingRect(contentsRect(), alignment().toInt() | Qt::TextWordWrap, text())
                      .adjusted(-1, 0, 1, 0)
                      .intersected(rect());
    option.backgroundColor = palette().color(backgroundRole());
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

}  // namespace zirared
