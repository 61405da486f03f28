#pragma once

#include "models/AppError.h"
#include "models/DestinationSlot.h"
#include "models/StatusLine.h"
#include "models/TriageItem.h"
#include "models/TriageSessionStats.h"
#include "services/FileExecutionEngine.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <QUuid>

#include <memory>
#include <optional>

class LoggerService;
class TelemetryService;
class TriageQueueManager;

// Owns the triage actions: it takes the head item off the queue, runs the file operation
// on one worker thread (operations run one at a time, in the order they were asked for, so
// an undo waits for the action before it and undoes exactly that), keeps the in-flight lock
// and its watchdog, puts items back when an operation fails, early or late, and says what
// happened in the status line. The triage window maps keys to these calls and draws the
// state; the controller itself needs no widgets.
//
// The lock: an action holds it from its start until it ends or until the watchdog interval
// passes. Past the watchdog the action keeps running, the status line says so with its
// progress, and the next item can be acted on; its operation queues behind.
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
    };

    static constexpr int defaultWatchdogMs = 3000;
    static constexpr int defaultInfoStatusMs = 3000;
    static constexpr int defaultErrorStatusMs = 6000;

    explicit TriageActionController(Dependencies dependencies, QObject* parent = nullptr);
    // Waits for the operation in flight and those queued behind it.
    ~TriageActionController() override;

    void setWatchdogInterval(int ms) { m_watchdogMs = ms; }
    void setStatusDurations(int infoMs, int errorMs);

    // Actions on the head item of the queue; each returns at once.
    void routeToSlot(const DestinationSlot& slot, InputMethod input);
    void moveToFolder(const QString& folder, InputMethod input);
    void trashCurrent(InputMethod input);
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

    // The in-flight lock: keys other than undo are dropped while it is held.
    bool isProcessingAction() const;
    // An operation runs or waits to run.
    bool isBusy() const { return !m_jobs.isEmpty(); }
    // A file action on an item (move, trash, rename or undo) runs or waits to run: until it
    // ends, an empty queue may still get an item back. Housekeeping does not count.
    bool hasActionsInFlight() const;
    // The action holding the lock.
    std::optional<QUuid> activeActionID() const;

    // The status line: the latest outcome while it lasts (errors 6 s, others 3 s, or until
    // the next action), else what is still running, with its progress.
    std::optional<StatusLine> status() const;
    std::optional<QString> statusMessage() const;
    void showStatus(const QString& text, StatusLine::Kind kind = StatusLine::Kind::Info);
    // Quit was asked for while operations run: the status line says that quitting waits.
    void setQuitPending(bool pending);

signals:
    // The lock, the status line or the progress changed.
    void stateChanged();
    // The head item left the queue for an action (the window closes its rename panel and
    // forgets a large-preview permission).
    void itemDispatched();
    // An operation ended, with its outcome applied; for tests and benchmarks.
    void actionFinished();
    // Nothing runs or waits any more.
    void idle();

private:
    enum class JobKind { Move, Trash, Rename, Undo, Maintenance };
    // How a file action ended, noted on the worker for an undo queued behind it (the undo
    // runs on the same worker after it, so it always sees the note complete).
    struct ActionTicket
    {
        bool succeeded = false;
        QUuid recordId;  // the engine's undo record of the action; null when it pushed none
        QString failure; // why it failed
        QUrl placed;     // where the action left the item
        // GUI thread: the undo that claimed the action while it was queued or running.
        QUuid undoJob;
    };
    struct Job
    {
        QUuid id;
        JobKind kind = JobKind::Move;
        QString name;        // for the log: extensions only
        QString itemName;    // for the status line
        QString destination; // folder name of a move
        bool holdsLock = true;
        bool late = false;
        qint64 bytesDone = 0;
        qint64 bytesTotal = 0;
        QList<QUrl> inFlight;
        // File actions: their outcome, and whether an undo already queued behind claims it.
        std::shared_ptr<ActionTicket> ticket;
        bool undoClaimed = false;
    };
    // What an undo job found: the engine's result, or the failure of the action it undoes;
    // for a skip, whether the skipped file is still there.
    struct UndoOutcome
    {
        std::optional<FileExecutionEngine::UndoResult> result;
        bool actionFailed = false;
        QString failure;
        bool skippedFileThere = false;
    };
    // One step of the undo history, in the order the user took them: a file action (its
    // ticket, and the item's path its job held) or a skip (the item skipped).
    struct UndoStep
    {
        std::shared_ptr<ActionTicket> action;
        QList<QUrl> paths;
        std::optional<TriageItem> skipped;
    };

    QUuid startJob(Job job);
    Job finishJob(const QUuid& id);
    void settle();
    void watchdog(const QUuid& id);
    void onCopyProgress(qint64 done, qint64 total);
    void dispatch(Job job, ActionType type, InputMethod input,
                  std::function<QUrl(const TriageItem&)> operation,
                  std::function<QString(const QUrl&)> success, const QString& failurePrefix);
    void reportFailure(const QString& actionName, const QString& prefix, const AppError& error,
                       const TriageItem& item);
    void applyUndo(const FileExecutionEngine::UndoResult& result);
    void applySkipUndo(const TriageItem& item, bool stillThere);
    void rememberStep(UndoStep step);
    // Hands the path an action left to the undo that claimed the action, when it ends.
    void holdForUndo(const Job& action);
    static QString describe(const Job& job);
    void clearStatus();
    QString progressText(const Job& job) const;

    Dependencies m_deps;
    QThreadPool m_worker;
    QList<Job> m_jobs;           // in the worker's order: the first one runs
    QList<UndoStep> m_undoSteps; // oldest first; claimed steps are taken out
    int m_watchdogMs = defaultWatchdogMs;
    int m_infoStatusMs = defaultInfoStatusMs;
    int m_errorStatusMs = defaultErrorStatusMs;
    std::optional<StatusLine> m_status;
    quint64 m_statusSerial = 0;
    bool m_quitPending = false;
};
