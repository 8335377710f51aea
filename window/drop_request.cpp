#include "drop_request.h"

#include <sys/stat.h>

#include <cerrno>

#include "file_error.h"
#include "shown_name.h"
#include "window_host.h"

namespace zirared {

namespace {

// The name's bytes as the sender percent-encoded them: toLocalFile() would turn a byte that
// is not UTF-8 into U+FFFD and name another file.
QByteArray LocalFileName(const QUrl& url) {
    if (!url.isLocalFile() ||
        !(url.host().isEmpty() || url.host() == QStringLiteral("localhost"))) {
        return {};
    }
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

QString Shown(const QByteArray& path) {
    return QString::fromStdString(ShownName(path.toStdString()));
}

}  // namespace

QString BusyRefusal() {
    return QStringLiteral("Attendere la fine dell'operazione in corso.");
}

DropVerdict ClassifyDrop(const QList<QUrl>& urls) {
    if (urls.size() != 1) {
        return {{}, QStringLiteral("Rilasciare un solo file alla volta.")};
    }
    const QByteArray path = LocalFileName(urls.front());
    if (path.isEmpty()) {
        return {{}, QStringLiteral("Rilasciare un file presente sul disco.")};
    }
    return ClassifyDroppedFile(path);
}

DropVerdict ClassifyDroppedFile(const QByteArray& path) {
    // stat, not open: a FIFO or a device must never be opened on someone's word.
    struct stat status {};
    const int error = path.isEmpty() || path.contains('\0')  ? ENOENT
                      : stat(path.constData(), &status) != 0 ? errno
                                                             : 0;
    if (error == ENOENT) {
        return {{}, QStringLiteral("Il file %1 non esiste.").arg(Shown(path))};
    }
    if (error != 0) {
        return {{}, FromEngineText(SystemError(error, path.toStdString()).Description())};
    }
    if (S_ISDIR(status.st_mode)) {
        return {{}, QStringLiteral("%1 è una cartella.").arg(Shown(path))};
    }
    if (!S_ISREG(status.st_mode)) {
        return {{}, QStringLiteral("%1 non è un file ordinario.").arg(Shown(path))};
    }
    return {path, {}};
}

}  // namespace zirared
