#include "hand_over.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <thread>

namespace zirared {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kSocketName = "zirared.socket";
constexpr qsizetype kLengthBytes = 4;
constexpr char kAccepted = '\x06';
constexpr char kRefused = '\x15';
// A refusal names the path once, each byte at most four characters long, in a short sentence.
constexpr qsizetype kMaxReplyBytes = 5 * kMaxHandOverPathBytes;
// A client that connects and then says nothing, or too little, is cut off.
constexpr int kRequestTimeoutMs = 5000;
constexpr std::chrono::milliseconds kConnectRetry{50};

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

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd polled{fd, events, 0};
        const int ready =
            ::poll(&polled, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready != -1 || errno != EINTR) {
            return ready > 0;
        }
    }
}

// The copy holding the lock may not listen yet, or its queue may be full: it is asked again
// until the deadline.
int Connect(const QByteArray& socketPath, Clock::time_point deadline) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
        return -1;
    }
    std::memcpy(address.sun_path, socketPath.constData(), socketPath.size());
    for (;;) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            return -1;
        }
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        const int error = errno;
        ::close(fd);
        const bool worthRetrying = error == ENOENT || error == ECONNREFUSED || error == EAGAIN;
        if (!worthRetrying || Clock::now() + kConnectRetry >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(kConnectRetry);
    }
}

bool SendAll(int fd, const QByteArray& bytes, Clock::time_point deadline) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t done = ::send(fd, bytes.constData() + sent,
                                    static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (done > 0) {
            sent += done;
        } else if (done == 0 || (errno != EAGAIN && errno != EINTR) ||
                   !WaitFor(fd, POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

// Everything the other end says before it hangs up; nothing when the deadline comes first.
std::optional<QByteArray> ReceiveAll(int fd, Clock::time_point deadline) {
    QByteArray received;
    std::array<char, 1024> buffer{};
    for (;;) {
        const ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (got == 0) {
            return received;
        }
        if (got > 0) {
            received.append(buffer.data(), got);
            if (received.size() > kMaxReplyBytes) {
                return std::nullopt;
            }
        } else if ((errno != EAGAIN && errno != EINTR) || !WaitFor(fd, POLLIN, deadline)) {
            return std::nullopt;
        }
    }
}

}  // namespace

QString HandOverSocketPath(const QString& privateFolder) {
    return privateFolder.isEmpty() ? QString()
                                   : QDir(privateFolder).filePath(QLatin1String(kSocketName));
}

std::optional<QByteArray> DecodeHandOverPath(const QByteArray& payload) {
    // Bytes as the file system has them: a name need not be valid UTF-8.
    if (payload.isEmpty()) {
        return payload;
    }
    if (!payload.startsWith('/') || payload.contains('\0')) {
        return std::nullopt;
    }
    return payload;
}

HandOverServer::HandOverServer(Receiver receiver, QObject* parent)
    : QObject(parent), m_receiver(std::move(receiver)) {
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
    if (length > kMaxHandOverPathBytes) {
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
    // One request per connection, answered before anything else happens: what the request
    // starts runs later, from the event loop, as a drop does.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    const QString refusal = m_receiver(*path);
    socket->write(refusal.isEmpty() ? QByteArray(1, kAccepted)
                                    : QByteArray(1, kRefused) + refusal.toUtf8());
    socket->disconnectFromServer();
}

HandOverResult HandOverFile(const QString& socketPath, const QByteArray& absolutePath,
                            std::chrono::milliseconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    if (socketPath.isEmpty() || static_cast<quint64>(absolutePath.size()) > kMaxHandOverPathBytes) {
        return {};
    }
    const Descriptor socket(Connect(QFile::encodeName(socketPath), deadline));
    if (socket.get() < 0) {
        return {};
    }
    QByteArray request(kLengthBytes, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(absolutePath.size()), request.data());
    request.append(absolutePath);
    if (!SendAll(socket.get(), request, deadline)) {
        return {};
    }
    const std::optional<QByteArray> reply = ReceiveAll(socket.get(), deadline);
    if (!reply || reply->isEmpty()) {
        return {};
    }
    if (reply->front() == kAccepted) {
        return {HandOverOutcome::Accepted, {}};
    }
    if (reply->front() == kRefused) {
        return {HandOverOutcome::Refused, QString::fromUtf8(reply->mid(1))};
    }
    return {};
}

}  // namespace zirared
