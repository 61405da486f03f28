#pragma once

#include <QtGlobal>

// Which file system entry stands at a path: enough to tell the entry an action left there
// from another one put at the same path since (a replacement, a restore by another tool, a
// new file that reuses a freed inode number).
//
// A file is itself while its device, inode, size and modification time are unchanged. A
// folder is compared by device and inode (and birth time) only: its own size and
// modification time change whenever an entry inside it is added, removed or renamed, which
// the user or a file manager may do to the very folder an action moved, and an undo puts the
// folder back as a whole with whatever it holds now.
class FileIdentity
{
public:
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    // Zero when the file system keeps no birth time; then it is not compared.
    qint64 bornNs = 0;
    bool isFolder = false;

    bool isValid() const { return inode != 0; }
    // True when now (read later at the same place) is the entry this identity was read from.
    // An invalid identity matches nothing.
    bool isSameEntry(const FileIdentity& now) const;
};
