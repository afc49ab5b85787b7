#include "platform/xdg/AutostartEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString &reservedCharacters()
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved;
}

QString quoteArgument(const QString &argument)
{
    const bool needsQuotes = argument.isEmpty()
        || std::any_of(argument.begin(), argument.end(), [](QChar c) { return reservedCharacters().contains(c); });
    if (!needsQuotes)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// The string escapes of a desktop entry value, applied to the whole value after quoting.
QString escapeStringValue(const QString &value)
{
    QString escaped;
    for (const QChar c : value) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}

QString autostartFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/orvanta.desktop");
}

} // namespace

QString desktopExecQuote(const QString &path)
{
    // Field codes are expanded after unquoting, so a literal '%' is doubled inside quotes too.
    QString argument = quoteArgument(path);
    argument.replace(u'%', QStringLiteral("%%"));
    return escapeStringValue(argument);
}

AutostartEntry::AutostartEntry()
    : AutostartEntry(QCoreApplication::applicationFilePath())
{
}

AutostartEntry::AutostartEntry(const QString &executable)
    : m_filePath(autostartFilePath())
    , m_executable(executable)
{
}

QByteArray AutostartEntry::contents(const QString &executable)
{
    // No NoDisplay=true: desktop settings tools hide such entries, and the user should be
    // able to find and switch this one off there too.
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Orvanta\n"
                                         "Comment=Clock, countdown and notes on the desktop\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(desktopExecQuote(executable));
    return entry.toUtf8();
}

bool AutostartEntry::isEnabledEntry(const QByteArray &contents)
{
    bool inMainGroup = false;
    bool hasCommand = false;
    bool hidden = false;
    bool autostartDisabled = false;
    for (const QByteArray &rawLine : contents.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            // The main group comes first; whatever follows it (actions) does not matter here.
            if (inMainGroup)
                break;
            if (line != "[Desktop Entry]")
                return false;
            inMainGroup = true;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        // A key outside a group or a line that is no key: the session rejects the whole file.
        if (!inMainGroup || equals <= 0)
            return false;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if (key == "Exec")
            hasCommand = !value.isEmpty();
        else if (key == "Hidden")
            hidden = value == "true";
        else if (key == "X-GNOME-Autostart-enabled")
            autostartDisabled = value == "false";
    }
    return inMainGroup && hasCommand && !hidden && !autostartDisabled;
}

bool AutostartEntry::isEnabled() const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return isEnabledEntry(file.readAll());
}

bool AutostartEntry::setEnabled(bool enabled)
{
    if (!enabled) {
        if (QFile::remove(m_filePath))
            return true;
        const QFileInfo left(m_filePath);
        return !left.exists() && !left.isSymLink();
    }
    if (!QDir().mkpath(QFileInfo(m_filePath).absolutePath()))
        return false;
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = contents(m_executable);
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}
