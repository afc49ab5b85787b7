#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

const QByteArray showMessage = QByteArrayLiteral("show\n");
// A peer that sends this much without a line break is not one of ours.
constexpr qsizetype maxPending = 64;

// Without a runtime folder the names go into the shared temporary folder, so they carry
// the user id to keep users apart.
QString pathStem()
{
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty() && QFileInfo(runtimeDir).isDir())
        return runtimeDir + QStringLiteral("/orvanta");
    return QDir::tempPath() + QStringLiteral("/orvanta-") + QString::number(::getuid());
}

// Only a pipe of our own is trusted: in a shared folder someone else could have put
// anything under the name.
bool isOwnPipe(int fd)
{
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode) && info.st_uid == ::getuid();
}

} // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
    , m_lockPath(pathStem() + QStringLiteral(".lock"))
    , m_pipePath(pathStem() + QStringLiteral(".pipe"))
    , m_lock(m_lockPath)
{
    // The lock is held for the whole run: only a dead owner makes it stale, never its age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_pipe >= 0)
        ::close(m_pipe);
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
    listen();
    return true;
}

void SingleInstance::listen()
{
    // Holding the lock, whatever lies under the pipe's name was left by a crashed instance.
    const QByteArray path = QFile::encodeName(m_pipePath);
    ::unlink(path.constData());
    if (::mkfifo(path.constData(), 0600) != 0)
        return;
    // Opened for writing too, so the pipe never reads as closed between two launches.
    m_pipe = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_pipe < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &SingleInstance::readRequests);
}

void SingleInstance::readRequests()
{
    char buffer[256];
    ssize_t n;
    while ((n = ::read(m_pipe, buffer, sizeof buffer)) > 0)
        m_pending.append(buffer, n);
    for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
        if (m_pending.first(end + 1) == showMessage)
            emit showRequested();
        m_pending.remove(0, end + 1);
    }
    if (m_pending.size() > maxPending)
        m_pending.clear();
}

void SingleInstance::askPrimaryToShow() const
{
    // Without a reader (a primary still starting, or one without a pipe) this fails at
    // once instead of waiting.
    const int fd = ::open(QFile::encodeName(m_pipePath).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    // Writes of this size to a pipe are atomic: requests of two launches never mix.
    if (isOwnPipe(fd))
        while (::write(fd, showMessage.constData(), size_t(showMessage.size())) < 0 && errno == EINTR) { }
    ::close(fd);
}
