#pragma once

#include <QFont>

namespace zirared {

// Arial 8.25 pt at 96 dpi, pinned to its 11-pixel size: the strip is laid out in fixed pixels,
// so a different screen resolution must not widen the tabs past the strip. No antialiasing and
// full hinting give whole-pixel advances and single-colour glyphs, which the fills rely on.
QFont StripFont(bool bold = false);

}  // namespace zirared
