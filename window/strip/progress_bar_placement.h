#pragma once

#include <QRect>

class QWidget;

namespace zirared {

class CProgBar32;

// The bar's rectangle in the window: as wide as the tab container, aligned with its left edge,
// 15 pixels high, 6 pixels below it.
QRect ProgressBarRectBelow(const QRect& container);

// The window's CreateProgressBar: makes `bar` a child of `window` under `container` (a child of
// the window), horizontal and segmented. Returns Create's result, which the window keeps as
// ProgBarCreated.
bool CreateProgressBarBelow(CProgBar32& bar, QWidget& window, const QWidget& container);

}  // namespace zirared
