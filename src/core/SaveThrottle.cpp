#include "core/SaveThrottle.h"

#include "core/Scheduler.h"
#include "core/SettingsStore.h"

SaveThrottle::SaveThrottle(SettingsStore &settings, Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_scheduler(scheduler)
{
}

void SaveThrottle::changed()
{
    if (m_pending)
        return;
    m_pending = true;
    m_scheduler.after(kIntervalSeconds, this, [this] {
        m_pending = false;
        m_settings.saveInBackground();
    });
}

void SaveThrottle::finish()
{
    m_settings.saveInBackground();
}
