#pragma once

#include <QString>

// Stowbird's own files (settings, skip list, logs, crash reports) name the user's files and
// folders, so only the user may read them: folders are made 0700 and files 0600, as the XDG
// base directory rules ask of state data. Files and folders made by older versions with
// wider modes are tightened at start. Tightening only takes the group's and others' bits
// away: it never gives the owner a bit, so what the user made read-only stays read-only.
class PrivateStorage
{
public:
    // Creates folder and any missing parents with mode 0700, then takes the group and
    // other bits off folder itself when this user owns it. Existing parents are left as
    // they are. False when the folder does not exist afterwards.
    static bool makeFolder(const QString& folder);

    // Takes the group and other bits off an existing regular file of this user (a link is
    // not followed); nothing happens to anything else.
    static void tightenFile(const QString& path);

    // Tightens folder (when it exists) and, inside it, each of the named files.
    static void tighten(const QString& folder, const QStringList& fileNames);
};
