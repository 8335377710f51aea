#include "single_instance.h"

#include <QDir>

namespace zirared {

namespace {

constexpr const char* kLockFileName = "zirared.lock";

}  // namespace

std::unique_ptr<QLockFile> TryLockSingleInstance(const QString& privateFolder) {
    if (privateFolder.isEmpty()) {
        // A lock in a folder others can write to would let them keep the window from starting.
        return std::make_unique<QLockFile>(QString());
    }
    auto lock =
        std::make_unique<QLockFile>(QDir(privateFolder).filePath(QLatin1String(kLockFileName)));
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
