#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>

// How a file action ended, noted on the worker for an undo queued behind it (the undo runs
// on the worker after it, so it always sees the note complete). An action cancelled before it
// started, or left behind, is noted as failed on the GUI thread, before the undo can run.
struct ActionTicket
{
    bool succeeded = false;
    QUuid recordId;  // the engine's undo record of the action; null when it pushed none
    QString failure; // why it failed
    QUrl placed;     // where the action left the item
    // GUI thread: the undo that claimed the action while it was queued or running.
    QUuid undoJob;
    // A group action: its id (its records' group, its history entry's id), and the records
    // and places of the members done so far, in order.
    QUuid group;
    QList<QUuid> memberRecords;
    QList<QUrl> memberPlaced;

    // The action will not happen (cancelled or given up); the claim stays. The members of a
    // group done by then stay done, and undoable.
    void settleAsFailed(const QString& why)
    {
        succeeded = false;
        recordId = QUuid();
        failure = why;
        placed = QUrl();
    }
    bool isGroup() const { return !group.isNull(); }
};
