#include "size_slider.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <optional>

#include "focus_mark.h"
#include "size_slider_accessible.h"

namespace zirared {
namespace {

std::optional<QAbstractSlider::SliderAction> ActionOfKey(int key) {
    switch (key) {
        case Qt::Key_Right:
        case Qt::Key_Up:
            return QAbstractSlider::SliderSingleStepAdd;
        case Qt::Key_Left:
        case Qt::Key_Down:
            return QAbstractSlider::SliderSingleStepSub;
        case Qt::Key_PageUp:
            return QAbstractSlider::SliderPageStepAdd;
        case Qt::Key_PageDown:
            return QAbstractSlider::SliderPageStepSub;
        case Qt::Key_Home:
            return QAbstractSlider::SliderToMinimum;
        case Qt::Key_End:
            return QAbstractSlider::SliderToMaximum;
        default:
            return std::nullopt;
    }
}

}  // namespace

SizeSlider::SizeSlider(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    InstallSizeSliderAccessibility();
    setFocusPolicy(Qt::StrongFocus);
}

SizeSlider::~SizeSlider() = default;

void SizeSlider::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const std::optional<SliderAction> action = ActionOfKey(event->key());
    if (!plain || !action) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    // Whoever moves it by the keyboard needs to see where the focus is.
    m_keyUsed = true;
    triggerAction(*action);
    update();
    event->accept();
}

void SizeSlider::focusOutEvent(QFocusEvent* event) {
    QScrollBar::focusOutEvent(event);
    m_keyUsed = false;
    update();
}

void SizeSlider::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    // As the desktop does: the mark shows once the keyboard is in use, not after a click.
    if (!hasFocus() || !(m_keyUsed || window()->testAttribute(Qt::WA_KeyboardFocusChange))) {
        return;
    }
    // The tab strip's dotted rectangle, inside the thumb: the style's own focus frame is too
    // faint to find there.
    QStyleOptionSlider slider;
    initStyleOption(&slider);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &slider, QStyle::SC_ScrollBarSlider, this);
    QPainter painter(this);
    DrawFocusMark(painter, thumb.adjusted(2, 2, -2, -2), palette().color(QPalette::WindowText));
}

}  // namespace zirared
