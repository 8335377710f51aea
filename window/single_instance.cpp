#include "single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace zirared {

namespace {

constexpr const char* kLockFileName = "zirared.lock";

}  // namespace

QString SingleInstanceLockDirectory() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

std::unique_ptr<QLockFile> TryLockSingleInstance(const QString& directory) {
    auto lock = std::make_unique<QLockFile>(QDir(directory).filePath(QLatin1String(kLockFileName)));
    // A running copy may hold the lock for days: only a dead holder makes it stale, never
    // its age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        return lock;
    }
    if (lock->error() == QLockFile::LockFailedError) {
        return nullptr;
    }
    return lock;
}

}  // namespace zirared
