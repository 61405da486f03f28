#pragma once

#include <QString>
#include <QThread>

#include <functional>

// A thread running an event loop of its own, with a context object that lives on it: work
// is queued to the context, or run there while the caller waits. The thread starts at
// construction and is stopped and joined by finish() or at destruction, which deletes the
// context and what is parented to it.
class EventLoopThread
{
public:
    EventLoopThread(const QString& name, QThread::Priority priority);
    ~EventLoopThread();
    EventLoopThread(const EventLoopThread&) = delete;
    EventLoopThread& operator=(const EventLoopThread&) = delete;

    QObject* context() const { return m_context; }
    bool isCurrent() const { return QThread::currentThread() == &m_thread; }
    // Runs work on the thread and returns once it is done; at once when called there.
    void runAndWait(const std::function<void()>& work) const;
    // Queues work on the thread and returns at once.
    void post(std::function<void()> work) const;
    // Stops the event loop and waits for the thread to end.
    void finish();

private:
    QThread m_thread;
    QObject* m_context;
};
