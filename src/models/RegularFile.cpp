#include "models/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int RegularFile::openForReading(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    // Reads of a regular file never block anyway; clearing the flag keeps libraries that
    // treat EAGAIN as an error away from surprises.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

QString RegularFile::specialTypeName(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("inode/fifo");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("inode/socket");
    if (S_ISCHR(st.st_mode))
        return QStringLiteral("inode/chardevice");
    if (S_ISBLK(st.st_mode))
        return QStringLiteral("inode/blockdevice");
    return {};
}

QString RegularFile::pinnedPath(int fd, const QString& path)
{
    const QString pinned = QStringLiteral("/proc/self/fd/%1").arg(fd);
    struct stat viaProc, viaFd;
    if (::stat(QFile::encodeName(pinned).constData(), &viaProc) == 0 && ::fstat(fd, &viaFd) == 0 &&
        viaProc.st_ino == viaFd.st_ino && viaProc.st_dev == viaFd.st_dev)
        return pinned;
    return path;
}
