#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing the small JSON files Stowbird keeps (configuration, skip cache).
class JsonFile
{
public:
    // Writes data to path atomically: a temporary file in the same folder, every write and
    // the sync to disk checked, then renamed over the old file. On any error (a full disk
    // among them) the temporary file is removed and the old file is left byte for byte as
    // it was. A link is followed: its target is replaced.
    //
    // Modes are only ever tightened. The new file takes the old one's owner bits (0600 for a
    // new file) and no group or other bits. A file or folder the user made read-only (no
    // owner write bit) is not written: the save fails and says so. Missing parent folders
    // are created 0700. On failure returns false and sets *error to a sentence naming the
    // file and the reason.
    //
    // Durability::Later leaves out the syncs to disk, which cost milliseconds each: the
    // replacement is still atomic, and the system writes the file out in its own time, but
    // a crash before then may leave the old file or an empty one. For files whose loss costs
    // little.
    enum class Durability { Synced, Later };
    static bool writeAtomically(const QString& path, const QByteArray& data, QString* error,
                                Durability durability = Durability::Synced);
};
