#include "services/TriageActionController.h"

#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/FileMover.h"
#include "platform/MonotonicClock.h"
#include "services/ActionFailureLog.h"
#include "services/FileExecutionEngine.h"
#include "services/HistoryStore.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>

TriageActionController::TriageActionController(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_deps(dependencies),
      m_jobs(*dependencies.engine, *dependencies.logger,
             dependencies.clock ? *dependencies.clock : MonotonicClock::system()),
      m_statusLine(m_jobs, dependencies.clock ? *dependencies.clock : MonotonicClock::system(),
                   defaultInfoStatusMs, defaultErrorStatusMs),
      m_undoApplier(*dependencies.queue, *dependencies.logger, dependencies.history),
      m_history(dependencies.history, *dependencies.logger),
      m_groupApplier(*dependencies.queue, *dependencies.logger, m_history)
{
    Q_ASSERT(m_deps.queue && m_deps.engine && m_deps.logger);
    if (!m_deps.clock)
        m_deps.clock = &MonotonicClock::system();
    m_jobs.setWatchdogInterval(defaultWatchdogMs);
    m_jobs.setProgressDelay(defaultProgressDelayMs);
    m_jobs.setStallInterval(defaultStallMs);
    connect(&m_jobs, &ActionJobQueue::progressed, this, &TriageActionController::onJobProgressed);
    connect(&m_jobs, &ActionJobQueue::late, this, &TriageActionController::onJobLate);
    connect(&m_statusLine, &ActionStatusLine::changed, this, &TriageActionController::stateChanged);
    connect(&m_jobs, &ActionJobQueue::runningChanged, this, &TriageActionController::stateChanged);
}

TriageActionController::~TriageActionController()
{
    // Before anything here goes: the operations still report to this object.
    m_jobs.finish();
}

void TriageActionController::setStatusDurations(int infoMs, int errorMs)
{
    m_statusLine.setDurations(infoMs, errorMs);
}

// --- jobs ------------------------------------------------------------------------------------

QUuid TriageActionController::startJob(Job job)
{
    if (job.ticket)
        m_undoSteps.remember({job.ticket, job.inFlight, std::nullopt});
    for (const QUrl& url : std::as_const(job.inFlight))
        m_deps.queue->beginInFlight(url);
    const QUuid id = m_jobs.add(job);
    emit stateChanged();
    return id;
}

TriageActionController::Job TriageActionController::finishJob(const QUuid& id)
{
    const Job job = m_jobs.take(id);
    holdForUndo(job);
    for (const QUrl& url : std::as_const(job.inFlight))
        m_deps.queue->endInFlight(url);
    m_finishingCancelText = job.cancelledText();
    return job;
}

void TriageActionController::settle()
{
    emit stateChanged();
    emit actionFinished();
    if (m_jobs.isEmpty())
        emit idle();
}

void TriageActionController::onJobLate()
{
    // From now on the status line says that it still runs.
    clearStatus();
    emit stateChanged();
}

void TriageActionController::onJobProgressed(const QUuid& id)
{
    const Job* job = m_jobs.find(id);
    if (job && (job->late || m_statusLine.isQuitPending() || runningAction()))
        emit stateChanged();
}

// --- cancelling ------------------------------------------------------------------------------

void TriageActionController::putBack(const TriageItem& item)
{
    m_deps.queue->removeURL(item.url);
    m_deps.queue->pushToFront(item);
}

bool TriageActionController::dropWaiting(const QUuid& id)
{
    const Job* found = m_jobs.find(id);
    if (!found)
        return false;
    const std::shared_ptr<ActionTicket> ticket = found->ticket;
    // An undo waiting behind it finds the action did not happen.
    if (!m_jobs.removeWaiting(id, [&ticket] {
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
    Job* found = m_jobs.find(id);
    if (!found)
        return false;
    if (found->cancelling)
        return true;
    const QString cancelled = found->cancelledText();
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
        showStatus(tr("Cancelling %1…").arg(found->describeOrRunning()),
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
    showStatus(tr("Cancelling %1…").arg(found->describeOrRunning()), StatusLine::Kind::Progress);
    QTimer::singleShot(m_abandonMs, this, [this, id] { abandon(id); });
    return true;
}

void TriageActionController::cancelRunningAction()
{
    const Job* job = m_jobs.running();
    if (!job) {
        showStatus(tr("Nothing to cancel"));
        return;
    }
    cancelAction(job->id);
}

void TriageActionController::cancelAll()
{
    QList<QUuid> ids;
    for (const Job& job : m_jobs.jobs())
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
    Job* found = m_jobs.find(id);
    if (!found)
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
    m_jobs.leaveBehind(id);
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
                       .arg(left.runningText())
                       .arg(membersDone.size())
                       .arg(left.members.size())
                       .arg(ActionJob::backInQueueText(back, left.members.size())),
                   StatusLine::Kind::Error);
    } else if (left.kind == JobKind::Move && left.item && sourceUntouched) {
        putBack(*left.item);
        showStatus(tr("Cancelled moving %1 to %2: the folder is not responding. %1 is "
                      "back in the queue; the partial copy is removed if the folder "
                      "answers again")
                       .arg(left.itemName, left.destination),
                   StatusLine::Kind::Error);
    } else {
        showStatus(tr("Gave up waiting: %1 is not responding").arg(left.runningText()),
                   StatusLine::Kind::Error);
    }
    settle();
}

bool TriageActionController::hasActionsInFlight() const
{
    return std::any_of(m_jobs.jobs().cbegin(), m_jobs.jobs().cend(),
                       [](const Job& job) { return job.kind != JobKind::Maintenance; });
}

bool TriageActionController::isProcessingAction() const
{
    return activeActionID().has_value();
}

std::optional<QUuid> TriageActionController::activeActionID() const
{
    for (const Job& job : m_jobs.jobs()) {
        if (job.holdsLock)
            return job.id;
    }
    return std::nullopt;
}

// --- the status line -------------------------------------------------------------------------

void TriageActionController::showStatus(const QString& text, StatusLine::Kind kind)
{
    m_statusLine.show(text, kind);
}

void TriageActionController::clearStatus()
{
    m_statusLine.clear();
}

void TriageActionController::setQuitPending(bool pending)
{
    m_statusLine.setQuitPending(pending);
}

std::optional<StatusLine> TriageActionController::status() const
{
    return m_statusLine.current();
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
    if (FileActionRunner::isCancelled(error)) {
        // Not a failure: the user stopped it, and nothing changed.
        m_deps.logger->action(QStringLiteral("Action '%1' cancelled").arg(actionName));
        showStatus(m_finishingCancelText.isEmpty() ? tr("Cancelled; nothing changed")
                                                   : m_finishingCancelText);
        return;
    }
    ActionFailureLog::write(*m_deps.logger, actionName, error, item);
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
    const std::shared_ptr<JobControl> control = m_jobs.find(id)->control;
    emit itemDispatched();

    FileExecutionEngine* engine = m_deps.engine;
    m_jobs.post<Filed>(
        id,
        [engine, operation, item, ticket, control] {
            return FileActionRunner::runOne(*engine, *ticket, *control,
                                            [&] { return operation(item); });
        },
        [this, id, item, success, failurePrefix](const OffThread<Filed>& outcome) {
            const Job done = finishJob(id);
            if (outcome.ok) {
                m_history.recordAction(done, outcome.value.record);
                showStatus(success(outcome.value.url));
            } else {
                // Back at the head, also when the result comes late or the action was
                // cancelled. A move that left part of a folder behind puts back what is left,
                // as it is now.
                const bool partial = outcome.error.code == FileMover::partialMoveCode;
                putBack(partial ? TriageItem(item.url, item.id) : item);
                reportFailure(done.name, partial ? QString() : failurePrefix, outcome.error, item);
            }
            const QString said = m_statusLine.outcome() ? m_statusLine.outcome()->text : QString();
            settle();
            emit itemActionEnded(item.id, outcome.ok, said);
        });
    return true;
}

QList<QUuid> TriageActionController::waitingOf(const QList<QUuid>& itemIds) const
{
    QList<QUuid> waiting;
    const QList<TriageItem>& items = m_deps.queue->items();
    for (const QUuid& itemId : itemIds) {
        const bool found = std::any_of(items.cbegin(), items.cend(),
                                       [&](const TriageItem& i) { return i.id == itemId; });
        if (found && !waiting.contains(itemId))
            waiting.append(itemId);
    }
    return waiting;
}

bool TriageActionController::dispatchGroup(Job job, ActionType type, InputMethod input,
                                           const QList<QUuid>& itemIds,
                                           FileActionRunner::Operation operation,
                                           const std::function<void(const TriageItem&)>& single)
{
    const QList<QUuid> waiting = waitingOf(itemIds);
    if (waiting.isEmpty())
        return false;
    if (waiting.size() == 1) {
        const QList<TriageItem>& items = m_deps.queue->items();
        single(*std::find_if(items.cbegin(), items.cend(),
                             [&](const TriageItem& i) { return i.id == waiting[0]; }));
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
    const std::shared_ptr<JobControl> control = m_jobs.find(id)->control;
    emit itemDispatched();

    FileExecutionEngine* engine = m_deps.engine;
    const auto memberDone = [this, id](int done) {
        QMetaObject::invokeMethod(
            this, [this, id, done] { m_jobs.noteMemberDone(id, done); }, Qt::QueuedConnection);
    };
    m_jobs.post<GroupFiled>(
        id,
        [engine, operation, members, ticket, control, group, memberDone] {
            return FileActionRunner::runGroup(*engine, members, group, *ticket, *control, operation,
                                              memberDone);
        },
        [this, id](const OffThread<GroupFiled>& outcome) {
            const Job done = finishJob(id);
            finishGroup(done,
                        outcome.ok ? outcome.value : groupFailedOffThread(done, outcome.error));
            settle();
        });
    return true;
}

TriageActionController::GroupFiled
TriageActionController::groupFailedOffThread(const Job& job, const AppError& error) const
{
    // Not a file operation's failure: the members the ticket knows were moved stay moved,
    // the rest are back.
    GroupFiled partial;
    partial.failedAt = int(job.ticket->memberPlaced.size());
    partial.error = error;
    for (qsizetype i = 0; i < job.ticket->memberPlaced.size(); ++i)
        partial.done.append(Filed{job.ticket->memberPlaced[i],
                                  m_deps.engine->record(job.ticket->memberRecords[i])});
    return partial;
}

void TriageActionController::finishGroup(const Job& job, const GroupFiled& outcome)
{
    const StatusLine line = m_groupApplier.apply(job, outcome);
    showStatus(line.text, line.kind);
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
    const QUuid entry = m_history.recordSkip(*head);
    m_undoSteps.remember({nullptr, {}, *head, entry});
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
    const std::shared_ptr<JobControl> control = m_jobs.find(id)->control;

    FileExecutionEngine* engine = m_deps.engine;
    m_jobs.post<Filed>(
        id,
        [engine, item, trimmed, ticket, control] {
            return FileActionRunner::runOne(*engine, *ticket, *control,
                                            [&] { return engine->rename(item, trimmed); });
        },
        [this, id, item, trimmed](const OffThread<Filed>& outcome) {
            const Job done = finishJob(id);
            if (outcome.ok) {
                if (m_deps.telemetry)
                    m_deps.telemetry->recordAction(ActionType::rename, InputMethod::keyboard, item);
                m_history.recordAction(done, outcome.value.record);
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
    Job* undo = m_jobs.find(action.ticket->undoJob);
    if (!undo)
        return;
    for (const QUrl& url : std::as_const(placed)) {
        undo->inFlight.append(url);
        m_deps.queue->beginInFlight(url);
    }
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
    const ActionUndoSteps::Claim claim = m_undoSteps.claim(m_jobs);
    Job job;
    job.kind = JobKind::Undo;
    job.name = QStringLiteral("Undo");
    job.inFlight = claim.inFlight;
    job.series = claim.series;
    const QUuid id = startJob(job);
    if (claim.target.action)
        claim.target.action->undoJob = id;
    const std::shared_ptr<JobControl> control = m_jobs.find(id)->control;

    FileExecutionEngine* engine = m_deps.engine;
    m_jobs.post<ActionUndoRunner::Outcome>(
        id,
        [engine, target = claim.target, control] {
            return ActionUndoRunner::run(*engine, target, *control);
        },
        [this, id, claim](const OffThread<ActionUndoRunner::Outcome>& outcome) {
            const Job done = finishJob(id);
            if (outcome.ok)
                applyUndoOutcome(claim, outcome.value);
            else
                reportFailure(done.name, tr("Undo error: %1"), outcome.error, {});
            settle();
        });
}

void TriageActionController::applyUndoOutcome(const ActionUndoSteps::Claim& claim,
                                              const ActionUndoRunner::Outcome& outcome)
{
    if (claim.skipped) {
        const StatusLine line =
            m_undoApplier.applySkip(*claim.skipped, outcome.skippedFileThere, claim.skipEntry);
        showStatus(line.text, line.kind);
    } else if (outcome.actionFailed) {
        // The action left nothing to undo; an older one is not undone in its place.
        m_deps.logger->info(QStringLiteral("Undo: the action it was asked for failed; "
                                           "nothing undone"));
        showStatus(
            tr("Nothing to undo: %1 failed (%2)").arg(claim.targetDescription, outcome.failure),
            StatusLine::Kind::Error);
    } else if (!outcome.group.isNull()) {
        const StatusLine line = m_undoApplier.applyGroup(outcome);
        m_undoSteps.keepRest(outcome, claim.stepSerial);
        showStatus(line.text, line.kind);
    } else if (!outcome.result) {
        showStatus(tr("Nothing to undo"));
    } else {
        const StatusLine line = m_undoApplier.applyResult(*outcome.result, outcome.restored);
        showStatus(line.text, line.kind);
    }
}

void TriageActionController::removeStalePartials(const QStringList& folders)
{
    Job job;
    job.kind = JobKind::Maintenance;
    job.name = QStringLiteral("Remove stale partial copies");
    job.holdsLock = false;
    const QUuid id = startJob(job);
    m_jobs.post<int>(
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
