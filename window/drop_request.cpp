#include "drop_request.h"

#include <sys/stat.h>

namespace zirared {

namespace {

const QString kNotOnDisk = QStringLiteral("Rilasciare un file presente sul disco.");

// The name's bytes as the sender percent-encoded them: toLocalFile() would turn a byte that
// is not UTF-8 into U+FFFD and name another file.
QByteArray LocalFileName(const QUrl& url) {
    if (!url.isLocalFile() ||
        !(url.host().isEmpty() || url.host() == QStringLiteral("localhost"))) {
        return {};
    }
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

}  // namespace

DropVerdict ClassifyDrop(const QList<QUrl>& urls) {
    if (urls.size() != 1) {
        return {{}, QStringLiteral("Rilasciare un solo file alla volta.")};
    }
    const QByteArray path = LocalFileName(urls.front());
    if (path.isEmpty()) {
        return {{}, kNotOnDisk};
    }
    return ClassifyDroppedFile(path);
}

DropVerdict ClassifyDroppedFile(const QByteArray& path) {
    struct stat status {};
    if (path.isEmpty() || path.contains('\0') || stat(path.constData(), &status) != 0) {
        return {{}, kNotOnDisk};
    }
    if (S_ISDIR(status.st_mode)) {
        return {{}, QStringLiteral("Rilasciare un file, non una cartella.")};
    }
    return {path, {}};
}

}  // namespace zirared
