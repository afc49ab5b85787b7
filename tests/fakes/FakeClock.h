#pragma once

#include "core/Clock.h"

// Both clocks move together with set(); jump() moves only the wall clock, as a user or
// the network setting the time does.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double start = 1'700'000'000.0)
        : m_now(start)
    {
    }

    double now() const override { return m_now; }
    double elapsed() const override { return m_now - m_wallAhead; }

    // Time passes (or, before a test, is placed) until the wall clock reads t.
    void set(double t) { m_now = t; }
    void jump(double seconds)
    {
        m_now += seconds;
        m_wallAhead += seconds;
    }

private:
    double m_now;
    double m_wallAhead = 0;
};
