#include "core/LongDateFormatter.h"

#include "core/DatePattern.h"
#include "core/DatePatternCache.h"
#include "core/XdgFolders.h"

#include <QDate>

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/uversion.h>

namespace {

QString fromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

std::optional<QString> generatedPattern(const icu::Locale &locale)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status))
        return std::nullopt;
    const icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString(u"EEEEMMMMd"), status);
    if (U_FAILURE(status) || pattern.isEmpty())
        return std::nullopt;
    return fromIcu(pattern);
}

} // namespace

struct LongDateFormatter::Format
{
    std::unique_ptr<icu::DateFormat> icu;

    static std::unique_ptr<Format> make(const icu::Locale &locale, const QString &pattern)
    {
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString icuPattern(reinterpret_cast<const char16_t *>(pattern.utf16()),
                                            int32_t(pattern.size()));
        auto format = std::make_unique<icu::SimpleDateFormat>(icuPattern, locale, status);
        if (U_FAILURE(status))
            return nullptr;
        // The date is handed over as noon UTC, so the formatter must not shift it by a zone.
        format->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC")));
        return std::make_unique<Format>(Format{std::move(format)});
    }

    QString format(const QDate &date) const
    {
        const QDateTime noon(date, QTime(12, 0), Qt::UTC);
        icu::UnicodeString text;
        icu->format(UDate(noon.toMSecsSinceEpoch()), text);
        return fromIcu(text);
    }
};

LongDateFormatter::LongDateFormatter(const QString &localeName, const QString &cacheFolder)
    : m_locale(localeName)
{
    // Built only when ICU formats or the cache misses: a Locale costs half a megabyte of data.
    const auto locale
        = [&] { return icu::Locale(localeName == QLatin1String("C") ? "en_US" : localeName.toUtf8().constData()); };
    const QString icu = icuVersion();
    const QString qt = QString::fromLatin1(qVersion());
    if (!cacheFolder.isEmpty()) {
        if (const auto entry = DatePatternCache::find(cacheFolder, localeName, icu, qt)) {
            if (entry->qlocaleMatches)
                m_qlocaleFormat = DatePattern::qlocaleFormat(entry->pattern);
            if (!m_qlocaleFormat)
                m_format = Format::make(locale(), entry->pattern);
            if (m_qlocaleFormat || m_format)
                return;
        }
    }

    const icu::Locale missed = locale();
    const std::optional<QString> pattern = generatedPattern(missed);
    if (!pattern)
        return;
    m_format = Format::make(missed, *pattern);
    if (!m_format)
        return;
    // QLocale stands in for ICU only where it gives the same text for every day of a leap
    // year: the same names, digits and order, and the same calendar.
    std::optional<QString> qlocaleFormat = DatePattern::qlocaleFormat(*pattern);
    const QDate first(2028, 1, 1);
    for (QDate day = first; qlocaleFormat && day.year() == first.year(); day = day.addDays(1)) {
        if (m_locale.toString(day, *qlocaleFormat) != m_format->format(day))
            qlocaleFormat.reset();
    }
    if (qlocaleFormat) {
        m_qlocaleFormat = qlocaleFormat;
        m_format.reset();
    }
    // The cache only saves time: a folder that cannot be written changes nothing else.
    if (!cacheFolder.isEmpty())
        DatePatternCache::store(cacheFolder, {localeName, icu, qt, *pattern, m_qlocaleFormat.has_value()});
}

LongDateFormatter::~LongDateFormatter() = default;

QString LongDateFormatter::defaultCacheFolder()
{
    return XdgFolders::cacheHome() + QStringLiteral("/orvanta");
}

QString LongDateFormatter::icuVersion()
{
    UVersionInfo version;
    u_getVersion(version);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(version, text);
    return QString::fromLatin1(text);
}

QString LongDateFormatter::format(const QDate &date) const
{
    if (!date.isValid())
        return {};
    if (m_qlocaleFormat)
        return m_locale.toString(date, *m_qlocaleFormat);
    return m_format ? m_format->format(date) : QString();
}
