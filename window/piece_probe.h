#pragma once

#include <QByteArray>

namespace zirared {

// True when `path` (the file system's bytes) names a regular file (links followed) that opens with
// the piece magic. Never blocks and never opens anything but a regular file.
bool StartsLikeAPiece(const QByteArray& path);

}  // namespace zirared
