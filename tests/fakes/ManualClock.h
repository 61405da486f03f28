#pragma once

#include "platform/MonotonicClock.h"

#include <atomic>
#include <chrono>

// A clock that stands still until the test moves it. Read from any thread.
class ManualClock final : public MonotonicClock
{
public:
    qint64 nowNs() const override { return m_nowNs.load(); }
    void advance(std::chrono::nanoseconds by) { m_nowNs += by.count(); }

private:
    // Not zero: code may treat a zero or negative time as "never".
    std::atomic<qint64> m_nowNs = 1000000000;
};
