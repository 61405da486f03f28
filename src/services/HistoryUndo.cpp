#include "services/HistoryUndo.h"

#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/FileMover.h"
#include "platform/FileSystemEntry.h"
#include "platform/TrashBackend.h"
#include "services/FileExecutionEngine.h"

#include <QFileInfo>

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
        return QStringLiteral("trashed");
    case HistoryEntry::Action::Renamed:
        return QStringLiteral("renamed");
    default:
        return QStringLiteral("filed");
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
        return QStringLiteral("%1 is back in %2").arg(name, folder);
    return QStringLiteral("%1 is back in %2 as %3, because %1 is taken there")
        .arg(name, folder, FileNaming::lastPathComponent(restoredPath));
}

} // namespace

HistoryUndo::Result HistoryUndo::undo(const HistoryEntry& entry, TrashBackend& trash,
                                      FileMover& mover)
{
    if (!entry.undoneBy.isNull())
        return refuse(QStringLiteral("%1 was already put back").arg(entry.itemName));
    if (!entry.isUndoable())
        return refuse(
            entry.action == HistoryEntry::Action::Skipped
                ? QStringLiteral("%1 was only skipped: nothing to undo").arg(entry.itemName)
                : QStringLiteral("An undo cannot be undone from the history"));

    const bool trashed = entry.action == HistoryEntry::Action::Trashed;
    // The name the item has at the place the action left it.
    const QString shown = trashed ? entry.itemName : FileNaming::lastPathComponent(entry.toPath);
    const QString where = trashed ? QStringLiteral("the Trash") : folderName(entry.toFolder());
    if (entry.toPath.isEmpty() || !FileSystemEntry::existsAt(entry.toPath))
        return refuse(QStringLiteral("%1 is no longer in %2").arg(shown, where));
    if (!entry.placed.isValid())
        return refuse(QStringLiteral("%1 cannot be checked: the history does not know which file "
                                     "was %2")
                          .arg(shown, verbOf(entry.action)));
    const FileIdentity now = FileSystemEntry::identityAt(entry.toPath);
    if (!entry.placed.isSameEntry(now)) {
        const QString difference = differenceFrom(entry.placed, now);
        if (difference == QLatin1String("changed"))
            return refuse(
                QStringLiteral("%1 was changed since it was %2").arg(shown, verbOf(entry.action)));
        return refuse(QStringLiteral("%1 in %2 was replaced since it was %3")
                          .arg(shown, where, verbOf(entry.action)));
    }

    if (trashed) {
        TrashBackend::Restored restored;
        try {
            restored = trash.restoreFromTrash(
                TrashBackend::Trashed{entry.toPath, entry.trashRecord, entry.trashRecordIdentity},
                entry.fromPath);
        } catch (const FileOperationError& failure) {
            if (failure.error().code == TrashBackend::recordReplacedCode)
                return refuse(QStringLiteral("The Trash's record of %1 was replaced since it was "
                                             "trashed")
                                  .arg(shown));
            return Result{Outcome::Failed,
                          QStringLiteral("%1 could not be restored: %2")
                              .arg(shown, failure.error().localizedDescription),
                          {}};
        }
        return Result{Outcome::Restored, backMessage(restored.path, restored.originalPath),
                      undoneEntry(entry, restored.path)};
    }

    const QString earlier = entry.fromPath;
    const QString earlierFolder = FileNaming::parentPath(earlier);
    if (earlier.isEmpty() || !QFileInfo(earlierFolder).isDir())
        return refuse(QStringLiteral("%1 cannot go back: %2 no longer exists")
                          .arg(shown, folderName(earlierFolder)));
    QString restored;
    try {
        // The free name is found first; when another writer takes it before the rename
        // lands, the mover asks for the next one. Never over anything.
        restored = mover.move(entry.toPath, FileExecutionEngine::resolveCollision(earlier),
                              [earlier] { return FileExecutionEngine::resolveCollision(earlier); });
    } catch (const FileOperationError& failure) {
        return Result{Outcome::Failed,
                      QStringLiteral("%1 could not be put back: %2")
                          .arg(shown, failure.error().localizedDescription),
                      {}};
    }
    return Result{Outcome::Restored, backMessage(restored, earlier), undoneEntry(entry, restored)};
}
