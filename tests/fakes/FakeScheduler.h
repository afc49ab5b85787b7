#pragma once

#include "core/Scheduler.h"
#include "fakes/FakeClock.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <algorithm>

// Holds delayed calls until the test moves the fake clock past their time. Like the real
// timers, it counts on the clock that never jumps: setting the wall clock moves no call.
class FakeScheduler final : public Scheduler
{
public:
    explicit FakeScheduler(FakeClock &clock)
        : m_clock(clock)
    {
    }

    void after(double delaySeconds, QObject *context, std::function<void()> fn) override
    {
        m_pending.append({m_clock.elapsed() + delaySeconds, m_sequence++, context, std::move(fn)});
    }

    // Moves the clock until the wall clock reads t, firing due calls in time order with the
    // clock at each one's time.
    void advanceTo(double t)
    {
        const double end = m_clock.elapsed() + (t - m_clock.now());
        for (;;) {
            auto due = std::min_element(m_pending.begin(), m_pending.end(), [](const Call &a, const Call &b) {
                return a.at < b.at || (a.at == b.at && a.sequence < b.sequence);
            });
            if (due == m_pending.end() || due->at > end)
                break;
            const Call call = *due;
            m_pending.erase(due);
            moveTo(call.at);
            if (call.context)
                call.fn();
        }
        moveTo(end);
    }

    void advanceBy(double seconds) { advanceTo(m_clock.now() + seconds); }

    // The machine sleeps: both clocks move on, but the timers, which count only waking
    // time, fire that much later.
    void suspend(double seconds)
    {
        m_clock.set(m_clock.now() + seconds);
        for (Call &call : m_pending)
            call.at += seconds;
    }

    // Calls that will still be made.
    qsizetype pendingCount() const
    {
        return std::count_if(m_pending.begin(), m_pending.end(),
                             [](const Call &call) { return !call.context.isNull(); });
    }

private:
    struct Call
    {
        double at; // on the clock that never jumps
        quint64 sequence;
        QPointer<QObject> context;
        std::function<void()> fn;
    };

    void moveTo(double elapsed)
    {
        if (elapsed > m_clock.elapsed())
            m_clock.set(m_clock.now() + (elapsed - m_clock.elapsed()));
    }

    FakeClock &m_clock;
    QList<Call> m_pending;
    quint64 m_sequence = 0;
};
