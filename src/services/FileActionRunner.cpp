#include "services/FileActionRunner.h"

#include "models/FileOperationError.h"
#include "platform/CancelToken.h"
#include "services/ActionJobControl.h"
#include "services/ActionTicket.h"

#include <cerrno>
#include <mutex>

bool FileActionRunner::isCancelled(const AppError& error)
{
    return error.code == CancelToken::cancelledCode &&
           error.domain == FileExecutionEngine::errorDomain();
}

AppError FileActionRunner::errorOf(const std::exception& error)
{
    return AppError{FileExecutionEngine::errorDomain(), EIO, QString::fromUtf8(error.what())};
}

bool FileActionRunner::isAbandoned(ActionJobControl& control)
{
    std::lock_guard guard(control.mutex);
    return control.abandoned;
}

bool FileActionRunner::stopRequested(ActionJobControl& control)
{
    return control.stopSeries.load() || control.token.isCancelled();
}

FileActionRunner::Filed FileActionRunner::runOne(FileExecutionEngine& engine, ActionTicket& ticket,
                                                 ActionJobControl& control,
                                                 const std::function<QUrl()>& operation)
{
    ActionTicket note;
    // Only the outcome: the rest of the ticket belongs to the GUI thread.
    const auto publish = [&] {
        std::lock_guard guard(control.mutex);
        if (control.abandoned)
            return;
        ticket.succeeded = note.succeeded;
        ticket.recordId = note.recordId;
        ticket.failure = note.failure;
        ticket.placed = note.placed;
    };
    Filed filed;
    const QUuid before = FileExecutionEngine::lastRecordOnThisThread();
    try {
        filed.url = operation();
        const QUuid after = FileExecutionEngine::lastRecordOnThisThread();
        note.succeeded = true;
        note.recordId = after != before ? after : QUuid();
        note.placed = filed.url;
        publish();
    } catch (const FileOperationError& error) {
        note.failure = error.error().localizedDescription;
        publish();
        throw;
    } catch (const std::exception& error) {
        note.failure = QString::fromUtf8(error.what());
        publish();
        throw;
    }
    // Read at once: an undo queued behind may drop it from the engine.
    if (!note.recordId.isNull())
        filed.record = engine.record(note.recordId);
    return filed;
}

FileActionRunner::GroupFiled
FileActionRunner::runGroup(FileExecutionEngine& engine, const QList<TriageItem>& members,
                           const QUuid& group, ActionTicket& ticket, ActionJobControl& control,
                           const Operation& operation, const std::function<void(int)>& memberDone)
{
    GroupFiled outcome;
    const FileExecutionEngine::GroupScope scope(group);
    for (qsizetype i = 0; i < members.size(); ++i) {
        if (isAbandoned(control))
            break; // given up: the members not moved are back in the queue
        if (i > 0) {
            if (stopRequested(control)) {
                outcome.cancelled = true;
                break;
            }
            // The member before went past its point of no return; this one has its own.
            control.token.rearm();
        }
        if (!runMember(engine, members[i], int(i), ticket, control, operation, memberDone, outcome))
            break;
    }
    std::lock_guard guard(control.mutex);
    if (!control.abandoned) {
        ticket.succeeded = outcome.done.size() == members.size();
        ticket.failure = outcome.error.localizedDescription;
    }
    return outcome;
}

bool FileActionRunner::runMember(FileExecutionEngine& engine, const TriageItem& member, int index,
                                 ActionTicket& ticket, ActionJobControl& control,
                                 const Operation& operation,
                                 const std::function<void(int)>& memberDone, GroupFiled& outcome)
{
    const QUuid before = FileExecutionEngine::lastRecordOnThisThread();
    try {
        Filed filed;
        filed.url = operation(member);
        const QUuid after = FileExecutionEngine::lastRecordOnThisThread();
        if (after != before)
            filed.record = engine.record(after);
        outcome.done.append(filed);
        std::lock_guard guard(control.mutex);
        if (control.abandoned)
            return true;
        if (after != before) {
            ticket.memberRecords.append(after);
            ticket.memberPlaced.append(filed.url);
        }
        memberDone(index + 1);
        return true;
    } catch (const FileOperationError& error) {
        if (isCancelled(error.error()))
            outcome.cancelled = true;
        else
            outcome.failedAt = index;
        outcome.error = error.error();
    } catch (const std::exception& error) {
        outcome.failedAt = index;
        outcome.error = errorOf(error);
    }
    return false;
}
