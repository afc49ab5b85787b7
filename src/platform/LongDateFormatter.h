#pragma once

#include <QString>

#include <unicode/uversion.h>

#include <memory>

class QDate;

U_NAMESPACE_BEGIN
class DateFormat;
U_NAMESPACE_END

// The user's localized long weekday, month and day ("Tuesday, December 8" in
// English), without year or time, through ICU's pattern generator.
class LongDateFormatter
{
public:
    // localeName as QLocale::name() gives it; the C locale reads as US English.
    explicit LongDateFormatter(const QString &localeName);
    ~LongDateFormatter();

    // An empty text when the locale's data could not be loaded.
    QString format(const QDate &date) const;

private:
    std::unique_ptr<icu::DateFormat> m_format;
};
