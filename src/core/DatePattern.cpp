#include "core/DatePattern.h"

namespace DatePattern {

namespace {

bool isPatternLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// QLocale's field for count repetitions of an ICU pattern letter.
std::optional<QString> field(QChar letter, qsizetype count)
{
    switch (letter.unicode()) {
    case u'E':
        // E, EE and EEE are all the abbreviated name; EEEEE (narrow) has no counterpart.
        if (count <= 3)
            return QStringLiteral("ddd");
        return count == 4 ? std::optional(QStringLiteral("dddd")) : std::nullopt;
    case u'c':
        // One or two c are the weekday's number.
        if (count == 3)
            return QStringLiteral("ddd");
        return count == 4 ? std::optional(QStringLiteral("dddd")) : std::nullopt;
    case u'M':
    case u'L': return count <= 4 ? std::optional(QString(count, u'M')) : std::nullopt;
    case u'd': return count <= 2 ? std::optional(QString(count, u'd')) : std::nullopt;
    default: return std::nullopt;
    }
}

} // namespace

std::optional<QString> qlocaleFormat(QStringView icuPattern)
{
    QString format;
    QString literal;
    const auto flushLiteral = [&] {
        if (literal.isEmpty())
            return;
        // Quoted whole, so that no letter of it reads as a field; a quote is written twice.
        format += u'\'' + QString(literal).replace(u'\'', QStringLiteral("''")) + u'\'';
        literal.clear();
    };
    const qsizetype size = icuPattern.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = icuPattern[i];
        if (c == u'\'') {
            if (i + 1 < size && icuPattern[i + 1] == u'\'') {
                literal += u'\'';
                i += 2;
                continue;
            }
            // A quoted run, in which '' is one quote.
            bool closed = false;
            for (++i; i < size; ++i) {
                if (icuPattern[i] != u'\'') {
                    literal += icuPattern[i];
                } else if (i + 1 < size && icuPattern[i + 1] == u'\'') {
                    literal += u'\'';
                    ++i;
                } else {
                    closed = true;
                    ++i;
                    break;
                }
            }
            if (!closed)
                return std::nullopt;
            continue;
        }
        if (!isPatternLetter(c)) {
            literal += c;
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < size && icuPattern[end] == c)
            ++end;
        const std::optional<QString> mapped = field(c, end - i);
        if (!mapped)
            return std::nullopt;
        flushLiteral();
        format += *mapped;
        i = end;
    }
    flushLiteral();
    return format;
}

} // namespace DatePattern
