#include "piece_probe.h"

#include <QFile>

#include "file_layer.h"
#include "piece_set.h"

namespace zirared {

bool StartsLikeAPiece(const QString& path) {
    // The file a link names decides; the file layer opens nothing but a regular file. The name
    // reaches the engine in the file system's encoding, as the operation that follows gets it.
    const std::optional<std::string> resolved = ResolvedPath(QFile::encodeName(path).toStdString());
    return resolved && StartsWithMagic(LeadingBytes(*resolved, kMagic.size()));
}

}  // namespace zirared
