#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// ICU's date patterns in the words of QLocale's date formats.
namespace DatePattern {

// The QLocale format that asks for the same fields as an ICU pattern: weekday names (E, c),
// month numbers and names (M, L) and the day of the month (d), with every literal quoted.
// Nothing when the pattern holds a field QLocale has no counterpart for (an era, a year, a
// narrow name, a numeric weekday) or an unclosed quote.
std::optional<QString> qlocaleFormat(QStringView icuPattern);

} // namespace DatePattern
