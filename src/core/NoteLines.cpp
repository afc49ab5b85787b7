#include "core/NoteLines.h"

#include <algorithm>

namespace NoteLines {

namespace {

bool breaksLine(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == u'\u0085' || c == u'\u2028' || c == u'\u2029';
}

// Every character that breaks a line or is replaced is a control character or one of the two
// separators: one comparison rules out nearly all text.
bool mayNeedWork(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == u'\u2028' || c == u'\u2029';
}

} // namespace

QStringList split(const QString &stored)
{
    if (std::none_of(stored.cbegin(), stored.cend(), [](QChar c) { return mayNeedWork(c.unicode()); }))
        return {stored};
    QStringList lines{QString()};
    // Characters are copied in runs: one at a time took most of a long note's start-up.
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const char16_t c = stored[i].unicode();
        const bool breaks = breaksLine(c);
        // The control characters (category Cc) are exactly these two ranges.
        const bool control = !breaks && c != u'\t' && (c < 0x20 || (c >= 0x7f && c <= 0x9f));
        if (!breaks && !control)
            continue;
        lines.last().append(QStringView(stored).sliced(runStart, i - runStart));
        if (control) {
            lines.last().append(QChar::ReplacementCharacter);
        } else {
            // CR LF is one break.
            if (c == u'\r' && i + 1 < stored.size() && stored[i + 1] == u'\n')
                ++i;
            lines.append(QString());
        }
        runStart = i + 1;
    }
    lines.last().append(QStringView(stored).sliced(runStart));
    return lines;
}

} // namespace NoteLines
