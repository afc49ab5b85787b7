#include "core/NotesCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

void appendJsonString(QByteArray &out, const QString &text)
{
    out += '"';
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "\\u00";
                out += QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Only the bare 8-4-4-4-12 form; QUuid itself would also take braces.
std::optional<QUuid> parseCanonicalUuid(const QString &text)
{
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool hyphenPlace = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphenPlace ? text[i] != u'-' : !isHexDigit(text[i]))
            return std::nullopt;
    }
    return QUuid::fromString(text);
}

} // namespace

namespace NotesCodec {

QByteArray encode(const NoteList &notes)
{
    QByteArray out = "[";
    for (qsizetype i = 0; i < notes.size(); ++i) {
        const Note &note = notes[i];
        if (i > 0)
            out += ',';
        out += "{\"id\":";
        appendJsonString(out, note.id.toString(QUuid::WithoutBraces).toUpper());
        out += ",\"text\":";
        appendJsonString(out, note.text);
        out += ",\"done\":";
        out += note.done ? "true" : "false";
        out += '}';
    }
    out += ']';
    return out;
}

std::optional<NoteList> decode(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    NoteList notes;
    for (const QJsonValue &element : document.array()) {
        if (!element.isObject())
            return std::nullopt;
        const QJsonObject object = element.toObject();
        const QJsonValue id = object.value(QLatin1String("id"));
        const QJsonValue text = object.value(QLatin1String("text"));
        const QJsonValue done = object.value(QLatin1String("done"));
        if (!id.isString() || !text.isString() || !done.isBool())
            return std::nullopt;
        const auto uuid = parseCanonicalUuid(id.toString());
        if (!uuid)
            return std::nullopt;
        notes.append(Note{*uuid, text.toString(), done.toBool()});
    }
    return notes;
}

} // namespace NotesCodec
