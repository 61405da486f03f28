#include "services/HistoryUndo.h"

#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/FileMover.h"
#include "platform/FileSystemEntry.h"
#include "platform/TrashBackend.h"
#include "services/FileExecutionEngine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

using Outcome = HistoryUndo::Result::Outcome;

HistoryUndo::Result refuse(const QString& message)
{
    return HistoryUndo::Result{Outcome::Refused, message, {}};
}

QString folderName(const QString& folder)
{
    const QString name = FileNaming::lastPathComponent(folder);
    return name.isEmpty() ? folder : name;
}

// What became of the entry an action left, when what stands there now is not it.
QString differenceFrom(const FileIdentity& placed, const FileIdentity& now)
{
    if (placed.device == now.device && placed.inode == now.inode &&
        placed.isFolder == now.isFolder &&
        (placed.bornNs == 0 || now.bornNs == 0 || placed.bornNs == now.bornNs))
        return QStringLiteral("changed");
    return QStringLiteral("replaced");
}

QString verbOf(HistoryEntry::Action action)
{
    switch (action) {
    case HistoryEntry::Action::Trashed:
        return QCoreApplication::translate("HistoryUndo", "trashed");
    case HistoryEntry::Action::Renamed:
        return QCoreApplication::translate("HistoryUndo", "renamed");
    default:
        return QCoreApplication::translate("HistoryUndo", "filed");
    }
}

HistoryEntry undoneEntry(const HistoryEntry& entry, const QString& restoredPath)
{
    HistoryEntry undone;
    undone.action = HistoryEntry::Action::Undone;
    undone.undoOf = entry.id;
    undone.itemName = entry.itemName;
    undone.kind = entry.kind;
    undone.size = entry.size;
    undone.originHost = entry.originHost;
    // The slot of the filing it takes back: a learner forgets that choice.
    undone.slot = entry.slot;
    undone.fromPath = entry.toPath;
    undone.toPath = restoredPath;
    undone.placed = FileSystemEntry::identityAt(restoredPath);
    return undone;
}

QString backMessage(const QString& restoredPath, const QString& intendedPath)
{
    const QString name = FileNaming::lastPathComponent(intendedPath);
    const QString folder = folderName(FileNaming::parentPath(restoredPath));
    if (restoredPath == intendedPath)
        return QCoreApplication::translate("HistoryUndo", "%1 is back in %2").arg(name, folder);
    return QCoreApplication::translate("HistoryUndo",
                                       "%1 is back in %2 as %3, because %1 is taken there")
        .arg(name, folder, FileNaming::lastPathComponent(restoredPath));
}

} // namespace

HistoryUndo::Result HistoryUndo::undo(const HistoryEntry& entry, TrashBackend& trash,
                                      FileMover& mover)
{
    return entry.isGroup() ? undoGroup(entry, trash, mover) : undoOne(entry, trash, mover);
}

HistoryUndo::Result HistoryUndo::undoGroup(const HistoryEntry& group, TrashBackend& trash,
                                           FileMover& mover)
{
    if (!group.isUndoable())
        return refuse(group.action == HistoryEntry::Action::Skipped
                          ? QCoreApplication::translate(
                                "HistoryUndo", "These %1 were only skipped: nothing to undo")
                                .arg(group.itemName)
                          : QCoreApplication::translate(
                                "HistoryUndo", "An undo cannot be undone from the history"));
    // Members an earlier undo put back stay as they are; an earlier undo that left some may
    // be tried again for those.
    QList<HistoryEntry> pending;
    for (auto member = group.members.crbegin(); member != group.members.crend(); ++member) {
        if (member->undoneBy.isNull())
            pending.append(*member);
    }
    if (pending.isEmpty())
        return refuse(QCoreApplication::translate("HistoryUndo", "These %1 were already put back")
                          .arg(group.itemName));

    const GroupTally tally = undoMembers(pending, trash, mover);
    const Outcome notRestored = tally.failed ? Outcome::Failed : Outcome::Refused;
    if (pending.size() == 1 && tally.undone.isEmpty())
        return Result{notRestored, tally.reasons.constFirst(), {}};
    if (tally.undone.isEmpty())
        return Result{notRestored, groupMessage(pending.size(), tally), {}};
    HistoryEntry entry = HistoryEntry::group(tally.undone);
    entry.undoOf = group.id;
    // One member was left to put back: said as for one item.
    const QString message = pending.size() == 1 ? backMessage(tally.undone.constFirst().toPath,
                                                              pending.constFirst().fromPath)
                                                : groupMessage(pending.size(), tally);
    return Result{Outcome::Restored, message, entry};
}

HistoryUndo::GroupTally HistoryUndo::undoMembers(const QList<HistoryEntry>& pending,
                                                 TrashBackend& trash, FileMover& mover)
{
    GroupTally tally;
    for (const HistoryEntry& member : pending) {
        const Result result = undoOne(member, trash, mover);
        if (result.outcome == Outcome::Restored) {
            tally.undone.append(result.undone);
            if (result.undone.toPath != member.fromPath && !member.fromPath.isEmpty())
                ++tally.renamed;
        } else {
            tally.reasons.append(result.message);
            tally.failed = tally.failed || result.outcome == Outcome::Failed;
        }
    }
    return tally;
}

QString HistoryUndo::groupMessage(qsizetype pending, const GroupTally& tally)
{
    const QList<HistoryEntry>& undone = tally.undone;
    // Where they went back to, when that is one folder.
    const QString folder =
        undone.isEmpty() ? QString() : FileNaming::parentPath(undone.constFirst().toPath);
    const bool oneFolder = std::all_of(undone.cbegin(), undone.cend(), [&](const HistoryEntry& e) {
        return FileNaming::parentPath(e.toPath) == folder;
    });
    const QString where =
        oneFolder ? QCoreApplication::translate("HistoryUndo", "back in %1").arg(folderName(folder))
                  : QCoreApplication::translate("HistoryUndo", "back where they were");
    QString message;
    if (undone.isEmpty())
        message = QCoreApplication::translate("HistoryUndo", "None of the %1 could be put back")
                      .arg(HistoryEntry::groupName(pending));
    else if (tally.reasons.isEmpty())
        message = QCoreApplication::translate("HistoryUndo", "%1 are %2")
                      .arg(HistoryEntry::groupName(undone.size()), where);
    else
        message = QCoreApplication::translate("HistoryUndo", "%1 of %2 are %3")
                      .arg(undone.size())
                      .arg(HistoryEntry::groupName(pending), where);
    if (tally.renamed > 0)
        message =
            tally.renamed == 1
                ? QCoreApplication::translate(
                      "HistoryUndo", "%1 (one under a new name, because its name is taken there)")
                      .arg(message)
                : QCoreApplication::translate(
                      "HistoryUndo", "%1 (%n under new names, because theirs are taken there)",
                      nullptr, tally.renamed)
                      .arg(message);
    // A long list of reasons says how many more there are.
    constexpr int reasonsShown = 3;
    if (!tally.reasons.isEmpty()) {
        QStringList shown = tally.reasons.mid(0, reasonsShown);
        if (tally.reasons.size() > reasonsShown)
            shown.append(QCoreApplication::translate("HistoryUndo", "and %n more", nullptr,
                                                     int(tally.reasons.size() - reasonsShown)));
        message = QCoreApplication::translate("HistoryUndo", "%1; not restored: %2")
                      .arg(message, shown.join(QStringLiteral("; ")));
    }
    return message;
}

std::optional<HistoryUndo::Result> HistoryUndo::refusalOf(const HistoryEntry& entry)
{
    if (!entry.undoneBy.isNull())
        return refuse(QCoreApplication::translate("HistoryUndo", "%1 was already put back")
                          .arg(entry.itemName));
    if (!entry.isUndoable())
        return refuse(
            entry.action == HistoryEntry::Action::Skipped
                ? QCoreApplication::translate("HistoryUndo", "%1 was only skipped: nothing to undo")
                      .arg(entry.itemName)
                : QCoreApplication::translate("HistoryUndo",
                                              "An undo cannot be undone from the history"));
    return std::nullopt;
}

std::optional<HistoryUndo::Result>
HistoryUndo::placeRefusal(const HistoryEntry& entry, const QString& shown, const QString& where)
{
    if (entry.toPath.isEmpty() || !FileSystemEntry::existsAt(entry.toPath))
        return refuse(
            QCoreApplication::translate("HistoryUndo", "%1 is no longer in %2").arg(shown, where));
    if (!entry.placed.isValid())
        return refuse(QCoreApplication::translate(
                          "HistoryUndo",
                          "%1 cannot be checked: the history does not know which file "
                          "was %2")
                          .arg(shown, verbOf(entry.action)));
    const FileIdentity now = FileSystemEntry::identityAt(entry.toPath);
    if (entry.placed.isSameEntry(now))
        return std::nullopt;
    if (differenceFrom(entry.placed, now) == QLatin1String("changed"))
        return refuse(QCoreApplication::translate("HistoryUndo", "%1 was changed since it was %2")
                          .arg(shown, verbOf(entry.action)));
    return refuse(
        QCoreApplication::translate("HistoryUndo", "%1 in %2 was replaced since it was %3")
            .arg(shown, where, verbOf(entry.action)));
}

HistoryUndo::Result HistoryUndo::undoOne(const HistoryEntry& entry, TrashBackend& trash,
                                         FileMover& mover)
{
    if (const std::optional<Result> refused = refusalOf(entry))
        return *refused;
    const bool trashed = entry.action == HistoryEntry::Action::Trashed;
    // The name the item has at the place the action left it.
    const QString shown = trashed ? entry.itemName : FileNaming::lastPathComponent(entry.toPath);
    const QString where = trashed ? QCoreApplication::translate("HistoryUndo", "the Trash")
                                  : folderName(entry.toFolder());
    if (const std::optional<Result> refused = placeRefusal(entry, shown, where))
        return *refused;
    return trashed ? restoreFromTrash(entry, shown, trash) : moveBack(entry, shown, mover);
}

HistoryUndo::Result HistoryUndo::restoreFromTrash(const HistoryEntry& entry, const QString& shown,
                                                  TrashBackend& trash)
{
    TrashBackend::Restored restored;
    try {
        restored = trash.restoreFromTrash(
            TrashBackend::Trashed{entry.toPath, entry.trashRecord, entry.trashRecordIdentity},
            entry.fromPath);
    } catch (const FileOperationError& failure) {
        if (failure.error().code == TrashBackend::recordReplacedCode)
            return refuse(QCoreApplication::translate(
                              "HistoryUndo", "The Trash's record of %1 was replaced since it was "
                                             "trashed")
                              .arg(shown));
        return Result{Outcome::Failed,
                      QCoreApplication::translate("HistoryUndo", "%1 could not be restored: %2")
                          .arg(shown, failure.error().localizedDescription),
                      {}};
    }
    return Result{Outcome::Restored, backMessage(restored.path, restored.originalPath),
                  undoneEntry(entry, restored.path)};
}

HistoryUndo::Result HistoryUndo::moveBack(const HistoryEntry& entry, const QString& shown,
                                          FileMover& mover)
{
    const QString earlier = entry.fromPath;
    const QString earlierFolder = FileNaming::parentPath(earlier);
    if (earlier.isEmpty() || !QFileInfo(earlierFolder).isDir())
        return refuse(
            QCoreApplication::translate("HistoryUndo", "%1 cannot go back: %2 no longer exists")
                .arg(shown, folderName(earlierFolder)));
    QString restored;
    try {
        // The free name is found first; when another writer takes it before the rename
        // lands, the mover asks for the next one. Never over anything.
        restored = mover.move(entry.toPath, FileExecutionEngine::resolveCollision(earlier),
                              [earlier] { return FileExecutionEngine::resolveCollision(earlier); });
    } catch (const FileOperationError& failure) {
        return Result{Outcome::Failed,
                      QCoreApplication::translate("HistoryUndo", "%1 could not be put back: %2")
                          .arg(shown, failure.error().localizedDescription),
                      {}};
    }
    return Result{Outcome::Restored, backMessage(restored, earlier), undoneEntry(entry, restored)};
}
