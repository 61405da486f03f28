#pragma once

#include "models/HistoryEntry.h"
#include "models/StatusLine.h"
#include "models/TriageItem.h"
#include "services/ActionUndoRunner.h"
#include "services/ActionUndoSteps.h"
#include "services/FileExecutionEngine.h"

#include <QCoreApplication>
#include <QStringList>

class HistoryStore;
class LoggerService;
class TriageQueueManager;

// The GUI thread's half of an undo of the triage actions: applies what the worker found
// (ActionUndoRunner) to the queue, the restored item back at the head, a rename taken back
// wherever the item waits, records the undo in the history, and words the status line. What
// could not be put back is named with the reason (something else stands where the action
// left the item, or it is gone since) and logged, by extension only; nothing else is queued.
class ActionUndoApplier
{
    Q_DECLARE_TR_FUNCTIONS(ActionUndoApplier)

public:
    // history: none, nothing is recorded.
    ActionUndoApplier(TriageQueueManager& queue, LoggerService& logger, HistoryStore* history);

    // What the worker found for the step an undo claimed, applied: a skip taken back, an
    // action that failed (nothing undone, and no older one in its place), a group (what its
    // undo left of it stays undoable in steps), or one action undone by the engine.
    StatusLine apply(const ActionUndoSteps::Claim& claim, const ActionUndoRunner::Outcome& outcome,
                     ActionUndoSteps& steps);
    // An action on one item, undone by the engine.
    StatusLine applyResult(const FileExecutionEngine::UndoResult& result,
                           const FileIdentity& restored);
    // A group, undone member by member (the last first); the members put back return to the
    // head in the group's own order.
    StatusLine applyGroup(const ActionUndoRunner::Outcome& outcome);
    // A skip: the item back at the head and off the skip list, when it is still there.
    StatusLine applySkip(const TriageItem& item, bool stillThere, const QUuid& skipEntry);

    // The history's Undone entry of a restored action.
    static HistoryEntry undoneEntry(const FileExecutionEngine::UndoResult& result,
                                    const FileIdentity& restored);

private:
    // What applyGroup put back and what not.
    struct GroupRestore
    {
        QList<HistoryEntry> undone;
        QStringList notRestored;
        QString folder; // where the last one put back went
        bool trashed = false;
    };

    void record(const HistoryEntry& entry);
    // Logs why an undo put nothing back.
    void logRefusal(const FileExecutionEngine::UndoResult& result);
    void logGone(const FileExecutionEngine::UndoResult& result);
    // "Cannot undo: the report.pdf in Documents is not the file moved there ..."
    static QString refusedText(const FileExecutionEngine::UndoResult& result);
    // "Nothing restored: report.pdf is no longer in Documents"
    static QString goneText(const FileExecutionEngine::UndoResult& result);
    // Puts the restored item back in the queue; what the status line says of it.
    QString restore(const FileExecutionEngine::UndoResult& result);
    // Why a group member was not put back ("the a.pdf in Documents is not ..."), logged;
    // empty when it was.
    QString notRestoredText(const FileExecutionEngine::UndoResult& result);
    GroupRestore restoreMembers(const QList<ActionUndoRunner::MemberUndo>& members);
    static StatusLine groupStatus(const ActionUndoRunner::Outcome& outcome,
                                  const GroupRestore& restore);

    TriageQueueManager& m_queue;
    LoggerService& m_logger;
    HistoryStore* m_history;
};
