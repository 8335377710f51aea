#pragma once

#include <functional>

class QWidget;

namespace zirared {

// Calls `redraw` whenever `widget` moves to another screen, which may have another pixel
// ratio, before the widget itself handles the change. Lasts as long as the widget.
void OnScreenChange(QWidget& widget, std::function<void()> redraw);

}  // namespace zirared
