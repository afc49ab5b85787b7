#pragma once

#include <QLocale>
#include <QString>

#include <memory>
#include <optional>

class QDate;

// The user's localized long weekday, month and day ("Tuesday, December 8" in
// English), without year or time, exactly as ICU formats the pattern its pattern
// generator gives for the locale. ICU's formatting data costs memory and time at every
// start, so the pattern is kept in a cache folder, and where QLocale renders it exactly as
// ICU does (checked when the pattern is generated) QLocale formats the dates. ICU is asked
// again only when the locale, ICU or Qt changes, or the cache cannot be read.
class LongDateFormatter
{
public:
    // localeName as QLocale::name() gives it; the C locale reads as US English. Without a
    // cache folder the pattern is generated anew.
    explicit LongDateFormatter(const QString &localeName, const QString &cacheFolder = QString());
    ~LongDateFormatter();

    // $XDG_CACHE_HOME/orvanta, or ~/.cache/orvanta.
    static QString defaultCacheFolder();
    // The running ICU's version, which the cache's entries are made with.
    static QString icuVersion();

    // An empty text when the locale's data could not be loaded.
    QString format(const QDate &date) const;

    // Whether QLocale formats the dates, rather than ICU.
    bool formatsWithQLocale() const { return m_qlocaleFormat.has_value(); }

private:
    // ICU's formatter, kept out of this header.
    struct Format;
    std::unique_ptr<Format> m_format;
    QLocale m_locale;
    std::optional<QString> m_qlocaleFormat;
};
