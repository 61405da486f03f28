#pragma once

#include "models/FileIdentity.h"

#include <QString>

// What the file system holds at a path, looked at without following a link.
class FileSystemEntry
{
public:
    // True when anything is at path: a file, a folder, a special file or a link, even one
    // that leads nowhere (lstat succeeds). A link to a missing target is still something
    // the user has to deal with, so the queue keeps it.
    static bool existsAt(const QString& path);
    // The identity of the entry at path (a link itself, not its target); invalid when
    // nothing is there.
    static FileIdentity identityAt(const QString& path);
    // The identity of the open file fd.
    static FileIdentity identityOf(int fd);
};
