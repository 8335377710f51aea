#include "enter_clicks.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPushButton>

namespace zirared {
namespace {

class EnterClicks final : public QObject {
public:
    explicit EnterClicks(QPushButton& button) : QObject(&button), m_button(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_button || event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        // A held key repeats: one press, one click, as with Space.
        if (!enter || !plain || key->isAutoRepeat()) {
            return enter && plain;
        }
        m_button.click();
        return true;
    }

private:
    QPushButton& m_button;
};

}  // namespace

void LetEnterClick(QPushButton& button) {
    button.installEventFilter(new EnterClicks(button));
}

}  // namespace zirared
