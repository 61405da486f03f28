#pragma once

#include <QString>

// Stowbird's own files (settings, skip list, logs, crash reports) name the user's files and
// folders, so only the user may read them: folders 0700 and files 0600, as the XDG base
// directory rules ask of state data. Files and folders made by older versions with wider
// modes are tightened at start.
class PrivateStorage
{
public:
    // Creates folder and any missing parents with mode 0700, then tightens folder itself to
    // 0700 when this user owns it. Existing parents are left as they are. False when the
    // folder does not exist afterwards.
    static bool makeFolder(const QString& folder);

    // Tightens an existing regular file of this user to 0600 (a link is not followed);
    // nothing happens to anything else.
    static void tightenFile(const QString& path);

    // Tightens folder (when it exists) and, inside it, each of the named files.
    static void tighten(const QString& folder, const QStringList& fileNames);
};
