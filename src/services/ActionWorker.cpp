#include "services/ActionWorker.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <pthread.h>
#include <utility>

struct ActionWorker::State
{
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::deque<std::pair<QUuid, Task>> waiting;
    QUuid running;          // the task of the current thread
    quint64 generation = 0; // the current thread's; a thread left behind has an older one
    int abandoned = 0;      // threads left behind whose task has not returned
    bool stopping = false;
};

ActionWorker::ActionWorker(const char* name) : m_name(name), m_state(std::make_shared<State>())
{
    startThread();
}

ActionWorker::~ActionWorker()
{
    finish();
}

void ActionWorker::finish()
{
    {
        std::lock_guard guard(m_state->mutex);
        m_state->stopping = true;
    }
    m_state->changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void ActionWorker::startThread()
{
    const quint64 generation = m_state->generation;
    m_thread = std::thread([state = m_state, generation, name = m_name] {
        ::pthread_setname_np(::pthread_self(), name);
        runTasks(state, generation);
    });
}

void ActionWorker::post(const QUuid& id, Task task)
{
    {
        std::lock_guard guard(m_state->mutex);
        m_state->waiting.emplace_back(id, std::move(task));
    }
    m_state->changed.notify_all();
}

bool ActionWorker::remove(const QUuid& id, const std::function<void()>& whileHeld)
{
    Task removed; // destroyed outside the lock
    std::lock_guard guard(m_state->mutex);
    for (auto it = m_state->waiting.begin(); it != m_state->waiting.end(); ++it) {
        if (it->first == id) {
            removed = std::move(it->second);
            m_state->waiting.erase(it);
            if (whileHeld)
                whileHeld();
            return true;
        }
    }
    return false;
}

bool ActionWorker::isRunning(const QUuid& id) const
{
    std::lock_guard guard(m_state->mutex);
    return !id.isNull() && m_state->running == id;
}

bool ActionWorker::abandon(const QUuid& id)
{
    {
        std::lock_guard guard(m_state->mutex);
        if (id.isNull() || m_state->running != id)
            return false;
        ++m_state->generation;
        ++m_state->abandoned;
        m_state->running = QUuid();
    }
    // The old thread finds its generation gone when its task returns, and ends.
    m_thread.detach();
    startThread();
    m_state->changed.notify_all();
    return true;
}

int ActionWorker::abandonedCount() const
{
    std::lock_guard guard(m_state->mutex);
    return m_state->abandoned;
}

bool ActionWorker::waitForAbandoned(int timeoutMs) const
{
    std::unique_lock lock(m_state->mutex);
    return m_state->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [this] { return m_state->abandoned == 0; });
}

void ActionWorker::runTasks(const std::shared_ptr<State>& state, quint64 generation)
{
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->changed.wait(lock, [&] { return !state->waiting.empty() || state->stopping; });
        if (state->waiting.empty())
            return; // stopping, and nothing is left
        auto [id, task] = std::move(state->waiting.front());
        state->waiting.pop_front();
        state->running = id;
        lock.unlock();
        task();
        task = {};
        lock.lock();
        if (state->generation != generation) {
            // Left behind while the task ran: the tasks behind it went to another thread.
            --state->abandoned;
            state->changed.notify_all();
            return;
        }
        state->running = QUuid();
        state->changed.notify_all();
    }
}
