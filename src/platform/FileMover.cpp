#include "platform/FileMover.h"

#include "models/FileOperationError.h"
#include "platform/FileNaming.h"
#include "platform/NoReplaceRename.h"

#include <QFile>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileOperationError takenError(const QString& target)
{
    return FileOperationError(
        AppError{QStringLiteral("NSPOSIXErrorDomain"), EEXIST,
                 QStringLiteral("\"%1\" already exists in the folder; nothing was replaced.")
                     .arg(FileNaming::lastPathComponent(target))});
}

void syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString FileMover::move(const QString& source, const QString& target, const NextTarget& nextTarget)
{
    QString attempt = target;
    for (int tries = 0;; ++tries) {
        const int err = NoReplaceRename::rename(source, attempt);
        if (err == 0)
            return attempt;
        if (err == EEXIST) {
            if (!nextTarget || tries >= maxAttempts)
                throw takenError(attempt);
            attempt = nextTarget();
            continue;
        }
        if (err == EXDEV)
            return moveAcrossFileSystems(source, attempt, nextTarget);
        throw FileOperationError::fromErrno(err, QStringLiteral("Could not move the item"));
    }
}

QString FileMover::moveAcrossFileSystems(const QString& source, QString target,
                                         const NextTarget& nextTarget)
{
    const QByteArray sourceName = QFile::encodeName(source);
    struct stat original;
    if (::lstat(sourceName.constData(), &original) != 0)
        throw FileOperationError::fromErrno(errno, QStringLiteral("Could not move the item"));
    if (!TreeCopier::canRemoveTree(source))
        throw FileOperationError::fromErrno(
            EACCES, QStringLiteral("Could not move the item: it cannot be removed from where "
                                   "it is"));

    // The copy grows under a hidden name and gets its final name only once it is complete
    // and checked, so the destination never shows a half-copied item under the real name.
    const QString folder = FileNaming::parentPath(target);
    const QString partial = folder + QStringLiteral("/.stowbird-") +
                            QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".partial");
    TreeCopier copier;
    copier.setChunkHook(m_hook);
    copier.copy(source, partial);

    // The original must still be the item that was copied.
    struct stat now;
    if (::lstat(sourceName.constData(), &now) != 0 || now.st_ino != original.st_ino ||
        now.st_dev != original.st_dev) {
        TreeCopier::removeTree(partial, true);
        throw FileOperationError::fromErrno(
            ENOENT, QStringLiteral("Could not move the item: it disappeared while it was "
                                   "being copied"));
    }

    for (int tries = 0;; ++tries) {
        const int err = NoReplaceRename::rename(partial, target);
        if (err == 0)
            break;
        if (err == EEXIST && nextTarget && tries < maxAttempts) {
            target = nextTarget();
            continue;
        }
        TreeCopier::removeTree(partial, true);
        if (err == EEXIST)
            throw takenError(target);
        throw FileOperationError::fromErrno(err, QStringLiteral("Could not move the item"));
    }
    syncFolder(folder);

    if (!S_ISDIR(original.st_mode)) {
        // One unlink: it either removes the original or leaves it whole, and then the copy
        // goes again. ENOENT means someone removed the original just now; the checked copy
        // is then the only one left and stays.
        if (::unlink(sourceName.constData()) != 0 && errno != ENOENT) {
            const int err = errno;
            TreeCopier::removeTree(target, true);
            throw FileOperationError::fromErrno(
                err, QStringLiteral("Could not move the item: the original cannot be removed"));
        }
        return target;
    }

    // A folder goes entry by entry. Removability was checked above, so a failure here is
    // rare; the complete copy then stays where it is, since parts of the original are
    // already gone and the copy is the only whole version.
    if (const int err = TreeCopier::removeTree(source, false)) {
        throw FileOperationError(AppError::fromErrno(
            err, QStringLiteral("The folder was copied to \"%1\", but its original could not "
                                "be removed completely")
                     .arg(FileNaming::lastPathComponent(target))));
    }
    // The removal is not flushed: after a crash the original may come back beside its
    // complete copy, which loses nothing.
    return target;
}
