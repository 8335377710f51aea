#include "screen_change.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <utility>

namespace zirared {
namespace {

class ScreenChangeFilter final : public QObject {
public:
    ScreenChangeFilter(QWidget& widget, std::function<void()> redraw)
        : QObject(&widget), m_redraw(std::move(redraw)) {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::ScreenChangeInternal) {
            m_redraw();
        }
        return false;
    }

private:
    std::function<void()> m_redraw;
};

}  // namespace

void OnScreenChange(QWidget& widget, std::function<void()> redraw) {
    new ScreenChangeFilter(widget, std::move(redraw));
}

}  // namespace zirared
