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
};
