#include "core/DatePatternCache.h"

#include "core/RegularFile.h"
#include "core/SafeFile.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>

namespace DatePatternCache {

namespace {

const QString kFileName = QStringLiteral("long-date-patterns.json");

QString checksum(const Entry &entry)
{
    const QString fields = QStringList{entry.locale, entry.icuVersion, entry.qtVersion, entry.pattern,
                                       entry.qlocaleMatches ? QStringLiteral("1") : QStringLiteral("0")}
                               .join(u'\n');
    return QString::fromLatin1(QCryptographicHash::hash(fields.toUtf8(), QCryptographicHash::Sha256).toHex());
}

std::optional<Entry> entryFromJson(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    const auto text = [&](const char *name) { return object.value(QLatin1String(name)); };
    if (!text("locale").isString() || !text("icu").isString() || !text("qt").isString() || !text("pattern").isString()
        || !text("qlocale").isBool() || !text("check").isString())
        return std::nullopt;
    Entry entry{text("locale").toString(), text("icu").toString(), text("qt").toString(), text("pattern").toString(),
                text("qlocale").toBool()};
    if (entry.pattern.isEmpty() || entry.pattern.size() > kMaxPatternLength
        || text("check").toString() != checksum(entry))
        return std::nullopt;
    return entry;
}

QJsonObject entryToJson(const Entry &entry)
{
    return {{QStringLiteral("locale"), entry.locale},          {QStringLiteral("icu"), entry.icuVersion},
            {QStringLiteral("qt"), entry.qtVersion},           {QStringLiteral("pattern"), entry.pattern},
            {QStringLiteral("qlocale"), entry.qlocaleMatches}, {QStringLiteral("check"), checksum(entry)}};
}

// The sound entries of the file; nothing at all when the file as a whole is not sound.
QList<Entry> readEntries(const QString &folder)
{
    // Only a regular file: a pipe or a device could block or never end.
    const RegularFile::Contents contents = RegularFile::read(filePath(folder), kMaxFileSize);
    if (contents.outcome != RegularFile::Outcome::Read)
        return {};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(contents.bytes, &error);
    const QJsonArray array = document.object().value(QLatin1String("entries")).toArray();
    if (error.error != QJsonParseError::NoError || array.size() > kMaxEntries)
        return {};
    QList<Entry> entries;
    for (const QJsonValue &value : array) {
        if (const std::optional<Entry> entry = entryFromJson(value))
            entries.append(*entry);
    }
    return entries;
}

} // namespace

QString filePath(const QString &folder)
{
    return folder + QLatin1Char('/') + kFileName;
}

std::optional<Entry> find(const QString &folder, const QString &locale, const QString &icuVersion,
                          const QString &qtVersion)
{
    for (const Entry &entry : readEntries(folder)) {
        if (entry.locale == locale && entry.icuVersion == icuVersion && entry.qtVersion == qtVersion)
            return entry;
    }
    return std::nullopt;
}

QString store(const QString &folder, const Entry &entry)
{
    QList<Entry> entries = readEntries(folder);
    entries.removeIf([&](const Entry &old) { return old.locale == entry.locale; });
    entries.prepend(entry);
    QJsonArray array;
    for (const Entry &kept : std::as_const(entries).first(std::min<qsizetype>(entries.size(), kMaxEntries)))
        array.append(entryToJson(kept));
    const QByteArray bytes = QJsonDocument(QJsonObject{{QStringLiteral("entries"), array}}).toJson();
    if (const QString why = SafeFile::makeFolders(folder); !why.isEmpty())
        return why;
    return SafeFile::replace(filePath(folder), bytes, SafeFile::kOwnerOnly);
}

} // namespace DatePatternCache
