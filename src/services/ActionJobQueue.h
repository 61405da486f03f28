#pragma once

#include "models/AppError.h"
#include "models/FileOperationError.h"
#include "platform/ThreadHandoff.h"
#include "services/ActionJob.h"
#include "services/ActionWorker.h"
#include "services/FileActionRunner.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QStringList>
#include <QUuid>

#include <memory>
#include <mutex>
#include <optional>

class FileExecutionEngine;
class LoggerService;
class MonotonicClock;
class QTimer;

// The operations of the triage actions in the order they run on one worker thread, the first
// one running: it adds them, runs their work on the worker and hands each result back to this
// thread (unless the job was left behind meanwhile), follows the running one (its bytes and
// members done, the time left, a stall, the watchdog of an action that runs long) and says
// what the progress strip shows. It takes out a job still waiting and leaves a running one
// behind on its thread when asked. What an outcome means for the items, the queue and the
// status line is the owner's business (TriageActionController).
class ActionJobQueue : public QObject
{
    Q_OBJECT
public:
    // The result of work done on the worker: its value, or the error it threw.
    template <typename T> struct Result
    {
        T value{};
        bool ok = false;
        AppError error;
    };
    // What the progress strip shows: the file action running now and those behind it.
    struct RunningAction
    {
        QUuid id;
        QString text;         // "Moving report.pdf to Documents"
        qint64 bytesDone = 0; // of a copy onto another file system; of all files of a group
        qint64 bytesTotal = 0;
        // A group action: members done of all; both 0 for an action on one item.
        int filesDone = 0;
        int filesTotal = 0;
        std::optional<qint64> msLeft; // once the pace is known
        bool stalled = false;         // no progress for the stall interval
        bool cancelling = false;
        // The actions waiting behind it, in order ("Move notes.txt to Documents").
        QList<QUuid> waitingIds;
        QStringList waiting;
    };

    // engine: whose copy progress is the running job's.
    ActionJobQueue(FileExecutionEngine& engine, LoggerService& logger, const MonotonicClock& clock,
                   QObject* parent = nullptr);
    // finish()
    ~ActionJobQueue() override;
    // Waits for the operation in flight and those queued behind it (jobs left behind are
    // not waited for).
    void finish() { m_worker.finish(); }

    void setWatchdogInterval(int ms) { m_watchdogMs = ms; }
    int watchdogInterval() const { return m_watchdogMs; }
    void setProgressDelay(int ms) { m_progressDelayMs = ms; }
    void setStallInterval(int ms) { m_stallMs = ms; }
    // How often a running job's time left and stall are looked at again (250 ms).
    void setTickInterval(int ms);

    // Adds job behind the others with a fresh id and control; a job that holds the lock is
    // watched: past the watchdog interval it is late().
    QUuid add(ActionJob job);
    // Runs work on the worker for job id and hands its Result<T> to done here, unless the job
    // was left behind meanwhile.
    template <typename T, typename Work, typename Done>
    void post(const QUuid& id, Work work, Done done);
    // Takes job id out: it ended, was taken out before it started or was left behind.
    ActionJob take(const QUuid& id);
    // Takes out the job id that has not started; whileHeld runs before the next job can
    // start. False once it started.
    bool removeWaiting(const QUuid& id, const std::function<void()>& whileHeld);
    // Leaves the running job id behind on its thread: those behind it go on without it.
    void leaveBehind(const QUuid& id);
    // A group job's member done (count members done now).
    void noteMemberDone(const QUuid& id, int done);

    const QList<ActionJob>& jobs() const { return m_jobs; }
    bool isEmpty() const { return m_jobs.isEmpty(); }
    ActionJob* find(const QUuid& id);
    const ActionJob* find(const QUuid& id) const;
    // The job of a file action by its ticket.
    ActionJob* findByTicket(const std::shared_ptr<ActionTicket>& ticket);
    ActionJob* running() { return m_jobs.isEmpty() ? nullptr : &m_jobs.first(); }
    const ActionJob* running() const { return m_jobs.isEmpty() ? nullptr : &m_jobs.first(); }
    // None while nothing runs, and while an action alone has run for less than the progress
    // delay.
    std::optional<RunningAction> runningAction() const;
    // A file action on an item (not housekeeping) runs or waits to run.
    bool hasItemActions() const;
    // The first job still within its watchdog interval.
    std::optional<QUuid> firstWatched() const;

    int abandonedCount() const { return m_worker.abandonedCount(); }
    bool waitForAbandoned(int timeoutMs) const { return m_worker.waitForAbandoned(timeoutMs); }

signals:
    // The running job's bytes or members done moved on.
    void progressed(const QUuid& id);
    // The job id still runs past the watchdog interval (slow is not failed).
    void late(const QUuid& id);
    // What runningAction() shows changed while nothing else was reported (the time left to
    // the second, a stall).
    void runningChanged();

private:
    void watchdog(const QUuid& id);
    void onProgress(const QUuid& id, qint64 done, qint64 total);
    void markRunning();
    void tick();
    qint64 nowNs() const;
    // Hands result to done on this thread; what the worker wrote travels with it.
    template <typename T, typename Done> void deliver(Done done, Result<T> result);

    LoggerService& m_logger;
    const MonotonicClock& m_clock;
    ActionWorker m_worker{"fileactions"};
    QList<ActionJob> m_jobs; // in the worker's order: the first one runs
    QTimer* m_ticker = nullptr;
    QString m_shownRunning; // what runningAction() said at the last tick
    int m_watchdogMs = 3000;
    int m_progressDelayMs = 500;
    int m_stallMs = 10000;
    // The job whose operation runs on this thread (a worker), for its progress reports.
    static thread_local ActionJobControl* s_currentJob;
};

template <typename T, typename Done> void ActionJobQueue::deliver(Done done, Result<T> result)
{
    // What the operation wrote reaches this thread through Qt's event queue. It travels in a
    // delivery made whole before the hand-off; the queued call carries only its address, so
    // nothing the receiver reads is written after the hand-off.
    struct Delivery
    {
        Done done;
        Result<T> result;
    };
    auto* delivery = new Delivery{done, std::move(result)};
    ThreadHandoff::handOff(delivery);
    QMetaObject::invokeMethod(
        this,
        [delivery] {
            ThreadHandoff::takeOver(delivery);
            const std::unique_ptr<Delivery> owned(delivery);
            owned->done(owned->result);
        },
        Qt::QueuedConnection);
}

template <typename T, typename Work, typename Done>
void ActionJobQueue::post(const QUuid& id, Work work, Done done)
{
    const ActionJob* job = find(id);
    Q_ASSERT(job);
    const std::shared_ptr<ActionJobControl> control = job->control;
    m_worker.post(id, [this, control, work, done] {
        Result<T> result;
        s_currentJob = control.get();
        {
            CancelToken::Scope scope(&control->token);
            try {
                result.value = work();
                result.ok = true;
            } catch (const FileOperationError& error) {
                result.error = error.error();
            } catch (const std::exception& error) {
                result.error = FileActionRunner::errorOf(error);
            }
        }
        s_currentJob = nullptr;
        // A job left behind reports nothing: the owner may be gone by now.
        std::lock_guard guard(control->mutex);
        if (control->abandoned)
            return;
        control->finished = true;
        deliver<T>(done, std::move(result));
    });
}
