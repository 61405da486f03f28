#include "services/ActionJob.h"

ActionJob ActionJob::moveToSlot(const QString& subject, const QString& slotName, int slot)
{
    ActionJob job;
    job.kind = Kind::Move;
    job.name = QStringLiteral("Move %1 to %2").arg(subject, slotName);
    job.destination = slotName;
    job.historyAction = HistoryEntry::Action::MovedToSlot;
    job.slot = slot;
    return job;
}

ActionJob ActionJob::moveToFolder(const QString& subject, const QString& folderName)
{
    ActionJob job;
    job.kind = Kind::Move;
    job.name = QStringLiteral("Move %1 to custom folder").arg(subject);
    job.destination = folderName;
    job.historyAction = HistoryEntry::Action::MovedToFolder;
    return job;
}

ActionJob ActionJob::toTrash(const QString& subject)
{
    ActionJob job;
    job.kind = Kind::Trash;
    job.name = QStringLiteral("Trash %1").arg(subject);
    job.historyAction = HistoryEntry::Action::Trashed;
    return job;
}

qint64 ActionJob::groupBytesTotal() const
{
    qint64 total = 0;
    for (const qint64 bytes : memberBytes)
        total += bytes;
    return total;
}

qint64 ActionJob::groupBytesDone() const
{
    qint64 done = memberBytesDone;
    for (qsizetype i = 0; i < filesDone && i < memberBytes.size(); ++i)
        done += memberBytes[i];
    return done;
}

bool ActionJob::noteProgress(qint64 done, qint64 total)
{
    if (isGroup()) {
        // A group: the copy of the member running, within the bytes of all members.
        const bool movedOn = done > memberBytesDone;
        memberBytesDone = done;
        if (total > 0 && filesDone < memberBytes.size())
            memberBytes[filesDone] = total;
        return movedOn;
    }
    const bool movedOn = done > bytesDone;
    bytesDone = done;
    bytesTotal = total;
    return movedOn;
}

QString ActionJob::describe() const
{
    switch (kind) {
    case Kind::Move:
        return tr("the move of %1 to %2").arg(itemName, destination);
    case Kind::Trash:
        return tr("the move of %1 to the Trash").arg(itemName);
    case Kind::Rename:
        return tr("the rename of %1").arg(itemName);
    case Kind::Undo:
    case Kind::Maintenance:
        break;
    }
    return QString();
}

QString ActionJob::describeOrRunning() const
{
    const QString what = describe();
    return what.isEmpty() ? tr("the running action") : what;
}

QString ActionJob::runningText() const
{
    switch (kind) {
    case Kind::Move:
        return tr("Moving %1 to %2").arg(itemName, destination);
    case Kind::Trash:
        return tr("Moving %1 to the Trash").arg(itemName);
    case Kind::Rename:
        return tr("Renaming %1").arg(itemName);
    case Kind::Undo:
        return tr("Undoing the last action");
    case Kind::Maintenance:
        return tr("Removing partial copies left by an interrupted move");
    }
    return QString();
}

QString ActionJob::waitingText() const
{
    switch (kind) {
    case Kind::Move:
        return tr("Move %1 to %2").arg(itemName, destination);
    case Kind::Trash:
        return tr("Move %1 to the Trash").arg(itemName);
    case Kind::Rename:
        return tr("Rename %1").arg(itemName);
    case Kind::Undo:
    case Kind::Maintenance:
        break;
    }
    return tr("Undo");
}

QString ActionJob::whereText() const
{
    return kind == Kind::Trash ? tr("the Trash") : destination;
}

QString ActionJob::cancelledText() const
{
    if (isGroup())
        return tr("Cancelled moving %1 to %2; they are back in the queue")
            .arg(itemName, whereText());
    switch (kind) {
    case Kind::Move:
        return tr("Cancelled moving %1 to %2; it is back in the queue").arg(itemName, destination);
    case Kind::Trash:
        return tr("Cancelled moving %1 to the Trash; it is back in the queue").arg(itemName);
    case Kind::Rename:
        return tr("Cancelled renaming %1").arg(itemName);
    case Kind::Undo:
        return tr("Cancelled the undo; nothing changed");
    case Kind::Maintenance:
        return tr("Cancelled the removal of partial copies");
    }
    return QString();
}

QString ActionJob::progressText() const
{
    QString text;
    switch (kind) {
    case Kind::Move:
        text = tr("Still moving %1 to %2").arg(itemName, destination);
        break;
    case Kind::Trash:
        text = tr("Still moving %1 to the Trash").arg(itemName);
        break;
    case Kind::Rename:
        text = tr("Still renaming %1").arg(itemName);
        break;
    case Kind::Undo:
        text = tr("Still undoing");
        break;
    case Kind::Maintenance:
        text = tr("Still cleaning up");
        break;
    }
    QString detail;
    if (isGroup())
        detail = tr("%1 of %n files, %2 of %3", nullptr, int(members.size()))
                     .arg(filesDone)
                     .arg(TriageItem::formatByteCount(groupBytesDone()),
                          TriageItem::formatByteCount(groupBytesTotal()));
    else if (bytesTotal > 0)
        detail = tr("%1 of %2")
                     .arg(TriageItem::formatByteCount(bytesDone),
                          TriageItem::formatByteCount(bytesTotal));
    return detail.isEmpty() ? tr("%1…").arg(text) : tr("%1: %2").arg(text, detail);
}

QString ActionJob::backInQueueText(qsizetype back, qsizetype total)
{
    if (back == 1 && total == 1)
        return tr("it is back in the queue");
    return back == total ? tr("all %n are back in the queue", nullptr, int(back))
                         : tr("%n are back in the queue", nullptr, int(back));
}
