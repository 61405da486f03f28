#include "services/ActionUndoRunner.h"

#include "models/FileOperationError.h"
#include "services/ActionJobControl.h"
#include "services/ActionTicket.h"
#include "services/FileActionRunner.h"

ActionUndoRunner::Outcome ActionUndoRunner::run(FileExecutionEngine& engine, const Target& target,
                                                ActionJobControl& control)
{
    Outcome outcome;
    if (!target.skippedPath.isEmpty())
        outcome.skippedFileThere = FileSystemEntry::existsAt(target.skippedPath);
    else if (target.action)
        undoClaimed(engine, *target.action, control, outcome);
    else if (!target.groupRecords.isEmpty())
        undoGroup(engine, target.group, target.groupRecords, control, outcome);
    else if (!target.recordId.isNull())
        outcome.result = engine.undoAction(target.recordId);
    else
        undoLatest(engine, control, outcome);
    if (outcome.result && !outcome.result->restoredURL.isEmpty())
        outcome.restored = FileSystemEntry::identityAt(outcome.result->restoredURL.toLocalFile());
    return outcome;
}

void ActionUndoRunner::undoClaimed(FileExecutionEngine& engine, const ActionTicket& action,
                                   ActionJobControl& control, Outcome& outcome)
{
    if (action.isGroup() && !action.memberRecords.isEmpty()) {
        // The members it moved, whether it ended in full, failed midway or was cancelled.
        undoGroup(engine, action.group, action.memberRecords, control, outcome);
    } else if (action.isGroup() || !action.succeeded) {
        outcome.actionFailed = true;
        outcome.failure = action.failure;
    } else if (!action.recordId.isNull()) {
        outcome.result = engine.undoAction(action.recordId);
    }
}

void ActionUndoRunner::undoLatest(FileExecutionEngine& engine, ActionJobControl& control,
                                  Outcome& outcome)
{
    const QList<ActionRecord> latest = engine.latestAction();
    if (latest.isEmpty() || latest.first().group.isNull()) {
        outcome.result = engine.undoLast();
        return;
    }
    QList<QUuid> ids;
    for (const ActionRecord& record : latest)
        ids.append(record.id);
    undoGroup(engine, latest.first().group, ids, control, outcome);
}

void ActionUndoRunner::undoGroup(FileExecutionEngine& engine, const QUuid& group,
                                 const QList<QUuid>& records, ActionJobControl& control,
                                 Outcome& outcome)
{
    outcome.group = group;
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        if (i < records.size() - 1) {
            if (control.stopSeries.load() || control.token.isCancelled()) {
                outcome.cancelled = true;
                outcome.remaining = records.mid(0, i + 1);
                break;
            }
            control.token.rearm();
        }
        if (!undoMember(engine, records[i], outcome)) {
            outcome.cancelled = true;
            outcome.remaining = records.mid(0, i + 1);
            break;
        }
    }
    keepRemaining(engine, outcome);
}

bool ActionUndoRunner::undoMember(FileExecutionEngine& engine, const QUuid& recordId,
                                  Outcome& outcome)
{
    const std::optional<ActionRecord> record = engine.record(recordId);
    if (!record)
        return true; // undone or dropped since: nothing of it to put back
    MemberUndo member;
    member.record = *record;
    try {
        member.result = engine.undoAction(recordId);
        if (member.result && !member.result->restoredURL.isEmpty())
            member.restored = FileSystemEntry::identityAt(member.result->restoredURL.toLocalFile());
    } catch (const FileOperationError& error) {
        // Cancelled: nothing changed for this one, and the engine keeps its record.
        if (FileActionRunner::isCancelled(error.error()))
            return false;
        member.failure = error.error().localizedDescription;
    } catch (const std::exception& error) {
        member.failure = QString::fromUtf8(error.what());
    }
    outcome.members.append(member);
    return true;
}

void ActionUndoRunner::keepRemaining(FileExecutionEngine& engine, Outcome& outcome)
{
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
