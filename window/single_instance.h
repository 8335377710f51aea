#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace zirared {

// Takes the program's lock in `privateFolder` (see UserPrivateFolder). Null when a running
// copy holds it. A lock left behind by a copy that died is taken over. Without a private
// folder (empty), or when the lock cannot be made at all, the start is not refused: the
// returned object then holds no lock.
std::unique_ptr<QLockFile> TryLockSingleInstance(const QString& privateFolder);

}  // namespace zirared
