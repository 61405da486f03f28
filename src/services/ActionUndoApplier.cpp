#include "services/ActionUndoApplier.h"

#include "models/AppError.h"
#include "models/FileNaming.h"
#include "services/ActionFailureLog.h"
#include "services/HistoryStore.h"
#include "services/LoggerService.h"
#include "services/TriageQueueManager.h"

#include <QDir>

#include <cerrno>

namespace {

using Kind = ActionRecord::ActionType::Kind;
using Outcome = FileExecutionEngine::UndoResult::Outcome;

QString folderNameOf(const QUrl& url)
{
    return FileNaming::lastPathComponent(FileNaming::parentPath(url.toLocalFile()));
}

} // namespace

ActionUndoApplier::ActionUndoApplier(TriageQueueManager& queue, LoggerService& logger,
                                     HistoryStore* history)
    : m_queue(queue), m_logger(logger), m_history(history)
{
}

StatusLine ActionUndoApplier::apply(const ActionUndoSteps::Claim& claim,
                                    const ActionUndoRunner::Outcome& outcome,
                                    ActionUndoSteps& steps)
{
    if (claim.skipped)
        return applySkip(*claim.skipped, outcome.skippedFileThere, claim.skipEntry);
    if (outcome.actionFailed) {
        // The action left nothing to undo; an older one is not undone in its place.
        m_logger.info(QStringLiteral("Undo: the action it was asked for failed; nothing undone"));
        return {tr("Nothing to undo: %1 failed (%2)").arg(claim.targetDescription, outcome.failure),
                StatusLine::Kind::Error};
    }
    if (!outcome.group.isNull()) {
        const StatusLine line = applyGroup(outcome);
        steps.keepRest(outcome, claim.stepSerial);
        return line;
    }
    if (!outcome.result)
        return {tr("Nothing to undo"), StatusLine::Kind::Info};
    return applyResult(*outcome.result, outcome.restored);
}

void ActionUndoApplier::record(const HistoryEntry& entry)
{
    if (m_history)
        m_history->record(entry);
}

HistoryEntry ActionUndoApplier::undoneEntry(const FileExecutionEngine::UndoResult& result,
                                            const FileIdentity& restoredIdentity)
{
    const ActionRecord::ActionType& type = result.record.type;
    HistoryEntry undone;
    undone.action = HistoryEntry::Action::Undone;
    undone.undoOf = result.record.id;
    undone.itemName = result.record.item.filename;
    undone.kind = HistoryEntry::kindOf(
        result.record.item.uti.isValid() ? result.record.item.uti.name() : QString(),
        result.record.item.fileExtension);
    undone.size = result.record.item.sizeBytes;
    undone.fromPath =
        QDir::cleanPath((type.kind == Kind::Trashed ? type.originalURL() : type.to).toLocalFile());
    undone.toPath = QDir::cleanPath(result.restoredURL.toLocalFile());
    undone.placed = restoredIdentity;
    undone.originHost = result.record.item.originHost;
    return undone;
}

// --- one action ------------------------------------------------------------------------------

StatusLine ActionUndoApplier::applyResult(const FileExecutionEngine::UndoResult& result,
                                          const FileIdentity& restoredIdentity)
{
    if (result.outcome == Outcome::Replaced) {
        // Something else stands where the action left the item: it is not touched.
        logRefusal(result);
        return {refusedText(result), StatusLine::Kind::Error};
    }
    if (result.outcome == Outcome::Gone || result.restoredURL.isEmpty()) {
        // Gone since: say so, and queue nothing that is not there.
        logGone(result);
        return {goneText(result), StatusLine::Kind::Error};
    }
    // The history marks the action undone: the undo names the action's entry (its record id).
    record(undoneEntry(result, restoredIdentity));
    return {restore(result), StatusLine::Kind::Info};
}

void ActionUndoApplier::logRefusal(const FileExecutionEngine::UndoResult& result)
{
    m_logger.log(QStringLiteral("ERROR"),
                 QStringLiteral("Undo refused (.%1): %2; nothing touched")
                     .arg(FileExecutionEngine::logToken(result.record.item), result.refusal));
}

void ActionUndoApplier::logGone(const FileExecutionEngine::UndoResult& result)
{
    m_logger.log(QStringLiteral("ERROR"),
                 QStringLiteral("Undo found nothing to restore (.%1)")
                     .arg(FileExecutionEngine::logToken(result.record.item)));
}

QString ActionUndoApplier::refusedText(const FileExecutionEngine::UndoResult& result)
{
    const ActionRecord::ActionType& type = result.record.type;
    switch (type.kind) {
    case Kind::Trashed:
        return tr("Cannot undo: the %1 in the Trash is not the one moved there "
                  "from %2; nothing was restored")
            .arg(type.originalURL().fileName(), folderNameOf(result.record.item.url));
    case Kind::Moved:
        return tr("Cannot undo: the %1 in %2 is not the file moved there (it was "
                  "replaced or changed since); nothing was moved")
            .arg(type.to.fileName(), folderNameOf(type.to));
    case Kind::Renamed:
        return tr("Cannot undo: %1 is not the file renamed to that name (it was "
                  "replaced or changed since); nothing was renamed")
            .arg(type.to.fileName());
    }
    return QString();
}

QString ActionUndoApplier::goneText(const FileExecutionEngine::UndoResult& result)
{
    const ActionRecord::ActionType& type = result.record.type;
    switch (type.kind) {
    case Kind::Trashed:
        return tr("Nothing restored: %1 is no longer in the Trash")
            .arg(result.record.item.filename);
    case Kind::Moved:
        return tr("Nothing restored: %1 is no longer in %2")
            .arg(type.to.fileName(), folderNameOf(type.to));
    case Kind::Renamed:
        return tr("Nothing restored: %1 is gone").arg(type.to.fileName());
    }
    return QString();
}

QString ActionUndoApplier::restore(const FileExecutionEngine::UndoResult& result)
{
    const ActionRecord::ActionType& type = result.record.type;
    const QUrl& restored = result.restoredURL;
    switch (type.kind) {
    case Kind::Trashed: {
        m_queue.removeURL(restored);
        m_queue.pushToFront(TriageItem(restored));
        const QString wanted = result.intendedURL.fileName();
        return restored == result.intendedURL
                   ? tr("Restored %1 from the Trash to %2")
                         .arg(restored.fileName(), folderNameOf(restored))
                   : tr("Restored %1 from the Trash to %2 as %3 (%1 was taken)")
                         .arg(wanted, folderNameOf(restored), restored.fileName());
    }
    case Kind::Moved:
        m_queue.removeURL(restored);
        m_queue.pushToFront(TriageItem(restored));
        return tr("Undid move: %1 restored to %2").arg(restored.fileName(), folderNameOf(restored));
    case Kind::Renamed:
        // The renamed item, wherever it is (queue, backlog, skipped), and nothing else.
        m_queue.removeURL(restored);
        m_queue.replaceURL(type.to, restored);
        return tr("Undid rename: %1 is %2 again").arg(type.to.fileName(), restored.fileName());
    }
    return QString();
}

// --- a group ---------------------------------------------------------------------------------

QString ActionUndoApplier::notRestoredText(const FileExecutionEngine::UndoResult& result)
{
    const ActionRecord::ActionType& type = result.record.type;
    if (result.outcome == Outcome::Replaced) {
        logRefusal(result);
        return type.kind == Kind::Trashed
                   ? tr("the %1 in the Trash is not the one moved there")
                         .arg(type.originalURL().fileName())
                   : tr("the %1 in %2 is not the file moved there (it was replaced "
                        "or changed since)")
                         .arg(type.to.fileName(), folderNameOf(type.to));
    }
    if (result.outcome == Outcome::Gone || result.restoredURL.isEmpty()) {
        logGone(result);
        return type.kind == Kind::Trashed
                   ? tr("%1 is no longer in the Trash").arg(result.record.item.filename)
                   : tr("%1 is no longer in %2").arg(type.to.fileName(), folderNameOf(type.to));
    }
    return QString();
}

StatusLine ActionUndoApplier::applyGroup(const ActionUndoRunner::Outcome& outcome)
{
    const GroupRestore restored = restoreMembers(outcome.members);
    if (!restored.undone.isEmpty()) {
        HistoryEntry entry = HistoryEntry::group(restored.undone);
        entry.undoOf = outcome.group;
        record(entry);
    }
    m_logger.info(QStringLiteral("Undid group: %1 of %2 restored")
                      .arg(restored.undone.size())
                      .arg(outcome.members.size() + outcome.remaining.size()));
    return groupStatus(outcome, restored);
}

ActionUndoApplier::GroupRestore
ActionUndoApplier::restoreMembers(const QList<ActionUndoRunner::MemberUndo>& members)
{
    GroupRestore restore;
    // In the order they were undone, the last member first: each goes to the head, so the
    // group is back at the head in its own order.
    for (const ActionUndoRunner::MemberUndo& member : members) {
        restore.trashed = member.record.type.kind == Kind::Trashed;
        if (!member.failure.isEmpty()) {
            ActionFailureLog::write(
                m_logger, QStringLiteral("Undo of a group member"),
                AppError{FileExecutionEngine::errorDomain(), EIO, member.failure},
                member.record.item);
            restore.notRestored << QStringLiteral("%1 (%2)").arg(member.record.item.filename,
                                                                 member.failure);
            continue;
        }
        if (!member.result)
            continue;
        const QString why = notRestoredText(*member.result);
        if (!why.isEmpty()) {
            restore.notRestored << why;
            continue;
        }
        const QUrl restored = member.result->restoredURL;
        m_queue.removeURL(restored);
        m_queue.pushToFront(TriageItem(restored));
        restore.undone.append(undoneEntry(*member.result, member.restored));
        restore.folder = folderNameOf(restored);
    }
    return restore;
}

StatusLine ActionUndoApplier::groupStatus(const ActionUndoRunner::Outcome& outcome,
                                          const GroupRestore& restore)
{
    const qsizetype restoredCount = restore.undone.size();
    const qsizetype total = outcome.members.size() + outcome.remaining.size();
    // "14 files", "13 of 14 files"
    const QString count =
        restoredCount == total
            ? HistoryEntry::groupName(total)
            : tr("%1 of %2").arg(restoredCount).arg(HistoryEntry::groupName(total));
    QString text;
    if (restoredCount == 0)
        text =
            outcome.cancelled ? tr("Cancelled the undo; nothing changed") : tr("Nothing restored");
    else if (outcome.cancelled)
        text = tr("Cancelled the undo after %1 (back in %2); the other %3 can still "
                  "be undone")
                   .arg(count, restore.folder)
                   .arg(outcome.remaining.size());
    else if (restore.trashed)
        text = tr("Restored %1 from the Trash to %2").arg(count, restore.folder);
    else
        text = tr("Undid move of %1: restored to %2").arg(count, restore.folder);
    if (restore.notRestored.isEmpty())
        return {text, StatusLine::Kind::Info};
    return {tr("%1. Not restored: %2").arg(text, restore.notRestored.join(QStringLiteral("; "))),
            StatusLine::Kind::Error};
}

// --- a skip ----------------------------------------------------------------------------------

StatusLine ActionUndoApplier::applySkip(const TriageItem& item, bool stillThere,
                                        const QUuid& skipEntry)
{
    const QString token = FileExecutionEngine::logToken(item);
    if (!stillThere) {
        // Deleted or moved away since it was skipped: nothing comes back, and its skip goes.
        m_queue.dropMissing({TriageItem::standardizedPath(item.url)});
        m_logger.log(QStringLiteral("ERROR"),
                     QStringLiteral("Undo of a skip found nothing to restore (.%1)").arg(token));
        return {tr("Nothing restored: %1 is gone since it was skipped").arg(item.filename),
                StatusLine::Kind::Error};
    }
    // Back at the head and off the skip list, wherever a rescan may have put it meanwhile.
    m_queue.removeURL(item.url);
    m_queue.pushToFront(TriageItem(item.url, item.id));
    HistoryEntry undone;
    undone.action = HistoryEntry::Action::Undone;
    undone.undoOf = skipEntry;
    undone.itemName = item.filename;
    undone.kind =
        HistoryEntry::kindOf(item.uti.isValid() ? item.uti.name() : QString(), item.fileExtension);
    undone.size = item.sizeBytes;
    undone.toPath = QDir::cleanPath(item.path());
    undone.originHost = item.originHost;
    record(undone);
    m_logger.info(QStringLiteral("Undid skip (.%1)").arg(token));
    return {tr("Undid skip: %1 is back").arg(item.filename), StatusLine::Kind::Info};
}
