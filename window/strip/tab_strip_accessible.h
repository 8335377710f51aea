#pragma once

namespace zirared {

// Lets screen readers (through AT-SPI, Orca) see and use the drawn strip as a page-tab list:
// three page tabs named by their captions, the selected one marked, each with a press action
// that selects it, followed by the three pages. Installs a factory with Qt's accessibility
// once; every later call does nothing.
void InstallTabStripAccessibility();

}  // namespace zirared
