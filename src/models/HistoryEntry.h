#pragma once

#include "models/FileIdentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>

class ActionRecord;

// One line of the lasting triage history: what was done to which item, from where to where,
// and what an undo after a restart needs to check that the file it would move back is still
// the one the action left (its identity at the destination).
//
// The origin host is the host name only: a download's full address can carry tokens and is
// never kept.
class HistoryEntry
{
public:
    // Stored as these numbers: never renumber.
    enum class Action {
        MovedToSlot = 1,   // filed into a destination slot (slot says which)
        MovedToFolder = 2, // filed into a folder chosen by hand
        Trashed = 3,       // toPath is where the item lies inside the trash
        Renamed = 4,       // renamed in place: toPath is in the folder of fromPath
        Skipped = 5,       // nothing moved: toPath is empty
        Undone = 6,        // an earlier action put back: undoOf names it, toPath is where
                           // the item is now
    };

    // Given by whoever records the entry; an entry made from an engine action uses that
    // action's record id, so that an undo of that action can name this entry.
    QUuid id = QUuid::createUuid();
    // Set by the store: grows with every stored entry. Zero before the entry is stored.
    qint64 sequence = 0;
    QDateTime time = QDateTime::currentDateTimeUtc(); // UTC
    Action action = Action::Skipped;
    QString itemName;
    // The content type name ("application/pdf") or, when none is known, the extension.
    QString kind;
    qint64 size = 0;
    QString fromPath;
    QString toPath;
    // The entry the action left at toPath, read right after the action (invalid when none).
    FileIdentity placed;
    QString originHost;
    int slot = 0; // 1-9 for MovedToSlot, else 0
    // Trashed: the record the trash wrote beside the item (its .trashinfo bytes) and that
    // record's identity, so that an undo restores only when the trash still holds exactly it.
    QByteArray trashRecord;
    FileIdentity trashRecordIdentity;
    // Undone: the id of the entry that was undone.
    QUuid undoOf;
    // Set by the store on reading: the id of the Undone entry that put this one back.
    QUuid undoneBy;
    // A group action (one key for a batch of look-alike items): the entries of its members in
    // the order they were acted on, each complete on its own (a member of a group move has
    // its engine record's id, its own paths and placed identity, as a single move would). The
    // group entry itself says what was done to all of them: its action and slot, itemName
    // "14 files" (see groupName), toPath the destination folder (empty for the trash), size
    // the sum. Empty for an action on one item. An Undone entry of a group lists the members
    // it put back (each an Undone entry naming its member's entry).
    QList<HistoryEntry> members;

    // True for the actions that moved the item and so can be put back.
    bool isUndoable() const;
    // The folder the item was taken from and the one it went to ("" when none). For a group,
    // the folders all its members share (its own paths).
    QString fromFolder() const;
    QString toFolder() const;

    // An entry for an engine action that just succeeded. action says how to file it (a slot
    // or a chosen folder, trash, rename); slot is its number for MovedToSlot.
    static HistoryEntry fromActionRecord(const ActionRecord& record, Action action, int slot = 0,
                                         const QString& originHost = {});
    // The kind recorded for an item: its content type name, else its extension, else "".
    static QString kindOf(const QString& contentTypeName, const QString& extension);

    static QString actionName(Action action);

    // The entry of a group action from the entries of its members (at least one): the
    // first member's action, slot, time and origin host, the sum of sizes, the members' common
    // folders, and a fresh id.
    static HistoryEntry group(const QList<HistoryEntry>& members);
    // "14 files"
    static QString groupName(qsizetype count);
    bool isGroup() const { return !members.isEmpty(); }
};

Q_DECLARE_METATYPE(HistoryEntry)
