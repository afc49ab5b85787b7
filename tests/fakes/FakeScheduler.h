#pragma once

#include "core/Scheduler.h"
#include "fakes/FakeClock.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <algorithm>

// Holds delayed calls until the test moves the fake clock past their time.
class FakeScheduler final : public Scheduler
{
public:
    explicit FakeScheduler(FakeClock &clock)
        : m_clock(clock)
    {
    }

    void after(double delaySeconds, QObject *context, std::function<void()> fn) override
    {
        m_pending.append({m_clock.now() + delaySeconds, m_sequence++, context, std::move(fn)});
    }

    // Moves the clock to t, firing due calls in time order with the clock at each one's time.
    void advanceTo(double t)
    {
        for (;;) {
            auto due = std::min_element(m_pending.begin(), m_pending.end(), [](const Call &a, const Call &b) {
                return a.at < b.at || (a.at == b.at && a.sequence < b.sequence);
            });
            if (due == m_pending.end() || due->at > t)
                break;
            const Call call = *due;
            m_pending.erase(due);
            m_clock.set(std::max(m_clock.now(), call.at));
            if (call.context)
                call.fn();
        }
        m_clock.set(std::max(m_clock.now(), t));
    }

    void advanceBy(double seconds) { advanceTo(m_clock.now() + seconds); }

    qsizetype pendingCount() const { return m_pending.size(); }

private:
    struct Call
    {
        double at;
        quint64 sequence;
        QPointer<QObject> context;
        std::function<void()> fn;
    };

    FakeClock &m_clock;
    QList<Call> m_pending;
    quint64 m_sequence = 0;
};
