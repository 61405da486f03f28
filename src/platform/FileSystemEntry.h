#pragma once

#include <QString>

// What the file system holds at a path, looked at without following a link.
class FileSystemEntry
{
public:
    // True when anything is at path: a file, a folder, a special file or a link, even one
    // that leads nowhere (lstat succeeds). A link to a missing target is still something
    // the user has to deal with, so the queue keeps it.
    static bool existsAt(const QString& path);
};
