#pragma once

#include <QObject>

class Scheduler;
class SettingsStore;

// Spaces out the saves of a setting that changes many times a second (the card's width while
// its edge is dragged): every change is in the store's memory at once, and the file is written
// at most once per interval while changes go on, and once more when they end (finish()).
class SaveThrottle : public QObject
{
    Q_OBJECT

public:
    static constexpr double kIntervalSeconds = 0.25;

    SaveThrottle(SettingsStore &settings, Scheduler &scheduler, QObject *parent = nullptr);

    // A change was made with SettingsStore::Save::Later.
    void changed();
    // The run of changes is over: what is unsaved is saved now.
    void finish();

private:
    SettingsStore &m_settings;
    Scheduler &m_scheduler;
    bool m_pending = false;
};
