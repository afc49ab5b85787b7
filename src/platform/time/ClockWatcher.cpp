#include "platform/time/ClockWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>

#include <cerrno>
#include <climits>

#include <sys/timerfd.h>
#include <unistd.h>

namespace {

const QString kZoneFolder = QStringLiteral("/etc");
const QString kZoneFile = QStringLiteral("/etc/localtime");

// What the C library reads the local zone from: a link is replaced, a copy is rewritten.
QString zoneState()
{
    const QFileInfo info(kZoneFile);
    return info.symLinkTarget() + QLatin1Char('|') + QString::number(info.size()) + QLatin1Char('|')
        + QString::number(info.lastModified().toMSecsSinceEpoch());
}

} // namespace

ClockWatcher::ClockWatcher(QObject *parent)
    : QObject(parent)
    , m_clockTimer(timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC))
{
    // A timer that never expires on the wall clock: the kernel cancels it whenever the
    // clock is set, and on resume from suspend.
    if (armClockTimer()) {
        m_clockNotifier = new QSocketNotifier(m_clockTimer.get(), QSocketNotifier::Read, this);
        connect(m_clockNotifier, &QSocketNotifier::activated, this, &ClockWatcher::onClockTimer);
    }
    m_zoneState = zoneState();
    m_zoneWatcher = new QFileSystemWatcher(this);
    // The folder sees the link replaced; the file sees a copy rewritten in place.
    m_zoneWatcher->addPaths({kZoneFolder, kZoneFile});
    connect(m_zoneWatcher, &QFileSystemWatcher::directoryChanged, this, &ClockWatcher::onZoneFolderChanged);
    connect(m_zoneWatcher, &QFileSystemWatcher::fileChanged, this, &ClockWatcher::onZoneFolderChanged);
}

ClockWatcher::~ClockWatcher() = default;

bool ClockWatcher::armClockTimer()
{
    if (!m_clockTimer.isValid())
        return false;
    itimerspec never{};
    never.it_value.tv_sec = INT_MAX;
    return timerfd_settime(m_clockTimer.get(), TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr) == 0;
}

void ClockWatcher::onClockTimer()
{
    quint64 expirations = 0;
    if (read(m_clockTimer.get(), &expirations, sizeof expirations) >= 0 || errno != ECANCELED)
        return;
    // A cancelled timer stays cancelled until it is set again.
    if (!armClockTimer())
        m_clockNotifier->setEnabled(false);
    emit changed();
}

void ClockWatcher::onZoneFolderChanged()
{
    // A replaced file leaves the watch list.
    if (!m_zoneWatcher->files().contains(kZoneFile) && QFileInfo::exists(kZoneFile))
        m_zoneWatcher->addPath(kZoneFile);
    const QString state = zoneState();
    if (state == m_zoneState)
        return;
    m_zoneState = state;
    emit changed();
}
