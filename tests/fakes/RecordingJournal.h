#pragma once

#include "platform/SystemJournal.h"

#include <QList>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QThread>

#include <atomic>
#include <utility>

// Takes the lines meant for the system journal instead of sending them, so that no test
// writes to the journal of whoever runs it. Keeps them when `keep` is set (with the thread
// each came from), counts them always, and can hold each send back on a semaphore.
class RecordingJournal : public SystemJournal
{
public:
    struct Entry
    {
        int priority;
        QString message;
        QString thread;
    };

    explicit RecordingJournal(bool keepLines = true) : keep(keepLines) {}

    void send(Priority priority, const char* message, std::size_t length) override
    {
        if (gate)
            gate->acquire();
        ++count;
        if (!keep)
            return;
        QMutexLocker locker(&mutex);
        entries.append({priority, QString::fromUtf8(message, qsizetype(length)),
                        QThread::currentThread()->objectName()});
    }

    QList<Entry> take()
    {
        QMutexLocker locker(&mutex);
        return std::exchange(entries, {});
    }

    const bool keep;
    QSemaphore* gate = nullptr;
    std::atomic<int> count{0};
    QMutex mutex;
    QList<Entry> entries;
};
