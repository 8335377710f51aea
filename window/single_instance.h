#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace zirared {

// Where the per-user lock lives: the runtime directory, or the temporary one without it.
QString SingleInstanceLockDirectory();

// Takes the program's lock in `directory`. Null when a running copy holds it. A lock left
// behind by a copy that died is taken over. When the lock cannot be made at all (a
// directory that cannot be written), the start is not refused: the returned object then
// holds no lock.
std::unique_ptr<QLockFile> TryLockSingleInstance(const QString& directory);

}  // namespace zirared
