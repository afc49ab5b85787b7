#pragma once

#include "core/Clock.h"

class FakeClock final : public Clock
{
public:
    explicit FakeClock(double start = 1'700'000'000.0)
        : m_now(start)
    {
    }

    double now() const override { return m_now; }
    void set(double t) { m_now = t; }

private:
    double m_now;
};
