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

#include <algorithm>

namespace {

// What the log calls what an action moves, by extension only: ".pdf"; a group by the item
// shown when it was asked for, "3 items (.pdf)".
QString logSubject(const TriageItem& item)
{
    return QStringLiteral(".%1").arg(FileExecutionEngine::logToken(item));
}

QString groupLogSubject(qsizetype count, const std::optional<TriageItem>& head)
{
    return QStringLiteral("%1 items (.%2)")
        .arg(count)
        .arg(head ? FileExecutionEngine::logToken(*head) : QStringLiteral("file"));
}

// The clock of the delays: the one given, else the system's.
const MonotonicClock& clockOf(const TriageActionController::Dependencies& dependencies)
{
    return dependencies.clock ? *dependencies.clock : MonotonicClock::system();
}

} // namespace

TriageActionController::TriageActionController(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_deps(dependencies),
      m_jobs(*dependencies.engine, *dependencies.logger, clockOf(dependencies)),
      m_statusLine(m_jobs, clockOf(dependencies), defaultInfoStatusMs, defaultErrorStatusMs),
      m_undoApplier(*dependencies.queue, *dependencies.logger, dependencies.history),
      m_history(dependencies.history, *dependencies.logger),
      m_groupApplier(*dependencies.queue, *dependencies.engine, *dependencies.logger, m_history),
      m_canceller({m_jobs, *dependencies.queue, *dependencies.logger, m_statusLine, m_groupApplier,
                   clockOf(dependencies), [this](const QUuid& id) { return finishJob(id); },
                   [this] { settle(); }},
                  defaultAbandonMs)
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

void TriageActionController::putBack(const TriageItem& item)
{
    m_deps.queue->removeURL(item.url);
    m_deps.queue->pushToFront(item);
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
            const StatusLine line = outcome.ok ? m_groupApplier.apply(done, outcome.value)
                                               : m_groupApplier.applyThrown(done, outcome.error);
            showStatus(line.text, line.kind);
            settle();
        });
    return true;
}

void TriageActionController::noteFiling(const LastDestination& destination)
{
    m_lastDestination = destination;
    emit lastDestinationChanged();
}

FileActionRunner::Operation TriageActionController::moveInto(const QString& folder) const
{
    FileExecutionEngine* engine = m_deps.engine;
    const QUrl destination = QUrl::fromLocalFile(folder);
    return
        [engine, destination](const TriageItem& item) { return engine->move(item, destination); };
}

FileActionRunner::Operation TriageActionController::toTrash() const
{
    FileExecutionEngine* engine = m_deps.engine;
    return [engine](const TriageItem& item) { return engine->trash(item); };
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
    const QString folder = DestinationSlot::expandTilde(slot.path);
    if (!dispatch(
            Job::moveToSlot(logSubject(*head), slot.name, slot.slot), ActionType::slotRoute, input,
            moveInto(folder),
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
    const QString folder = DestinationSlot::expandTilde(slot.path);
    const QString subject = groupLogSubject(itemIds.size(), m_deps.queue->activeItem());
    if (dispatchGroup(Job::moveToSlot(subject, slot.name, slot.slot), ActionType::slotRoute, input,
                      itemIds, moveInto(folder), [this, &slot, input](const TriageItem& item) {
                          fileIntoSlot(slot, input, item);
                      }))
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
    const QString folderName = QDir(folder).dirName();
    if (!dispatch(
            Job::moveToFolder(logSubject(*head), folderName), ActionType::customFolder, input,
            moveInto(folder),
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
    const QString folderName = QDir(folder).dirName();
    const QString subject = groupLogSubject(itemIds.size(), m_deps.queue->activeItem());
    if (dispatchGroup(Job::moveToFolder(subject, folderName), ActionType::customFolder, input,
                      itemIds, moveInto(folder), [this, &folder, input](const TriageItem& item) {
                          moveToFolder(folder, input, item);
                      }))
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
    return dispatch(
        Job::toTrash(logSubject(*head)), ActionType::trash, input, toTrash(),
        [name = head->filename](const QUrl&) { return tr("Moved %1 to Trash").arg(name); },
        tr("Failed to trash file: %1"), forItem);
}

void TriageActionController::trashGroup(const QList<QUuid>& itemIds, InputMethod input)
{
    dispatchGroup(Job::toTrash(groupLogSubject(itemIds.size(), m_deps.queue->activeItem())),
                  ActionType::trash, input, itemIds, toTrash(),
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
            if (outcome.ok) {
                const StatusLine line = m_undoApplier.apply(claim, outcome.value, m_undoSteps);
                showStatus(line.text, line.kind);
            } else {
                reportFailure(done.name, tr("Undo error: %1"), outcome.error, {});
            }
            settle();
        });
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
