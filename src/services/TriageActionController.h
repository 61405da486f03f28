#pragma once

#include "models/AppError.h"
#include "models/DestinationSlot.h"
#include "models/HistoryEntry.h"
#include "models/StatusLine.h"
#include "models/TriageItem.h"
#include "models/TriageSessionStats.h"
#include "services/ActionCanceller.h"
#include "services/ActionHistoryRecorder.h"
#include "services/ActionJob.h"
#include "services/ActionJobQueue.h"
#include "services/ActionStatusLine.h"
#include "services/ActionUndoApplier.h"
#include "services/ActionUndoRunner.h"
#include "services/ActionUndoSteps.h"
#include "services/FileActionRunner.h"
#include "services/FileExecutionEngine.h"
#include "services/GroupActionApplier.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

class HistoryStore;
class LoggerService;
class MonotonicClock;
class TelemetryService;
class TriageQueueManager;

// Owns the triage actions: it takes the head item off the queue, runs the file operation
// on one worker thread (operations run one at a time, in the order they were asked for, so
// an undo waits for the action before it and undoes exactly that), puts items back when an
// operation fails, early or late, or is cancelled, and says what happened in the status
// line. The triage window maps keys to these calls and draws the state; the controller
// itself needs no widgets. Every action that succeeds (and every skip and undo) goes into the
// lasting history, when one is given: written off this thread, so recording costs the key
// path nothing.
//
// Nothing is refused while an action runs: an action asked for meanwhile is for the item
// shown then, which leaves the queue at once, and its operation waits behind the ones
// asked for before it. The running action reports its progress (bytes, time left, how many
// wait behind it) and can be cancelled: a copy onto another file system stops, its partial
// copy is removed and the item is back at the head. One that does not stop (a destination
// that stopped answering) is left behind on its thread, and the actions behind it go on.
//
// A group action (one key for a batch of look-alike items) is one action: its members leave
// the queue at once, one job moves them one by one in order, one undo puts them all back,
// and the history records it as one entry with its members. It stops at the first member
// that fails or when it is cancelled; the members moved before stay moved (and undoable as
// the group), the rest are back at the head of the queue in their order.
class TriageActionController : public QObject
{
    Q_OBJECT
public:
    struct Dependencies
    {
        TriageQueueManager* queue = nullptr;
        FileExecutionEngine* engine = nullptr;
        TelemetryService* telemetry = nullptr; // none: nothing is counted
        // queue, engine and logger are required.
        LoggerService* logger = nullptr;
        // Times progress, time left, stalls, the watchdog and the status line; none: the
        // system's clock.
        const MonotonicClock* clock = nullptr;
        // Where each action is recorded; none: nothing is.
        HistoryStore* history = nullptr;
    };

    static constexpr int defaultWatchdogMs = 3000;
    static constexpr int defaultInfoStatusMs = 3000;
    static constexpr int defaultErrorStatusMs = 6000;
    // How long an action runs before its progress is shown (at once when others wait).
    static constexpr int defaultProgressDelayMs = 500;
    // How long an action may go without progress before the window says it is stuck.
    static constexpr int defaultStallMs = 10000;
    // How long a cancelled action has to stop before it is left behind.
    static constexpr int defaultAbandonMs = 1000;

    explicit TriageActionController(Dependencies dependencies, QObject* parent = nullptr);
    // Waits for the operation in flight and those queued behind it (actions left behind
    // are not waited for).
    ~TriageActionController() override;

    void setWatchdogInterval(int ms) { m_jobs.setWatchdogInterval(ms); }
    void setStatusDurations(int infoMs, int errorMs);
    void setProgressDelay(int ms) { m_jobs.setProgressDelay(ms); }
    void setStallInterval(int ms) { m_jobs.setStallInterval(ms); }
    void setTickInterval(int ms) { m_jobs.setTickInterval(ms); }
    void setAbandonDelay(int ms) { m_canceller.setAbandonDelay(ms); }

    // Actions on the head item of the queue; each returns at once.
    void routeToSlot(const DestinationSlot& slot, InputMethod input);
    // chosenFor: the item the folder was chosen for, when a dialog was open meanwhile; it is
    // moved wherever it waits now (nothing when it is no longer waiting).
    // False when nothing was moved (no item, or chosenFor no longer waits).
    bool moveToFolder(const QString& folder, InputMethod input,
                      const std::optional<TriageItem>& chosenFor = std::nullopt);
    void trashCurrent(InputMethod input);
    // The same on one waiting item wherever it waits, not only at the head: a desktop
    // notification's buttons act on the item they were shown for. False, with the status
    // line saying why, when it no longer waits; itemActionEnded() tells how one that started
    // ended.
    bool routeItemToSlot(const TriageItem& item, const DestinationSlot& slot, InputMethod input);
    bool trashItem(const TriageItem& item, InputMethod input);
    // The same for a group: itemIds are waiting items in the order they are acted on (the
    // head's look-alikes, head included); those no longer waiting are passed over, and with
    // one left it is the action on that one item.
    void routeGroupToSlot(const DestinationSlot& slot, const QList<QUuid>& itemIds,
                          InputMethod input);
    void moveGroupToFolder(const QString& folder, const QList<QUuid>& itemIds, InputMethod input);
    void trashGroup(const QList<QUuid>& itemIds, InputMethod input);
    // "Same as last": files the head item where the previous filing went (a slot as it was
    // configured then, or a folder chosen by hand). The trash is not a filing. With nothing
    // filed yet, the status line says so.
    void fileLikeLast(InputMethod input);
    // Where the latest filing asked for went (it counts from the moment it is asked for).
    struct LastDestination
    {
        std::optional<DestinationSlot> slot; // filed into a slot: that slot, as it was then
        QString folder;                      // the folder, tilde expanded
        QString name;                        // "Documents"
    };
    std::optional<LastDestination> lastDestination() const { return m_lastDestination; }
    void skipCurrentItem(InputMethod input);
    // Renames item (normally the head) in place; blank or unchanged names do nothing.
    void renameItem(const TriageItem& item, const QString& newName);
    // Undoes the most recent step, a file action or a skip, after every operation already
    // asked for. An undo asked for while actions are still queued or running undoes the
    // latest of them that no earlier undo has claimed, whether it succeeds or fails (a failed
    // one leaves nothing to undo, and the status line says so); never an older action in its
    // place. An undone skip puts the item back at the head and off the skip list. The undo
    // holds the paths it changes as in flight, so that the watcher's reports of its own
    // changes cannot drop or add the item meanwhile.
    void undoLastAction();
    // Removes the partial copies a killed move left in these folders, on the worker.
    void removeStalePartials(const QStringList& folders);
    // The origin host of a queued item, found after the item was made (a browser's GIO
    // metadata is read off the GUI thread); recorded with the item's action. Host only.
    void noteOriginHost(const QUuid& itemId, const QString& host)
    {
        m_history.noteOriginHost(itemId, host);
    }

    // Cancels the running file action: a copy onto another file system stops, its partial
    // copy is removed and the item is back at the head of the queue. One that does not stop
    // within the abandon delay is left behind (its item is put back all the same, its thread
    // removes the partial copy if it ever returns) and the actions behind it go on. An action
    // that changes no more than names (a rename, the trash) ends at once; nothing to cancel.
    void cancelRunningAction() { m_canceller.cancelRunning(); }
    // Cancels the action with id: the running one as above, one still waiting is taken out
    // and its item put back. False when there is no such action.
    bool cancelAction(const QUuid& id) { return m_canceller.cancel(id); }
    // For quit: cancels the running action and takes out every one still waiting (none of
    // them starts). idle() follows once nothing runs, at the latest after the abandon delay.
    void cancelAll() { m_canceller.cancelAll(); }
    // Actions left behind whose thread has not returned yet.
    int abandonedCount() const { return m_jobs.abandonedCount(); }
    bool waitForAbandoned(int timeoutMs) const { return m_jobs.waitForAbandoned(timeoutMs); }

    // What the progress strip shows: the file action running now and those behind it.
    using RunningAction = ActionJobQueue::RunningAction;
    // None while nothing runs, and while an action alone has run for less than the progress
    // delay.
    std::optional<RunningAction> runningAction() const { return m_jobs.runningAction(); }

    // An action asked for less than the watchdog interval ago still runs. Nothing is refused
    // meanwhile (later actions wait behind it); past the interval the status line says that
    // it still runs, with its progress.
    bool isProcessingAction() const { return activeActionID().has_value(); }
    // An operation runs or waits to run.
    bool isBusy() const { return !m_jobs.isEmpty(); }
    // A file action on an item (move, trash, rename or undo) runs or waits to run: until it
    // ends, an empty queue may still get an item back. Housekeeping does not count.
    bool hasActionsInFlight() const { return m_jobs.hasItemActions(); }
    // The action started last while it is within the watchdog interval.
    std::optional<QUuid> activeActionID() const { return m_jobs.firstWatched(); }

    // The status line: an action that stopped answering, else the latest outcome while it
    // lasts (errors 6 s, others 3 s, or until the next action), else what is still running,
    // with its progress and how many actions wait behind it.
    std::optional<StatusLine> status() const { return m_statusLine.current(); }
    std::optional<QString> statusMessage() const;
    void showStatus(const QString& text, StatusLine::Kind kind = StatusLine::Kind::Info)
    {
        m_statusLine.show(text, kind);
    }
    // Quit was asked for while operations run: the status line says that quitting cancels
    // the running one.
    void setQuitPending(bool pending) { m_statusLine.setQuitPending(pending); }

signals:
    // The running actions, the status line or the progress changed.
    void stateChanged();
    // The head item left the queue for an action (the window closes its rename panel and
    // forgets a large-preview permission).
    void itemDispatched();
    // An operation ended, with its outcome applied; for tests and benchmarks.
    void actionFinished();
    // A move or trash of one item ended: whether it happened, and what the status line said
    // of it ("Moved report.pdf to Trash", "Failed to trash file: ...").
    void itemActionEnded(const QUuid& itemId, bool succeeded, const QString& text);
    // lastDestination() changed.
    void lastDestinationChanged();
    // Nothing runs or waits any more.
    void idle();

private:
    using Job = ActionJob;
    using JobKind = ActionJob::Kind;
    using JobControl = ActionJobControl;
    template <typename T> using OffThread = ActionJobQueue::Result<T>;
    using Filed = FileActionRunner::Filed;
    using GroupFiled = FileActionRunner::GroupFiled;

    QUuid startJob(Job job);
    Job finishJob(const QUuid& id);
    void settle();
    // A job's progress, or it runs late: the window redraws what it shows of it.
    void onJobProgressed(const QUuid& id);
    void onJobLate();
    void putBack(const TriageItem& item);
    // False when there was no item to act on.
    bool dispatch(Job job, ActionType type, InputMethod input,
                  FileActionRunner::Operation operation,
                  std::function<QString(const QUrl&)> success, const QString& failurePrefix,
                  const std::optional<TriageItem>& forItem = std::nullopt);
    void reportFailure(const QString& actionName, const QString& prefix, const AppError& error,
                       const TriageItem& item);
    // Groups: takes the waiting ones of itemIds out of the queue and runs one job over them;
    // one left: single() acts on it. True when it ran a group job.
    bool dispatchGroup(Job job, ActionType type, InputMethod input, const QList<QUuid>& itemIds,
                       FileActionRunner::Operation operation,
                       const std::function<void(const TriageItem&)>& single);
    // The items of itemIds still waiting, once each, in the order given.
    QList<QUuid> waitingOf(const QList<QUuid>& itemIds) const;
    void noteFiling(const LastDestination& destination);
    // The operations of the file actions, run on the worker.
    FileActionRunner::Operation moveInto(const QString& folder) const;
    FileActionRunner::Operation toTrash() const;
    // Files item (the head, or where it waits) into slot or folder, as the keys do.
    bool fileIntoSlot(const DestinationSlot& slot, InputMethod input,
                      const std::optional<TriageItem>& forItem);
    bool trashItem(InputMethod input, const std::optional<TriageItem>& forItem);
    // Hands the path an action left to the undo that claimed the action, when it ends.
    void holdForUndo(const Job& action);
    void clearStatus() { m_statusLine.clear(); }

    Dependencies m_deps;
    ActionJobQueue m_jobs;
    ActionStatusLine m_statusLine;
    ActionUndoApplier m_undoApplier;
    ActionHistoryRecorder m_history;
    GroupActionApplier m_groupApplier;
    ActionCanceller m_canceller;
    ActionUndoSteps m_undoSteps;
    std::optional<LastDestination> m_lastDestination;
    // What the status line says when the job being finished now was cancelled.
    QString m_finishingCancelText;
};
