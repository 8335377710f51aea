#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <optional>

class QLocalSocket;

namespace zirared {

// A second start with a file hands the file to the running copy over a local socket in the
// user's runtime folder. One request: the path's length in UTF-8 bytes (4 bytes, big-endian)
// and the path; the running copy answers with one receipt byte once it has the path.

// An absolute path on this system never needs more (PATH_MAX, NUL included).
inline constexpr quint32 kMaxHandOverPathBytes = 4096;

// The socket's path in `runtimeDirectory`, or empty when that folder is missing or open to
// anyone but its owner, the user running this program: then no file is handed over.
QString HandOverSocketPath(const QString& runtimeDirectory);
// The same in the user's runtime folder (XDG_RUNTIME_DIR).
QString HandOverSocketPath();

// The path a request carries, or nothing when it is not a well-formed absolute path:
// invalid UTF-8, a NUL character, a relative path, or an empty one.
std::optional<QString> DecodeHandOverPath(const QByteArray& payload);

// The running copy's end. A request is only a wish: the receiver checks the path like any
// dropped file.
class HandOverServer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HandOverServer)

public:
    explicit HandOverServer(QObject* parent = nullptr);

    // Listens at `socketPath`, taking over a socket left by a copy that died: the caller
    // holds the single-instance lock, so no living copy listens there.
    bool Listen(const QString& socketPath);

signals:
    void fileRequested(const QString& path);

private:
    void AcceptConnections();
    void ReadRequest(QLocalSocket* socket);

    QLocalServer m_server;
};

// Sends `absolutePath` to the copy listening at `socketPath`, waiting up to `timeoutMs` for
// it to listen (it may still be starting) and to confirm. True once it has the path.
bool HandOverFile(const QString& socketPath, const QString& absolutePath, int timeoutMs);

}  // namespace zirared
