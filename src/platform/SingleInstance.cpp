#include "SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

#include <unistd.h>

namespace {

constexpr int socketWaitMs = 1000;
const QByteArray showMessage = QByteArrayLiteral("show\n");

// Without a runtime folder the names go into the shared temporary folder, so they carry
// the user id to keep users apart.
QString pathStem()
{
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty() && QFileInfo(runtimeDir).isDir())
        return runtimeDir + QStringLiteral("/orvanta");
    return QDir::tempPath() + QStringLiteral("/orvanta-") + QString::number(::getuid());
}

} // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
    , m_lockPath(pathStem() + QStringLiteral(".lock"))
    , m_socketPath(pathStem() + QStringLiteral(".socket"))
    , m_lock(m_lockPath)
{
    // The lock is held for the whole run: only a dead owner makes it stale, never its age.
    m_lock.setStaleLockTime(0);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

bool SingleInstance::tryBecomePrimary()
{
    if (m_lock.isLocked())
        return true;
    // QLockFile removes a lock whose owner process is gone.
    if (!m_lock.tryLock(0)) {
        if (m_lock.error() == QLockFile::LockFailedError) {
            askPrimaryToShow();
            return false;
        }
        // The lock cannot be made at all (no writable folder): better to run than not to start.
        return true;
    }
    // Holding the lock, any socket left behind belongs to a crashed instance.
    QLocalServer::removeServer(m_socketPath);
    m_server.listen(m_socketPath);
    return true;
}

void SingleInstance::askPrimaryToShow() const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(socketWaitMs))
        return;
    socket.write(showMessage);
    socket.waitForBytesWritten(socketWaitMs);
    socket.disconnectFromServer();
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine(64) == showMessage)
                    emit showRequested();
            }
            // A peer that sends no line is not one of ours.
            if (socket->bytesAvailable() > 64)
                socket->abort();
        });
    }
}
