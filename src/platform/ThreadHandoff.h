#pragma once

#include <QObject>
#include <QThreadPool>

#include <functional>
#include <memory>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

// Tells ThreadSanitizer about a hand-off between threads that it cannot see because it is
// made inside a library built without it (Qt's event queue behind a queued call): what the
// sending thread did before handOff(token) happens before what the receiving thread does
// after takeOver(token). Both compile to nothing in ordinary builds.
class ThreadHandoff
{
public:
    static void handOff([[maybe_unused]] void* token)
    {
#if defined(__SANITIZE_THREAD__)
        __tsan_release(token);
#endif
    }
    static void takeOver([[maybe_unused]] void* token)
    {
#if defined(__SANITIZE_THREAD__)
        __tsan_acquire(token);
#endif
    }

    // Runs work on pool, what the caller did before happening before it (the pool's queue
    // is inside Qt). The task is made whole before the hand-off and reads nothing of its
    // own before taking it over.
    static void start(QThreadPool& pool, std::function<void()> work)
    {
        std::function<void()> task = [work = std::move(work)] {
            takeOver(&poolToken);
            work();
        };
        handOff(&poolToken);
        pool.start(std::move(task));
    }

    // Runs work on receiver's thread through its event queue, what the caller did before
    // happening before it: the work is made whole on the heap before the hand-off and the
    // queued call carries only its address. Dropped (with the receiver's other events) when
    // the receiver is destroyed first.
    static void post(QObject* receiver, std::function<void()> work)
    {
        auto* task = new std::function<void()>(std::move(work));
        handOff(task);
        QMetaObject::invokeMethod(
            receiver,
            [task] {
                takeOver(task);
                const std::unique_ptr<std::function<void()>> owned(task);
                (*owned)();
            },
            Qt::QueuedConnection);
    }

private:
    static inline char poolToken = 0;
};
