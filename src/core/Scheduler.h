#pragma once

#include <functional>

class QObject;

// One-shot delayed calls on the main thread. The model's ticker and flash
// reset go through it, so tests can fire them from a fake clock.
class Scheduler
{
public:
    virtual ~Scheduler() = default;

    // Calls fn once after delaySeconds, unless context has been destroyed by then.
    virtual void after(double delaySeconds, QObject *context, std::function<void()> fn) = 0;
};
