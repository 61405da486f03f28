#include "platform/NoReplaceRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// For file systems without RENAME_NOREPLACE: claim the target with an exclusive create
// (which fails with EEXIST when it is taken), then rename over that placeholder. A folder
// may only replace an empty folder and a file only a file, so the placeholder matches the
// source's kind.
int renameOverPlaceholder(const QByteArray& from, const QByteArray& to)
{
    struct stat st;
    if (::lstat(from.constData(), &st) != 0)
        return errno;
    const bool isDirectory = S_ISDIR(st.st_mode);
    if (isDirectory) {
        if (::mkdir(to.constData(), 0700) != 0)
            return errno;
    } else {
        const int fd = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        ::close(fd);
    }
    if (::rename(from.constData(), to.constData()) != 0) {
        const int err = errno;
        if (isDirectory)
            ::rmdir(to.constData());
        else
            ::unlink(to.constData());
        return err;
    }
    return 0;
}

} // namespace

int NoReplaceRename::rename(const QString& from, const QString& to) noexcept
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return 0;
    const int err = errno;
    if (err == EINVAL && target.startsWith(source + '/'))
        return err; // a folder into itself
    // EINVAL otherwise: the file system does not know RENAME_NOREPLACE.
    if (err == EINVAL || err == ENOSYS || err == ENOTSUP)
        return renameOverPlaceholder(source, target);
    return err;
}
