#include "core/NoteLines.h"

namespace NoteLines {

namespace {

bool breaksLine(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == u'\u0085' || c == u'\u2028' || c == u'\u2029';
}

} // namespace

QStringList split(const QString &stored)
{
    QStringList lines{QString()};
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const char16_t c = stored[i].unicode();
        if (breaksLine(c)) {
            // CR LF is one break.
            if (c == u'\r' && i + 1 < stored.size() && stored[i + 1] == u'\n')
                ++i;
            lines.append(QString());
        } else if (c != u'\t' && QChar::category(c) == QChar::Other_Control) {
            lines.last().append(QChar::ReplacementCharacter);
        } else {
            lines.last().append(QChar(c));
        }
    }
    return lines;
}

} // namespace NoteLines
