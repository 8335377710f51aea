#include "hand_over.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <array>

namespace zirared {

namespace {

constexpr const char* kSocketName = "zirared.socket";
constexpr qsizetype kLengthBytes = 4;
constexpr char kReceipt = '\x06';
// A client that connects and then says nothing, or too little, is cut off.
constexpr int kRequestTimeoutMs = 5000;
constexpr unsigned long kConnectRetryMs = 100;

// Root passes every permission check, and a socket's own bits are not honoured
// everywhere: the kernel's word on who is at the other end is the one that counts.
bool PeerIsThisUser(const QLocalSocket& socket) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                   &credentials, &size) != 0) {
        return false;
    }
    return credentials.uid == geteuid();
}

}  // namespace

QString HandOverSocketPath(const QString& privateFolder) {
    return privateFolder.isEmpty() ? QString()
                                   : QDir(privateFolder).filePath(QLatin1String(kSocketName));
}

std::optional<QByteArray> DecodeHandOverPath(const QByteArray& payload) {
    // Bytes as the file system has them: a name need not be valid UTF-8.
    if (!payload.startsWith('/') || payload.contains('\0')) {
        return std::nullopt;
    }
    return payload;
}

HandOverServer::HandOverServer(QObject* parent) : QObject(parent) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.setMaxPendingConnections(4);
    connect(&m_server, &QLocalServer::newConnection, this, &HandOverServer::AcceptConnections);
}

bool HandOverServer::Listen(const QString& socketPath) {
    if (socketPath.isEmpty()) {
        return false;
    }
    QLocalServer::removeServer(socketPath);
    return m_server.listen(socketPath);
}

void HandOverServer::AcceptConnections() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(*socket)) {
            socket->abort();
            continue;
        }
        // Never more than one request's worth is buffered, whatever the client sends.
        socket->setReadBufferSize(kLengthBytes + kMaxHandOverPathBytes);
        QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
        if (socket->bytesAvailable() > 0) {
            ReadRequest(socket);
        }
    }
}

void HandOverServer::ReadRequest(QLocalSocket* socket) {
    if (socket->bytesAvailable() < kLengthBytes) {
        return;
    }
    std::array<char, kLengthBytes> lengthBytes{};
    socket->peek(lengthBytes.data(), kLengthBytes);
    const quint32 length = qFromBigEndian<quint32>(lengthBytes.data());
    if (length == 0 || length > kMaxHandOverPathBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < kLengthBytes + length) {
        return;
    }
    socket->skip(kLengthBytes);
    const std::optional<QByteArray> path = DecodeHandOverPath(socket->read(length));
    if (!path) {
        socket->abort();
        return;
    }
    // One request per connection; the receipt says it arrived, not what became of it.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write(&kReceipt, 1);
    socket->disconnectFromServer();
    // An operation may follow and let events through for minutes: it runs from the event
    // loop, as a drop does, not inside this socket's signal.
    QMetaObject::invokeMethod(
        this, [this, requested = *path] { emit fileRequested(requested); }, Qt::QueuedConnection);
}

bool HandOverFile(const QString& socketPath, const QByteArray& absolutePath, int timeoutMs) {
    if (socketPath.isEmpty() || absolutePath.isEmpty() ||
        static_cast<quint64>(absolutePath.size()) > kMaxHandOverPathBytes) {
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    auto remainingMs = [&deadline] { return static_cast<int>(deadline.remainingTime()); };
    QLocalSocket socket;
    // The running copy takes its lock before it listens: a start in between waits.
    for (;;) {
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(remainingMs())) {
            break;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(kConnectRetryMs);
    }
    QByteArray request(kLengthBytes, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(absolutePath.size()), request.data());
    request.append(absolutePath);
    socket.write(request);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(remainingMs())) {
            return false;
        }
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(remainingMs())) {
            return false;
        }
    }
    char receipt = 0;
    return socket.getChar(&receipt) && receipt == kReceipt;
}

}  // namespace zirared
