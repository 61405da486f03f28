#pragma once

#include <QString>

// Moves items to the desktop's trash.
class TrashBackend
{
public:
    virtual ~TrashBackend() = default;

    // Moves path to the trash and returns the absolute path it now has inside the trash.
    // Throws FileOperationError; the item stays where it was then.
    virtual QString moveToTrash(const QString& path) = 0;

    struct Restored
    {
        QString path;         // where the item is now
        QString originalPath; // where it was trashed from (path differs when that was taken)
    };
    // Puts a trashed item (its path inside the trash) back where it was trashed from, under
    // the next free name when that place is taken now, and forgets it in the trash.
    // fallbackOriginal is used when the trash kept no record of the original place. Throws
    // FileOperationError; the item stays in the trash then.
    virtual Restored restoreFromTrash(const QString& trashedPath,
                                      const QString& fallbackOriginal) = 0;
};
