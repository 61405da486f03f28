#pragma once

#include "platform/MonotonicClock.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

// A clock that stands still until the test moves it. Read from any thread. The calls asked
// for with callAfter are made while advance moves the clock past their time, in time order.
class ManualClock final : public MonotonicClock
{
public:
    qint64 nowNs() const override { return m_nowNs.load(); }

    void callAfter(int delayMs, QObject* context, std::function<void()> function) const override
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back({nowNs() + qint64(delayMs) * 1000000, context, std::move(function)});
    }

    void advance(std::chrono::nanoseconds by)
    {
        const qint64 now = m_nowNs += by.count();
        for (;;) {
            Call due;
            {
                std::lock_guard lock(m_mutex);
                const auto next = std::min_element(
                    m_calls.begin(), m_calls.end(),
                    [](const Call& a, const Call& b) { return a.dueNs < b.dueNs; });
                if (next == m_calls.end() || next->dueNs > now)
                    return;
                due = std::move(*next);
                m_calls.erase(next);
            }
            if (due.context)
                QMetaObject::invokeMethod(due.context.data(), std::move(due.function));
        }
    }

private:
    struct Call
    {
        qint64 dueNs = 0;
        QPointer<QObject> context;
        std::function<void()> function;
    };

    // Not zero: code may treat a zero or negative time as "never".
    std::atomic<qint64> m_nowNs = 1000000000;
    mutable std::mutex m_mutex;
    mutable std::vector<Call> m_calls;
};
