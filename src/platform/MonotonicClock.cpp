#include "platform/MonotonicClock.h"

#include <QTimer>

#include <ctime>

namespace {

class SteadyClock final : public MonotonicClock
{
public:
    qint64 nowNs() const override
    {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }
};

} // namespace

void MonotonicClock::callAfter(int delayMs, QObject* context, std::function<void()> function) const
{
    QTimer::singleShot(delayMs, context, std::move(function));
}

const MonotonicClock& MonotonicClock::system()
{
    static const SteadyClock clock;
    return clock;
}
