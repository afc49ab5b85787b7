#pragma once

#include <QString>

#include <memory>

class QDate;

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
    // ICU's formatter, kept out of this header.
    struct Format;
    std::unique_ptr<Format> m_format;
};
