#include "core/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kCannotCreateFolder = QT_TRANSLATE_NOOP("SafeFile", "Cannot create the folder %1: %2");
constexpr const char *kCannotWrite = QT_TRANSLATE_NOOP("SafeFile", "Cannot write %1: %2");
constexpr const char *kNotRegular = QT_TRANSLATE_NOOP("SafeFile", "it is not a regular file, and it is left as it is");
constexpr const char *kLinkNotRegular
    = QT_TRANSLATE_NOOP("SafeFile", "it is a link to %1, which is not a regular file, and it is left as it is");

// Marks the program's own temporary files; followed by kRandomLength letters and digits.
const QString kTemporaryMark = QStringLiteral(".orvanta-partial-");
constexpr int kRandomLength = 12;

QString failure(const char *what, const QString &path, const QString &why)
{
    return QCoreApplication::translate("SafeFile", what).arg(QDir::toNativeSeparators(path), why);
}

QString lastError()
{
    return qt_error_string(errno);
}

// Why the bytes did not all reach the file; empty when they did.
QString writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? lastError() : qt_error_string(ENOSPC);
        done += n;
    }
    return {};
}

mode_t modeOf(QFileDevice::Permissions permissions)
{
    mode_t mode = 0;
    const std::pair<QFileDevice::Permission, mode_t> bits[]
        = {{QFileDevice::ReadOwner, S_IRUSR}, {QFileDevice::WriteOwner, S_IWUSR}, {QFileDevice::ExeOwner, S_IXUSR},
           {QFileDevice::ReadGroup, S_IRGRP}, {QFileDevice::WriteGroup, S_IWGRP}, {QFileDevice::ExeGroup, S_IXGRP},
           {QFileDevice::ReadOther, S_IROTH}, {QFileDevice::WriteOther, S_IWOTH}, {QFileDevice::ExeOther, S_IXOTH}};
    for (const auto &[permission, bit] : bits) {
        if (permissions.testFlag(permission))
            mode |= bit;
    }
    return mode;
}

// The file a replace of path puts its bytes in, with its mode when it exists, or why
// nothing may be written there.
struct Target
{
    QString path;
    std::optional<mode_t> mode;
    QString problem;
};

Target targetOf(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::lstat(name.constData(), &info) != 0)
        return errno == ENOENT ? Target{path, std::nullopt, {}} : Target{{}, std::nullopt, lastError()};
    if (S_ISREG(info.st_mode))
        return {path, info.st_mode & 07777, {}};
    if (!S_ISLNK(info.st_mode))
        return {{}, std::nullopt, QCoreApplication::translate("SafeFile", kNotRegular)};
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(name.constData(), nullptr), &std::free);
    const QString shown = resolved ? QFile::decodeName(resolved.get()) : QFileInfo(path).symLinkTarget();
    if (!resolved || ::stat(resolved.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return {{},
                std::nullopt,
                QCoreApplication::translate("SafeFile", kLinkNotRegular).arg(QDir::toNativeSeparators(shown))};
    return {shown, info.st_mode & 07777, {}};
}

// The rename is on the disk only once the folder that holds the name is.
QString syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return lastError();
    QString why;
    if (::fsync(fd) != 0)
        why = lastError();
    ::close(fd);
    return why;
}

} // namespace

namespace SafeFile {

QString makeFolders(const QString &folder)
{
    const QString target = QDir::cleanPath(QDir(folder).absolutePath());
    QStringList missing;
    for (QString at = target; !QFileInfo::exists(at); at = QFileInfo(at).path()) {
        missing.prepend(at);
        if (QFileInfo(at).path() == at)
            break;
    }
    for (const QString &path : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
            return failure(kCannotCreateFolder, path, lastError());
    }
    if (!QFileInfo(target).isDir())
        return failure(kCannotCreateFolder, target, qt_error_string(ENOTDIR));
    return {};
}

QString temporaryPath(const QString &path)
{
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
    QString random;
    for (int i = 0; i < kRandomLength; ++i)
        random += letters[QRandomGenerator::global()->bounded(int(letters.size()))];
    const QFileInfo file(path);
    return file.path() + QStringLiteral("/.") + file.fileName() + kTemporaryMark + random;
}

void removeTemporaries(const QString &path)
{
    const QFileInfo file(path);
    // Matched by hand: a regular expression here would bring its engine into every start.
    const QString prefix = u'.' + file.fileName() + kTemporaryMark;
    const auto own = [&](const QString &name) {
        return name.size() == prefix.size() + kRandomLength && name.startsWith(prefix)
            && std::all_of(name.cbegin() + prefix.size(), name.cend(),
                           [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'); });
    };
    const QStringList names = QDir(file.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QByteArray entry = QFile::encodeName(file.path() + u'/' + name);
        struct stat info;
        if (own(name) && ::lstat(entry.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlink(entry.constData());
    }
}

QString replace(const QString &path, const QByteArray &bytes, std::optional<QFileDevice::Permissions> permissions)
{
    const Target target = targetOf(path);
    if (!target.problem.isEmpty())
        return failure(kCannotWrite, path, target.problem);
    const std::optional<mode_t> mode = permissions ? std::optional(modeOf(*permissions)) : target.mode;
    const QByteArray temporary = QFile::encodeName(temporaryPath(target.path));
    // Without a mode to keep, a new file gets the usual one: 0666 less the umask.
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          mode ? S_IRUSR | S_IWUSR : 0666);
    if (fd < 0)
        return failure(kCannotWrite, path, lastError());
    QString why = writeAll(fd, bytes);
    if (why.isEmpty() && mode && ::fchmod(fd, *mode) != 0)
        why = lastError();
    if (why.isEmpty() && ::fsync(fd) != 0)
        why = lastError();
    if (::close(fd) != 0 && why.isEmpty())
        why = lastError();
    if (why.isEmpty() && ::rename(temporary.constData(), QFile::encodeName(target.path).constData()) != 0)
        why = lastError();
    if (!why.isEmpty()) {
        ::unlink(temporary.constData());
        return failure(kCannotWrite, path, why);
    }
    if (const QString unsynced = syncFolder(QFileInfo(target.path).path()); !unsynced.isEmpty())
        return failure(kCannotWrite, path, unsynced);
    return {};
}

QString create(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, permissions))
        return failure(kCannotWrite, path, file.errorString());
    QString why;
    if (file.write(bytes) != bytes.size() || !file.flush())
        why = file.errorString();
    else if (::fsync(file.handle()) != 0)
        why = lastError();
    if (!why.isEmpty()) {
        file.remove();
        return failure(kCannotWrite, path, why);
    }
    return {};
}

} // namespace SafeFile
