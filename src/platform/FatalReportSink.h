#pragma once

// What the crash handler knows about a fatal crash, as plain C data.
struct FatalReport
{
    const char* timestamp;
    const char* name;
    const char* reason;
    void* const* frames;
    int frameCount;
};

// Where the crash handler hands a fatal crash after writing crash.log: the crash reporter.
// Called from a signal handler: implementations may only make async-signal-safe calls and
// must not allocate or lock.
class FatalReportSink
{
public:
    virtual ~FatalReportSink() = default;
    virtual void writeFatalReport(const FatalReport& report) noexcept = 0;
};
