#include "core/TimerScheduler.h"

#include <QTimer>

#include <cmath>

void TimerScheduler::after(double delaySeconds, QObject *context, std::function<void()> fn)
{
    // Round up: firing a hair early would land a tick before the second it is meant to show.
    const int ms = delaySeconds > 0 ? int(std::ceil(delaySeconds * 1000.0)) : 0;
    QTimer::singleShot(ms, Qt::PreciseTimer, context, std::move(fn));
}
