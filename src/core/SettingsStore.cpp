#include "core/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

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
    load();
}

QString SettingsStore::defaultDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/orvanta");
}

QString SettingsStore::filePath() const
{
    return m_directory + QLatin1Char('/') + kFileName;
}

void SettingsStore::load()
{
    const QFileInfo info(filePath());
    if (!info.exists() && !info.isSymLink())
        return;
    QFile file(filePath());
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        m_unreadableOnDisk = true;
        return;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        m_unreadableOnDisk = true;
        return;
    }
    m_values = document.object();
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

void SettingsStore::setBool(const QString &key, bool value)
{
    write(key, value);
}

void SettingsStore::setDouble(const QString &key, double value)
{
    write(key, value);
}

void SettingsStore::setString(const QString &key, const QString &value)
{
    write(key, value);
}

void SettingsStore::setData(const QString &key, const QByteArray &value)
{
    write(key, QJsonObject{{kBinaryMember, QString::fromLatin1(value.toBase64())}});
}

void SettingsStore::write(const QString &key, const QJsonValue &value)
{
    m_values.insert(key, value);
    save();
    emit changed(key);
}

bool SettingsStore::save()
{
    if (!QDir().mkpath(m_directory))
        return false;
    if (m_unreadableOnDisk && !moveUnreadableAside())
        return false;
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(m_values).toJson(QJsonDocument::Indented));
    // commit() syncs the new file to disk and renames it over the old one.
    return file.commit();
}

bool SettingsStore::moveUnreadableAside()
{
    const QString target = freshName(filePath(), QStringLiteral(".unreadable"));
    if (!QDir().rename(filePath(), target) && QFileInfo::exists(filePath()))
        return false;
    m_unreadableOnDisk = false;
    return true;
}

bool SettingsStore::writeBackup(const QString &stem, const QString &suffix, const QByteArray &bytes) const
{
    if (!QDir().mkpath(m_directory))
        return false;
    QFile file(freshName(m_directory + QLatin1Char('/') + stem, suffix));
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    if (!written)
        file.remove();
    return written;
}
