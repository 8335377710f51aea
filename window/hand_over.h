#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <optional>

class QLocalSocket;

namespace zirared {

// A second start with a file hands the file to the running copy over a local socket in the
// user's private folder. One request: the path's length in bytes (4 bytes, big-endian) and
// the path as the file system names it (any bytes but NUL, not necessarily UTF-8); the
// running copy answers with one receipt byte once it has the path.

// An absolute path on this system never needs more (PATH_MAX, NUL included).
inline constexpr quint32 kMaxHandOverPathBytes = 4096;

// The socket's path in `privateFolder` (see UserPrivateFolder), or empty without one: then
// no file is handed over.
QString HandOverSocketPath(const QString& privateFolder);

// The path a request carries, or nothing when it is not an absolute path: a NUL byte, a
// relative path, or an empty one.
std::optional<QByteArray> DecodeHandOverPath(const QByteArray& payload);

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
    void fileRequested(const QByteArray& path);

private:
    void AcceptConnections();
    void ReadRequest(QLocalSocket* socket);

    QLocalServer m_server;
};

// Sends `absolutePath` (the file system's bytes) to the copy listening at `socketPath`,
// waiting up to `timeoutMs` for it to listen (it may still be starting) and to confirm. True
// once it has the path.
bool HandOverFile(const QString& socketPath, const QByteArray& absolutePath, int timeoutMs);

}  // namespace zirared
