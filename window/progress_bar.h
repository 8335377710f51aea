#pragma once

#include "prog_bar32.h"

namespace zirared {

// The class behind the window's ProgBar.
using ProgressBarClass = CProgBar32;

}  // namespace zirared
