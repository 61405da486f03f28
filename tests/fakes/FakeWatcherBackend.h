#pragma once

#include "platform/WatcherBackend.h"

// A file-system watcher that watches nothing: the test emits its signals by hand.
class FakeWatcherBackend final : public WatcherBackend
{
public:
    bool start(const QString&, QString*) override { return m_watching = true; }
    void stop() override { m_watching = false; }
    bool isWatching() const override { return m_watching; }
    int watchCount() const override { return m_watching ? 1 : 0; }
    using WatcherBackend::becameUnreliable;
    using WatcherBackend::eventsArrived;
    using WatcherBackend::eventsLost;
    using WatcherBackend::rootArmed;
    using WatcherBackend::rootChanged;

private:
    bool m_watching = false;
};
