#include "core/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kCannotCreateFolder = QT_TRANSLATE_NOOP("SafeFile", "Cannot create the folder %1: %2");
constexpr const char *kCannotWrite = QT_TRANSLATE_NOOP("SafeFile", "Cannot write %1: %2");

QString failure(const char *what, const QString &path, const QString &why)
{
    return QCoreApplication::translate("SafeFile", what).arg(QDir::toNativeSeparators(path), why);
}

// Why the bytes did not reach the disk; empty when they did.
QString writeAll(QFileDevice &file, const QByteArray &bytes)
{
    if (file.write(bytes) != bytes.size() || !file.flush())
        return file.errorString();
    // QSaveFile::commit() syncs as well, but drops the result.
    if (::fsync(file.handle()) != 0)
        return qt_error_string(errno);
    return {};
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
            return failure(kCannotCreateFolder, path, qt_error_string(errno));
    }
    if (!QFileInfo(target).isDir())
        return failure(kCannotCreateFolder, target, qt_error_string(ENOTDIR));
    return {};
}

QString replace(const QString &path, const QByteArray &bytes, std::optional<QFileDevice::Permissions> permissions)
{
    QSaveFile file(path);
    QString why;
    if (!file.open(QIODevice::WriteOnly) || (permissions && !file.setPermissions(*permissions)))
        why = file.errorString();
    else
        why = writeAll(file, bytes);
    if (!why.isEmpty()) {
        file.cancelWriting();
        return failure(kCannotWrite, path, why);
    }
    if (!file.commit())
        return failure(kCannotWrite, path, file.errorString());
    return {};
}

QString create(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, permissions))
        return failure(kCannotWrite, path, file.errorString());
    if (const QString why = writeAll(file, bytes); !why.isEmpty()) {
        file.remove();
        return failure(kCannotWrite, path, why);
    }
    return {};
}

} // namespace SafeFile
