#pragma once

#include "models/HistoryEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class FileMover;
class TrashBackend;

// Puts back the item of one history entry, possibly long after the action and after a
// restart, and only when that is safe: the item must still be where the action left it, as
// the very entry the action left there (same device, inode, size and modification time).
// A moved or renamed item goes back to its old place, or under the next free name beside it
// when that place is taken now; a trashed item is restored from the trash when the trash
// still holds it with the record written then. In every other case nothing is touched and
// the reason is given. Nothing is ever written over.
//
// A group (one action on many items) is undone member by member, the last acted on first,
// each exactly as an entry of its own: the members that cannot be put back are named and
// left, the others put back. Members put back by an earlier undo are left as they are.
//
// Runs on the caller's thread and does file work: never call it on the GUI thread.
class HistoryUndo
{
public:
    struct Result
    {
        enum class Outcome {
            Restored, // the item is back (of a group: at least one member); undone describes
                      // the undo to record
            Refused,  // not safe or nothing to undo; nothing was touched
            Failed,   // the file operation failed; the item stayed where it was
        };
        Outcome outcome = Outcome::Refused;
        // One line for the user: "report.pdf is back in Downloads", or why not; for a group
        // "13 of 14 files are back in Downloads; not restored: scan_007.pdf was changed since
        // it was filed".
        QString message;
        // Restored: the Undone entry to record; for a group, a group of the Undone entries of
        // the members put back (in the order they were put back) whose undoOf names the group.
        HistoryEntry undone;
    };

    static Result undo(const HistoryEntry& entry, TrashBackend& trash, FileMover& mover);

private:
    // What the members of a group undo came to.
    struct GroupTally
    {
        QList<HistoryEntry> undone; // the Undone entries of the members put back
        QStringList reasons;        // why the others were not
        bool failed = false;        // a file operation failed (not only refused)
        int renamed = 0;            // put back under another name, their own being taken
    };

    static Result undoOne(const HistoryEntry& entry, TrashBackend& trash, FileMover& mover);
    static Result undoGroup(const HistoryEntry& group, TrashBackend& trash, FileMover& mover);
    // Why entry cannot be undone at all; nothing when it may be tried.
    static std::optional<Result> refusalOf(const HistoryEntry& entry);
    // Why the entry at entry's place is not the one the action left there; nothing when it is.
    static std::optional<Result> placeRefusal(const HistoryEntry& entry, const QString& shown,
                                              const QString& where);
    static Result restoreFromTrash(const HistoryEntry& entry, const QString& shown,
                                   TrashBackend& trash);
    static Result moveBack(const HistoryEntry& entry, const QString& shown, FileMover& mover);
    static GroupTally undoMembers(const QList<HistoryEntry>& pending, TrashBackend& trash,
                                  FileMover& mover);
    // "13 of 14 files are back in Downloads (...); not restored: ..."
    static QString groupMessage(qsizetype pending, const GroupTally& tally);
};
