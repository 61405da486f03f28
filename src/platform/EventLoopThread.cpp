#include "platform/EventLoopThread.h"

#include "platform/ThreadHandoff.h"

#include <condition_variable>
#include <memory>
#include <mutex>

EventLoopThread::EventLoopThread(const QString& name, QThread::Priority priority)
    : m_context(new QObject)
{
    m_thread.setObjectName(name);
    m_context->moveToThread(&m_thread);
    m_thread.start(priority);
}

EventLoopThread::~EventLoopThread()
{
    finish();
    delete m_context;
}

void EventLoopThread::finish()
{
    m_thread.quit();
    m_thread.wait();
}

void EventLoopThread::runAndWait(const std::function<void()>& work) const
{
    if (isCurrent()) {
        work();
        return;
    }
    // The hand-off is a standard mutex and condition variable rather than a blocking queued
    // connection, whose wait happens inside libQt6Core where ThreadSanitizer cannot see that
    // the work is done before the caller reads its results.
    std::mutex doneLock;
    std::condition_variable doneSignal;
    bool done = false;
    ThreadHandoff::handOff(&done);
    QMetaObject::invokeMethod(
        m_context,
        [&] {
            ThreadHandoff::takeOver(&done);
            work();
            // Notified under the lock: the caller cannot return and destroy these first.
            const std::lock_guard lock(doneLock);
            done = true;
            doneSignal.notify_one();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(doneLock);
    doneSignal.wait(lock, [&] { return done; });
}

void EventLoopThread::post(std::function<void()> work) const
{
    ThreadHandoff::post(m_context, std::move(work));
}
