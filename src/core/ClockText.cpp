#include "core/ClockText.h"

#include "core/SettingsKeys.h"
#include "core/SettingsStore.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTime>

#include <cmath>

namespace ClockText {

namespace {
QString twoDigits(qint64 n)
{
    return QString::number(n).rightJustified(2, u'0');
}
} // namespace

QString timeString(const QTime &time, bool h24, bool showSeconds)
{
    const int hour = time.hour();
    QString text = h24 ? twoDigits(hour) : QString::number(hour % 12 == 0 ? 12 : hour % 12);
    text += u':' + twoDigits(time.minute());
    if (showSeconds)
        text += u':' + twoDigits(time.second());
    return text;
}

bool localeUses24Hours(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    // Quoted text is literal; an AM/PM marker outside quotes is "a", "A", "ap" or "AP".
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && (c == u'a' || c == u'A'))
            return false;
    }
    return true;
}

bool uses24Hours(const SettingsStore &settings, const QLocale &locale)
{
    return settings.boolValue(QLatin1String(Keys::h24.name), localeUses24Hours(locale));
}

QString countdownString(double seconds)
{
    const auto n = static_cast<qint64>(std::ceil(seconds));
    const qint64 minutes = (n % 3600) / 60;
    const qint64 secs = n % 60;
    if (n < 3600)
        return twoDigits(minutes) + u':' + twoDigits(secs);
    return QString::number(n / 3600) + u':' + twoDigits(minutes) + u':' + twoDigits(secs);
}

bool isAfternoon(const QTime &time)
{
    return time.hour() >= 12;
}

QString dayHalf(bool afternoon)
{
    if (afternoon) {
        //: Beside the clock's digits, lit after noon; as short as the language allows
        return QCoreApplication::translate("ClockText", "PM");
    }
    //: Beside the clock's digits, lit before noon; as short as the language allows
    return QCoreApplication::translate("ClockText", "AM");
}

QString spokenTime(const QTime &time, bool h24, const QString &date)
{
    QString spoken = h24 ? timeString(time, true, false)
                         : QCoreApplication::translate("ClockText", "%1 %2", "time of day, then AM or PM")
                               .arg(timeString(time, false, false), dayHalf(isAfternoon(time)));
    if (!date.isEmpty())
        spoken = QCoreApplication::translate("ClockText", "%1, %2", "time of day, then the date").arg(spoken, date);
    return spoken;
}

QString spokenCountdown(double seconds)
{
    const auto n = static_cast<qint64>(std::ceil(seconds));
    const auto hours = int(n / 3600);
    const auto minutes = int(n % 3600 / 60);
    const auto secs = int(n % 60);
    QStringList parts;
    if (hours > 0)
        parts << QCoreApplication::translate("ClockText", "%n hour(s)", nullptr, hours);
    if (minutes > 0)
        parts << QCoreApplication::translate("ClockText", "%n minute(s)", nullptr, minutes);
    if (secs > 0 || parts.isEmpty())
        parts << QCoreApplication::translate("ClockText", "%n second(s)", nullptr, secs);
    return QCoreApplication::translate("ClockText", "Countdown, %1 left").arg(parts.join(u' '));
}

} // namespace ClockText
