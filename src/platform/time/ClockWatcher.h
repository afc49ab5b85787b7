#pragma once

#include "platform/UniqueFd.h"

#include <QObject>

class QFileSystemWatcher;
class QSocketNotifier;

// Tells when the time the card shows may have moved without any timer firing: the
// wall clock was set, the machine woke from sleep, or the system's time zone changed.
class ClockWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ClockWatcher(QObject *parent = nullptr);
    ~ClockWatcher() override;

signals:
    void changed();

private:
    bool armClockTimer();
    void onClockTimer();
    void onZoneFolderChanged();

    UniqueFd m_clockTimer;
    QSocketNotifier *m_clockNotifier = nullptr;
    QFileSystemWatcher *m_zoneWatcher = nullptr;
    QString m_zoneState;
};
