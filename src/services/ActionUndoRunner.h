#pragma once

#include "platform/FileSystemEntry.h"
#include "services/FileExecutionEngine.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <optional>

struct ActionJobControl;
struct ActionTicket;

// The worker's half of an undo of the triage actions: undoes what the undo claimed on the GUI
// thread when it was asked for, after every operation asked for before it, and says what it
// found. A claimed action that failed left nothing to undo, and nothing older is undone in
// its place. A group is undone member by member, the last first, each as a single action is:
// a member that cannot be put back is left and the others go on; a cancel stops between
// members, and those not undone can still be undone.
//
// Runs on the worker thread only; the GUI thread applies the outcome (ActionUndoApplier).
class ActionUndoRunner
{
public:
    // What the undo claimed: at most one of these is set; none: the latest action the engine
    // still keeps.
    struct Target
    {
        // An action queued or running when the undo was asked for: undone as it ended.
        std::shared_ptr<ActionTicket> action;
        // An action on one item that ended: the engine's record of it.
        QUuid recordId;
        // A group action that ended: its id and the records of its members done, in order.
        QUuid group;
        QList<QUuid> groupRecords;
        // A skip: the path of the file skipped.
        QString skippedPath;
    };
    // One member of a group undo, as the worker found it.
    struct MemberUndo
    {
        ActionRecord record{ActionRecord::ActionType{}, TriageItem()};
        std::optional<FileExecutionEngine::UndoResult> result;
        FileIdentity restored;
        QString failure; // the undo threw: why
    };
    // What the undo found: the engine's result, or the failure of the action it undoes; for a
    // skip, whether the skipped file is still there.
    struct Outcome
    {
        std::optional<FileExecutionEngine::UndoResult> result;
        bool actionFailed = false;
        QString failure;
        bool skippedFileThere = false;
        // The entry now at the restored place, for the history.
        FileIdentity restored;
        // A group: its id and its members in the order they were undone (the last first);
        // when cancelled, the records not undone (oldest first) and their places.
        QUuid group;
        QList<MemberUndo> members;
        bool cancelled = false;
        QList<QUuid> remaining;
        QList<QUrl> remainingPlaced;
    };

    // Throws what the engine throws for an action on one item.
    static Outcome run(FileExecutionEngine& engine, const Target& target,
                       ActionJobControl& control);

private:
    // An action the undo claimed while it was queued or running, as it ended.
    static void undoClaimed(FileExecutionEngine& engine, const ActionTicket& action,
                            ActionJobControl& control, Outcome& outcome);
    // The latest action the engine keeps: a group whole, else one record.
    static void undoLatest(FileExecutionEngine& engine, ActionJobControl& control,
                           Outcome& outcome);
    // Undoes the records of a group, the last first.
    static void undoGroup(FileExecutionEngine& engine, const QUuid& group,
                          const QList<QUuid>& records, ActionJobControl& control, Outcome& outcome);
    // Undoes one member; false when it was cancelled (nothing changed for it).
    static bool undoMember(FileExecutionEngine& engine, const QUuid& record, Outcome& outcome);
    // Keeps of the records not undone those the engine still has, with their places.
    static void keepRemaining(FileExecutionEngine& engine, Outcome& outcome);
};
