#include "piece_probe.h"

#include "path_queries.h"
#include "piece_set.h"

namespace zirared {

bool StartsLikeAPiece(const QByteArray& path) {
    // The file a link names decides; the file layer opens nothing but a regular file.
    const std::optional<std::string> resolved = ResolvedPath(path.toStdString());
    return resolved && StartsWithMagic(LeadingBytes(*resolved, kMagic.size()).value_or(""));
}

}  // namespace zirared
