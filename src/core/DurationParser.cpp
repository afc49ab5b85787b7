#include "core/DurationParser.h"

#include "core/Whitespace.h"

#include <QList>
#include <QTextBoundaryFinder>

#include <unicode/uchar.h>

#include <cstdint>

namespace {

// Calls fn(cluster) for every extended grapheme cluster of text, in order.
template<typename Fn>
void forEachGrapheme(const QString &text, Fn fn)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        fn(QStringView(text).sliced(start, end - start));
        start = end;
    }
}

QList<QString> splitAtColons(const QString &text)
{
    QList<QString> pieces{QString()};
    forEachGrapheme(text, [&](QStringView cluster) {
        if (cluster == u":")
            pieces.append(QString());
        else
            pieces.last() += cluster;
    });
    return pieces;
}

std::optional<std::int64_t> parseInteger(const QString &piece)
{
    qsizetype i = 0;
    const bool negative = !piece.isEmpty() && piece[0] == u'-';
    if (!piece.isEmpty() && (piece[0] == u'-' || piece[0] == u'+'))
        ++i;
    if (i == piece.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < piece.size(); ++i) {
        const char16_t c = piece[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        // Accumulate towards the sign so that the most negative value fits too.
        if (__builtin_mul_overflow(value, 10, &value)
            || (negative ? __builtin_sub_overflow(value, digit, &value) : __builtin_add_overflow(value, digit, &value)))
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<double> parseDuration(const QString &text)
{
    const QList<QString> pieces = splitAtColons(text);
    QList<std::int64_t> fields;
    for (const QString &piece : pieces) {
        const auto value = parseInteger(Whitespace::trimmed(piece));
        if (!value)
            return std::nullopt;
        fields.append(*value);
    }
    if (fields.size() > 3)
        return std::nullopt;

    std::int64_t hours = 0, minutes = 0, seconds = 0;
    switch (fields.size()) {
    case 1: minutes = fields[0]; break;
    case 2:
        minutes = fields[0];
        seconds = fields[1];
        break;
    default:
        hours = fields[0];
        minutes = fields[1];
        seconds = fields[2];
        break;
    }
    std::int64_t total = 0;
    if (__builtin_mul_overflow(hours, 60, &total) || __builtin_add_overflow(total, minutes, &total)
        || __builtin_mul_overflow(total, 60, &total) || __builtin_add_overflow(total, seconds, &total))
        return std::nullopt;
    if (total < 1)
        return std::nullopt;
    return double(total);
}

QString keepDurationCharacters(const QString &text)
{
    QString kept;
    forEachGrapheme(text, [&](QStringView cluster) {
        // Typed ASCII is decided here: asking ICU would map its tables into the card for a key.
        const bool ascii = cluster.size() == 1 && cluster.front().unicode() < 0x80;
        const bool numeric = ascii
            ? (cluster == u":" || (cluster.front() >= u'0' && cluster.front() <= u'9'))
            : u_getIntPropertyValue(UChar32(cluster.toUcs4().constFirst()), UCHAR_NUMERIC_TYPE) != U_NT_NONE;
        if (numeric)
            kept += cluster;
    });
    return kept;
}
