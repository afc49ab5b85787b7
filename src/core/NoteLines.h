#pragma once

#include <QString>
#include <QStringList>

// How a stored note's text reaches the screen: every character shows, none is lost.
//  - A line break is a line break: LF, CR, CR LF (one break), the line and form
//    tabulations, NEL, and the line and paragraph separators (Unicode's mandatory breaks).
//  - A tab stays a tab; the view draws it as a gap up to the next tab stop.
//  - Every other control character shows as U+FFFD, the replacement character, which the
//    common desktop fonts draw (the control pictures block is missing from most of them).
namespace NoteLines {

QStringList split(const QString &stored);

} // namespace NoteLines
