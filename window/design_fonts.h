#pragma once

#include <QFont>

namespace zirared {

// Arial where installed, else the metric-compatible Liberation Sans.
QFont ArialFont(double pointSize, bool bold = false);
// Verdana where installed, else DejaVu Sans (same design family, same proportions).
QFont VerdanaFont(double pointSize, bool italic = false);

}  // namespace zirared
