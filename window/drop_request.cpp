#include "drop_request.h"

#include <QFileInfo>

namespace zirared {

DropVerdict ClassifyDrop(const QList<QUrl>& urls) {
    if (urls.size() != 1) {
        return {{}, QStringLiteral("Rilasciare un solo file alla volta.")};
    }
    const QUrl& url = urls.front();
    if (!url.isLocalFile()) {
        return {{}, QStringLiteral("Rilasciare un file presente sul disco.")};
    }
    const QFileInfo info(url.toLocalFile());
    if (info.isDir()) {
        return {{}, QStringLiteral("Rilasciare un file, non una cartella.")};
    }
    if (!info.exists()) {
        return {{}, QStringLiteral("Rilasciare un file presente sul disco.")};
    }
    return {info.filePath(), {}};
}

}  // namespace zirared
