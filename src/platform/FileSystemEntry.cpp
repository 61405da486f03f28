#include "platform/FileSystemEntry.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// statx rather than lstat for the birth time, which tells a recycled inode number apart.
FileIdentity identity(int dirFd, const char* path, int flags)
{
    struct statx st
    {
    };
    if (::statx(dirFd, path, flags | AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &st) !=
        0)
        return {};
    FileIdentity id;
    id.device = quint64(makedev(st.stx_dev_major, st.stx_dev_minor));
    id.inode = quint64(st.stx_ino);
    id.size = qint64(st.stx_size);
    id.modifiedNs = qint64(st.stx_mtime.tv_sec) * 1000000000 + st.stx_mtime.tv_nsec;
    if (st.stx_mask & STATX_BTIME)
        id.bornNs = qint64(st.stx_btime.tv_sec) * 1000000000 + st.stx_btime.tv_nsec;
    id.isFolder = S_ISDIR(st.stx_mode);
    return id;
}

} // namespace

bool FileSystemEntry::existsAt(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

FileIdentity FileSystemEntry::identityAt(const QString& path)
{
    return identity(AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_NOFOLLOW);
}

FileIdentity FileSystemEntry::identityOf(int fd)
{
    return identity(fd, "", AT_EMPTY_PATH);
}
