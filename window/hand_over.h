#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

class QLocalSocket;

namespace zirared {

// A second start hands its file to the running copy over a local socket in the user's
// private folder. One request: the path's length in bytes (4 bytes, big-endian) and the path
// as the file system names it (any bytes but NUL, not necessarily UTF-8); length 0 asks the
// running copy only to come to the front. The running copy answers with one byte, accepted
// or refused, a refusal followed by its reason in UTF-8, and hangs up.

// An absolute path on this system never needs more (PATH_MAX, NUL included).
inline constexpr quint32 kMaxHandOverPathBytes = 4096;

// The socket's path in `privateFolder` (see UserPrivateFolder), or empty without one: then
// no file is handed over.
QString HandOverSocketPath(const QString& privateFolder);

// The path a request carries: empty for a request to come to the front, nothing when it is
// not an absolute path (a NUL byte, a relative path).
std::optional<QByteArray> DecodeHandOverPath(const QByteArray& payload);

// The running copy's end. A request is only a wish: `receiver` judges it (an empty path: come
// to the front) at once, without waiting for the user, and returns the reason it is refused,
// or an empty text when it is taken.
class HandOverServer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HandOverServer)

public:
    using Receiver = std::function<QString(const QByteArray& path)>;

    explicit HandOverServer(Receiver receiver, QObject* parent = nullptr);

    // Listens at `socketPath`, taking over a socket left by a copy that died: the caller
    // holds the single-instance lock, so no living copy listens there.
    bool Listen(const QString& socketPath);

private:
    void AcceptConnections();
    void ReadRequest(QLocalSocket* socket);

    Receiver m_receiver;
    QLocalServer m_server;
};

enum class HandOverOutcome { Accepted, Refused, NoAnswer };

struct HandOverResult {
    HandOverOutcome outcome = HandOverOutcome::NoAnswer;
    QString refusal;  // the running copy's reason, for Refused
};

// Sends `absolutePath` (the file system's bytes; empty: come to the front) to the copy
// listening at `socketPath` and waits for its answer, for no longer than `limit` in all: the
// copy may still be starting, and may not answer at all. Needs no display and no
// QCoreApplication.
HandOverResult HandOverFile(const QString& socketPath, const QByteArray& absolutePath,
                            std::chrono::milliseconds limit);

}  // namespace zirared
