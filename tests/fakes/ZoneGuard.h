#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// Sets the time zone the C library (and so QDateTime) uses, and puts the old one back.
class ZoneGuard
{
public:
    explicit ZoneGuard(const QByteArray &zone)
        : m_old(qgetenv("TZ"))
    {
        set(zone);
    }
    ~ZoneGuard()
    {
        if (m_old.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", m_old);
        ::tzset();
    }
    ZoneGuard(const ZoneGuard &) = delete;
    ZoneGuard &operator=(const ZoneGuard &) = delete;

    static void set(const QByteArray &zone)
    {
        qputenv("TZ", zone);
        ::tzset();
    }

private:
    QByteArray m_old;
};
