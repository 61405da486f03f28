#pragma once

#include "models/FileIdentity.h"
#include "models/TriageItem.h"

#include <QByteArray>
#include <QDateTime>
#include <QUrl>
#include <QUuid>

// One completed, undoable file action as the file execution engine keeps it, with what an
// undo needs to know that it acts on the entry the action put in place and on nothing else.
// Kept in memory only.
class ActionRecord
{
public:
    // What was done, with the URLs needed to undo it.
    struct ActionType
    {
        enum class Kind { Trashed, Moved, Renamed };

        Kind kind = Kind::Moved;
        // Trashed: where the item landed in the trash (or its own URL when unknown).
        // Moved / Renamed: the URL before the action.
        QUrl from;
        // Moved / Renamed: the URL after the action. Empty for Trashed.
        QUrl to;

        static ActionType trashed(const QUrl& originalURL)
        {
            return {Kind::Trashed, originalURL, {}};
        }
        static ActionType moved(const QUrl& from, const QUrl& to)
        {
            return {Kind::Moved, from, to};
        }
        static ActionType renamed(const QUrl& from, const QUrl& to)
        {
            return {Kind::Renamed, from, to};
        }

        // For a trashed record, the payload is the location in the trash.
        QUrl originalURL() const { return from; }

        bool operator==(const ActionType& other) const;
    };

    ActionRecord(const ActionType& type, const TriageItem& item,
                 const QUuid& id = QUuid::createUuid(),
                 const QDateTime& timestamp = QDateTime::currentDateTimeUtc());

    QUuid id;
    ActionType type;
    TriageItem item;
    QDateTime timestamp;
    // The entry the action left at its new place (moved / renamed: at `to`; trashed: inside
    // the trash), read right after the action.
    FileIdentity placed;
    // Trashed: the record the trash wrote beside the item (a .trashinfo file), its bytes and
    // its identity; empty when the trash keeps none.
    QByteArray trashRecord;
    FileIdentity trashRecordIdentity;
    // The group action this record is one member of (one key for a batch of look-alike
    // items); null for an action on one item. The undo history counts a group as one action.
    QUuid group;
};
