#include "services/TriageActionController.h"

#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/FileMover.h"
#include "platform/FileSystemEntry.h"
#include "platform/MonotonicClock.h"
#include "platform/ThreadHandoff.h"
#include "services/FileExecutionEngine.h"
#include "services/HistoryStore.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QMetaObject>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cerrno>

namespace {

// The result of work done on the worker: its value, or the error it threw.
template <typename T> struct OffThread
{
    T value{};
    bool ok = false;
    AppError error;
};

bool isCancelled(const AppError& error)
{
    return error.code == CancelToken::cancelledCode &&
           error.domain == FileExecutionEngine::errorDomain();
}

QString folderNameOf(const QUrl& url)
{
    return FileNaming::lastPathComponent(FileNaming::parentPath(url.toLocalFile()));
}

// "a.pdf", "a.pdf, b.pdf", "a.pdf … f.pdf"
QString namesOf(const QList<TriageItem>& items)
{
    if (items.isEmpty())
        return QString();
    if (items.size() == 1)
        return items.first().filename;
    return QStringLiteral("%1%2%3").arg(
        items.first().filename, items.size() == 2 ? QStringLiteral(", ") : QStringLiteral(" … "),
        items.last().filename);
}

// "8 are back in the queue", "all 14 are back in the queue"
QString backInQueueText(qsizetype back, qsizetype total)
{
    if (back == 1 && total == 1)
        return QCoreApplication::translate("TriageActionController", "it is back in the queue");
    return back == total
               ? QCoreApplication::translate("TriageActionController",
                                             "all %n are back in the queue", nullptr, int(back))
               : QCoreApplication::translate("TriageActionController", "%n are back in the queue",
                                             nullptr, int(back));
}

// Runs a file action's operation on the worker and notes on ticket how it ended: the undo
// record it pushed, or why it failed. The failure still goes on to the caller. A job left
// behind notes nothing: its ticket was settled when it was given up. recordId gets the
// record's id either way.
template <typename Ticket, typename Control, typename Operation>
QUrl runNoted(Ticket& ticket, Control& control, Operation operation, QUuid* recordId = nullptr)
{
    Ticket note;
    // Only the outcome: the rest of the ticket belongs to the GUI thread.
    const auto publish = [&] {
        std::lock_guard guard(control.mutex);
        if (control.abandoned)
            return;
        ticket.succeeded = note.succeeded;
        ticket.recordId = note.recordId;
        ticket.failure = note.failure;
        ticket.placed = note.placed;
    };
    const QUuid before = FileExecutionEngine::lastRecordOnThisThread();
    try {
        const QUrl url = operation();
        const QUuid after = FileExecutionEngine::lastRecordOnThisThread();
        note.succeeded = true;
        note.recordId = after != before ? after : QUuid();
        note.placed = url;
        publish();
        if (recordId)
            *recordId = note.recordId;
        return url;
    } catch (const FileOperationError& error) {
        note.failure = error.error().localizedDescription;
        publish();
        throw;
    } catch (const std::exception& error) {
        note.failure = QString::fromUtf8(error.what());
        publish();
        throw;
    }
}

// Runs a file action's operation as runNoted does and reads the engine's record of it at
// once, on the worker (an undo queued behind may drop it from the engine).
template <typename Ticket, typename Control, typename Operation>
TriageActionController::Filed runFiled(FileExecutionEngine& engine, Ticket& ticket,
                                       Control& control, Operation operation)
{
    TriageActionController::Filed filed;
    QUuid recordId;
    filed.url = runNoted(ticket, control, operation, &recordId);
    if (!recordId.isNull())
        filed.record = engine.record(recordId);
    return filed;
}

} // namespace

thread_local TriageActionController::JobControl* TriageActionController::s_currentJob = nullptr;

TriageActionController::TriageActionController(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_deps(dependencies)
{
    Q_ASSERT(m_deps.queue && m_deps.engine && m_deps.logger);
    if (!m_deps.clock)
        m_deps.clock = &MonotonicClock::system();
    // One worker: operations never overlap, and each sees the files as the one before
    // left them. The engine reports progress on the thread of the operation, which tells
    // whose it is.
    connect(
        m_deps.engine, &FileExecutionEngine::copyProgress, this,
        [this](qint64 done, qint64 total) {
            JobControl* job = s_currentJob;
            if (!job)
                return;
            std::lock_guard guard(job->mutex);
            if (job->abandoned)
                return;
            QMetaObject::invokeMethod(
                this, [this, id = job->id, done, total] { onJobProgress(id, done, total); },
                Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    // While an action runs: its time left, and whether it stopped making progress.
    m_ticker = new QTimer(this);
    m_ticker->setInterval(250);
    connect(m_ticker, &QTimer::timeout, this, &TriageActionController::tick);
}

TriageActionController::~TriageActionController()
{
    // Before anything here goes: the operations still report to this object.
    m_worker.finish();
}

void TriageActionController::setStatusDurations(int infoMs, int errorMs)
{
    m_infoStatusMs = infoMs;
    m_errorStatusMs = errorMs;
}

// --- jobs, the worker and the watchdog -------------------------------------------------------

qint64 TriageActionController::nowNs() const
{
    return m_deps.clock->nowNs();
}

template <typename T, typename Work, typename Done>
void TriageActionController::post(const QUuid& id, Work work, Done done)
{
    std::shared_ptr<JobControl> control;
    for (const Job& job : std::as_const(m_jobs)) {
        if (job.id == id)
            control = job.control;
    }
    Q_ASSERT(control);
    m_worker.post(id, [this, control, work, done] {
        OffThread<T> result;
        s_currentJob = control.get();
        {
            CancelToken::Scope scope(&control->token);
            try {
                result.value = work();
                result.ok = true;
            } catch (const FileOperationError& error) {
                result.error = error.error();
            } catch (const std::exception& error) {
                result.error = AppError{FileExecutionEngine::errorDomain(), EIO,
                                        QString::fromUtf8(error.what())};
            }
        }
        s_currentJob = nullptr;
        // A job left behind reports nothing: this object may be gone by now.
        std::lock_guard guard(control->mutex);
        if (control->abandoned)
            return;
        control->finished = true;
        // What the operation wrote reaches this thread through Qt's event queue. It travels
        // in a delivery made whole before the hand-off; the queued call carries only its
        // address, so nothing the receiver reads is written after the hand-off.
        struct Delivery
        {
            Done done;
            OffThread<T> result;
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
    });
}

TriageActionController::Job* TriageActionController::runningJob()
{
    return m_jobs.isEmpty() ? nullptr : &m_jobs.first();
}

const TriageActionController::Job* TriageActionController::runningJob() const
{
    return m_jobs.isEmpty() ? nullptr : &m_jobs.first();
}

void TriageActionController::markRunning()
{
    Job* job = runningJob();
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

QUuid TriageActionController::startJob(Job job)
{
    job.id = QUuid::createUuid();
    job.control = std::make_shared<JobControl>();
    job.control->id = job.id;
    if (job.ticket)
        rememberStep({job.ticket, job.inFlight, std::nullopt});
    for (const QUrl& url : std::as_const(job.inFlight))
        m_deps.queue->beginInFlight(url);
    if (job.holdsLock) {
        m_deps.logger->debug(
            QStringLiteral("Started action [%1]: %2")
                .arg(job.id.toString(QUuid::WithoutBraces).toUpper().left(6), job.name));
        const QUuid id = job.id;
        m_deps.clock->callAfter(m_watchdogMs, this, [this, id] { watchdog(id); });
    }
    m_jobs.append(job);
    markRunning();
    emit stateChanged();
    return job.id;
}

TriageActionController::Job TriageActionController::finishJob(const QUuid& id)
{
    Job job;
    for (qsizetype i = 0; i < m_jobs.size(); ++i) {
        if (m_jobs[i].id == id) {
            job = m_jobs.takeAt(i);
            break;
        }
    }
    holdForUndo(job);
    for (const QUrl& url : std::as_const(job.inFlight))
        m_deps.queue->endInFlight(url);
    m_finishingCancelText = cancelledText(job);
    markRunning();
    return job;
}

void TriageActionController::settle()
{
    emit stateChanged();
    emit actionFinished();
    if (m_jobs.isEmpty())
        emit idle();
}

void TriageActionController::watchdog(const QUuid& id)
{
    for (Job& job : m_jobs) {
        if (job.id != id || !job.holdsLock)
            continue;
        // Slow is not failed: the action goes on and its result will still be applied;
        // from now on the status line says that it still runs.
        job.holdsLock = false;
        job.late = true;
        m_deps.logger->info(QStringLiteral("Action '%1' still running after %2 ms")
                                .arg(job.name)
                                .arg(m_watchdogMs));
        clearStatus();
        emit stateChanged();
        return;
    }
}

void TriageActionController::onJobProgress(const QUuid& id, qint64 done, qint64 total)
{
    for (Job& job : m_jobs) {
        if (job.id != id)
            continue;
        if (!job.members.isEmpty()) {
            // A group: the copy of the member running, within the bytes of all members.
            if (done > job.memberBytesDone) {
                job.progressNs = nowNs();
                job.stalled = false;
            }
            job.memberBytesDone = done;
            if (total > 0 && job.filesDone < job.memberBytes.size())
                job.memberBytes[job.filesDone] = total;
        } else {
            if (done > job.bytesDone) {
                job.progressNs = nowNs();
                job.stalled = false;
            }
            job.bytesDone = done;
            job.bytesTotal = total;
        }
        if (job.late || m_quitPending || runningAction())
            emit stateChanged();
        return;
    }
}

void TriageActionController::onMemberDone(const QUuid& id, int done)
{
    for (Job& job : m_jobs) {
        if (job.id != id)
            continue;
        job.filesDone = done;
        job.memberBytesDone = 0;
        job.progressNs = nowNs();
        job.stalled = false;
        if (job.late || m_quitPending || runningAction())
            emit stateChanged();
        return;
    }
}

qint64 TriageActionController::groupBytesTotal(const Job& job)
{
    qint64 total = 0;
    for (const qint64 bytes : job.memberBytes)
        total += bytes;
    return total;
}

qint64 TriageActionController::groupBytesDone(const Job& job)
{
    qint64 done = job.memberBytesDone;
    for (qsizetype i = 0; i < job.filesDone && i < job.memberBytes.size(); ++i)
        done += job.memberBytes[i];
    return done;
}

void TriageActionController::tick()
{
    Job* job = runningJob();
    if (!job) {
        markRunning();
        return;
    }
    const qint64 quietNs = nowNs() - std::max(job->runningSinceNs, job->progressNs);
    const bool stalled = quietNs >= qint64(m_stallMs) * 1000000;
    if (stalled && !job->stalled)
        m_deps.logger->log(QStringLiteral("ERROR"),
                           QStringLiteral("Action '%1' made no progress for %2 s")
                               .arg(job->name)
                               .arg(quietNs / 1000000000));
    job->stalled = stalled;
    // Redrawn when what the window shows of it changed (the time left to the second).
    const std::optional<RunningAction> running = runningAction();
    QString shown;
    if (running)
        shown = QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                    .arg(running->id.toString())
                    .arg(running->bytesDone)
                    .arg(running->filesDone)
                    .arg(running->msLeft.value_or(-1000) / 1000)
                    .arg(running->stalled)
                    .arg(running->cancelling)
                    .arg(running->waiting.size());
    if (shown != m_shownRunning) {
        m_shownRunning = shown;
        emit stateChanged();
    }
}

std::optional<TriageActionController::RunningAction> TriageActionController::runningAction() const
{
    const Job* job = runningJob();
    if (!job)
        return std::nullopt;
    RunningAction running;
    running.id = job->id;
    running.text = runningText(*job);
    running.bytesDone = job->bytesDone;
    running.bytesTotal = job->bytesTotal;
    if (!job->members.isEmpty()) {
        running.filesDone = job->filesDone;
        running.filesTotal = int(job->members.size());
        running.bytesDone = groupBytesDone(*job);
        running.bytesTotal = groupBytesTotal(*job);
    }
    running.stalled = job->stalled;
    running.cancelling = job->cancelling;
    for (qsizetype i = 1; i < m_jobs.size(); ++i) {
        const Job& waiting = m_jobs[i];
        if (waiting.kind == JobKind::Maintenance)
            continue;
        running.waitingIds << waiting.id;
        switch (waiting.kind) {
        case JobKind::Move:
            running.waiting << tr("Move %1 to %2").arg(waiting.itemName, waiting.destination);
            break;
        case JobKind::Trash:
            running.waiting << tr("Move %1 to the Trash").arg(waiting.itemName);
            break;
        case JobKind::Rename:
            running.waiting << tr("Rename %1").arg(waiting.itemName);
            break;
        case JobKind::Undo:
        case JobKind::Maintenance:
            running.waiting << tr("Undo");
            break;
        }
    }
    const qint64 elapsedNs = nowNs() - job->runningSinceNs;
    if (elapsedNs < qint64(m_progressDelayMs) * 1000000 && running.waiting.isEmpty() &&
        !job->late && !job->stalled && !job->cancelling)
        return std::nullopt;
    // The pace so far: what is left takes as long per byte as what is done took.
    if (running.bytesTotal > running.bytesDone && running.bytesDone > 0 && elapsedNs >= 500000000)
        running.msLeft = qint64(double(running.bytesTotal - running.bytesDone) * double(elapsedNs) /
                                double(running.bytesDone) / 1e6);
    return running;
}

// --- cancelling ------------------------------------------------------------------------------

void TriageActionController::putBack(const TriageItem& item)
{
    m_deps.queue->removeURL(item.url);
    m_deps.queue->pushToFront(item);
}

bool TriageActionController::dropWaiting(const QUuid& id)
{
    const auto found =
        std::find_if(m_jobs.begin(), m_jobs.end(), [&id](const Job& job) { return job.id == id; });
    if (found == m_jobs.end())
        return false;
    const std::shared_ptr<ActionTicket> ticket = found->ticket;
    // An undo waiting behind it finds the action did not happen.
    if (!m_worker.remove(id, [&ticket] {
            if (ticket)
                ticket->settleAsFailed(QStringLiteral("it was cancelled"));
        }))
        return false;
    const Job dropped = finishJob(id);
    m_deps.logger->action(
        QStringLiteral("Action '%1' cancelled before it started").arg(dropped.name));
    if (dropped.item)
        putBack(*dropped.item);
    // A group's members, back at the head in their order.
    for (auto member = dropped.members.crbegin(); member != dropped.members.crend(); ++member)
        putBack(*member);
    return true;
}

bool TriageActionController::cancelAction(const QUuid& id)
{
    const auto found =
        std::find_if(m_jobs.begin(), m_jobs.end(), [&id](const Job& job) { return job.id == id; });
    if (found == m_jobs.end())
        return false;
    if (found->cancelling)
        return true;
    const QString cancelled = cancelledText(*found);
    if (dropWaiting(id)) {
        showStatus(cancelled);
        settle();
        return true;
    }
    // It runs. A copy stops at its next chunk; past the point of no return it goes on. A
    // series (a group action, its undo) stops before its next member in any case.
    found->control->stopSeries = true;
    const bool stopping = found->control->token.cancel();
    if (!stopping && found->series) {
        found->cancelling = true;
        m_deps.logger->action(
            QStringLiteral("Cancelling action '%1' after the member running").arg(found->name));
        const QString what = describe(*found);
        showStatus(tr("Cancelling %1…").arg(what.isEmpty() ? tr("the running action") : what),
                   StatusLine::Kind::Progress);
        return true;
    }
    if (!stopping) {
        showStatus(tr("Too late to cancel: %1 is copied whole, and the original "
                      "is being removed")
                       .arg(found->itemName));
        return true;
    }
    found->cancelling = true;
    m_deps.logger->action(QStringLiteral("Cancelling action '%1'").arg(found->name));
    const QString what = describe(*found);
    showStatus(tr("Cancelling %1…").arg(what.isEmpty() ? tr("the running action") : what),
               StatusLine::Kind::Progress);
    QTimer::singleShot(m_abandonMs, this, [this, id] { abandon(id); });
    return true;
}

void TriageActionController::cancelRunningAction()
{
    const Job* job = runningJob();
    if (!job) {
        showStatus(tr("Nothing to cancel"));
        return;
    }
    cancelAction(job->id);
}

void TriageActionController::cancelAll()
{
    QList<QUuid> ids;
    for (const Job& job : std::as_const(m_jobs))
        ids.prepend(job.id);
    // The last first, so that the items put back keep their order at the head.
    bool dropped = false;
    for (const QUuid& id : std::as_const(ids)) {
        if (dropWaiting(id))
            dropped = true;
        else
            cancelAction(id);
    }
    if (dropped)
        settle();
}

void TriageActionController::abandon(const QUuid& id)
{
    const auto found =
        std::find_if(m_jobs.begin(), m_jobs.end(), [&id](const Job& job) { return job.id == id; });
    if (found == m_jobs.end())
        return; // it stopped in time
    QList<QUuid> membersDone;
    QList<QUrl> membersPlaced;
    {
        std::lock_guard guard(found->control->mutex);
        if (found->control->finished)
            return; // its result is on its way here
        found->control->abandoned = true;
        if (found->ticket) {
            found->ticket->settleAsFailed(QStringLiteral("it did not respond and was cancelled"));
            membersDone = found->ticket->memberRecords;
            membersPlaced = found->ticket->memberPlaced;
        }
    }
    if (!m_worker.abandon(id))
        m_worker.remove(id);
    // The original stays whole unless the move had begun to remove it: when its thread
    // returns, the copy is taken back.
    const bool sourceUntouched = !found->control->token.isCommitted();
    const Job left = finishJob(id);
    m_deps.logger->log(QStringLiteral("ERROR"),
                       QStringLiteral("Action '%1' did not stop within %2 ms of its cancel; left "
                                      "behind on its thread")
                           .arg(left.name)
                           .arg(m_abandonMs));
    if (!left.members.isEmpty()) {
        // A group: the members moved before stay moved; the one stuck is back unless it had
        // begun to be removed, and so are those after it.
        GroupFiled outcome;
        outcome.cancelled = true;
        outcome.runningMemberLost = !sourceUntouched;
        for (qsizetype i = 0; i < membersDone.size(); ++i)
            outcome.done.append(
                Filed{membersPlaced.value(i), m_deps.engine->record(membersDone[i])});
        finishGroup(left, outcome);
        const qsizetype back = left.members.size() - membersDone.size() - (sourceUntouched ? 0 : 1);
        showStatus(tr("Gave up waiting: %1 is not responding. %2 of %3 moved; %4")
                       .arg(runningText(left))
                       .arg(membersDone.size())
                       .arg(left.members.size())
                       .arg(backInQueueText(back, left.members.size())),
                   StatusLine::Kind::Error);
    } else if (left.kind == JobKind::Move && left.item && sourceUntouched) {
        putBack(*left.item);
        showStatus(tr("Cancelled moving %1 to %2: the folder is not responding. %1 is "
                      "back in the queue; the partial copy is removed if the folder "
                      "answers again")
                       .arg(left.itemName, left.destination),
                   StatusLine::Kind::Error);
    } else {
        showStatus(tr("Gave up waiting: %1 is not responding").arg(runningText(left)),
                   StatusLine::Kind::Error);
    }
    settle();
}

bool TriageActionController::hasActionsInFlight() const
{
    return std::any_of(m_jobs.cbegin(), m_jobs.cend(),
                       [](const Job& job) { return job.kind != JobKind::Maintenance; });
}

bool TriageActionController::isProcessingAction() const
{
    return activeActionID().has_value();
}

std::optional<QUuid> TriageActionController::activeActionID() const
{
    for (const Job& job : m_jobs) {
        if (job.holdsLock)
            return job.id;
    }
    return std::nullopt;
}

// --- the status line -------------------------------------------------------------------------

void TriageActionController::showStatus(const QString& text, StatusLine::Kind kind)
{
    m_status = StatusLine{text, kind};
    const quint64 serial = ++m_statusSerial;
    m_deps.clock->callAfter(kind == StatusLine::Kind::Error ? m_errorStatusMs : m_infoStatusMs,
                            this, [this, serial] {
                                if (serial != m_statusSerial || !m_status)
                                    return;
                                m_status.reset();
                                emit stateChanged();
                            });
    emit stateChanged();
}

void TriageActionController::clearStatus()
{
    ++m_statusSerial;
    if (m_status) {
        m_status.reset();
        emit stateChanged();
    }
}

void TriageActionController::setQuitPending(bool pending)
{
    if (m_quitPending == pending)
        return;
    m_quitPending = pending;
    emit stateChanged();
}

QString TriageActionController::progressText(const Job& job) const
{
    QString text;
    switch (job.kind) {
    case JobKind::Move:
        text = tr("Still moving %1 to %2").arg(job.itemName, job.destination);
        break;
    case JobKind::Trash:
        text = tr("Still moving %1 to the Trash").arg(job.itemName);
        break;
    case JobKind::Rename:
        text = tr("Still renaming %1").arg(job.itemName);
        break;
    case JobKind::Undo:
        text = tr("Still undoing");
        break;
    case JobKind::Maintenance:
        text = tr("Still cleaning up");
        break;
    }
    QString detail;
    if (!job.members.isEmpty())
        detail = tr("%1 of %n files, %2 of %3", nullptr, int(job.members.size()))
                     .arg(job.filesDone)
                     .arg(TriageItem::formatByteCount(groupBytesDone(job)),
                          TriageItem::formatByteCount(groupBytesTotal(job)));
    else if (job.bytesTotal > 0)
        detail = tr("%1 of %2")
                     .arg(TriageItem::formatByteCount(job.bytesDone),
                          TriageItem::formatByteCount(job.bytesTotal));
    // "Still moving a.iso to USB: 1.2 GB of 4.0 GB", or "Still undoing…" without a count.
    return detail.isEmpty() ? tr("%1…").arg(text) : tr("%1: %2").arg(text, detail);
}

std::optional<StatusLine> TriageActionController::status() const
{
    const Job* running = runningJob();
    if (m_quitPending && running)
        return StatusLine{
            tr("Quitting: cancelling %1…")
                .arg(describe(*running).isEmpty() ? tr("the running action") : describe(*running)),
            StatusLine::Kind::Progress};
    if (running && running->stalled && !running->cancelling)
        return StatusLine{tr("%1 is not responding — press C to cancel").arg(runningText(*running)),
                          StatusLine::Kind::Error};
    if (m_status)
        return m_status;
    const bool late =
        std::any_of(m_jobs.cbegin(), m_jobs.cend(), [](const Job& job) { return job.late; });
    if (!running || !late)
        return std::nullopt;
    QString text = progressText(*running);
    const qsizetype waiting = std::count_if(m_jobs.cbegin() + 1, m_jobs.cend(), [](const Job& job) {
        return job.kind != JobKind::Maintenance;
    });
    if (waiting > 0)
        text = tr("%1 — %n more waiting", nullptr, int(waiting)).arg(text);
    return StatusLine{text, StatusLine::Kind::Progress};
}

std::optional<QString> TriageActionController::statusMessage() const
{
    const std::optional<StatusLine> line = status();
    if (!line)
        return std::nullopt;
    return line->text;
}

void TriageActionController::logFailure(const QString& actionName, const AppError& error,
                                        const TriageItem& item)
{
    QString logged = error.localizedDescription;
    if (error.code == FileMover::partialMoveCode)
        logged = QStringLiteral("part of the folder stayed where it was (changed during the "
                                "copy, still being written or not removable)");
    else if (!item.filename.isEmpty())
        logged.replace(item.filename,
                       QStringLiteral("item (.%1)").arg(FileExecutionEngine::logToken(item)));
    // Names the errors quote ("x" already exists ...).
    static const QRegularExpression quoted(QStringLiteral("\"[^\"]*\""));
    logged.replace(quoted, QStringLiteral("\"…\""));
    m_deps.logger->log(QStringLiteral("ERROR"),
                       QStringLiteral("Action '%1' failed | Error: %2").arg(actionName, logged));
}

void TriageActionController::reportFailure(const QString& actionName, const QString& prefix,
                                           const AppError& error, const TriageItem& item)
{
    // The log names items by extension only: the description shown to the user may hold
    // the item's name (or, for a partial move, the names left behind); the log line does not.
    if (isCancelled(error)) {
        // Not a failure: the user stopped it, and nothing changed.
        m_deps.logger->action(QStringLiteral("Action '%1' cancelled").arg(actionName));
        showStatus(m_finishingCancelText.isEmpty() ? tr("Cancelled; nothing changed")
                                                   : m_finishingCancelText);
        return;
    }
    logFailure(actionName, error, item);
    // The prefix is a sentence with a place for the error ("Failed to move: %1"); a partial
    // move's description stands alone.
    showStatus(prefix.isEmpty() ? error.localizedDescription
                                : prefix.arg(error.localizedDescription),
               StatusLine::Kind::Error);
}

// --- file actions on the head item -----------------------------------------------------------

bool TriageActionController::dispatch(Job job, ActionType type, InputMethod input,
                                      std::function<QUrl(const TriageItem&)> operation,
                                      std::function<QString(const QUrl&)> success,
                                      const QString& failurePrefix,
                                      const std::optional<TriageItem>& forItem)
{
    const std::optional<TriageItem> head = m_deps.queue->activeItem();
    if (!head)
        return false;
    TriageItem item = *head;
    if (forItem && forItem->id != head->id) {
        // Chosen for an item that is no longer at the head: that item, wherever it waits.
        const QList<TriageItem>& items = m_deps.queue->items();
        const auto found = std::find_if(items.cbegin(), items.cend(),
                                        [&](const TriageItem& i) { return i.id == forItem->id; });
        if (found == items.cend()) {
            showStatus(tr("Not moved: %1 is no longer waiting").arg(forItem->filename),
                       StatusLine::Kind::Error);
            return false;
        }
        item = *found;
    }
    clearStatus();
    if (m_deps.telemetry)
        m_deps.telemetry->recordAction(type, input, item);
    // The next item shows at once; a failed or cancelled action puts this one back.
    if (item.id == head->id)
        m_deps.queue->dequeue();
    else
        m_deps.queue->removeURL(item.url);
    if (m_deps.queue->items().isEmpty() && m_deps.telemetry)
        m_deps.telemetry->endSession(0);
    job.itemName = item.filename;
    job.item = item;
    job.inFlight = {item.url};
    job.ticket = std::make_shared<ActionTicket>();
    const std::shared_ptr<ActionTicket> ticket = job.ticket;
    const QUuid id = startJob(job);
    const std::shared_ptr<JobControl> control = m_jobs.last().control;
    emit itemDispatched();

    FileExecutionEngine* engine = m_deps.engine;
    post<Filed>(
        id,
        [engine, operation, item, ticket, control] {
            return runFiled(*engine, *ticket, *control, [&] { return operation(item); });
        },
        [this, id, item, success, failurePrefix](const OffThread<Filed>& outcome) {
            const Job done = finishJob(id);
            if (outcome.ok) {
                recordAction(done, outcome.value.record);
                showStatus(success(outcome.value.url));
            } else {
                // Back at the head, also when the result comes late or the action was
                // cancelled. A move that left part of a folder behind puts back what is left,
                // as it is now.
                const bool partial = outcome.error.code == FileMover::partialMoveCode;
                putBack(partial ? TriageItem(item.url, item.id) : item);
                reportFailure(done.name, partial ? QString() : failurePrefix, outcome.error, item);
            }
            const QString said = m_status ? m_status->text : QString();
            settle();
            emit itemActionEnded(item.id, outcome.ok, said);
        });
    return true;
}

bool TriageActionController::dispatchGroup(Job job, ActionType type, InputMethod input,
                                           const QList<QUuid>& itemIds,
                                           std::function<QUrl(const TriageItem&)> operation,
                                           const std::function<void(const TriageItem&)>& single)
{
    // The members still waiting, once each, in the order given.
    QList<QUuid> waiting;
    const QList<TriageItem>& items = m_deps.queue->items();
    for (const QUuid& itemId : itemIds) {
        const bool found = std::any_of(items.cbegin(), items.cend(),
                                       [&](const TriageItem& i) { return i.id == itemId; });
        if (found && !waiting.contains(itemId))
            waiting.append(itemId);
    }
    if (waiting.isEmpty())
        return false;
    if (waiting.size() == 1) {
        const auto found = std::find_if(items.cbegin(), items.cend(),
                                        [&](const TriageItem& i) { return i.id == waiting[0]; });
        single(*found);
        return false;
    }
    clearStatus();
    // All of them leave the queue at once: the next item that is not one of them shows.
    const QList<TriageItem> members = m_deps.queue->takeItems(waiting);
    // One action, counted once.
    if (m_deps.telemetry) {
        m_deps.telemetry->recordAction(type, input, members.first());
        if (m_deps.queue->items().isEmpty())
            m_deps.telemetry->endSession(0);
    }
    job.itemName = HistoryEntry::groupName(members.size());
    job.members = members;
    job.series = true;
    for (const TriageItem& member : members) {
        job.inFlight.append(member.url);
        job.memberBytes.append(member.sizeBytes);
    }
    job.ticket = std::make_shared<ActionTicket>();
    const QUuid group = QUuid::createUuid();
    job.ticket->group = group;
    const std::shared_ptr<ActionTicket> ticket = job.ticket;
    const QUuid id = startJob(job);
    const std::shared_ptr<JobControl> control = m_jobs.last().control;
    emit itemDispatched();

    FileExecutionEngine* engine = m_deps.engine;
    post<GroupFiled>(
        id,
        [this, engine, operation, members, ticket, control, group] {
            // One member after the other, in order; the first that fails ends the group (the
            // engine leaves it whole where it was), and so does a cancel.
            GroupFiled outcome;
            const FileExecutionEngine::GroupScope scope(group);
            for (qsizetype i = 0; i < members.size(); ++i) {
                {
                    std::lock_guard guard(control->mutex);
                    if (control->abandoned)
                        break; // given up: the members not moved are back in the queue
                }
                if (i > 0) {
                    if (control->stopSeries.load() || control->token.isCancelled()) {
                        outcome.cancelled = true;
                        break;
                    }
                    // The member before went past its point of no return; this one has its
                    // own.
                    control->token.rearm();
                }
                const QUuid before = FileExecutionEngine::lastRecordOnThisThread();
                try {
                    Filed filed;
                    filed.url = operation(members[i]);
                    const QUuid after = FileExecutionEngine::lastRecordOnThisThread();
                    if (after != before)
                        filed.record = engine->record(after);
                    outcome.done.append(filed);
                    std::lock_guard guard(control->mutex);
                    if (control->abandoned)
                        continue;
                    if (after != before) {
                        ticket->memberRecords.append(after);
                        ticket->memberPlaced.append(filed.url);
                    }
                    QMetaObject::invokeMethod(
                        this,
                        [this, id = control->id, done = int(i + 1)] { onMemberDone(id, done); },
                        Qt::QueuedConnection);
                } catch (const FileOperationError& error) {
                    if (isCancelled(error.error()))
                        outcome.cancelled = true;
                    else
                        outcome.failedAt = int(i);
                    outcome.error = error.error();
                    break;
                } catch (const std::exception& error) {
                    outcome.failedAt = int(i);
                    outcome.error = AppError{FileExecutionEngine::errorDomain(), EIO,
                                             QString::fromUtf8(error.what())};
                    break;
                }
            }
            std::lock_guard guard(control->mutex);
            if (!control->abandoned) {
                ticket->succeeded = outcome.done.size() == members.size();
                ticket->failure = outcome.error.localizedDescription;
            }
            return outcome;
        },
        [this, id](const OffThread<GroupFiled>& outcome) {
            const Job done = finishJob(id);
            if (outcome.ok) {
                finishGroup(done, outcome.value);
            } else {
                // Not a file operation's failure: the members the ticket knows were moved
                // stay moved, the rest are back.
                GroupFiled partial;
                partial.failedAt = int(done.ticket->memberPlaced.size());
                partial.error = outcome.error;
                for (qsizetype i = 0; i < done.ticket->memberPlaced.size(); ++i)
                    partial.done.append(
                        Filed{done.ticket->memberPlaced[i],
                              m_deps.engine->record(done.ticket->memberRecords[i])});
                finishGroup(done, partial);
            }
            settle();
        });
    return true;
}

void TriageActionController::finishGroup(const Job& job, const GroupFiled& outcome)
{
    const qsizetype total = job.members.size();
    const qsizetype moved = outcome.done.size();
    const QList<TriageItem> movedItems = job.members.mid(0, moved);

    // The history: one entry, with the members that moved.
    if (m_deps.history && moved > 0) {
        QList<HistoryEntry> entries;
        for (const Filed& filed : outcome.done) {
            if (!filed.record) {
                m_deps.logger->error(
                    QStringLiteral("History: no record of a member of action '%1'; not recorded")
                        .arg(job.name));
                continue;
            }
            entries.append(HistoryEntry::fromActionRecord(
                *filed.record, job.historyAction, job.slot, originHostOf(filed.record->item)));
        }
        if (!entries.isEmpty()) {
            HistoryEntry entry = HistoryEntry::group(entries);
            entry.id = job.ticket->group; // what an undo of the group names
            recordHistory(entry);
        }
    }

    // The members not moved, back at the head in their order. A member that left part of a
    // folder behind is put back as it is now.
    QList<TriageItem> back;
    for (qsizetype i = moved; i < total; ++i) {
        if (i == moved && outcome.runningMemberLost)
            continue;
        const TriageItem& member = job.members[i];
        const bool partial =
            i == outcome.failedAt && outcome.error.code == FileMover::partialMoveCode;
        back.append(partial ? TriageItem(member.url, member.id) : member);
    }
    for (auto member = back.crbegin(); member != back.crend(); ++member)
        putBack(*member);

    const QString where = job.kind == JobKind::Trash ? tr("the Trash") : job.destination;
    const QString movedText =
        moved == 0 ? QString() : QStringLiteral(" (%1)").arg(namesOf(movedItems));
    if (outcome.failedAt >= 0) {
        const TriageItem& failed = job.members[outcome.failedAt];
        logFailure(job.name, outcome.error, failed);
        const QString failure =
            tr("%1 failed: %2").arg(failed.filename, outcome.error.localizedDescription);
        showStatus(moved == 0
                       ? tr("Nothing moved to %1: %2; %3")
                             .arg(where, failure, backInQueueText(back.size(), total))
                       : tr("Moved %1 of %2 to %3%4; %5; %6")
                             .arg(moved)
                             .arg(total)
                             .arg(where, movedText, failure, backInQueueText(back.size(), total)),
                   StatusLine::Kind::Error);
    } else if (outcome.cancelled) {
        m_deps.logger->action(QStringLiteral("Action '%1' cancelled after %2 of %3")
                                  .arg(job.name)
                                  .arg(moved)
                                  .arg(total));
        const QString what = tr("Cancelled moving %1 to %2").arg(job.itemName, where);
        showStatus(moved == 0
                       ? QStringLiteral("%1; %2").arg(what, backInQueueText(back.size(), total))
                       : tr("%1 after %2%3; %4")
                             .arg(what)
                             .arg(moved)
                             .arg(movedText, backInQueueText(back.size(), total)));
    } else {
        m_deps.logger->info(QStringLiteral("Action '%1' done").arg(job.name));
        showStatus(job.kind == JobKind::Trash
                       ? tr("Moved %1 to Trash").arg(job.itemName)
                       : tr("Moved %1 to %2").arg(job.itemName, job.destination));
    }
}

void TriageActionController::noteFiling(const LastDestination& destination)
{
    m_lastDestination = destination;
    emit lastDestinationChanged();
}

void TriageActionController::routeToSlot(const DestinationSlot& slot, InputMethod input)
{
    fileIntoSlot(slot, input, std::nullopt);
}

bool TriageActionController::routeItemToSlot(const TriageItem& item, const DestinationSlot& slot,
                                             InputMethod input)
{
    return fileIntoSlot(slot, input, item);
}

bool TriageActionController::fileIntoSlot(const DestinationSlot& slot, InputMethod input,
                                          const std::optional<TriageItem>& forItem)
{
    const auto head = forItem ? forItem : m_deps.queue->activeItem();
    if (!head)
        return false;
    FileExecutionEngine* engine = m_deps.engine;
    const QString folder = DestinationSlot::expandTilde(slot.path);
    const QUrl destination = QUrl::fromLocalFile(folder);
    Job job;
    job.kind = JobKind::Move;
    job.name =
        QStringLiteral("Move .%1 to %2").arg(FileExecutionEngine::logToken(*head), slot.name);
    job.destination = slot.name;
    job.historyAction = HistoryEntry::Action::MovedToSlot;
    job.slot = slot.slot;
    if (!dispatch(
            job, ActionType::slotRoute, input,
            [engine, destination](const TriageItem& item) {
                return engine->move(item, destination);
            },
            [name = slot.name](const QUrl& url) {
                return tr("Moved to %1: %2").arg(name, url.fileName());
            },
            tr("Failed to move: %1"), forItem))
        return false;
    noteFiling({slot, folder, slot.name});
    return true;
}

void TriageActionController::routeGroupToSlot(const DestinationSlot& slot,
                                              const QList<QUuid>& itemIds, InputMethod input)
{
    FileExecutionEngine* engine = m_deps.engine;
    const QString folder = DestinationSlot::expandTilde(slot.path);
    const QUrl destination = QUrl::fromLocalFile(folder);
    const std::optional<TriageItem> head = m_deps.queue->activeItem();
    Job job;
    job.kind = JobKind::Move;
    job.name =
        QStringLiteral("Move %1 items (.%2) to %3")
            .arg(itemIds.size())
            .arg(head ? FileExecutionEngine::logToken(*head) : QStringLiteral("file"), slot.name);
    job.destination = slot.name;
    job.historyAction = HistoryEntry::Action::MovedToSlot;
    job.slot = slot.slot;
    if (dispatchGroup(
            job, ActionType::slotRoute, input, itemIds,
            [engine, destination](const TriageItem& item) {
                return engine->move(item, destination);
            },
            [this, &slot, input](const TriageItem& item) { fileIntoSlot(slot, input, item); }))
        noteFiling({slot, folder, slot.name});
}

bool TriageActionController::moveToFolder(const QString& folder, InputMethod input,
                                          const std::optional<TriageItem>& chosenFor)
{
    if (folder.isEmpty())
        return false;
    const auto head = chosenFor ? chosenFor : m_deps.queue->activeItem();
    if (!head)
        return false;
    FileExecutionEngine* engine = m_deps.engine;
    const QUrl destination = QUrl::fromLocalFile(folder);
    const QString folderName = QDir(folder).dirName();
    Job job;
    job.kind = JobKind::Move;
    job.name =
        QStringLiteral("Move .%1 to custom folder").arg(FileExecutionEngine::logToken(*head));
    job.destination = folderName;
    job.historyAction = HistoryEntry::Action::MovedToFolder;
    if (!dispatch(
            job, ActionType::customFolder, input,
            [engine, destination](const TriageItem& item) {
                return engine->move(item, destination);
            },
            [folderName](const QUrl& url) {
                return tr("Moved to %1: %2").arg(folderName, url.fileName());
            },
            tr("Error: %1"), chosenFor))
        return false;
    noteFiling({std::nullopt, folder, folderName});
    return true;
}

void TriageActionController::moveGroupToFolder(const QString& folder, const QList<QUuid>& itemIds,
                                               InputMethod input)
{
    if (folder.isEmpty())
        return;
    FileExecutionEngine* engine = m_deps.engine;
    const QUrl destination = QUrl::fromLocalFile(folder);
    const QString folderName = QDir(folder).dirName();
    const std::optional<TriageItem> head = m_deps.queue->activeItem();
    Job job;
    job.kind = JobKind::Move;
    job.name = QStringLiteral("Move %1 items (.%2) to custom folder")
                   .arg(itemIds.size())
                   .arg(head ? FileExecutionEngine::logToken(*head) : QStringLiteral("file"));
    job.destination = folderName;
    job.historyAction = HistoryEntry::Action::MovedToFolder;
    if (dispatchGroup(
            job, ActionType::customFolder, input, itemIds,
            [engine, destination](const TriageItem& item) {
                return engine->move(item, destination);
            },
            [this, &folder, input](const TriageItem& item) { moveToFolder(folder, input, item); }))
        noteFiling({std::nullopt, folder, folderName});
}

void TriageActionController::fileLikeLast(InputMethod input)
{
    if (!m_deps.queue->activeItem())
        return;
    if (!m_lastDestination) {
        showStatus(tr("Nothing filed yet: file one item first"));
        return;
    }
    const LastDestination last = *m_lastDestination;
    if (last.slot)
        fileIntoSlot(*last.slot, input, std::nullopt);
    else
        moveToFolder(last.folder, input);
}

void TriageActionController::trashCurrent(InputMethod input)
{
    trashItem(input, std::nullopt);
}

bool TriageActionController::trashItem(const TriageItem& item, InputMethod input)
{
    return trashItem(input, item);
}

bool TriageActionController::trashItem(InputMethod input, const std::optional<TriageItem>& forItem)
{
    const auto head = forItem ? forItem : m_deps.queue->activeItem();
    if (!head)
        return false;
    FileExecutionEngine* engine = m_deps.engine;
    Job job;
    job.kind = JobKind::Trash;
    job.name = QStringLiteral("Trash .%1").arg(FileExecutionEngine::logToken(*head));
    job.historyAction = HistoryEntry::Action::Trashed;
    return dispatch(
        job, ActionType::trash, input,
        [engine](const TriageItem& item) { return engine->trash(item); },
        [name = head->filename](const QUrl&) { return tr("Moved %1 to Trash").arg(name); },
        tr("Failed to trash file: %1"), forItem);
}

void TriageActionController::trashGroup(const QList<QUuid>& itemIds, InputMethod input)
{
    FileExecutionEngine* engine = m_deps.engine;
    const std::optional<TriageItem> head = m_deps.queue->activeItem();
    Job job;
    job.kind = JobKind::Trash;
    job.name = QStringLiteral("Trash %1 items (.%2)")
                   .arg(itemIds.size())
                   .arg(head ? FileExecutionEngine::logToken(*head) : QStringLiteral("file"));
    job.historyAction = HistoryEntry::Action::Trashed;
    dispatchGroup(
        job, ActionType::trash, input, itemIds,
        [engine](const TriageItem& item) { return engine->trash(item); },
        [this, input](const TriageItem& item) { trashItem(input, item); });
}

void TriageActionController::skipCurrentItem(InputMethod input)
{
    const auto head = m_deps.queue->activeItem();
    if (!head)
        return;
    if (m_deps.telemetry)
        m_deps.telemetry->recordAction(ActionType::skip, input, *head);
    m_deps.queue->skipCurrent();
    HistoryEntry entry;
    entry.action = HistoryEntry::Action::Skipped;
    entry.itemName = head->filename;
    entry.kind = HistoryEntry::kindOf(head->uti.isValid() ? head->uti.name() : QString(),
                                      head->fileExtension);
    entry.size = head->sizeBytes;
    entry.fromPath = QDir::cleanPath(head->path());
    entry.originHost = originHostOf(*head);
    recordHistory(entry);
    rememberStep({nullptr, {}, *head, entry.id});
    if (m_deps.queue->items().isEmpty() && m_deps.telemetry)
        m_deps.telemetry->endSession(0);
    emit itemDispatched();
    showStatus(tr("Skipped %1").arg(head->filename));
}

void TriageActionController::renameItem(const TriageItem& item, const QString& newName)
{
    const QString trimmed = newName.trimmed();
    if (trimmed.isEmpty() || trimmed == item.filename)
        return;
    clearStatus();
    Job job;
    job.kind = JobKind::Rename;
    job.name = QStringLiteral("Rename .%1").arg(FileExecutionEngine::logToken(item));
    job.itemName = item.filename;
    job.inFlight = {item.url};
    job.ticket = std::make_shared<ActionTicket>();
    job.historyAction = HistoryEntry::Action::Renamed;
    const std::shared_ptr<ActionTicket> ticket = job.ticket;
    const QUuid id = startJob(job);
    const std::shared_ptr<JobControl> control = m_jobs.last().control;

    FileExecutionEngine* engine = m_deps.engine;
    post<Filed>(
        id,
        [engine, item, trimmed, ticket, control] {
            return runFiled(*engine, *ticket, *control,
                            [&] { return engine->rename(item, trimmed); });
        },
        [this, id, item, trimmed](const OffThread<Filed>& outcome) {
            const Job done = finishJob(id);
            if (outcome.ok) {
                if (m_deps.telemetry)
                    m_deps.telemetry->recordAction(ActionType::rename, InputMethod::keyboard, item);
                recordAction(done, outcome.value.record);
                // Only the renamed item changes, wherever it is now; a rescan that already
                // found the new name leaves no second entry.
                const QUrl renamed = outcome.value.url;
                const QString finalName = renamed.fileName();
                if (renamed != item.url)
                    m_deps.queue->removeURL(renamed);
                m_deps.queue->replaceURL(item.url, renamed);
                showStatus(finalName == trimmed
                               ? tr("Renamed to %1").arg(finalName)
                               : tr("Renamed to %1 (%2 was taken)").arg(finalName, trimmed));
            } else {
                reportFailure(done.name, tr("Rename error: %1"), outcome.error, item);
            }
            settle();
        });
}

// --- undo --------------------------------------------------------------------------------

void TriageActionController::rememberStep(UndoStep step)
{
    step.serial = ++m_stepSerial;
    m_undoSteps.append(std::move(step));
    // Older file actions are still undone, in order, from the engine's own history once the
    // steps kept here are used up.
    while (m_undoSteps.size() > FileExecutionEngine::maxUndoHistory)
        m_undoSteps.removeFirst();
}

void TriageActionController::holdForUndo(const Job& action)
{
    // The undo claimed this action before it ended: from now it also holds the paths the
    // action left the items at (a rename's new name), which it is about to change.
    if (!action.ticket || action.ticket->undoJob.isNull())
        return;
    QList<QUrl> placed = action.ticket->memberPlaced;
    if (!action.ticket->placed.isEmpty())
        placed.append(action.ticket->placed);
    if (placed.isEmpty())
        return;
    for (Job& undo : m_jobs) {
        if (undo.id != action.ticket->undoJob)
            continue;
        for (const QUrl& url : std::as_const(placed)) {
            undo.inFlight.append(url);
            m_deps.queue->beginInFlight(url);
        }
        return;
    }
}

void TriageActionController::undoGroupOnWorker(FileExecutionEngine& engine,
                                               const QList<QUuid>& records, JobControl& control,
                                               UndoOutcome& outcome)
{
    // The last member first, each undone as a single action is: a member that cannot be put
    // back is left and the others go on. A cancel stops between members (or within the copy
    // of one); those not undone can still be undone.
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        if (i < records.size() - 1) {
            if (control.stopSeries.load() || control.token.isCancelled()) {
                outcome.cancelled = true;
                outcome.remaining = records.mid(0, i + 1);
                break;
            }
            control.token.rearm();
        }
        const std::optional<ActionRecord> record = engine.record(records[i]);
        if (!record)
            continue; // undone or dropped since: nothing of it to put back
        MemberUndo member;
        member.record = *record;
        try {
            member.result = engine.undoAction(records[i]);
            if (member.result && !member.result->restoredURL.isEmpty())
                member.restored =
                    FileSystemEntry::identityAt(member.result->restoredURL.toLocalFile());
        } catch (const FileOperationError& error) {
            if (isCancelled(error.error())) {
                // Nothing changed for this one: the engine keeps its record.
                outcome.cancelled = true;
                outcome.remaining = records.mid(0, i + 1);
                break;
            }
            member.failure = error.error().localizedDescription;
        } catch (const std::exception& error) {
            member.failure = QString::fromUtf8(error.what());
        }
        outcome.members.append(member);
    }
    QList<QUuid> kept;
    for (const QUuid& id : std::as_const(outcome.remaining)) {
        const std::optional<ActionRecord> record = engine.record(id);
        if (!record)
            continue;
        kept.append(id);
        outcome.remainingPlaced.append(record->type.kind == ActionRecord::ActionType::Kind::Trashed
                                           ? record->type.originalURL()
                                           : record->type.to);
    }
    outcome.remaining = kept;
}

void TriageActionController::undoLastAction()
{
    // Not refused while an action runs: it queues behind it. Each undo takes the latest step
    // no earlier undo took: an action still queued or running is undone at its turn, whatever
    // its outcome; an action that ended is undone by its record (one that failed left nothing
    // to undo and is passed over); a skip is taken back. With no step left, it undoes the
    // latest action the engine still keeps. A group is undone whole, its last member first.
    clearStatus();
    if (m_deps.telemetry)
        m_deps.telemetry->recordUndo();
    Job job;
    job.kind = JobKind::Undo;
    job.name = QStringLiteral("Undo");
    std::shared_ptr<ActionTicket> target;
    QString targetDescription;
    QUuid recordId;
    QList<QUuid> groupRecords;
    QUuid group;
    quint64 stepSerial = 0;
    std::optional<TriageItem> skipped;
    QUuid skipEntry;
    while (!m_undoSteps.isEmpty() && !target && !skipped && recordId.isNull() &&
           groupRecords.isEmpty()) {
        const UndoStep step = m_undoSteps.takeLast();
        stepSerial = step.serial;
        if (step.skipped) {
            skipped = step.skipped;
            skipEntry = step.skipEntry;
            job.inFlight = {skipped->url};
            continue;
        }
        const auto running = std::find_if(m_jobs.begin(), m_jobs.end(), [&](const Job& action) {
            return action.ticket == step.action;
        });
        if (running != m_jobs.end()) {
            running->undoClaimed = true;
            target = step.action;
            targetDescription = describe(*running);
            job.inFlight = step.paths;
            job.series = target->isGroup();
        } else if (step.action->isGroup() && !step.action->memberRecords.isEmpty()) {
            groupRecords = step.action->memberRecords;
            group = step.action->group;
            job.inFlight = step.paths + step.action->memberPlaced;
            job.series = true;
        } else if (!step.action->isGroup() && step.action->succeeded &&
                   !step.action->recordId.isNull()) {
            recordId = step.action->recordId;
            job.inFlight = step.paths;
            job.inFlight.append(step.action->placed);
        }
    }
    const QUuid id = startJob(job);
    if (target)
        target->undoJob = id;
    const std::shared_ptr<JobControl> control = m_jobs.last().control;

    FileExecutionEngine* engine = m_deps.engine;
    const QString skippedPath = skipped ? skipped->url.toLocalFile() : QString();
    post<UndoOutcome>(
        id,
        [engine, target, recordId, groupRecords, group, skippedPath, control] {
            UndoOutcome outcome;
            if (!skippedPath.isEmpty()) {
                outcome.skippedFileThere = FileSystemEntry::existsAt(skippedPath);
            } else if (target && target->isGroup()) {
                // The members it moved, whether it ended in full, failed midway or was
                // cancelled.
                if (target->memberRecords.isEmpty()) {
                    outcome.actionFailed = true;
                    outcome.failure = target->failure;
                } else {
                    outcome.group = target->group;
                    undoGroupOnWorker(*engine, target->memberRecords, *control, outcome);
                }
            } else if (target && !target->succeeded) {
                outcome.actionFailed = true;
                outcome.failure = target->failure;
            } else if (target) {
                if (!target->recordId.isNull())
                    outcome.result = engine->undoAction(target->recordId);
            } else if (!groupRecords.isEmpty()) {
                outcome.group = group;
                undoGroupOnWorker(*engine, groupRecords, *control, outcome);
            } else if (!recordId.isNull()) {
                outcome.result = engine->undoAction(recordId);
            } else {
                const QList<ActionRecord> latest = engine->latestAction();
                if (!latest.isEmpty() && !latest.first().group.isNull()) {
                    QList<QUuid> ids;
                    for (const ActionRecord& record : latest)
                        ids.append(record.id);
                    outcome.group = latest.first().group;
                    undoGroupOnWorker(*engine, ids, *control, outcome);
                } else {
                    outcome.result = engine->undoLast();
                }
            }
            if (outcome.result && !outcome.result->restoredURL.isEmpty())
                outcome.restored =
                    FileSystemEntry::identityAt(outcome.result->restoredURL.toLocalFile());
            return outcome;
        },
        [this, id, targetDescription, skipped, skipEntry,
         stepSerial](const OffThread<UndoOutcome>& outcome) {
            const Job done = finishJob(id);
            if (!outcome.ok) {
                reportFailure(done.name, tr("Undo error: %1"), outcome.error, {});
            } else if (skipped) {
                applySkipUndo(*skipped, outcome.value.skippedFileThere, skipEntry);
            } else if (outcome.value.actionFailed) {
                // The action left nothing to undo; an older one is not undone in its place.
                m_deps.logger->info(QStringLiteral("Undo: the action it was asked for failed; "
                                                   "nothing undone"));
                showStatus(tr("Nothing to undo: %1 failed (%2)")
                               .arg(targetDescription, outcome.value.failure),
                           StatusLine::Kind::Error);
            } else if (!outcome.value.group.isNull()) {
                applyGroupUndo(outcome.value, stepSerial);
            } else if (!outcome.value.result) {
                showStatus(tr("Nothing to undo"));
            } else {
                applyUndo(*outcome.value.result, outcome.value.restored);
            }
            settle();
        });
}

QString TriageActionController::notRestoredText(const FileExecutionEngine::UndoResult& result)
{
    using Kind = ActionRecord::ActionType::Kind;
    using Outcome = FileExecutionEngine::UndoResult::Outcome;
    const ActionRecord::ActionType& type = result.record.type;
    const QString token = FileExecutionEngine::logToken(result.record.item);
    if (result.outcome == Outcome::Replaced) {
        m_deps.logger->log(
            QStringLiteral("ERROR"),
            QStringLiteral("Undo refused (.%1): %2; nothing touched").arg(token, result.refusal));
        return type.kind == Kind::Trashed
                   ? tr("the %1 in the Trash is not the one moved there")
                         .arg(type.originalURL().fileName())
                   : tr("the %1 in %2 is not the file moved there (it was replaced "
                        "or changed since)")
                         .arg(type.to.fileName(), folderNameOf(type.to));
    }
    if (result.outcome == Outcome::Gone || result.restoredURL.isEmpty()) {
        m_deps.logger->log(QStringLiteral("ERROR"),
                           QStringLiteral("Undo found nothing to restore (.%1)").arg(token));
        return type.kind == Kind::Trashed
                   ? tr("%1 is no longer in the Trash").arg(result.record.item.filename)
                   : tr("%1 is no longer in %2").arg(type.to.fileName(), folderNameOf(type.to));
    }
    return QString();
}

void TriageActionController::applyGroupUndo(const UndoOutcome& outcome, quint64 stepSerial)
{
    using Kind = ActionRecord::ActionType::Kind;
    TriageQueueManager& queue = *m_deps.queue;
    QList<HistoryEntry> undone;
    QStringList notRestored;
    QString folder;
    bool trashed = false;
    // In the order they were undone, the last member first: each goes to the head, so the
    // group is back at the head in its own order.
    for (const MemberUndo& member : outcome.members) {
        trashed = member.record.type.kind == Kind::Trashed;
        if (!member.failure.isEmpty()) {
            logFailure(QStringLiteral("Undo of a group member"),
                       AppError{FileExecutionEngine::errorDomain(), EIO, member.failure},
                       member.record.item);
            notRestored << QStringLiteral("%1 (%2)").arg(member.record.item.filename,
                                                         member.failure);
            continue;
        }
        if (!member.result)
            continue;
        const QString why = notRestoredText(*member.result);
        if (!why.isEmpty()) {
            notRestored << why;
            continue;
        }
        const QUrl restored = member.result->restoredURL;
        queue.removeURL(restored);
        queue.pushToFront(TriageItem(restored));
        undone.append(undoneEntry(*member.result, member.restored));
        folder = folderNameOf(restored);
    }
    if (!undone.isEmpty()) {
        HistoryEntry entry = HistoryEntry::group(undone);
        entry.undoOf = outcome.group;
        recordHistory(entry);
    }
    const qsizetype restoredCount = undone.size();
    const qsizetype total = outcome.members.size() + outcome.remaining.size();
    m_deps.logger->info(
        QStringLiteral("Undid group: %1 of %2 restored").arg(restoredCount).arg(total));

    // A cancel leaves the rest of the group undoable, in the place its step had.
    if (outcome.cancelled && !outcome.remaining.isEmpty()) {
        auto rest = std::make_shared<ActionTicket>();
        rest->succeeded = true;
        rest->group = outcome.group;
        rest->memberRecords = outcome.remaining;
        rest->memberPlaced = outcome.remainingPlaced;
        UndoStep step{rest, {}, std::nullopt, {}, stepSerial};
        const auto later =
            std::find_if(m_undoSteps.begin(), m_undoSteps.end(),
                         [&](const UndoStep& kept) { return kept.serial > stepSerial; });
        m_undoSteps.insert(later, step);
    }

    // "14 files", "13 of 14 files"
    const QString count =
        restoredCount == total
            ? HistoryEntry::groupName(total)
            : tr("%1 of %2").arg(restoredCount).arg(HistoryEntry::groupName(total));
    QString text;
    if (restoredCount == 0)
        text =
            outcome.cancelled ? tr("Cancelled the undo; nothing changed") : tr("Nothing restored");
    else if (outcome.cancelled)
        text = tr("Cancelled the undo after %1 (back in %2); the other %3 can still "
                  "be undone")
                   .arg(count, folder)
                   .arg(outcome.remaining.size());
    else if (trashed)
        text = tr("Restored %1 from the Trash to %2").arg(count, folder);
    else
        text = tr("Undid move of %1: restored to %2").arg(count, folder);
    if (!notRestored.isEmpty())
        text = tr("%1. Not restored: %2").arg(text, notRestored.join(QStringLiteral("; ")));
    showStatus(text, notRestored.isEmpty() ? StatusLine::Kind::Info : StatusLine::Kind::Error);
}

void TriageActionController::applySkipUndo(const TriageItem& item, bool stillThere,
                                           const QUuid& skipEntry)
{
    TriageQueueManager& queue = *m_deps.queue;
    const QString token = FileExecutionEngine::logToken(item);
    if (!stillThere) {
        // Deleted or moved away since it was skipped: nothing comes back, and its skip goes.
        queue.dropMissing({TriageItem::standardizedPath(item.url)});
        m_deps.logger->log(
            QStringLiteral("ERROR"),
            QStringLiteral("Undo of a skip found nothing to restore (.%1)").arg(token));
        showStatus(tr("Nothing restored: %1 is gone since it was skipped").arg(item.filename),
                   StatusLine::Kind::Error);
        return;
    }
    // Back at the head and off the skip list, wherever a rescan may have put it meanwhile.
    queue.removeURL(item.url);
    queue.pushToFront(TriageItem(item.url, item.id));
    HistoryEntry undone;
    undone.action = HistoryEntry::Action::Undone;
    undone.undoOf = skipEntry;
    undone.itemName = item.filename;
    undone.kind =
        HistoryEntry::kindOf(item.uti.isValid() ? item.uti.name() : QString(), item.fileExtension);
    undone.size = item.sizeBytes;
    undone.toPath = QDir::cleanPath(item.path());
    undone.originHost = item.originHost;
    recordHistory(undone);
    m_deps.logger->info(QStringLiteral("Undid skip (.%1)").arg(token));
    showStatus(tr("Undid skip: %1 is back").arg(item.filename));
}

QString TriageActionController::describe(const Job& job)
{
    switch (job.kind) {
    case JobKind::Move:
        return tr("the move of %1 to %2").arg(job.itemName, job.destination);
    case JobKind::Trash:
        return tr("the move of %1 to the Trash").arg(job.itemName);
    case JobKind::Rename:
        return tr("the rename of %1").arg(job.itemName);
    case JobKind::Undo:
    case JobKind::Maintenance:
        break;
    }
    return QString();
}

QString TriageActionController::runningText(const Job& job)
{
    switch (job.kind) {
    case JobKind::Move:
        return tr("Moving %1 to %2").arg(job.itemName, job.destination);
    case JobKind::Trash:
        return tr("Moving %1 to the Trash").arg(job.itemName);
    case JobKind::Rename:
        return tr("Renaming %1").arg(job.itemName);
    case JobKind::Undo:
        return tr("Undoing the last action");
    case JobKind::Maintenance:
        return tr("Removing partial copies left by an interrupted move");
    }
    return QString();
}

QString TriageActionController::cancelledText(const Job& job)
{
    if (!job.members.isEmpty())
        return tr("Cancelled moving %1 to %2; they are back in the queue")
            .arg(job.itemName, job.kind == JobKind::Trash ? tr("the Trash") : job.destination);
    switch (job.kind) {
    case JobKind::Move:
        return tr("Cancelled moving %1 to %2; it is back in the queue")
            .arg(job.itemName, job.destination);
    case JobKind::Trash:
        return tr("Cancelled moving %1 to the Trash; it is back in the queue").arg(job.itemName);
    case JobKind::Rename:
        return tr("Cancelled renaming %1").arg(job.itemName);
    case JobKind::Undo:
        return tr("Cancelled the undo; nothing changed");
    case JobKind::Maintenance:
        return tr("Cancelled the removal of partial copies");
    }
    return QString();
}

HistoryEntry TriageActionController::undoneEntry(const FileExecutionEngine::UndoResult& result,
                                                 const FileIdentity& restoredIdentity)
{
    using Kind = ActionRecord::ActionType::Kind;
    const ActionRecord::ActionType& type = result.record.type;
    HistoryEntry undone;
    undone.action = HistoryEntry::Action::Undone;
    undone.undoOf = result.record.id;
    undone.itemName = result.record.item.filename;
    undone.kind = HistoryEntry::kindOf(
        result.record.item.uti.isValid() ? result.record.item.uti.name() : QString(),
        result.record.item.fileExtension);
    undone.size = result.record.item.sizeBytes;
    undone.fromPath =
        QDir::cleanPath((type.kind == Kind::Trashed ? type.originalURL() : type.to).toLocalFile());
    undone.toPath = QDir::cleanPath(result.restoredURL.toLocalFile());
    undone.placed = restoredIdentity;
    undone.originHost = result.record.item.originHost;
    return undone;
}

void TriageActionController::applyUndo(const FileExecutionEngine::UndoResult& result,
                                       const FileIdentity& restoredIdentity)
{
    using Kind = ActionRecord::ActionType::Kind;
    using Outcome = FileExecutionEngine::UndoResult::Outcome;
    const ActionRecord::ActionType& type = result.record.type;
    const QUrl& restored = result.restoredURL;
    TriageQueueManager& queue = *m_deps.queue;
    const QString token = FileExecutionEngine::logToken(result.record.item);

    if (result.outcome == Outcome::Replaced) {
        // Something else stands where the action left the item: it is not touched.
        QString text;
        switch (type.kind) {
        case Kind::Trashed:
            text = tr("Cannot undo: the %1 in the Trash is not the one moved there "
                      "from %2; nothing was restored")
                       .arg(type.originalURL().fileName(), folderNameOf(result.record.item.url));
            break;
        case Kind::Moved:
            text = tr("Cannot undo: the %1 in %2 is not the file moved there (it was "
                      "replaced or changed since); nothing was moved")
                       .arg(type.to.fileName(), folderNameOf(type.to));
            break;
        case Kind::Renamed:
            text = tr("Cannot undo: %1 is not the file renamed to that name (it was "
                      "replaced or changed since); nothing was renamed")
                       .arg(type.to.fileName());
            break;
        }
        m_deps.logger->log(
            QStringLiteral("ERROR"),
            QStringLiteral("Undo refused (.%1): %2; nothing touched").arg(token, result.refusal));
        showStatus(text, StatusLine::Kind::Error);
        return;
    }

    if (result.outcome == Outcome::Gone || restored.isEmpty()) {
        // Gone since: say so, and queue nothing that is not there.
        QString text;
        switch (type.kind) {
        case Kind::Trashed:
            text = tr("Nothing restored: %1 is no longer in the Trash")
                       .arg(result.record.item.filename);
            break;
        case Kind::Moved:
            text = tr("Nothing restored: %1 is no longer in %2")
                       .arg(type.to.fileName(), folderNameOf(type.to));
            break;
        case Kind::Renamed:
            text = tr("Nothing restored: %1 is gone").arg(type.to.fileName());
            break;
        }
        m_deps.logger->log(QStringLiteral("ERROR"),
                           QStringLiteral("Undo found nothing to restore (.%1)").arg(token));
        showStatus(text, StatusLine::Kind::Error);
        return;
    }

    // The history marks the action undone: the undo names the action's entry (its record id).
    recordHistory(undoneEntry(result, restoredIdentity));

    switch (type.kind) {
    case Kind::Trashed: {
        queue.removeURL(restored);
        queue.pushToFront(TriageItem(restored));
        const QString wanted = result.intendedURL.fileName();
        showStatus(restored == result.intendedURL
                       ? tr("Restored %1 from the Trash to %2")
                             .arg(restored.fileName(), folderNameOf(restored))
                       : tr("Restored %1 from the Trash to %2 as %3 (%1 was taken)")
                             .arg(wanted, folderNameOf(restored), restored.fileName()));
        break;
    }
    case Kind::Moved:
        queue.removeURL(restored);
        queue.pushToFront(TriageItem(restored));
        showStatus(
            tr("Undid move: %1 restored to %2").arg(restored.fileName(), folderNameOf(restored)));
        break;
    case Kind::Renamed:
        // The renamed item, wherever it is (queue, backlog, skipped), and nothing else.
        queue.removeURL(restored);
        queue.replaceURL(type.to, restored);
        showStatus(tr("Undid rename: %1 is %2 again").arg(type.to.fileName(), restored.fileName()));
        break;
    }
}

void TriageActionController::noteOriginHost(const QUuid& itemId, const QString& host)
{
    if (host.isEmpty())
        return;
    // Only the items still waiting need theirs; a bound keeps a long session small.
    if (m_originHosts.size() >= 1000)
        m_originHosts.clear();
    m_originHosts.insert(itemId, host);
}

QString TriageActionController::originHostOf(const TriageItem& item)
{
    return item.originHost.isEmpty() ? m_originHosts.value(item.id) : item.originHost;
}

void TriageActionController::recordHistory(const HistoryEntry& entry)
{
    if (m_deps.history)
        m_deps.history->record(entry);
}

void TriageActionController::recordAction(const Job& job, const std::optional<ActionRecord>& record)
{
    if (!m_deps.history || job.historyAction == HistoryEntry::Action::Skipped)
        return;
    if (!record) {
        // The engine keeps a record of every action that succeeded; without one there is
        // nothing reliable to write.
        m_deps.logger->error(
            QStringLiteral("History: no record of action '%1'; not recorded").arg(job.name));
        return;
    }
    recordHistory(HistoryEntry::fromActionRecord(*record, job.historyAction, job.slot,
                                                 originHostOf(record->item)));
}

void TriageActionController::removeStalePartials(const QStringList& folders)
{
    Job job;
    job.kind = JobKind::Maintenance;
    job.name = QStringLiteral("Remove stale partial copies");
    job.holdsLock = false;
    const QUuid id = startJob(job);
    post<int>(
        id,
        [folders] {
            int removed = 0;
            for (const QString& folder : folders)
                removed += FileMover::removeStalePartials(folder);
            return removed;
        },
        [this, id](const OffThread<int>& outcome) {
            finishJob(id);
            if (outcome.ok && outcome.value > 0)
                m_deps.logger->info(QStringLiteral("Removed %1 partial copies left by an "
                                                   "interrupted move")
                                        .arg(outcome.value));
            settle();
        });
}
