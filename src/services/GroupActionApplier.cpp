#include "services/GroupActionApplier.h"

#include "platform/FileMover.h"
#include "services/ActionFailureLog.h"
#include "services/ActionHistoryRecorder.h"
#include "services/ActionJob.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"
#include "services/TriageQueueManager.h"

namespace {

// "a.pdf", "a.pdf, b.pdf", "a.pdf … f.pdf"
QString namesOf(const QList<TriageItem>& items)
{
    if (items.isEmpty())
        return QString();
    if (items.size() == 1)
        return items.first().filename;
    return QStringLiteral("%1%2%3").arg(
        items.first().filename, items.size() == 2 ? QStringLiteral(", ") : QStringLiteral(" … "),
        items.last().filename);
}

} // namespace

GroupActionApplier::GroupActionApplier(TriageQueueManager& queue, FileExecutionEngine& engine,
                                       LoggerService& logger, ActionHistoryRecorder& history)
    : m_queue(queue), m_engine(engine), m_logger(logger), m_history(history)
{
}

QList<FileActionRunner::Filed> GroupActionApplier::doneOf(const QList<QUuid>& records,
                                                          const QList<QUrl>& placed) const
{
    QList<FileActionRunner::Filed> done;
    for (qsizetype i = 0; i < records.size(); ++i)
        done.append(FileActionRunner::Filed{placed.value(i), m_engine.record(records[i])});
    return done;
}

StatusLine GroupActionApplier::applyThrown(const ActionJob& job, const AppError& error)
{
    // Not a file operation's failure: the members the ticket knows were moved stay moved,
    // the rest are back.
    FileActionRunner::GroupFiled partial;
    partial.failedAt = int(job.ticket->memberPlaced.size());
    partial.error = error;
    partial.done = doneOf(job.ticket->memberRecords.mid(0, job.ticket->memberPlaced.size()),
                          job.ticket->memberPlaced);
    return apply(job, partial);
}

StatusLine GroupActionApplier::applyLeftBehind(const ActionJob& job, const QList<QUuid>& records,
                                               const QList<QUrl>& placed, bool runningMemberLost)
{
    FileActionRunner::GroupFiled outcome;
    outcome.cancelled = true;
    outcome.runningMemberLost = runningMemberLost;
    outcome.done = doneOf(records, placed);
    return apply(job, outcome);
}

qsizetype GroupActionApplier::putBackRest(const ActionJob& job,
                                          const FileActionRunner::GroupFiled& outcome)
{
    // In their order. A member that left part of a folder behind is put back as it is now.
    const qsizetype moved = outcome.done.size();
    QList<TriageItem> back;
    for (qsizetype i = moved; i < job.members.size(); ++i) {
        if (i == moved && outcome.runningMemberLost)
            continue;
        const TriageItem& member = job.members[i];
        const bool partial =
            i == outcome.failedAt && outcome.error.code == FileMover::partialMoveCode;
        back.append(partial ? TriageItem(member.url, member.id) : member);
    }
    for (auto member = back.crbegin(); member != back.crend(); ++member) {
        m_queue.removeURL(member->url);
        m_queue.pushToFront(*member);
    }
    return back.size();
}

StatusLine GroupActionApplier::apply(const ActionJob& job,
                                     const FileActionRunner::GroupFiled& outcome)
{
    const qsizetype total = job.members.size();
    const qsizetype moved = outcome.done.size();
    m_history.recordGroup(job, outcome.done);
    const QString backText = ActionJob::backInQueueText(putBackRest(job, outcome), total);
    const QString where = job.whereText();
    const QString movedText =
        moved == 0 ? QString() : QStringLiteral(" (%1)").arg(namesOf(job.members.mid(0, moved)));
    if (outcome.failedAt >= 0) {
        const TriageItem& failed = job.members[outcome.failedAt];
        ActionFailureLog::write(m_logger, job.name, outcome.error, failed);
        const QString failure =
            tr("%1 failed: %2").arg(failed.filename, outcome.error.localizedDescription);
        return {moved == 0 ? tr("Nothing moved to %1: %2; %3").arg(where, failure, backText)
                           : tr("Moved %1 of %2 to %3%4; %5; %6")
                                 .arg(moved)
                                 .arg(total)
                                 .arg(where, movedText, failure, backText),
                StatusLine::Kind::Error};
    }
    if (outcome.cancelled) {
        m_logger.action(QStringLiteral("Action '%1' cancelled after %2 of %3")
                            .arg(job.name)
                            .arg(moved)
                            .arg(total));
        const QString what = tr("Cancelled moving %1 to %2").arg(job.itemName, where);
        return {moved == 0 ? QStringLiteral("%1; %2").arg(what, backText)
                           : tr("%1 after %2%3; %4").arg(what).arg(moved).arg(movedText, backText),
                StatusLine::Kind::Info};
    }
    m_logger.info(QStringLiteral("Action '%1' done").arg(job.name));
    return {job.kind == ActionJob::Kind::Trash
                ? tr("Moved %1 to Trash").arg(job.itemName)
                : tr("Moved %1 to %2").arg(job.itemName, job.destination),
            StatusLine::Kind::Info};
}
