#include "private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QtGlobal>
#include <cerrno>

namespace zirared {

namespace {

constexpr mode_t kPrivateMode = 0700;

// lstat: a link, even to a good folder, could be pointed elsewhere by whoever owns it.
bool IsPrivateFolder(const QByteArray& path) {
    struct stat status {};
    return lstat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & 07777) == kPrivateMode;
}

// A folder that exists already is never changed: its owner or mode may be someone
// else's doing, and it is then simply not used.
bool MakeFolder(const QByteArray& path) {
    return mkdir(path.constData(), kPrivateMode) == 0 || errno == EEXIST;
}

QByteArray VariableOr(const char* name, const QByteArray& fallback) {
    const QByteArray value = qgetenv(name);
    return value.startsWith('/') ? value : fallback;
}

}  // namespace

QString FirstPrivateFolder(const std::vector<FolderCandidate>& candidates) {
    for (const FolderCandidate& candidate : candidates) {
        // Qt's lock file and socket take the name as text: it must come back as the same bytes.
        const QString name = QFile::decodeName(candidate.path);
        if (candidate.path.isEmpty() || QFile::encodeName(name) != candidate.path) {
            continue;
        }
        if (candidate.create && !MakeFolder(candidate.path)) {
            continue;
        }
        if (IsPrivateFolder(candidate.path)) {
            return name;
        }
    }
    return {};
}

QString UserPrivateFolder() {
    const QByteArray uid = QByteArray::number(static_cast<qulonglong>(geteuid()));
    const QByteArray home = qgetenv("HOME");
    const QByteArray cacheHome =
        VariableOr("XDG_CACHE_HOME", home.startsWith('/') ? home + "/.cache" : QByteArray());
    return FirstPrivateFolder({
        {VariableOr("XDG_RUNTIME_DIR", {}), false},
        {VariableOr("TMPDIR", "/tmp") + "/zirared-" + uid, true},
        {cacheHome.isEmpty() ? QByteArray() : cacheHome + "/zirared", true},
    });
}

}  // namespace zirared
