#pragma once

#include "platform/MonotonicClock.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>

// A clock that stands still until the test moves it. Read from any thread. The calls asked
// for with callAfter are made while advance moves the clock past their time, in time order.
class ManualClock final : public MonotonicClock
{
public:
    qint64 nowNs() const override { return m_nowNs.load(); }

    void callAfter(int delayMs, QObject* context, std::function<void()> function) const override
    {
        std::lock_guard lock(m_mutex);
        m_calls.emplace(nowNs() + qint64(delayMs) * 1000000, Call{context, std::move(function)});
    }

    void advance(std::chrono::nanoseconds by)
    {
        const qint64 now = m_nowNs += by.count();
        for (;;) {
            std::unique_lock lock(m_mutex);
            if (m_calls.empty() || m_calls.begin()->first > now)
                return;
            Call due = std::move(m_calls.begin()->second);
            m_calls.erase(m_calls.begin());
            lock.unlock();
            if (due.first)
                QMetaObject::invokeMethod(due.first.data(), std::move(due.second));
        }
    }

private:
    using Call = std::pair<QPointer<QObject>, std::function<void()>>;
    // Not zero: code may treat a zero or negative time as "never".
    std::atomic<qint64> m_nowNs = 1000000000;
    mutable std::mutex m_mutex;
    mutable std::multimap<qint64, Call> m_calls; // by due time, then in the order asked
};
