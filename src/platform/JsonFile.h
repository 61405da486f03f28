#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing the small JSON files Stowbird keeps (configuration, skip cache).
class JsonFile
{
public:
    // Writes data to path atomically: a temporary file beside it, flushed to disk, then
    // renamed over the old file, so a crash mid-save never leaves a truncated file.
    // Creates missing parent folders. On failure returns false and sets *error.
    static bool writeAtomically(const QString& path, const QByteArray& data, QString* error);
};
