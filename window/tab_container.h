#pragma once

#include "tab_strip_widget.h"

class QWidget;

namespace zirared {

// The widget that holds the tab band and the three pages (objectName picTabContainer).
using TabContainer = TabStripWidget;

// Makes the container; SetupTabStrip puts it at its place (320 × 180 at top 6, centred).
TabContainer* CreateTabContainer(QWidget& form);

// Shows page `index` (0 split, 1 assemble, 2 information) as a press on its tab would.
void ShowPage(TabContainer& container, int index);

}  // namespace zirared
