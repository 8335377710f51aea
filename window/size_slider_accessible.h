#pragma once

namespace zirared {

// Lets screen readers see every SizeSlider as a slider (not a scroll bar) whose value reads as
// the size label ("1,4 MB (1.434 KB)") and can be set. Installs a factory with Qt's
// accessibility once; every later call does nothing.
void InstallSizeSliderAccessibility();

}  // namespace zirared
