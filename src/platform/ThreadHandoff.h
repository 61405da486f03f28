#pragma once

#include <QThreadPool>

#include <functional>

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

private:
    static inline char poolToken = 0;
};
