#include "core/XdgFolders.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

namespace XdgFolders {

namespace {

QString absoluteOrEmpty(const char *variable)
{
    const QString value = QFile::decodeName(qgetenv(variable));
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

QString baseFolder(const char *variable, const QString &underHome)
{
    const QString value = absoluteOrEmpty(variable);
    return value.isEmpty() ? home() + u'/' + underHome : value;
}

} // namespace

QString home()
{
    if (const QString value = absoluteOrEmpty("HOME"); !value.isEmpty())
        return value;
    const passwd *account = ::getpwuid(::geteuid());
    return account && account->pw_dir ? QFile::decodeName(account->pw_dir) : QDir::rootPath();
}

QString configHome()
{
    return baseFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString cacheHome()
{
    return baseFolder("XDG_CACHE_HOME", QStringLiteral(".cache"));
}

} // namespace XdgFolders
