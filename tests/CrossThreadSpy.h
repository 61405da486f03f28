#pragma once

#include <QList>
#include <QObject>
#include <QVariant>

#include <type_traits>

// A QSignalSpy for signals emitted on another thread. QSignalSpy records on the emitting
// thread, so reading it from the test's thread races with the next emission; this one
// records through a queued connection, on the thread it lives on. The records arrive while
// that thread runs its event loop (QTRY_* waits do).
class CrossThreadSpy : public QObject, public QList<QList<QVariant>>
{
public:
    template <typename Sender, typename... Args>
    CrossThreadSpy(const Sender* sender, void (Sender::*signal)(Args...))
    {
        QObject::connect(
            sender, signal, this,
            [this](Args... args) {
                append(QList<QVariant>{QVariant::fromValue(std::decay_t<Args>(args))...});
            },
            Qt::QueuedConnection);
    }
};
