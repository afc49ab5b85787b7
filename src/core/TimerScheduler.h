#pragma once

#include "core/Scheduler.h"

class TimerScheduler final : public Scheduler
{
public:
    void after(double delaySeconds, QObject *context, std::function<void()> fn) override;
};
