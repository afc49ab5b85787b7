#include "core/SettingsStore.h"

#include "core/RegularFile.h"
#include "core/SafeFile.h"
#include "core/XdgFolders.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutexLocker>

#include <sys/stat.h>

namespace {

const QString kFileName = QStringLiteral("settings.json");
// Binary values are stored as {"base64": "..."} so that they stay apart from strings.
const QString kBinaryMember = QStringLiteral("base64");

std::optional<QByteArray> binaryFromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonValue encoded = value.toObject().value(kBinaryMember);
    if (!encoded.isString())
        return std::nullopt;
    const auto decoded
        = QByteArray::fromBase64Encoding(encoded.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return *decoded;
}

// A path beside base that does not exist yet, marked with the current time.
QString freshName(const QString &base, const QString &suffix)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base + QLatin1Char('-') + stamp + suffix;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QLatin1Char('-') + stamp + QLatin1Char('-') + QString::number(n) + suffix;
    return name;
}

} // namespace

SettingsStore::SettingsStore(const QString &directory, QObject *parent)
    : QObject(parent)
    , m_directory(directory)
{
    m_writer.setMaxThreadCount(1);
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &SettingsStore::readOutsideChanges);
    load();
    // Set aside now, so that the user hears where it went at once; if it cannot be moved,
    // nothing is written until it can.
    if (m_unreadableOnDisk)
        setSaveProblem(prepareFile());
    SafeFile::removeTemporaries(filePath());
    // Once the event loop runs, which delivers what the watch sees; a change before that is
    // found by the next save.
    QMetaObject::invokeMethod(this, &SettingsStore::watchFolder, Qt::QueuedConnection);
}

SettingsStore::~SettingsStore()
{
    flush();
}

QString SettingsStore::defaultDirectory()
{
    return XdgFolders::configHome() + QStringLiteral("/orvanta");
}

QString SettingsStore::filePath() const
{
    return m_directory + QLatin1Char('/') + kFileName;
}

SettingsStore::Stamp SettingsStore::stampOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

void SettingsStore::load()
{
    // Taken before the file is read: a change while it is read shows as a change later.
    m_stamp = stampOf(filePath());
    // Only a plain file is read: a named pipe in its place would hold the start for ever.
    const RegularFile::Contents contents = RegularFile::read(filePath(), kMaxFileBytes);
    if (contents.outcome == RegularFile::Outcome::Missing)
        return;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(contents.bytes, &error);
    if (contents.outcome != RegularFile::Outcome::Read || error.error != QJsonParseError::NoError
        || !document.isObject()) {
        m_unreadableOnDisk = true;
        return;
    }
    m_values = document.object();
    m_onDisk = m_values;
}

bool SettingsStore::boolValue(const QString &key, bool defaultValue) const
{
    const QJsonValue value = m_values.value(key);
    return value.isBool() ? value.toBool() : defaultValue;
}

double SettingsStore::doubleValue(const QString &key, double defaultValue) const
{
    const QJsonValue value = m_values.value(key);
    return value.isDouble() ? value.toDouble() : defaultValue;
}

QString SettingsStore::stringValue(const QString &key, const QString &defaultValue) const
{
    const QJsonValue value = m_values.value(key);
    return value.isString() ? value.toString() : defaultValue;
}

std::optional<QByteArray> SettingsStore::dataValue(const QString &key) const
{
    return binaryFromJson(m_values.value(key));
}

QVariant SettingsStore::rawValue(const QString &key) const
{
    const QJsonValue value = m_values.value(key);
    if (auto bytes = binaryFromJson(value))
        return *bytes;
    switch (value.type()) {
    case QJsonValue::Bool:
    case QJsonValue::Double:
    case QJsonValue::String: return value.toVariant();
    default: return {};
    }
}

std::optional<QByteArray> SettingsStore::storedBytes(const QString &key) const
{
    const auto found = m_values.constFind(key);
    if (found == m_values.constEnd())
        return std::nullopt;
    const QJsonValue value = *found;
    if (auto bytes = binaryFromJson(value))
        return bytes;
    if (value.isString())
        return value.toString().toUtf8();
    // A document holds only arrays and objects: the value is written as a one-element array
    // and the brackets are cut off.
    const QByteArray json = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return json.mid(1, json.size() - 2);
}

void SettingsStore::setBool(const QString &key, bool value)
{
    write(key, value);
}

void SettingsStore::setDouble(const QString &key, double value, Save when)
{
    write(key, value, when);
}

void SettingsStore::setString(const QString &key, const QString &value)
{
    write(key, value);
}

void SettingsStore::setData(const QString &key, const QByteArray &value)
{
    write(key, QJsonObject{{kBinaryMember, QString::fromLatin1(value.toBase64())}});
}

void SettingsStore::write(const QString &key, const QJsonValue &value, Save when)
{
    m_values.insert(key, value);
    m_changedAt.insert(key, QDateTime::currentMSecsSinceEpoch());
    if (when == Save::Now)
        save();
    else
        m_unsaved = true;
    emit written(key);
}

QString SettingsStore::prepareFile()
{
    QString problem = SafeFile::makeFolders(m_directory);
    if (problem.isEmpty() && m_unreadableOnDisk)
        problem = moveUnreadableAside();
    return problem;
}

void SettingsStore::save()
{
    // A background write still under way finishes first; one not begun is dropped.
    ++m_generation;
    m_writer.waitForDone();
    m_unsaved = false;
    m_bounced = false;
    // A hand edit is merged first; one that does not parse is kept aside rather than lost.
    const std::optional<QStringList> outside = takeOutsideChanges();
    if (!outside)
        m_unreadableOnDisk = true;
    QString problem = prepareFile();
    if (problem.isEmpty())
        problem = SafeFile::replace(filePath(), QJsonDocument(m_values).toJson(QJsonDocument::Indented),
                                    SafeFile::kOwnerOnly);
    if (problem.isEmpty()) {
        recordOwnWrite(m_values);
        watchFolder();
    }
    setSaveProblem(problem);
    announce(outside.value_or(QStringList()));
}

void SettingsStore::saveInBackground()
{
    if (!m_unsaved)
        return;
    m_unsaved = false;
    if (const QString problem = prepareFile(); !problem.isEmpty()) {
        m_unsaved = true;
        setSaveProblem(problem);
        return;
    }
    const quint64 generation = ++m_generation;
    // A copy of the values (shared until either side changes) is turned into the file's bytes
    // there too: with long notes that alone takes milliseconds.
    m_writer.start([this, generation, path = filePath(), values = m_values] {
        if (generation != m_generation)
            return;
        {
            // Changed from outside since the program last looked: the GUI thread merges it
            // and saves.
            const QMutexLocker locker(&m_diskLock);
            if (stampOf(path) != m_stamp) {
                m_bounced = true;
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (m_bounced)
                            save();
                    },
                    Qt::QueuedConnection);
                return;
            }
        }
        const QString problem
            = SafeFile::replace(path, QJsonDocument(values).toJson(QJsonDocument::Indented), SafeFile::kOwnerOnly);
        if (problem.isEmpty())
            recordOwnWrite(values);
        QMetaObject::invokeMethod(
            this,
            [this, generation, problem] {
                // A later save has its own say.
                if (generation != m_generation)
                    return;
                m_unsaved = m_unsaved || !problem.isEmpty();
                setSaveProblem(problem);
                watchFolder();
            },
            Qt::QueuedConnection);
    });
}

void SettingsStore::flush()
{
    if (m_unsaved)
        save();
    m_writer.waitForDone();
    if (m_bounced)
        save();
}

void SettingsStore::recordOwnWrite(const QJsonObject &values)
{
    const QMutexLocker locker(&m_diskLock);
    m_stamp = stampOf(filePath());
    m_onDisk = values;
}

std::optional<QStringList> SettingsStore::takeOutsideChanges()
{
    const QMutexLocker locker(&m_diskLock);
    const Stamp now = stampOf(filePath());
    if (now == m_stamp)
        return QStringList();
    const RegularFile::Contents contents = RegularFile::read(filePath(), kMaxFileBytes);
    if (contents.outcome == RegularFile::Outcome::Missing) {
        // Removed: the next save writes the program's values again.
        m_stamp = now;
        m_onDisk = {};
        return QStringList();
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(contents.bytes, &error);
    if (contents.outcome != RegularFile::Outcome::Read || error.error != QJsonParseError::NoError
        || !document.isObject())
        return std::nullopt;
    const QJsonObject file = document.object();
    m_unreadableOnDisk = false;
    const qint64 changedAt = now.modifiedNs / 1'000'000;
    QStringList keys = file.keys() + m_onDisk.keys();
    keys.removeDuplicates();
    QStringList taken;
    for (const QString &key : std::as_const(keys)) {
        const QJsonValue value = file.value(key);
        if (value == m_onDisk.value(key) || m_changedAt.value(key, std::numeric_limits<qint64>::min()) >= changedAt)
            continue;
        if (value.isUndefined())
            m_values.remove(key);
        else
            m_values.insert(key, value);
        taken.append(key);
    }
    m_stamp = now;
    m_onDisk = file;
    return taken;
}

void SettingsStore::readOutsideChanges()
{
    // The program's own write is still under way: looked at once it has landed.
    if (m_writer.activeThreadCount() > 0) {
        m_settle.start();
        return;
    }
    watchFolder();
    const std::optional<QStringList> taken = takeOutsideChanges();
    if (!taken)
        return;
    // Where the program's newer values won, the file gets them.
    bool differs;
    {
        const QMutexLocker locker(&m_diskLock);
        differs = m_onDisk != m_values;
    }
    if (differs && !m_unsaved)
        save();
    announce(*taken);
}

void SettingsStore::announce(const QStringList &keys)
{
    for (const QString &key : keys)
        emit written(key);
}

void SettingsStore::watchFolder()
{
    if (!m_watcher) {
        m_watcher = std::make_unique<QFileSystemWatcher>();
        connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
        connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    }
    // Editors replace the file by a rename, which only the folder sees; a file that is a link
    // to one elsewhere is watched where it is.
    if (!m_watcher->directories().contains(m_directory) && QFileInfo(m_directory).isDir())
        m_watcher->addPath(m_directory);
    // A replaced file is a new one: its watch is made anew.
    m_watcher->removePath(filePath());
    if (QFileInfo(filePath()).isFile())
        m_watcher->addPath(filePath());
}

QString SettingsStore::moveUnreadableAside()
{
    QFile unreadable(filePath());
    const QString aside = freshName(filePath(), QStringLiteral(".unreadable"));
    if (unreadable.rename(aside))
        setSetAside(aside);
    else if (QFileInfo::exists(filePath()))
        return tr("Cannot move the unreadable %1 aside: %2")
            .arg(QDir::toNativeSeparators(filePath()), unreadable.errorString());
    m_unreadableOnDisk = false;
    return {};
}

bool SettingsStore::writeBackup(const QString &stem, const QString &suffix, const QByteArray &bytes)
{
    const QString backup = freshName(m_directory + QLatin1Char('/') + stem, suffix);
    QString problem = SafeFile::makeFolders(m_directory);
    if (problem.isEmpty())
        problem = SafeFile::create(backup, bytes, SafeFile::kOwnerOnly);
    if (problem.isEmpty()) {
        setSetAside(backup);
        return true;
    }
    setSaveProblem(problem);
    return false;
}

void SettingsStore::setSaveProblem(const QString &problem)
{
    if (problem == m_saveProblem)
        return;
    m_saveProblem = problem;
    // Once per reason, not at every write that fails the same way.
    if (!problem.isEmpty())
        qWarning().noquote()
            << tr("Orvanta keeps settings and notes in memory only until saving works again: %1").arg(problem);
    emit saveProblemChanged();
}

void SettingsStore::setSetAside(const QString &path)
{
    m_setAside = QFileInfo(path).fileName();
    emit setAsideChanged();
}

void SettingsStore::dismissSetAside()
{
    if (m_setAside.isEmpty())
        return;
    m_setAside.clear();
    emit setAsideChanged();
}
