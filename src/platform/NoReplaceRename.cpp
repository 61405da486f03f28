#include "platform/NoReplaceRename.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>
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
int renameOverPlaceholder(int fromFolder, const char* from, int toFolder, const char* to)
{
    struct stat st;
    if (::fstatat(fromFolder, from, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    const bool isDirectory = S_ISDIR(st.st_mode);
    if (isDirectory) {
        if (::mkdirat(toFolder, to, 0700) != 0)
            return errno;
    } else {
        const int fd =
            ::openat(toFolder, to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return errno;
        ::close(fd);
    }
    if (::renameat(fromFolder, from, toFolder, to) == 0)
        return 0;
    const int err = errno;
    ::unlinkat(toFolder, to, isDirectory ? AT_REMOVEDIR : 0);
    // Some file systems (fusefat) never let a folder replace another, not even an empty
    // placeholder. A plain rename there can replace nothing: a folder replaces only an
    // empty folder, which this file system refuses.
    if (isDirectory && err == EPERM && ::renameat(fromFolder, from, toFolder, to) == 0)
        return 0;
    return err;
}

} // namespace

int NoReplaceRename::rename(const QString& from, const QString& to) noexcept
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (target.startsWith(source + '/')) {
        // A folder into itself: EINVAL from the kernel too, but never a placeholder try.
        if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(),
                        RENAME_NOREPLACE) == 0)
            return 0;
        return errno;
    }
    return renameAt(AT_FDCWD, source, AT_FDCWD, target);
}

int NoReplaceRename::renameAt(int fromFolder, const QByteArray& from, int toFolder,
                              const QByteArray& to) noexcept
{
    if (::renameat2(fromFolder, from.constData(), toFolder, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    // EINVAL: the file system does not know RENAME_NOREPLACE.
    if (err == EINVAL || err == ENOSYS || err == ENOTSUP)
        return renameOverPlaceholder(fromFolder, from.constData(), toFolder, to.constData());
    return err;
}

QString NoReplaceRename::keepAside(const QString& path, int* err, const QStringList& companions)
{
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    const QString base = path + QStringLiteral(".bad-") + stamp;
    *err = EEXIST;
    QString kept;
    for (int n = 0; n < 1000 && *err == EEXIST; ++n) {
        kept = n == 0 ? base : base + QStringLiteral("-%1").arg(n);
        const bool companionTaken =
            std::any_of(companions.cbegin(), companions.cend(),
                        [&kept](const QString& suffix) { return QFile::exists(kept + suffix); });
        if (companionTaken)
            continue;
        *err = rename(path, kept);
    }
    return *err == 0 ? kept : QString();
}
