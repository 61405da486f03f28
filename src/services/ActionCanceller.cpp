#include "services/ActionCanceller.h"

#include "platform/MonotonicClock.h"
#include "services/ActionJobQueue.h"
#include "services/ActionStatusLine.h"
#include "services/GroupActionApplier.h"
#include "services/LoggerService.h"
#include "services/TriageQueueManager.h"

#include <mutex>

ActionCanceller::ActionCanceller(Dependencies dependencies, int abandonMs, QObject* parent)
    : QObject(parent), m_deps(std::move(dependencies)), m_abandonMs(abandonMs)
{
}

void ActionCanceller::putBack(const TriageItem& item)
{
    m_deps.queue.removeURL(item.url);
    m_deps.queue.pushToFront(item);
}

void ActionCanceller::showStatus(const QString& text, StatusLine::Kind kind)
{
    m_deps.status.show(text, kind);
}

bool ActionCanceller::dropWaiting(const QUuid& id)
{
    const ActionJob* found = m_deps.jobs.find(id);
    if (!found)
        return false;
    const std::shared_ptr<ActionTicket> ticket = found->ticket;
    // An undo waiting behind it finds the action did not happen.
    if (!m_deps.jobs.removeWaiting(id, [&ticket] {
            if (ticket)
                ticket->settleAsFailed(QStringLiteral("it was cancelled"));
        }))
        return false;
    const ActionJob dropped = m_deps.finishJob(id);
    m_deps.logger.action(
        QStringLiteral("Action '%1' cancelled before it started").arg(dropped.name));
    if (dropped.item)
        putBack(*dropped.item);
    // A group's members, back at the head in their order.
    for (auto member = dropped.members.crbegin(); member != dropped.members.crend(); ++member)
        putBack(*member);
    return true;
}

bool ActionCanceller::cancel(const QUuid& id)
{
    ActionJob* found = m_deps.jobs.find(id);
    if (!found)
        return false;
    if (found->cancelling)
        return true;
    const QString cancelled = found->cancelledText();
    if (dropWaiting(id)) {
        showStatus(cancelled);
        m_deps.settle();
        return true;
    }
    // It runs. A copy stops at its next chunk; past the point of no return it goes on. A
    // series (a group action, its undo) stops before its next member in any case.
    found->control->stopSeries = true;
    const bool stopping = found->control->token.cancel();
    if (!stopping && found->series) {
        found->cancelling = true;
        m_deps.logger.action(
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
    m_deps.logger.action(QStringLiteral("Cancelling action '%1'").arg(found->name));
    showStatus(tr("Cancelling %1…").arg(found->describeOrRunning()), StatusLine::Kind::Progress);
    m_deps.clock.callAfter(m_abandonMs, this, [this, id] { abandon(id); });
    return true;
}

void ActionCanceller::cancelRunning()
{
    const ActionJob* job = m_deps.jobs.running();
    if (!job) {
        showStatus(tr("Nothing to cancel"));
        return;
    }
    cancel(job->id);
}

void ActionCanceller::cancelAll()
{
    QList<QUuid> ids;
    for (const ActionJob& job : m_deps.jobs.jobs())
        ids.prepend(job.id);
    // The last first, so that the items put back keep their order at the head.
    bool dropped = false;
    for (const QUuid& id : std::as_const(ids)) {
        if (dropWaiting(id))
            dropped = true;
        else
            cancel(id);
    }
    if (dropped)
        m_deps.settle();
}

void ActionCanceller::abandon(const QUuid& id)
{
    ActionJob* found = m_deps.jobs.find(id);
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
    m_deps.jobs.leaveBehind(id);
    // The original stays whole unless the move had begun to remove it: when its thread
    // returns, the copy is taken back.
    const bool sourceUntouched = !found->control->token.isCommitted();
    const ActionJob left = m_deps.finishJob(id);
    m_deps.logger.log(QStringLiteral("ERROR"),
                      QStringLiteral("Action '%1' did not stop within %2 ms of its cancel; left "
                                     "behind on its thread")
                          .arg(left.name)
                          .arg(m_abandonMs));
    if (left.isGroup()) {
        const StatusLine line =
            m_deps.groups.applyLeftBehind(left, membersDone, membersPlaced, !sourceUntouched);
        showStatus(line.text, line.kind);
        const qsizetype back = left.members.size() - membersDone.size() - (sourceUntouched ? 0 : 1);
        showStatus(tr("Gave up waiting: %1 is not responding. %2 of %3 moved; %4")
                       .arg(left.runningText())
                       .arg(membersDone.size())
                       .arg(left.members.size())
                       .arg(ActionJob::backInQueueText(back, left.members.size())),
                   StatusLine::Kind::Error);
    } else if (left.kind == ActionJob::Kind::Move && left.item && sourceUntouched) {
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
    m_deps.settle();
}
