#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace zirared {

// A place the program may keep its per-user lock and socket: a folder nobody else can enter
// or fill. `create`: made (mode 0700) when missing; otherwise used only as found.
struct FolderCandidate {
    QByteArray path;
    bool create = false;
};

// The first candidate that is a real folder (not a link), owned by the user running this
// program and of mode exactly 0700; empty when none is.
QString FirstPrivateFolder(const std::vector<FolderCandidate>& candidates);

// The user's private folder for the lock and the socket, tried in this order:
// $XDG_RUNTIME_DIR as found; $TMPDIR/zirared-UID (or /tmp); $XDG_CACHE_HOME/zirared (or
// ~/.cache/zirared). Empty when none qualifies: then the program runs without the
// single-instance lock and without hand-over, rather than use a name others can reach.
QString UserPrivateFolder();

}  // namespace zirared
