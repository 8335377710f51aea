#include "progress_bar_placement.h"

#include <QWidget>

#include "prog_bar32.h"

namespace zirared {
namespace {

constexpr int kGapBelowContainer = 6;
constexpr int kBarHeight = 15;

}  // namespace

QRect ProgressBarRectBelow(const QRect& container) {
    return {container.left(), container.top() + container.height() + kGapBelowContainer,
            container.width(), kBarHeight};
}

bool CreateProgressBarBelow(CProgBar32& bar, QWidget& window, const QWidget& container) {
    const QRect rect = ProgressBarRectBelow(container.geometry());
    bar.NoParentHwnd(&window);
    return bar.Create(&window, rect.left(), rect.top(), rect.width(), rect.height(), false);
}

}  // namespace zirared
