#include "core/LocalTime.h"

#include <ctime>

namespace {

qint64 floorDiv(qint64 value, qint64 divisor)
{
    return value / divisor - (value % divisor < 0 ? 1 : 0);
}

} // namespace

QDateTime LocalTime::at(qint64 msecsSinceEpoch)
{
    const qint64 minute = floorDiv(msecsSinceEpoch, 60'000);
    if (minute != m_loadedMinute) {
        ::tzset();
        m_loadedMinute = minute;
    }
    // localtime_r(), unlike localtime(), keeps the rules it has.
    const std::time_t seconds = std::time_t(floorDiv(msecsSinceEpoch, 1000));
    std::tm fields{};
    if (!::localtime_r(&seconds, &fields))
        return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch);
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::OffsetFromUTC, int(fields.tm_gmtoff));
}
