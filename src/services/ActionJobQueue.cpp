#include "services/ActionJobQueue.h"

#include "platform/MonotonicClock.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"

#include <QTimer>

#include <algorithm>

thread_local ActionJobControl* ActionJobQueue::s_currentJob = nullptr;

ActionJobQueue::ActionJobQueue(FileExecutionEngine& engine, LoggerService& logger,
                               const MonotonicClock& clock, QObject* parent)
    : QObject(parent), m_logger(logger), m_clock(clock)
{
    // One worker: operations never overlap, and each sees the files as the one before
    // left them. The engine reports progress on the thread of the operation, which tells
    // whose it is.
    connect(
        &engine, &FileExecutionEngine::copyProgress, this,
        [this](qint64 done, qint64 total) {
            ActionJobControl* job = s_currentJob;
            if (!job)
                return;
            std::lock_guard guard(job->mutex);
            if (job->abandoned)
                return;
            QMetaObject::invokeMethod(
                this, [this, id = job->id, done, total] { onProgress(id, done, total); },
                Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    // While an action runs: its time left, and whether it stopped making progress.
    m_ticker = new QTimer(this);
    m_ticker->setInterval(250);
    connect(m_ticker, &QTimer::timeout, this, &ActionJobQueue::tick);
}

ActionJobQueue::~ActionJobQueue()
{
    // Before anything here goes: the operations still report to this object.
    m_worker.finish();
}

void ActionJobQueue::setTickInterval(int ms)
{
    m_ticker->setInterval(ms);
}

qint64 ActionJobQueue::nowNs() const
{
    return m_clock.nowNs();
}

ActionJob* ActionJobQueue::find(const QUuid& id)
{
    const auto found = std::find_if(m_jobs.begin(), m_jobs.end(),
                                    [&id](const ActionJob& job) { return job.id == id; });
    return found == m_jobs.end() ? nullptr : &*found;
}

const ActionJob* ActionJobQueue::find(const QUuid& id) const
{
    const auto found = std::find_if(m_jobs.cbegin(), m_jobs.cend(),
                                    [&id](const ActionJob& job) { return job.id == id; });
    return found == m_jobs.cend() ? nullptr : &*found;
}

ActionJob* ActionJobQueue::findByTicket(const std::shared_ptr<ActionTicket>& ticket)
{
    const auto found = std::find_if(m_jobs.begin(), m_jobs.end(),
                                    [&](const ActionJob& job) { return job.ticket == ticket; });
    return found == m_jobs.end() ? nullptr : &*found;
}

QUuid ActionJobQueue::add(ActionJob job)
{
    job.id = QUuid::createUuid();
    job.control = std::make_shared<ActionJobControl>();
    job.control->id = job.id;
    if (job.holdsLock) {
        m_logger.debug(QStringLiteral("Started action [%1]: %2")
                           .arg(job.id.toString(QUuid::WithoutBraces).toUpper().left(6), job.name));
        const QUuid id = job.id;
        m_clock.callAfter(m_watchdogMs, this, [this, id] { watchdog(id); });
    }
    m_jobs.append(job);
    markRunning();
    return job.id;
}

ActionJob ActionJobQueue::take(const QUuid& id)
{
    ActionJob job;
    for (qsizetype i = 0; i < m_jobs.size(); ++i) {
        if (m_jobs[i].id == id) {
            job = m_jobs.takeAt(i);
            break;
        }
    }
    markRunning();
    return job;
}

bool ActionJobQueue::removeWaiting(const QUuid& id, const std::function<void()>& whileHeld)
{
    return m_worker.remove(id, whileHeld);
}

void ActionJobQueue::leaveBehind(const QUuid& id)
{
    if (!m_worker.abandon(id))
        m_worker.remove(id);
}

void ActionJobQueue::markRunning()
{
    ActionJob* job = running();
    if (!job) {
        m_ticker->stop();
        m_shownRunning.clear();
        return;
    }
    if (job->runningSinceNs == 0)
        job->runningSinceNs = nowNs();
    if (!m_ticker->isActive())
        m_ticker->start();
}

void ActionJobQueue::watchdog(const QUuid& id)
{
    ActionJob* job = find(id);
    if (!job || !job->holdsLock)
        return;
    // Slow is not failed: the action goes on and its result will still be applied.
    job->holdsLock = false;
    job->late = true;
    m_logger.info(
        QStringLiteral("Action '%1' still running after %2 ms").arg(job->name).arg(m_watchdogMs));
    emit late(id);
}

void ActionJobQueue::onProgress(const QUuid& id, qint64 done, qint64 total)
{
    ActionJob* job = find(id);
    if (!job)
        return;
    if (job->noteProgress(done, total)) {
        job->progressNs = nowNs();
        job->stalled = false;
    }
    emit progressed(id);
}

void ActionJobQueue::noteMemberDone(const QUuid& id, int done)
{
    ActionJob* job = find(id);
    if (!job)
        return;
    job->filesDone = done;
    job->memberBytesDone = 0;
    job->progressNs = nowNs();
    job->stalled = false;
    emit progressed(id);
}

void ActionJobQueue::tick()
{
    ActionJob* job = running();
    if (!job) {
        markRunning();
        return;
    }
    const qint64 quietNs = nowNs() - std::max(job->runningSinceNs, job->progressNs);
    const bool stalled = quietNs >= qint64(m_stallMs) * 1000000;
    if (stalled && !job->stalled)
        m_logger.log(QStringLiteral("ERROR"),
                     QStringLiteral("Action '%1' made no progress for %2 s")
                         .arg(job->name)
                         .arg(quietNs / 1000000000));
    job->stalled = stalled;
    // Redrawn when what the window shows of it changed (the time left to the second).
    const std::optional<RunningAction> shownNow = runningAction();
    QString shown;
    if (shownNow)
        shown = QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                    .arg(shownNow->id.toString())
                    .arg(shownNow->bytesDone)
                    .arg(shownNow->filesDone)
                    .arg(shownNow->msLeft.value_or(-1000) / 1000)
                    .arg(shownNow->stalled)
                    .arg(shownNow->cancelling)
                    .arg(shownNow->waiting.size());
    if (shown != m_shownRunning) {
        m_shownRunning = shown;
        emit runningChanged();
    }
}

bool ActionJobQueue::hasItemActions() const
{
    return std::any_of(m_jobs.cbegin(), m_jobs.cend(), [](const ActionJob& job) {
        return job.kind != ActionJob::Kind::Maintenance;
    });
}

std::optional<QUuid> ActionJobQueue::firstWatched() const
{
    for (const ActionJob& job : m_jobs) {
        if (job.holdsLock)
            return job.id;
    }
    return std::nullopt;
}

std::optional<ActionJobQueue::RunningAction> ActionJobQueue::runningAction() const
{
    const ActionJob* job = running();
    if (!job)
        return std::nullopt;
    RunningAction action;
    action.id = job->id;
    action.text = job->runningText();
    action.bytesDone = job->bytesDone;
    action.bytesTotal = job->bytesTotal;
    if (job->isGroup()) {
        action.filesDone = job->filesDone;
        action.filesTotal = int(job->members.size());
        action.bytesDone = job->groupBytesDone();
        action.bytesTotal = job->groupBytesTotal();
    }
    action.stalled = job->stalled;
    action.cancelling = job->cancelling;
    for (qsizetype i = 1; i < m_jobs.size(); ++i) {
        if (m_jobs[i].kind == ActionJob::Kind::Maintenance)
            continue;
        action.waitingIds << m_jobs[i].id;
        action.waiting << m_jobs[i].waitingText();
    }
    const qint64 elapsedNs = nowNs() - job->runningSinceNs;
    if (elapsedNs < qint64(m_progressDelayMs) * 1000000 && action.waiting.isEmpty() && !job->late &&
        !job->stalled && !job->cancelling)
        return std::nullopt;
    // The pace so far: what is left takes as long per byte as what is done took.
    if (action.bytesTotal > action.bytesDone && action.bytesDone > 0 && elapsedNs >= 500000000)
        action.msLeft = qint64(double(action.bytesTotal - action.bytesDone) * double(elapsedNs) /
                               double(action.bytesDone) / 1e6);
    return action;
}
