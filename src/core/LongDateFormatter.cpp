#include "core/LongDateFormatter.h"

#include <QDate>

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

struct LongDateFormatter::Format
{
    std::unique_ptr<icu::DateFormat> icu;
};

LongDateFormatter::LongDateFormatter(const QString &localeName)
{
    const QByteArray name = localeName == QLatin1String("C") ? QByteArray("en_US") : localeName.toUtf8();
    const icu::Locale locale(name.constData());
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status))
        return;
    const icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString(u"EEEEMMMMd"), status);
    auto format = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
    if (U_FAILURE(status))
        return;
    // The date is handed over as noon UTC, so the formatter must not shift it by a zone.
    format->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC")));
    m_format = std::make_unique<Format>(Format{std::move(format)});
}

LongDateFormatter::~LongDateFormatter() = default;

QString LongDateFormatter::format(const QDate &date) const
{
    if (!m_format || !date.isValid())
        return {};
    const QDateTime noon(date, QTime(12, 0), Qt::UTC);
    icu::UnicodeString text;
    m_format->icu->format(UDate(noon.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}
