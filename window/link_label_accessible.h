#pragma once

namespace zirared {

// Lets screen readers see every LinkLabel as a link named by its text, with a press action that
// opens it. Installs a factory with Qt's accessibility once; every later call does nothing.
void InstallLinkLabelAccessibility();

}  // namespace zirared
