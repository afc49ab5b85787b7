#pragma once

#include <QString>

// The program's one notion of removable whitespace: the character tabulation
// and every Unicode space separator (Zs). Line breaks are not in it.
namespace Whitespace {

bool isTrimmable(QChar c);
QString trimmed(const QString &text);

} // namespace Whitespace
