#include "platform/FileMover.h"

#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/NoReplaceRename.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <memory>

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

QString FileMover::move(const QString& source, const QString& target, const NextTarget& nextTarget,
                        const Progress& progress)
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
            return moveAcrossFileSystems(source, attempt, nextTarget, progress);
        throw FileOperationError::fromErrno(err, QStringLiteral("Could not move the item"));
    }
}

bool FileMover::isPartialName(const QString& name)
{
    return name.startsWith(QLatin1String(".stowbird-")) && name.endsWith(QLatin1String(".partial"));
}

int FileMover::removeStalePartials(const QString& folder)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(QFile::encodeName(folder).constData()),
                                            &::closedir);
    if (!dir)
        return 0;
    QStringList stale;
    while (const dirent* entry = ::readdir(dir.get())) {
        const QString name = QFile::decodeName(entry->d_name);
        if (isPartialName(name) && !TreeCopier::isLocked(folder + QLatin1Char('/') + name))
            stale << folder + QLatin1Char('/') + name;
    }
    dir.reset();
    int removed = 0;
    for (const QString& path : std::as_const(stale)) {
        if (TreeCopier::removeTree(path, true) == 0)
            ++removed;
    }
    return removed;
}

QString FileMover::moveAcrossFileSystems(const QString& source, QString target,
                                         const NextTarget& nextTarget, const Progress& progress)
{
    const QByteArray sourceName = QFile::encodeName(source);
    struct stat original;
    if (::lstat(sourceName.constData(), &original) != 0)
        throw FileOperationError::fromErrno(errno, QStringLiteral("Could not move the item"));
    if (!TreeCopier::canRemoveTree(source))
        throw FileOperationError::fromErrno(
            EACCES, QStringLiteral("Could not move the item: it cannot be removed from where "
                                   "it is"));

    // A killed move leaves its hidden copy behind; this is the next use of the folder.
    const QString folder = FileNaming::parentPath(target);
    removeStalePartials(folder);

    // The copy grows under a hidden name and gets its final name only once it is complete
    // and checked, so the destination never shows a half-copied item under the real name.
    const QString partial = folder + QStringLiteral("/.stowbird-") +
                            QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".partial");
    TreeCopier copier;
    const qint64 total = progress ? TreeCopier::treeSize(source) : 0;
    qint64 finishedFiles = 0;
    qint64 currentBytes = 0;
    QString currentFile;
    copier.setChunkHook([&](const QString& file, qint64 copied) {
        if (progress) {
            if (file != currentFile) {
                finishedFiles += currentBytes;
                currentFile = file;
            }
            currentBytes = copied;
            const qint64 done = finishedFiles + currentBytes;
            progress(done, std::max(total, done));
        }
        if (m_hook)
            m_hook(file, copied);
    });
    copier.copy(source, partial);

    try {
        step(Step::Copied, partial);
        // The original must still be the item that was copied.
        struct stat now;
        if (::lstat(sourceName.constData(), &now) != 0 || now.st_ino != original.st_ino ||
            now.st_dev != original.st_dev)
            throw FileOperationError::fromErrno(
                ENOENT, QStringLiteral("Could not move the item: it disappeared while it was "
                                       "being copied"));
        step(Step::Commit, target);
    } catch (const FileOperationError&) {
        TreeCopier::removeTree(partial, true);
        throw;
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
    removeCopiedSource(source, target, copier.copiedEntries());
    return target;
}

void FileMover::removeCopiedSource(const QString& source, const QString& target,
                                   const std::vector<TreeCopier::CopiedEntry>& copied) const
{
    if (copied.size() == 1 && !copied.front().isFolder) {
        // One file or link: one unlink either removes it or leaves it whole, and then the
        // copy goes again.
        const TreeCopier::CopiedEntry& only = copied.front();
        try {
            step(Step::Remove, source);
        } catch (const FileOperationError&) {
            TreeCopier::removeTree(target, true);
            throw;
        }
        struct stat now;
        if (::lstat(only.path.constData(), &now) != 0)
            return; // removed by someone just now: the checked copy is the only one left
        if (now.st_ino != only.inode || now.st_size != only.size ||
            now.st_mtim.tv_sec != only.modified.tv_sec ||
            now.st_mtim.tv_nsec != only.modified.tv_nsec) {
            TreeCopier::removeTree(target, true);
            throw FileOperationError(
                AppError{QStringLiteral("com.stowbird.fileengine"), EAGAIN,
                         QStringLiteral("The item changed while it was being moved; it was "
                                        "left where it was.")});
        }
        if (::unlink(only.path.constData()) != 0 && errno != ENOENT) {
            const int err = errno;
            TreeCopier::removeTree(target, true);
            throw FileOperationError::fromErrno(
                err, QStringLiteral("Could not move the item: the original cannot be removed"));
        }
        return;
    }

    // Deepest entries first (the copy listed each folder before its contents). An entry
    // goes only while it is still what was copied; a folder only when it is empty, so
    // anything written into the tree during the copy stays where it is.
    int removed = 0;
    int firstError = 0;
    for (auto it = copied.rbegin(); it != copied.rend(); ++it) {
        const QString path = QFile::decodeName(it->path);
        try {
            step(Step::Remove, path);
        } catch (const FileOperationError&) {
            if (removed == 0) {
                // Nothing of the source is gone yet: take the copy back and fail whole.
                TreeCopier::removeTree(target, true);
                throw;
            }
            firstError = EIO;
            break;
        }
        struct stat now;
        if (::lstat(it->path.constData(), &now) != 0)
            continue;
        if (now.st_ino != it->inode || now.st_dev != it->device)
            continue; // replaced since it was copied
        if (it->isFolder) {
            if (::rmdir(it->path.constData()) == 0)
                ++removed;
            else if (errno != ENOTEMPTY && errno != EEXIST && !firstError)
                firstError = errno;
            continue;
        }
        if (now.st_size != it->size || now.st_mtim.tv_sec != it->modified.tv_sec ||
            now.st_mtim.tv_nsec != it->modified.tv_nsec) {
            continue; // written to during the copy: the newer version stays
        }
        if (::unlink(it->path.constData()) == 0)
            ++removed;
        else if (errno != ENOENT && !firstError)
            firstError = errno;
    }

    struct stat left;
    if (::lstat(QFile::encodeName(source).constData(), &left) != 0)
        return;
    // The copy is whole and in place; part of the source stayed. Nothing is lost, and the
    // user is told what is still there.
    QStringList names;
    if (S_ISDIR(left.st_mode)) {
        QDirIterator entries(source,
                             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString path = entries.next();
            const QFileInfo info = entries.fileInfo();
            if (info.isDir() && !info.isSymLink() &&
                !QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                    QDir::NoDotAndDotDot))
                continue;
            names << QDir(source).relativeFilePath(path);
        }
        names.sort();
    }
    const QString item = FileNaming::lastPathComponent(source);
    const QString where = FileNaming::lastPathComponent(FileNaming::parentPath(source));
    const QString to = FileNaming::lastPathComponent(FileNaming::parentPath(target));
    QString description;
    if (names.isEmpty()) {
        description =
            QStringLiteral("\"%1\" was copied to %2, but its original in %3 could not "
                           "be removed completely (%4).")
                .arg(item, to, where,
                     QString::fromLocal8Bit(std::strerror(firstError ? firstError : EACCES)));
    } else {
        constexpr int shown = 5;
        QString list = QStringList(names.mid(0, shown)).join(QStringLiteral(", "));
        if (names.size() > shown)
            list += QStringLiteral(" and %1 more").arg(names.size() - shown);
        description = QStringLiteral("\"%1\" was moved to %2, but %3 changed during the copy "
                                     "and stayed in %4: %5")
                          .arg(item, to,
                               names.size() == 1 ? QStringLiteral("1 item")
                                                 : QStringLiteral("%1 items").arg(names.size()),
                               where, list);
    }
    throw FileOperationError(
        AppError{QStringLiteral("com.stowbird.fileengine"), partialMoveCode, description});
}
