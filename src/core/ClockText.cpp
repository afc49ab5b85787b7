#include "core/ClockText.h"

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

} // namespace ClockText
