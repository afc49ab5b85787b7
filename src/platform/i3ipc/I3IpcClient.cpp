#include "platform/i3ipc/I3IpcClient.h"

#include "platform/UniqueFd.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonParseError>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace {

constexpr char magic[] = "i3-ipc";
constexpr int magicSize = 6;

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Waits for the socket to be ready for events; false when the deadline passes first.
bool waitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    pollfd ready{fd, events, 0};
    int result = 0;
    do {
        result = ::poll(&ready, 1, int(deadline.remainingTime()));
    } while (result < 0 && errno == EINTR);
    return result > 0;
}

} // namespace

I3IpcClient::I3IpcClient(QString socketPath)
    : m_socketPath(std::move(socketPath))
{
}

QString I3IpcClient::socketFromEnvironment()
{
    for (const char *name : {"SWAYSOCK", "I3SOCK"}) {
        const QString path = qEnvironmentVariable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QByteArray I3IpcClient::encode(MessageType type, const QByteArray &payload)
{
    const quint32 length = quint32(payload.size());
    const quint32 kind = type;
    QByteArray message(magic, magicSize);
    message.append(reinterpret_cast<const char *>(&length), sizeof length);
    message.append(reinterpret_cast<const char *>(&kind), sizeof kind);
    message.append(payload);
    return message;
}

quint32 I3IpcClient::payloadLength(const QByteArray &header, MessageType asked, QString *error)
{
    if (header.size() != headerSize || !header.startsWith(QByteArray(magic, magicSize))) {
        *error = tr("the answer is not an i3 IPC message");
        return 0;
    }
    // The fields are in the host's byte order. They are copied byte by byte through at():
    // GCC 12's bounds check under the sanitizers takes any QByteArray::constData() for the
    // one-byte array behind an empty QByteArray and rejects a four-byte memcpy from it.
    const auto field = [&header](qsizetype at) {
        std::array<char, sizeof(quint32)> bytes{};
        for (qsizetype i = 0; i < qsizetype(bytes.size()); ++i)
            bytes[size_t(i)] = header.at(at + i);
        quint32 value = 0;
        std::memcpy(&value, bytes.data(), sizeof value);
        return value;
    };
    const quint32 length = field(magicSize);
    const quint32 type = field(magicSize + qsizetype(sizeof(quint32)));
    if (type != asked) {
        *error = tr("the answer is of type %1, not %2").arg(type).arg(quint32(asked));
        return 0;
    }
    if (length > maxPayload) {
        *error = tr("the answer of %L1 bytes is larger than %L2").arg(length).arg(maxPayload);
        return 0;
    }
    return length;
}

I3IpcClient::Reply I3IpcClient::request(MessageType type, const QByteArray &payload) const
{
    const QByteArray path = QFile::encodeName(m_socketPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || path.size() >= qsizetype(sizeof address.sun_path))
        return {{}, tr("the socket path %1 is empty or too long").arg(m_socketPath)};
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));

    const UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket.isValid())
        return {{}, tr("no socket: %1").arg(errorText(errno))};
    const QDeadlineTimer deadline(timeoutMs);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const int error = errno;
        if (error != EINPROGRESS || !waitFor(socket.get(), POLLOUT, deadline))
            return {{}, tr("cannot connect to %1: %2").arg(m_socketPath, errorText(error))};
        int pending = 0;
        socklen_t size = sizeof pending;
        if (::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &pending, &size) != 0 || pending != 0)
            return {{}, tr("cannot connect to %1: %2").arg(m_socketPath, errorText(pending))};
    }

    const QByteArray message = encode(type, payload);
    for (qsizetype sent = 0; sent < message.size();) {
        const ssize_t written
            = ::send(socket.get(), message.constData() + sent, size_t(message.size() - sent), MSG_NOSIGNAL);
        if (written > 0) {
            sent += written;
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return {{}, tr("cannot send to %1: %2").arg(m_socketPath, errorText(errno))};
        } else if (!waitFor(socket.get(), POLLOUT, deadline)) {
            return {{}, tr("%1 took more than %L2 ms to answer").arg(m_socketPath).arg(timeoutMs)};
        }
    }

    // The header, then exactly as many bytes as it announces.
    QByteArray received;
    qsizetype wanted = headerSize;
    bool headerRead = false;
    while (received.size() < wanted) {
        char buffer[4096];
        const ssize_t count
            = ::recv(socket.get(), buffer, size_t(std::min<qsizetype>(sizeof buffer, wanted - received.size())), 0);
        if (count > 0) {
            received.append(buffer, count);
        } else if (count == 0) {
            return {{}, tr("%1 ended the answer after %L2 bytes").arg(m_socketPath).arg(received.size())};
        } else if (errno != EAGAIN && errno != EINTR) {
            return {{}, tr("cannot read from %1: %2").arg(m_socketPath, errorText(errno))};
        } else if (!waitFor(socket.get(), POLLIN, deadline)) {
            return {{}, tr("%1 took more than %L2 ms to answer").arg(m_socketPath).arg(timeoutMs)};
        }
        if (!headerRead && received.size() == headerSize) {
            QString error;
            const quint32 length = payloadLength(received, type, &error);
            if (!error.isEmpty())
                return {{}, error};
            headerRead = true;
            wanted = headerSize + qsizetype(length);
        }
    }

    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(received.mid(headerSize), &parsed);
    if (parsed.error != QJsonParseError::NoError)
        return {{}, tr("the answer is not JSON: %1").arg(parsed.errorString())};
    return {document, {}};
}
