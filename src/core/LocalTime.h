#pragma once

#include <QDateTime>

#include <limits>

// The local wall time at an instant, by the C library's rules for the system's time zone.
// QDateTime's own conversion reloads the zone before each one, a look-up of /etc/localtime
// in the file system, and the face converts every second. Here the zone is reloaded when the
// minute changes and when reload() says it may have changed (the clock watcher reports a
// new zone at once); the rules already loaded place every daylight-saving change exactly.
class LocalTime
{
public:
    QDateTime at(qint64 msecsSinceEpoch);
    // Seconds ahead of UTC.
    int offsetAt(qint64 msecsSinceEpoch) { return at(msecsSinceEpoch).offsetFromUtc(); }
    void reload() { m_loadedMinute = kNever; }

private:
    static constexpr qint64 kNever = std::numeric_limits<qint64>::min();
    qint64 m_loadedMinute = kNever;
};
