#pragma once

#include <QtGlobal>

#include <functional>

class QObject;

// A clock that only moves forward, in nanoseconds from an arbitrary start. Timing logic
// (quiet periods, retry delays) reads the time through it rather than from the system, so
// that tests can hand in a clock they move by hand and run that logic without waiting.
class MonotonicClock
{
public:
    MonotonicClock() = default;
    MonotonicClock(const MonotonicClock&) = delete;
    MonotonicClock& operator=(const MonotonicClock&) = delete;
    virtual ~MonotonicClock() = default;

    // Safe to call from any thread.
    virtual qint64 nowNs() const = 0;
    // Calls `function` on the thread of `context` once `delayMs` milliseconds have passed on
    // this clock, unless `context` is gone by then. Delays the user sees (how long a status
    // line stays, when a slow action is reported) go through here, so that a test runs them
    // by moving its clock. The system's clock uses a Qt timer.
    virtual void callAfter(int delayMs, QObject* context, std::function<void()> function) const;

    // The system's steady clock. It keeps no state, so one instance serves everybody.
    static const MonotonicClock& system();
};
