#include "progress_bar.h"

#include <QWidget>

#include "progress_bar_placement.h"

namespace zirared {

WindowProgressBar::WindowProgressBar(QWidget& window, const QWidget& container)
    : m_window(window), m_container(container) {}

WindowProgressBar::~WindowProgressBar() = default;

void WindowProgressBar::Create() {
    m_created = CreateProgressBarBelow(Bar(), m_window, m_container);
}

void WindowProgressBar::Value(std::int16_t value) {
    Bar().Value(value);
}

void WindowProgressBar::Destroy() {
    Bar().Destroy();
}

void WindowProgressBar::Release() {
    if (m_created && m_bar) {
        m_bar->Destroy();
    }
    m_bar.reset();
}

ProgressBarClass& WindowProgressBar::Bar() {
    if (!m_bar) {
        m_bar = std::make_unique<ProgressBarClass>();
    }
    return *m_bar;
}

}  // namespace zirared
