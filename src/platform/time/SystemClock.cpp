#include "platform/time/SystemClock.h"

#include <chrono>

#include <time.h>

double SystemClock::now() const
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

double SystemClock::elapsed() const
{
    timespec ts{};
    // The monotonic clock stops while the machine sleeps; it stands in only on a kernel
    // without the boot-time clock.
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0)
        clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
