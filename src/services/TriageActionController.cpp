#include "services/TriageActionController.h"

#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/FileMover.h"
#include "platform/FileSystemEntry.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"

#include <QDir>
#include <QFutureWatcher>
#include <QRegularExpression>
#include <QTimer>
#include <QtConcurrentRun>

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

// Runs work on pool and hands its result to done on context's thread. Results arrive in
// the order the pool finished them, which with one worker thread is the order of the calls.
template <typename T, typename Work, typename Done>
void runOn(QThreadPool* pool, QObject* context, Work work, Done done)
{
    auto* watcher = new QFutureWatcher<OffThread<T>>(context);
    QObject::connect(watcher, &QFutureWatcher<OffThread<T>>::finished, context, [watcher, done] {
        const OffThread<T> result = watcher->result();
        watcher->deleteLater();
        done(result);
    });
    watcher->setFuture(QtConcurrent::run(pool, [work] {
        OffThread<T> result;
        try {
            result.value = work();
            result.ok = true;
        } catch (const FileOperationError& error) {
            result.error = error.error();
        } catch (const std::exception& error) {
            result.error =
                AppError{FileExecutionEngine::errorDomain(), EIO, QString::fromUtf8(error.what())};
        }
        return result;
    }));
}

QString folderNameOf(const QUrl& url)
{
    return FileNaming::lastPathComponent(FileNaming::parentPath(url.toLocalFile()));
}

// Runs a file action's operation on the worker and notes on ticket how it ended: the undo
// record it pushed, or why it failed. The failure still goes on to the caller.
template <typename Ticket, typename Operation> QUrl runNoted(Ticket& ticket, Operation operation)
{
    const QUuid before = FileExecutionEngine::lastRecordOnThisThread();
    try {
        const QUrl url = operation();
        const QUuid after = FileExecutionEngine::lastRecordOnThisThread();
        ticket.succeeded = true;
        ticket.recordId = after != before ? after : QUuid();
        ticket.placed = url;
        return url;
    } catch (const FileOperationError& error) {
        ticket.failure = error.error().localizedDescription;
        throw;
    } catch (const std::exception& error) {
        ticket.failure = QString::fromUtf8(error.what());
        throw;
    }
}

} // namespace

TriageActionController::TriageActionController(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_deps(dependencies)
{
    Q_ASSERT(m_deps.queue && m_deps.engine && m_deps.logger);
    // One worker: operations never overlap, and each sees the files as the one before
    // left them.
    m_worker.setMaxThreadCount(1);
    m_worker.setObjectName(QStringLiteral("com.stowbird.fileactions"));
    connect(m_deps.engine, &FileExecutionEngine::copyProgress, this,
            &TriageActionController::onCopyProgress, Qt::QueuedConnection);
}

TriageActionController::~TriageActionController()
{
    m_worker.waitForDone();
}

void TriageActionController::setStatusDurations(int infoMs, int errorMs)
{
    m_infoStatusMs = infoMs;
    m_errorStatusMs = errorMs;
}

// --- jobs, the lock and the watchdog ---------------------------------------------------------

QUuid TriageActionController::startJob(Job job)
{
    job.id = QUuid::createUuid();
    if (job.ticket)
        rememberStep({job.ticket, job.inFlight, std::nullopt});
    for (const QUrl& url : std::as_const(job.inFlight))
        m_deps.queue->beginInFlight(url);
    if (job.holdsLock) {
        m_deps.logger->debug(
            QStringLiteral("Started action [%1]: %2")
                .arg(job.id.toString(QUuid::WithoutBraces).toUpper().left(6), job.name));
        const QUuid id = job.id;
        QTimer::singleShot(m_watchdogMs, this, [this, id] { watchdog(id); });
    }
    m_jobs.append(job);
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
        // only the keyboard is given back.
        job.holdsLock = false;
        job.late = true;
        m_deps.logger->info(QStringLiteral("Action '%1' still running after %2 ms; keyboard "
                                           "unlocked")
                                .arg(job.name)
                                .arg(m_watchdogMs));
        clearStatus();
        emit stateChanged();
        return;
    }
}

void TriageActionController::onCopyProgress(qint64 done, qint64 total)
{
    // Only moves and undos copy, and the first of them in the list is the one running.
    for (Job& job : m_jobs) {
        if (job.kind != JobKind::Move && job.kind != JobKind::Undo)
            continue;
        job.bytesDone = done;
        job.bytesTotal = total;
        if (job.late || m_quitPending)
            emit stateChanged();
        return;
    }
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
    QTimer::singleShot(kind == StatusLine::Kind::Error ? m_errorStatusMs : m_infoStatusMs, this,
                       [this, serial] {
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
        text = QStringLiteral("Still moving %1 to %2").arg(job.itemName, job.destination);
        break;
    case JobKind::Trash:
        text = QStringLiteral("Still moving %1 to the Trash").arg(job.itemName);
        break;
    case JobKind::Rename:
        text = QStringLiteral("Still renaming %1").arg(job.itemName);
        break;
    case JobKind::Undo:
        text = QStringLiteral("Still undoing");
        break;
    case JobKind::Maintenance:
        text = QStringLiteral("Still cleaning up");
        break;
    }
    if (job.bytesTotal > 0)
        text += QStringLiteral(": %1 of %2")
                    .arg(TriageItem::formatByteCount(job.bytesDone),
                         TriageItem::formatByteCount(job.bytesTotal));
    else
        text += QStringLiteral("…");
    return text;
}

std::optional<StatusLine> TriageActionController::status() const
{
    if (m_quitPending && !m_jobs.isEmpty())
        return StatusLine{QStringLiteral("Quitting when this finishes. ") +
                              progressText(m_jobs.first()),
                          StatusLine::Kind::Progress};
    if (m_status)
        return m_status;
    for (const Job& job : m_jobs) {
        if (job.late)
            return StatusLine{progressText(job), StatusLine::Kind::Progress};
    }
    return std::nullopt;
}

std::optional<QString> TriageActionController::statusMessage() const
{
    const std::optional<StatusLine> line = status();
    if (!line)
        return std::nullopt;
    return line->text;
}

void TriageActionController::reportFailure(const QString& actionName, const QString& prefix,
                                           const AppError& error, const TriageItem& item)
{
    // The log names items by extension only: the description shown to the user may hold
    // the item's name (or, for a partial move, the names left behind); the log line does not.
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
    showStatus(prefix + error.localizedDescription, StatusLine::Kind::Error);
}

// --- file actions on the head item -----------------------------------------------------------

void TriageActionController::dispatch(Job job, ActionType type, InputMethod input,
                                      std::function<QUrl(const TriageItem&)> operation,
                                      std::function<QString(const QUrl&)> success,
                                      const QString& failurePrefix)
{
    const std::optional<TriageItem> head = m_deps.queue->activeItem();
    if (!head)
        return;
    const TriageItem item = *head;
    clearStatus();
    if (m_deps.telemetry)
        m_deps.telemetry->recordAction(type, input, item);
    // The next item shows at once; a failed action puts this one back.
    m_deps.queue->dequeue();
    if (m_deps.queue->items().isEmpty() && m_deps.telemetry)
        m_deps.telemetry->endSession(0);
    job.itemName = item.filename;
    job.inFlight = {item.url};
    job.ticket = std::make_shared<ActionTicket>();
    const std::shared_ptr<ActionTicket> ticket = job.ticket;
    const QUuid id = startJob(job);
    emit itemDispatched();

    runOn<QUrl>(
        &m_worker, this,
        [operation, item, ticket] { return runNoted(*ticket, [&] { return operation(item); }); },
        [this, id, item, success, failurePrefix](const OffThread<QUrl>& outcome) {
            const Job done = finishJob(id);
            if (outcome.ok) {
                showStatus(success(outcome.value));
            } else {
                // Back at the head, also when the result comes late. A move that left part
                // of a folder behind puts back what is left, as it is now.
                const bool partial = outcome.error.code == FileMover::partialMoveCode;
                m_deps.queue->removeURL(item.url);
                m_deps.queue->pushToFront(partial ? TriageItem(item.url, item.id) : item);
                reportFailure(done.name, partial ? QString() : failurePrefix, outcome.error, item);
            }
            settle();
        });
}

void TriageActionController::routeToSlot(const DestinationSlot& slot, InputMethod input)
{
    if (isProcessingAction()) {
        m_deps.logger->debug(
            QStringLiteral("Drop route request: previous action still processing"));
        return;
    }
    const auto head = m_deps.queue->activeItem();
    if (!head)
        return;
    FileExecutionEngine* engine = m_deps.engine;
    const QUrl destination = QUrl::fromLocalFile(DestinationSlot::expandTilde(slot.path));
    Job job;
    job.kind = JobKind::Move;
    job.name =
        QStringLiteral("Move .%1 to %2").arg(FileExecutionEngine::logToken(*head), slot.name);
    job.destination = slot.name;
    dispatch(
        job, ActionType::slotRoute, input,
        [engine, destination](const TriageItem& item) { return engine->move(item, destination); },
        [name = slot.name](const QUrl& url) {
            return QStringLiteral("Moved to %1: %2").arg(name, url.fileName());
        },
        QStringLiteral("Failed to move: "));
}

void TriageActionController::moveToFolder(const QString& folder, InputMethod input)
{
    if (isProcessingAction() || folder.isEmpty())
        return;
    const auto head = m_deps.queue->activeItem();
    if (!head)
        return;
    FileExecutionEngine* engine = m_deps.engine;
    const QUrl destination = QUrl::fromLocalFile(folder);
    const QString folderName = QDir(folder).dirName();
    Job job;
    job.kind = JobKind::Move;
    job.name =
        QStringLiteral("Move .%1 to custom folder").arg(FileExecutionEngine::logToken(*head));
    job.destination = folderName;
    dispatch(
        job, ActionType::customFolder, input,
        [engine, destination](const TriageItem& item) { return engine->move(item, destination); },
        [folderName](const QUrl& url) {
            return QStringLiteral("Moved to %1: %2").arg(folderName, url.fileName());
        },
        QStringLiteral("Error: "));
}

void TriageActionController::trashCurrent(InputMethod input)
{
    if (isProcessingAction()) {
        m_deps.logger->debug(
            QStringLiteral("Drop trash request: previous action still processing"));
        return;
    }
    const auto head = m_deps.queue->activeItem();
    if (!head)
        return;
    FileExecutionEngine* engine = m_deps.engine;
    Job job;
    job.kind = JobKind::Trash;
    job.name = QStringLiteral("Trash .%1").arg(FileExecutionEngine::logToken(*head));
    dispatch(
        job, ActionType::trash, input,
        [engine](const TriageItem& item) { return engine->trash(item); },
        [name = head->filename](const QUrl&) {
            return QStringLiteral("Moved %1 to Trash").arg(name);
        },
        QStringLiteral("Failed to trash file: "));
}

void TriageActionController::skipCurrentItem(InputMethod input)
{
    if (isProcessingAction())
        return;
    const auto head = m_deps.queue->activeItem();
    if (!head)
        return;
    if (m_deps.telemetry)
        m_deps.telemetry->recordAction(ActionType::skip, input, *head);
    m_deps.queue->skipCurrent();
    rememberStep({nullptr, {}, *head});
    if (m_deps.queue->items().isEmpty() && m_deps.telemetry)
        m_deps.telemetry->endSession(0);
    emit itemDispatched();
    showStatus(QStringLiteral("Skipped %1").arg(head->filename));
}

void TriageActionController::renameItem(const TriageItem& item, const QString& newName)
{
    const QString trimmed = newName.trimmed();
    if (trimmed.isEmpty() || trimmed == item.filename || isProcessingAction())
        return;
    clearStatus();
    Job job;
    job.kind = JobKind::Rename;
    job.name = QStringLiteral("Rename .%1").arg(FileExecutionEngine::logToken(item));
    job.itemName = item.filename;
    job.inFlight = {item.url};
    job.ticket = std::make_shared<ActionTicket>();
    const std::shared_ptr<ActionTicket> ticket = job.ticket;
    const QUuid id = startJob(job);

    FileExecutionEngine* engine = m_deps.engine;
    runOn<QUrl>(
        &m_worker, this,
        [engine, item, trimmed, ticket] {
            return runNoted(*ticket, [&] { return engine->rename(item, trimmed); });
        },
        [this, id, item, trimmed](const OffThread<QUrl>& outcome) {
            const Job done = finishJob(id);
            if (outcome.ok) {
                if (m_deps.telemetry)
                    m_deps.telemetry->recordAction(ActionType::rename, InputMethod::keyboard, item);
                // Only the renamed item changes, wherever it is now; a rescan that already
                // found the new name leaves no second entry.
                const QString finalName = outcome.value.fileName();
                if (outcome.value != item.url)
                    m_deps.queue->removeURL(outcome.value);
                m_deps.queue->replaceURL(item.url, outcome.value);
                showStatus(
                    finalName == trimmed
                        ? QStringLiteral("Renamed to %1").arg(finalName)
                        : QStringLiteral("Renamed to %1 (%2 was taken)").arg(finalName, trimmed));
            } else {
                reportFailure(done.name, QStringLiteral("Rename error: "), outcome.error, item);
            }
            settle();
        });
}

// --- undo --------------------------------------------------------------------------------

void TriageActionController::rememberStep(UndoStep step)
{
    m_undoSteps.append(std::move(step));
    // Older file actions are still undone, in order, from the engine's own history once the
    // steps kept here are used up.
    while (m_undoSteps.size() > FileExecutionEngine::maxUndoHistory)
        m_undoSteps.removeFirst();
}

void TriageActionController::holdForUndo(const Job& action)
{
    // The undo claimed this action before it ended: from now it also holds the path the
    // action left the item at (a rename's new name), which it is about to change.
    if (!action.ticket || action.ticket->undoJob.isNull() || action.ticket->placed.isEmpty())
        return;
    for (Job& undo : m_jobs) {
        if (undo.id != action.ticket->undoJob)
            continue;
        undo.inFlight.append(action.ticket->placed);
        m_deps.queue->beginInFlight(action.ticket->placed);
        return;
    }
}

void TriageActionController::undoLastAction()
{
    // Not refused while an action runs: it queues behind it. Each undo takes the latest step
    // no earlier undo took: an action still queued or running is undone at its turn, whatever
    // its outcome; an action that ended is undone by its record (one that failed left nothing
    // to undo and is passed over); a skip is taken back. With no step left, it undoes the
    // latest record the engine still keeps.
    clearStatus();
    if (m_deps.telemetry)
        m_deps.telemetry->recordUndo();
    Job job;
    job.kind = JobKind::Undo;
    job.name = QStringLiteral("Undo");
    std::shared_ptr<ActionTicket> target;
    QString targetDescription;
    QUuid recordId;
    std::optional<TriageItem> skipped;
    while (!m_undoSteps.isEmpty() && !target && !skipped && recordId.isNull()) {
        const UndoStep step = m_undoSteps.takeLast();
        if (step.skipped) {
            skipped = step.skipped;
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
        } else if (step.action->succeeded && !step.action->recordId.isNull()) {
            recordId = step.action->recordId;
            job.inFlight = step.paths;
            job.inFlight.append(step.action->placed);
        }
    }
    const QUuid id = startJob(job);
    if (target)
        target->undoJob = id;

    FileExecutionEngine* engine = m_deps.engine;
    const QString skippedPath = skipped ? skipped->url.toLocalFile() : QString();
    runOn<UndoOutcome>(
        &m_worker, this,
        [engine, target, recordId, skippedPath] {
            UndoOutcome outcome;
            if (!skippedPath.isEmpty()) {
                outcome.skippedFileThere = FileSystemEntry::existsAt(skippedPath);
            } else if (target && !target->succeeded) {
                outcome.actionFailed = true;
                outcome.failure = target->failure;
            } else if (target) {
                if (!target->recordId.isNull())
                    outcome.result = engine->undoAction(target->recordId);
            } else if (!recordId.isNull()) {
                outcome.result = engine->undoAction(recordId);
            } else {
                outcome.result = engine->undoLast();
            }
            return outcome;
        },
        [this, id, targetDescription, skipped](const OffThread<UndoOutcome>& outcome) {
            const Job done = finishJob(id);
            if (!outcome.ok) {
                reportFailure(done.name, QStringLiteral("Undo error: "), outcome.error, {});
            } else if (skipped) {
                applySkipUndo(*skipped, outcome.value.skippedFileThere);
            } else if (outcome.value.actionFailed) {
                // The action left nothing to undo; an older one is not undone in its place.
                m_deps.logger->info(QStringLiteral("Undo: the action it was asked for failed; "
                                                   "nothing undone"));
                showStatus(QStringLiteral("Nothing to undo: %1 failed (%2)")
                               .arg(targetDescription, outcome.value.failure),
                           StatusLine::Kind::Error);
            } else if (!outcome.value.result) {
                showStatus(QStringLiteral("Nothing to undo"));
            } else {
                applyUndo(*outcome.value.result);
            }
            settle();
        });
}

void TriageActionController::applySkipUndo(const TriageItem& item, bool stillThere)
{
    TriageQueueManager& queue = *m_deps.queue;
    const QString token = FileExecutionEngine::logToken(item);
    if (!stillThere) {
        // Deleted or moved away since it was skipped: nothing comes back, and its skip goes.
        queue.dropMissing({TriageItem::standardizedPath(item.url)});
        m_deps.logger->log(
            QStringLiteral("ERROR"),
            QStringLiteral("Undo of a skip found nothing to restore (.%1)").arg(token));
        showStatus(
            QStringLiteral("Nothing restored: %1 is gone since it was skipped").arg(item.filename),
            StatusLine::Kind::Error);
        return;
    }
    // Back at the head and off the skip list, wherever a rescan may have put it meanwhile.
    queue.removeURL(item.url);
    queue.pushToFront(TriageItem(item.url, item.id));
    m_deps.logger->info(QStringLiteral("Undid skip (.%1)").arg(token));
    showStatus(QStringLiteral("Undid skip: %1 is back").arg(item.filename));
}

QString TriageActionController::describe(const Job& job)
{
    switch (job.kind) {
    case JobKind::Move:
        return QStringLiteral("the move of %1 to %2").arg(job.itemName, job.destination);
    case JobKind::Trash:
        return QStringLiteral("the move of %1 to the Trash").arg(job.itemName);
    case JobKind::Rename:
        return QStringLiteral("the rename of %1").arg(job.itemName);
    case JobKind::Undo:
    case JobKind::Maintenance:
        break;
    }
    return QString();
}

void TriageActionController::applyUndo(const FileExecutionEngine::UndoResult& result)
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
            text = QStringLiteral("Cannot undo: the %1 in the Trash is not the one moved there "
                                  "from %2; nothing was restored")
                       .arg(type.originalURL().fileName(), folderNameOf(result.record.item.url));
            break;
        case Kind::Moved:
            text = QStringLiteral("Cannot undo: the %1 in %2 is not the file moved there (it was "
                                  "replaced or changed since); nothing was moved")
                       .arg(type.to.fileName(), folderNameOf(type.to));
            break;
        case Kind::Renamed:
            text = QStringLiteral("Cannot undo: %1 is not the file renamed to that name (it was "
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
            text = QStringLiteral("Nothing restored: %1 is no longer in the Trash")
                       .arg(result.record.item.filename);
            break;
        case Kind::Moved:
            text = QStringLiteral("Nothing restored: %1 is no longer in %2")
                       .arg(type.to.fileName(), folderNameOf(type.to));
            break;
        case Kind::Renamed:
            text = QStringLiteral("Nothing restored: %1 is gone").arg(type.to.fileName());
            break;
        }
        m_deps.logger->log(QStringLiteral("ERROR"),
                           QStringLiteral("Undo found nothing to restore (.%1)").arg(token));
        showStatus(text, StatusLine::Kind::Error);
        return;
    }

    switch (type.kind) {
    case Kind::Trashed: {
        queue.removeURL(restored);
        queue.pushToFront(TriageItem(restored));
        const QString wanted = result.intendedURL.fileName();
        showStatus(restored == result.intendedURL
                       ? QStringLiteral("Restored %1 from the Trash to %2")
                             .arg(restored.fileName(), folderNameOf(restored))
                       : QStringLiteral("Restored %1 from the Trash to %2 as %3 (%1 was taken)")
                             .arg(wanted, folderNameOf(restored), restored.fileName()));
        break;
    }
    case Kind::Moved:
        queue.removeURL(restored);
        queue.pushToFront(TriageItem(restored));
        showStatus(QStringLiteral("Undid move: %1 restored to %2")
                       .arg(restored.fileName(), folderNameOf(restored)));
        break;
    case Kind::Renamed:
        // The renamed item, wherever it is (queue, backlog, skipped), and nothing else.
        queue.removeURL(restored);
        queue.replaceURL(type.to, restored);
        showStatus(QStringLiteral("Undid rename: %1 is %2 again")
                       .arg(type.to.fileName(), restored.fileName()));
        break;
    }
}

void TriageActionController::removeStalePartials(const QStringList& folders)
{
    Job job;
    job.kind = JobKind::Maintenance;
    job.name = QStringLiteral("Remove stale partial copies");
    job.holdsLock = false;
    const QUuid id = startJob(job);
    runOn<int>(
        &m_worker, this,
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
