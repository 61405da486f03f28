#pragma once

#include <QString>

#include <cstdint>

// The log's time stamps: ISO-8601 internet date-time in UTC with second precision, for
// example 2026-03-01T14:05:09Z. Formatting uses neither locks nor the heap, so the crash
// handler can use it inside a signal handler.
class UtcTimestamp
{
public:
    // Characters in a time stamp, without the terminating NUL.
    static constexpr int length = 20;

    // Writes the time stamp for secondsSinceEpoch and a NUL into out[0..length].
    static void format(std::int64_t secondsSinceEpoch, char* out) noexcept;
    // The same for the current time (async-signal-safe).
    static void formatNow(char* out) noexcept;
    static QString now();
};
