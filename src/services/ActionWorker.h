#pragma once

#include <QUuid>

#include <functional>
#include <memory>
#include <thread>

// Runs tasks one at a time, in the order they were posted, on a thread of its own. A task
// that never returns (a file system that stopped answering) can be left behind: the tasks
// still waiting then go on, in order, on a fresh thread, and the old thread ends as soon as
// its task returns, without taking another. Tasks must not throw.
//
// Called from one thread (the one that owns the worker); the tasks run on the others.
class ActionWorker
{
public:
    using Task = std::function<void()>;

    // name: the thread's name as the system shows it (at most 15 bytes are kept).
    explicit ActionWorker(const char* name);
    // finish(). Tasks left behind are not waited for.
    ~ActionWorker();
    ActionWorker(const ActionWorker&) = delete;
    ActionWorker& operator=(const ActionWorker&) = delete;

    void post(const QUuid& id, Task task);
    // Takes the task out before it starts: false once it has started (or when unknown).
    // whileHeld runs before the next task can start, so that what it writes is seen by the
    // tasks behind.
    bool remove(const QUuid& id, const std::function<void()>& whileHeld = {});
    // Whether the task runs now on the current thread.
    bool isRunning(const QUuid& id) const;
    // Leaves the running task id behind on its thread; the tasks waiting behind it run on a
    // fresh thread from now on. False when id does not run now.
    bool abandon(const QUuid& id);
    // Tasks left behind that have not returned yet.
    int abandonedCount() const;
    // Waits up to timeoutMs until every task left behind has returned.
    bool waitForAbandoned(int timeoutMs) const;
    // Runs what still waits and ends the thread (the destructor does it too).
    void finish();

private:
    struct State;
    void startThread();
    // The loop of one thread: it takes tasks while its generation is the current one.
    static void runTasks(const std::shared_ptr<State>& state, quint64 generation);

    const char* m_name;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};
