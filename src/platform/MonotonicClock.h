#pragma once

#include <QtGlobal>

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

    // The system's steady clock. It keeps no state, so one instance serves everybody.
    static const MonotonicClock& system();
};
