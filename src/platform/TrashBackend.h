#pragma once

#include "models/FileIdentity.h"

#include <QByteArray>
#include <QString>

// Moves items to the desktop's trash.
class TrashBackend
{
public:
    // The error code of a restore refused because the trash no longer holds the record it
    // wrote for the item: another program restored or emptied it, and whatever holds the
    // name now is not that item.
    static constexpr int recordReplacedCode = 409;

    virtual ~TrashBackend() = default;

    struct Trashed
    {
        QString path; // the absolute path the item now has inside the trash
        // The record the trash wrote beside the item (the bytes of its .trashinfo file) and
        // that file's identity; empty when the trash keeps no record of its own.
        QByteArray record;
        FileIdentity recordIdentity;
    };
    // Moves path to the trash. Throws FileOperationError; the item stays where it was then.
    virtual Trashed moveToTrash(const QString& path) = 0;

    struct Restored
    {
        QString path;         // where the item is now
        QString originalPath; // where it was trashed from (path differs when that was taken)
    };
    // Puts a trashed item back where it was trashed from, under the next free name when
    // that place is taken now, and forgets it in the trash. When trashed has a record, the
    // trash must still hold exactly that record (the same file with the same bytes), or the
    // restore is refused with recordReplacedCode and nothing is touched. fallbackOriginal is
    // used when the trash kept no record of the original place. Throws FileOperationError;
    // the item stays in the trash then.
    virtual Restored restoreFromTrash(const Trashed& trashed, const QString& fallbackOriginal) = 0;
};
