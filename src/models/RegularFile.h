#pragma once

#include <QString>

// Opening downloaded files for a look inside (preview, thumbnails, type sniffing) without
// ever blocking: a FIFO, socket or device file in Downloads (or a link to /dev/zero) is
// never opened, and a file swapped for one between the check and the open is caught.
class RegularFile
{
public:
    // A read-only descriptor for path when it is, following links, a regular file; -1
    // otherwise (errno set; EINVAL for a file that is not regular). The open does not block
    // (O_NONBLOCK, cleared again afterwards) and what was opened is checked once more, so
    // a race cannot slip a FIFO or a device in. The caller closes it.
    static int openForReading(const QString& path);

    // The MIME type name of a file that is not regular and not a folder ("inode/fifo",
    // "inode/socket", "inode/chardevice", "inode/blockdevice"), following links; empty for
    // regular files, folders and paths that do not exist.
    static QString specialTypeName(const QString& path);

    // A path naming exactly the file open as fd ("/proc/self/fd/N"), for libraries that
    // only take paths; path itself where /proc is not mounted.
    static QString pinnedPath(int fd, const QString& path);
};
