#include "platform/xdg/AutostartEntry.h"

#include "core/ApplicationInfo.h"
#include "core/RegularFile.h"
#include "core/SafeFile.h"
#include "core/XdgFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <optional>
#include <utility>

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

using EntryKeys = QList<std::pair<QByteArray, QByteArray>>;

// The keys of the main group in file order, or nothing when the session would reject the file.
std::optional<EntryKeys> mainGroupKeys(const QByteArray &contents)
{
    bool inMainGroup = false;
    EntryKeys keys;
    for (const QByteArray &rawLine : contents.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            // The main group comes first; whatever follows it (actions) does not matter here.
            if (inMainGroup)
                break;
            if (line != "[Desktop Entry]")
                return std::nullopt;
            inMainGroup = true;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        // A key outside a group or a line that is no key: the session rejects the whole file.
        if (!inMainGroup || equals <= 0)
            return std::nullopt;
        keys.append({line.left(equals).trimmed(), line.mid(equals + 1).trimmed()});
    }
    if (!inMainGroup)
        return std::nullopt;
    return keys;
}

// A Boolean value as the desktops read it: GLib takes "true" and "1", KConfig also "yes" and
// "on", in any case.
std::optional<bool> booleanValue(const QByteArray &value)
{
    const QByteArray word = value.toLower();
    if (word == "true" || word == "1" || word == "yes" || word == "on")
        return true;
    if (word == "false" || word == "0" || word == "no" || word == "off")
        return false;
    return std::nullopt;
}

// The value the session reads for key: the last one given.
QByteArray lastValue(const EntryKeys &keys, const char *key)
{
    for (auto it = keys.crbegin(); it != keys.crend(); ++it) {
        if (it->first == key)
            return it->second;
    }
    return {};
}

// Undoes escapeStringValue; an unknown escape is kept as it stands.
QString unescapeStringValue(const QString &value)
{
    QString plain;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const QChar next = i + 1 < value.size() ? value[i + 1] : QChar();
        const qsizetype known = QStringLiteral("sntr\\").indexOf(next);
        if (c != u'\\' || known < 0) {
            plain += c;
            continue;
        }
        plain += QStringLiteral(" \n\t\r\\")[known];
        ++i;
    }
    return plain;
}

// The first argument of an unescaped Exec value, unquoted, with "%%" read as '%'.
QString firstArgument(const QString &command)
{
    const QString text = command.trimmed();
    QString argument;
    if (text.startsWith(u'"')) {
        for (qsizetype i = 1; i < text.size() && text[i] != u'"'; ++i) {
            if (text[i] == u'\\' && i + 1 < text.size())
                ++i;
            argument += text[i];
        }
    } else {
        argument = text.section(u' ', 0, 0);
    }
    return argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

// Whether the session would find the program: a path names an executable file, a bare name
// is looked up on the PATH.
bool programExists(const QString &program)
{
    if (program.isEmpty())
        return false;
    if (!program.contains(u'/'))
        return !QStandardPaths::findExecutable(program).isEmpty();
    const QFileInfo file(program);
    return file.isFile() && file.isExecutable();
}

QString autostartFolder()
{
    return XdgFolders::configHome() + QStringLiteral("/autostart/");
}

// The file behind a path, so that two ways of naming one program compare equal.
QString canonicalProgram(const QString &program)
{
    const QString path = program.contains(u'/') ? program : QStandardPaths::findExecutable(program);
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}

// Whether the session would start executable from the entry at path.
bool startsExecutable(const QString &path, const QString &executable)
{
    // Read only when it is a regular file: a named pipe in its place would hold the program.
    const RegularFile::Contents entry = RegularFile::read(path, AutostartEntry::kMaxEntrySize);
    if (entry.outcome != RegularFile::Outcome::Read || !AutostartEntry::isEnabledEntry(entry.bytes))
        return false;
    const QString program = AutostartEntry::program(entry.bytes);
    const QString wanted = QFileInfo(executable).canonicalFilePath();
    return programExists(program) && !wanted.isEmpty() && canonicalProgram(program) == wanted;
}

bool removeEntry(const QString &path)
{
    if (QFile::remove(path))
        return true;
    const QFileInfo left(path);
    return !left.exists() && !left.isSymLink();
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
    : m_filePath(autostartFolder() + QLatin1String(ApplicationInfo::id) + QStringLiteral(".desktop"))
    , m_legacyFilePath(autostartFolder() + QStringLiteral("orvanta.desktop"))
    , m_executable(executable)
{
}

QByteArray AutostartEntry::contents(const QString &executable)
{
    // No NoDisplay=true: desktop settings tools hide such entries, and the user should be
    // able to find and switch this one off there too.
    const QString entry
        = QStringLiteral("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Name=Orvanta\n"
                         "Comment=Clock, countdown and notes on the desktop\n"
                         "Icon=%1\n"
                         "TryExec=%3\n"
                         "Exec=%2\n"
                         "Terminal=false\n"
                         "X-GNOME-Autostart-enabled=true\n")
              .arg(QLatin1String(ApplicationInfo::id), desktopExecQuote(executable), escapeStringValue(executable));
    return entry.toUtf8();
}

bool AutostartEntry::isEnabledEntry(const QByteArray &contents)
{
    const std::optional<EntryKeys> keys = mainGroupKeys(contents);
    if (!keys || lastValue(*keys, "Exec").isEmpty() || booleanValue(lastValue(*keys, "Hidden")) == true
        || booleanValue(lastValue(*keys, "X-GNOME-Autostart-enabled")) == false)
        return false;
    // The session skips an entry whose TryExec program is missing.
    const QByteArray tryExec = lastValue(*keys, "TryExec");
    return tryExec.isEmpty() || programExists(unescapeStringValue(QString::fromUtf8(tryExec)));
}

QString AutostartEntry::program(const QByteArray &contents)
{
    const std::optional<EntryKeys> keys = mainGroupKeys(contents);
    if (!keys)
        return {};
    return firstArgument(unescapeStringValue(QString::fromUtf8(lastValue(*keys, "Exec"))));
}

bool AutostartEntry::isEnabled() const
{
    return startsExecutable(m_filePath, m_executable) || startsExecutable(m_legacyFilePath, m_executable);
}

bool AutostartEntry::setEnabled(bool enabled)
{
    if (!enabled) {
        // Both are tried: either one alone would still start the program.
        const bool removed = removeEntry(m_filePath);
        return removeEntry(m_legacyFilePath) && removed;
    }
    // The entry keeps the usual mode of desktop entries (0666 less the umask); only the
    // folders made for it are private.
    return SafeFile::makeFolders(QFileInfo(m_filePath).absolutePath()).isEmpty()
        && SafeFile::replace(m_filePath, contents(m_executable)).isEmpty() && removeEntry(m_legacyFilePath);
}
