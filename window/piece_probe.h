#pragma once

#include <QString>

namespace zirared {

// True when `path` names a regular file (links followed) that opens with the piece magic.
// Never blocks and never opens anything but a regular file.
bool StartsLikeAPiece(const QString& path);

}  // namespace zirared
