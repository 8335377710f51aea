#pragma once

#include <cstdint>
#include <memory>

#include "prog_bar32.h"

class QWidget;

namespace zirared {

// The class behind the window's ProgBar.
using ProgressBarClass = CProgBar32;

// The window's bar, under its tab container and as wide as it; the bar object is made on
// first use and let go when the window unloads.
class WindowProgressBar {
public:
    WindowProgressBar(QWidget& window, const QWidget& container);
    ~WindowProgressBar();
    WindowProgressBar(const WindowProgressBar&) = delete;
    WindowProgressBar& operator=(const WindowProgressBar&) = delete;

    // Shows an empty bar and records whether that worked.
    void Create();
    bool Created() const { return m_created; }
    void Value(std::int16_t value);
    void Destroy();
    // The window unloads: a bar still shown is taken down and the bar object goes.
    void Release();

private:
    ProgressBarClass& Bar();

    QWidget& m_window;
    const QWidget& m_container;
    std::unique_ptr<ProgressBarClass> m_bar;
    bool m_created = false;
};

}  // namespace zirared
