#include "platform/SingleInstance.h"

#include "core/SafeFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QStringList>
#include <QSysInfo>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <thread>

namespace {

// A peer that sends this much without a line break is not one of ours.
constexpr qsizetype maxPending = InstanceRequest::kMaxLineLength;
// What one turn of the event loop reads from the pipe.
constexpr size_t readChunk = 4096;
constexpr char lockName[] = "lock";
constexpr char pipeName[] = "pipe";
constexpr char storeLockName[] = "instance.lock";
// What a holder of the store's lock writes about itself is at most this long.
constexpr qsizetype maxHolderBytes = 1024;
// Launches at the same moment hold the folder for a few milliseconds each; one that holds it
// this long is stuck.
constexpr int turnWaitMs = 3000;
// How long a later launch waits for room in the pipe of a busy primary instance.
constexpr int writeWaitMs = 1000;

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why an opened folder is no place for the lock, or nothing when it is one: a directory of
// this user's that nobody else may enter and that this user can write.
QString privacyProblem(int folder)
{
    struct stat info;
    if (::fstat(folder, &info) != 0)
        return errorText(errno);
    if (!S_ISDIR(info.st_mode))
        return SingleInstance::tr("not a folder");
    if (info.st_uid != ::geteuid())
        return SingleInstance::tr("owned by user %1").arg(info.st_uid);
    if ((info.st_mode & 07777) != 0700)
        return SingleInstance::tr("mode %1, not 0700").arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    if (::faccessat(folder, ".", W_OK | X_OK, 0) != 0)
        return errorText(errno);
    return {};
}

// The folder `name` in `parent`, made with mode 0700 unless it exists. It is opened without
// following a symbolic link and checked through the opened descriptor, so it cannot be swapped
// between the check and its use. On failure, says why in `problem`.
UniqueFd openPrivateFolder(const QString &parent, const QString &name, bool parentMustBePrivate, QString &problem)
{
    const QString path = parent + u'/' + name;
    const UniqueFd parentFd(::open(QFile::encodeName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parentFd.isValid()) {
        const int error = errno;
        problem = QStringLiteral("%1: %2").arg(parent, errorText(error));
        return {};
    }
    if (parentMustBePrivate) {
        const QString why = privacyProblem(parentFd.get());
        if (!why.isEmpty()) {
            problem = QStringLiteral("%1: %2").arg(parent, why);
            return {};
        }
    }
    const QByteArray encoded = QFile::encodeName(name);
    if (::mkdirat(parentFd.get(), encoded.constData(), 0700) != 0 && errno != EEXIST) {
        const int error = errno;
        problem = QStringLiteral("%1: %2").arg(path, errorText(error));
        return {};
    }
    UniqueFd folder(::openat(parentFd.get(), encoded.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const int error = errno;
    const QString why = !folder.isValid() ? (error == ELOOP ? SingleInstance::tr("a symbolic link") : errorText(error))
                                          : privacyProblem(folder.get());
    if (!why.isEmpty()) {
        problem = QStringLiteral("%1: %2").arg(path, why);
        return {};
    }
    return folder;
}

// Removes a file or an empty folder; true when nothing is left under the name.
bool removeEntry(int folder, const char *name)
{
    if (::unlinkat(folder, name, 0) == 0 || errno == ENOENT)
        return true;
    return errno == EISDIR && ::unlinkat(folder, name, AT_REMOVEDIR) == 0;
}

// Launches at the same moment take turns holding the folder, so that none of them looks at
// the lock or the pipe while another one replaces or makes them. Returns 0 or the error.
int takeTurn(int folder)
{
    const QDeadlineTimer deadline(turnWaitMs);
    while (::flock(folder, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error != EWOULDBLOCK || deadline.hasExpired())
            return error;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 0;
}

// The lines of what a file holds, without their line breaks; a last line without one is left out.
QList<QByteArrayView> lines(QByteArrayView text)
{
    QList<QByteArrayView> found;
    for (qsizetype end; (end = text.indexOf('\n')) >= 0; text = text.sliced(end + 1))
        found.append(text.first(end));
    return found;
}

bool isPrintable(QByteArrayView line)
{
    return !line.isEmpty()
        && std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) >= 0x20 && c != 0x7f; });
}

// Writes one request. Requests of this size are written whole or not at all, so requests of
// two launches never mix; a full pipe is given a moment to drain.
bool writeRequest(int pipe, const QByteArray &line)
{
    static_assert(maxPending + 1 <= PIPE_BUF, "a request is written to the pipe in one piece");
    const QDeadlineTimer deadline(writeWaitMs);
    for (;;) {
        if (::write(pipe, line.constData(), size_t(line.size())) == line.size())
            return true;
        if (errno == EINTR)
            continue;
        pollfd room{pipe, POLLOUT, 0};
        if (errno != EAGAIN || deadline.hasExpired() || ::poll(&room, 1, int(deadline.remainingTime())) <= 0)
            return false;
    }
}

} // namespace

SingleInstance::SingleInstance(const QString &storeFolder, QObject *parent)
    : QObject(parent)
    , m_storeFolder(storeFolder)
{
    openFolder();
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFilePath() const
{
    return m_folderPath.isEmpty() ? QString() : m_folderPath + u'/' + QLatin1String(lockName);
}

QString SingleInstance::pipePath() const
{
    return m_folderPath.isEmpty() ? QString() : m_folderPath + u'/' + QLatin1String(pipeName);
}

QString SingleInstance::storeLockPath() const
{
    return m_storeFolder + u'/' + QLatin1String(storeLockName);
}

void SingleInstance::openFolder()
{
    QStringList problems;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty()) {
        problems << tr("XDG_RUNTIME_DIR is not set");
    } else if (!QDir::isAbsolutePath(runtime)) {
        problems << tr("XDG_RUNTIME_DIR is not an absolute path");
    } else {
        QString problem;
        m_folder = openPrivateFolder(runtime, QStringLiteral("orvanta"), true, problem);
        if (m_folder.isValid()) {
            m_folderPath = runtime + QStringLiteral("/orvanta");
            return;
        }
        problems << problem;
    }
    // The temporary folder is shared: the folder's name carries the user id, and it is used only
    // when it is this user's own.
    const QString name = QStringLiteral("orvanta-") + QString::number(::geteuid());
    QString problem;
    m_folder = openPrivateFolder(QDir::tempPath(), name, false, problem);
    if (m_folder.isValid()) {
        m_folderPath = QDir::tempPath() + u'/' + name;
        return;
    }
    problems << problem;
    m_error = tr("Orvanta will not start: it found no private folder for its lock, so it cannot make sure that it "
                 "is the only copy writing your settings (%1).")
                  .arg(problems.join(QStringLiteral("; ")));
}

bool SingleInstance::tryBecomePrimary(const InstanceRequest &request)
{
    if (m_lock.isValid())
        return true;
    if (!m_folder.isValid())
        return false;
    m_error.clear();
    if (const int error = takeTurn(m_folder.get())) {
        m_error = error == EWOULDBLOCK
            ? tr("Orvanta will not start: another launch has held %1 for %2 seconds.")
                  .arg(m_folderPath)
                  .arg(turnWaitMs / 1000)
            : tr("Orvanta will not start: it cannot lock %1 (%2).").arg(m_folderPath, errorText(error));
        return false;
    }
    const auto endTurn = qScopeGuard([this] { ::flock(m_folder.get(), LOCK_UN); });
    UniqueFd lock;
    switch (takeLock(m_folder.get(), lockName, lockFilePath(), lock)) {
    case Lock::Taken:
        if (!takeStoreLock())
            return false;
        m_lock = std::move(lock);
        listen();
        return true;
    case Lock::Held: askPrimary(request); return false;
    case Lock::Failed: return false;
    }
    Q_UNREACHABLE();
}

SingleInstance::Lock SingleInstance::takeLock(int folder, const char *name, const QString &path, UniqueFd &lock)
{
    // The lock a running copy holds is always a plain file of this user's that the user can
    // open. Whatever else lies under its name (another user's file, one that cannot be opened,
    // a link, a folder) is left over from something else, and is replaced once.
    for (int attempt = 0;; ++attempt) {
        UniqueFd file(::openat(folder, name, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
        const int openError = errno;
        struct stat info;
        if (file.isValid() && ::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid()) {
            if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
                const int error = errno;
                if (error == EWOULDBLOCK) {
                    lock = std::move(file);
                    return Lock::Held;
                }
                m_error = tr("Orvanta will not start: it cannot lock %1 (%2).").arg(path, errorText(error));
                return Lock::Failed;
            }
            // Whatever the umask made of it, later launches must be able to open it and see it held.
            if (::fchmod(file.get(), 0600) != 0) {
                const int error = errno;
                m_error = tr("Orvanta will not start: it cannot set the mode of %1 (%2).").arg(path, errorText(error));
                return Lock::Failed;
            }
            lock = std::move(file);
            return Lock::Taken;
        }
        const QString why = file.isValid() ? tr("not a plain file of this user's") : errorText(openError);
        if (attempt > 0) {
            m_error = tr("Orvanta will not start: it cannot make the lock file %1 (%2).").arg(path, why);
            return Lock::Failed;
        }
        if (!removeEntry(folder, name)) {
            const int error = errno;
            m_error = tr("Orvanta will not start: %1 is not a lock file it can use (%2), and it cannot remove it (%3).")
                          .arg(path, why, errorText(error));
            return Lock::Failed;
        }
    }
}

bool SingleInstance::takeStoreLock()
{
    // Where the folder cannot be made or written, no copy can write the settings either.
    if (!SafeFile::makeFolders(m_storeFolder).isEmpty())
        return true;
    const UniqueFd folder(::open(QFile::encodeName(m_storeFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isValid() || ::faccessat(folder.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        return true;
    UniqueFd lock;
    switch (takeLock(folder.get(), storeLockName, storeLockPath(), lock)) {
    case Lock::Taken: break;
    case Lock::Failed: return false;
    case Lock::Held: {
        const QString store = QDir::toNativeSeparators(m_storeFolder);
        const QString holder = storeHolder(lock.get());
        m_error = holder.isEmpty()
            ? tr("Orvanta will not start: another copy already writes the settings in %1 from another session, and "
                 "this launch cannot reach it.")
                  .arg(store)
            : tr("Orvanta will not start: another copy (%1) already writes the settings in %2 from another session, "
                 "and this launch cannot reach it.")
                  .arg(holder, store);
        return false;
    }
    }
    // Only to name this copy to a launch that finds the lock held; a failure here costs nothing else.
    const QByteArray self = QByteArray::number(::getpid()) + '\n' + QSysInfo::machineHostName().toUtf8() + '\n'
        + QFile::encodeName(m_folderPath) + '\n';
    if (::ftruncate(lock.get(), 0) != 0
        || ::pwrite(lock.get(), self.constData(), size_t(self.size()), 0) != self.size())
        qWarning("%s",
                 qPrintable(tr("Orvanta cannot note its process in %1 (%2).").arg(storeLockPath(), errorText(errno))));
    m_storeLock = std::move(lock);
    return true;
}

// "process P on host H, lock folder F" from what the holder of the store's lock wrote about
// itself, each part only when it reads as one; empty when nothing does.
QString SingleInstance::storeHolder(int lock) const
{
    char buffer[maxHolderBytes];
    const ssize_t n = ::pread(lock, buffer, sizeof buffer, 0);
    if (n <= 0)
        return {};
    const QList<QByteArrayView> fields = lines(QByteArrayView(buffer, n));
    QStringList parts;
    bool isNumber = false;
    if (fields.size() > 0 && fields[0].toLongLong(&isNumber) > 0 && isNumber)
        parts << tr("process %1").arg(QString::fromLatin1(fields[0]));
    if (fields.size() > 1 && isPrintable(fields[1]))
        parts << tr("on %1").arg(QString::fromUtf8(fields[1]));
    if (fields.size() > 2 && isPrintable(fields[2]))
        parts << tr("lock folder %1").arg(QFile::decodeName(fields[2].toByteArray()));
    return parts.join(QStringLiteral(", "));
}

void SingleInstance::listen()
{
    // Holding the lock, whatever lies under the pipe's name was left by an instance that is gone.
    UniqueFd pipe;
    if (removeEntry(m_folder.get(), pipeName) && ::mkfifoat(m_folder.get(), pipeName, 0600) == 0)
        // Opened for writing too, so the pipe never reads as closed between two launches.
        pipe = UniqueFd(::openat(m_folder.get(), pipeName, O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!pipe.isValid()) {
        const int error = errno;
        qWarning("%s",
                 qPrintable(tr("Orvanta runs, but later launches cannot ask it to show its card: %1 (%2).")
                                .arg(pipePath(), errorText(error))));
        return;
    }
    m_pipe = std::move(pipe);
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe.get(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &SingleInstance::readRequests);
}

void SingleInstance::readRequests()
{
    // One bounded read per turn of the event loop: a peer that writes without pause neither
    // holds up the loop nor makes what is kept grow. Repeated requests to show of one turn
    // make one.
    char buffer[readChunk];
    ssize_t n;
    do
        n = ::read(m_pipe.get(), buffer, sizeof buffer);
    while (n < 0 && errno == EINTR);
    if (n <= 0)
        return;
    QList<InstanceRequest> requests;
    bool junk = false;
    QByteArrayView rest(buffer, n);
    for (;;) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView piece = end < 0 ? rest : rest.first(end + 1);
        if (!m_skippingLine && m_pending.size() + piece.size() <= maxPending) {
            m_pending += piece;
        } else {
            m_pending.clear();
            m_skippingLine = true;
        }
        if (end < 0)
            break;
        const QByteArrayView line = m_skippingLine ? QByteArrayView("junk") : QByteArrayView(m_pending).chopped(1);
        // Every request comes after a line break of its own: an empty line is nothing.
        const auto request = InstanceRequest::decode(line);
        if (!request)
            junk = junk || !line.isEmpty();
        else if (request->kind != InstanceRequest::Kind::Show || !requests.contains(*request))
            requests.append(*request);
        m_pending.clear();
        m_skippingLine = false;
        rest = rest.sliced(end + 1);
    }
    // Said once: whoever writes junk may write it without end.
    if (junk && !m_junkReported) {
        m_junkReported = true;
        qWarning("%s",
                 qPrintable(tr("Orvanta ignores what it cannot read as a request in its pipe %1; this is said only "
                               "once.")
                                .arg(pipePath())));
    }
    for (const InstanceRequest &request : std::as_const(requests))
        emit requestReceived(request);
}

void SingleInstance::askPrimary(const InstanceRequest &request)
{
    const UniqueFd pipe(::openat(m_folder.get(), pipeName, O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    const int error = errno;
    const QString path = pipePath();
    struct stat info;
    QString problem;
    if (!pipe.isValid()) {
        switch (error) {
        case ENOENT: problem = tr("its pipe %1 is missing").arg(path); break;
        case ENXIO: problem = tr("nobody reads its pipe %1").arg(path); break;
        case ELOOP: problem = tr("%1 is a symbolic link, not its pipe").arg(path); break;
        default: problem = tr("its pipe %1 cannot be opened (%2)").arg(path, errorText(error));
        }
    } else if (::fstat(pipe.get(), &info) != 0 || !S_ISFIFO(info.st_mode) || info.st_uid != ::geteuid()) {
        problem = tr("%1 is not its pipe").arg(path);
        // The leading line break ends whatever a stray writer left without one, so that it is not
        // taken as the start of this request.
    } else if (!writeRequest(pipe.get(), '\n' + request.encode())) {
        problem = tr("it does not read its pipe %1").arg(path);
    }
    if (!problem.isEmpty())
        m_error = tr("Orvanta is already running, but this launch cannot reach it: %1.").arg(problem);
}
