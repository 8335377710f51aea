#pragma once

#include <QString>

namespace zirared {

// Size label for a slider value: megabytes with one decimal, then the kilobytes
// (megabytes × 1024) grouped in thousands, both in the default locale's number format,
// e.g. "1,4 MB (1.434 KB)" in Italian.
QString SizeLabelText(int sliderValue);

}  // namespace zirared
