#include "platform/FileMover.h"

#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/CancelToken.h"
#include "platform/CopiedTreeRemoval.h"
#include "platform/NoReplaceRename.h"
#include "platform/OpenWriterProbe.h"
#include "platform/UniqueFd.h"

#include <QCoreApplication>
#include <QFile>
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

using Entry = TreeCopier::CopiedEntry;
using Removal = CopiedTreeRemoval::Removal;

FileOperationError engineError(int code, const QString& description)
{
    return FileOperationError(
        AppError{QStringLiteral("com.stowbird.fileengine"), code, description});
}

FileOperationError takenError(const QString& target)
{
    return FileOperationError(
        AppError{QStringLiteral("NSPOSIXErrorDomain"), EEXIST,
                 QStringLiteral("\"%1\" already exists in the folder; nothing was replaced.")
                     .arg(FileNaming::lastPathComponent(target))});
}

FileOperationError stillWrittenError(const QString& source)
{
    return engineError(FileMover::stillWrittenCode,
                       QStringLiteral("\"%1\" is still being written (a download in progress?); "
                                      "it was left whole where it was.")
                           .arg(FileNaming::lastPathComponent(source)));
}

// Whether the folder copy named name in folder still lists the entries copied into it.
// Some file systems lose a folder's entries when it is renamed (fusefat does).
bool keptItsEntries(int folder, const QByteArray& name, const std::vector<Entry>& copied)
{
    if (copied.empty() || !copied.front().isFolder)
        return true;
    QList<QByteArray> expected;
    for (const Entry& entry : copied) {
        if (entry.parent == 0)
            expected << entry.name;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(
        ::fdopendir(
            ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)),
        &::closedir);
    if (!dir)
        return errno == EACCES; // a folder copied without read permission cannot be listed
    QList<QByteArray> found;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            found << QByteArray(entry->d_name);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    return found == expected;
}

// Removes the copy named name in folder, and only while it is still the entry this copier
// made.
void removeOwnCopy(int folder, const QByteArray& name, const TreeCopier& copier)
{
    struct stat st;
    if (::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        st.st_dev == copier.topDevice() && st.st_ino == copier.topInode())
        TreeCopier::removeTreeAt(folder, name, true);
}

// The hidden name a copy grows under in its destination folder.
QByteArray newPartialName()
{
    return QByteArrayLiteral(".stowbird-") + QUuid::createUuid().toString(QUuid::Id128).toLatin1() +
           QByteArrayLiteral(".partial");
}

FileOperationError originalStaysError(int err)
{
    return FileOperationError::fromErrno(
        err, QCoreApplication::translate(
                 "FileMover", "Could not move the item: the original cannot be removed"));
}

} // namespace

QString FileMover::move(const QString& source, const QString& target, const NextTarget& nextTarget,
                        const Progress& progress)
{
    // A move cancelled before it began changes nothing.
    if (const CancelToken* cancel = CancelToken::current())
        cancel->check();
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
        throw FileOperationError::fromErrno(
            err, QCoreApplication::translate("FileMover", "Could not move the item"));
    }
}

bool FileMover::isPartialName(const QString& name)
{
    return name.startsWith(QLatin1String(".stowbird-")) && name.endsWith(QLatin1String(".partial"));
}

int FileMover::removeStalePartials(const QString& folder)
{
    const UniqueFd fd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.isValid() ? removeStalePartialsAt(fd.get()) : 0;
}

int FileMover::removeStalePartialsAt(int folder)
{
    QList<QByteArray> partials;
    {
        std::unique_ptr<DIR, int (*)(DIR*)> dir(
            ::fdopendir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)), &::closedir);
        if (!dir)
            return 0;
        while (const dirent* entry = ::readdir(dir.get())) {
            if (isPartialName(QFile::decodeName(entry->d_name)))
                partials << QByteArray(entry->d_name);
        }
    }
    int removed = 0;
    const uid_t self = ::geteuid();
    for (const QByteArray& name : std::as_const(partials)) {
        // Only this user's own partial copies: in a folder others may write to (a shared or
        // the system's temporary folder) anyone can plant an entry of that name.
        struct stat st;
        if (::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_uid != self)
            continue;
        if (S_ISLNK(st.st_mode)) {
            // The copy of a link: removed as the link it is, never followed.
            if (::unlinkat(folder, name.constData(), 0) == 0)
                ++removed;
            continue;
        }
        const UniqueFd fd(::openat(folder, name.constData(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat opened;
        if (!fd.isValid() || ::fstat(fd.get(), &opened) != 0 || opened.st_uid != self ||
            opened.st_dev != st.st_dev || opened.st_ino != st.st_ino)
            continue;
        // A copy in progress, in this process or another, holds its partial locked; the
        // lock taken here keeps it from being reused while it is removed.
        if (TreeCopier::lockedByOther(fd.get()))
            continue;
        if (TreeCopier::removeTreeAt(folder, name, true) == 0)
            ++removed;
    }
    return removed;
}

QString FileMover::moveAcrossFileSystems(const QString& source, QString target,
                                         const NextTarget& nextTarget, const Progress& progress)
{
    const struct stat original = checkMovable(source);

    // The destination folder is opened once: the copy is made, checked and named inside
    // this very folder, whatever happens to its path meanwhile.
    const QString folder = FileNaming::parentPath(target);
    const UniqueFd destination(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat opened;
    if (!destination.isValid() || ::fstat(destination.get(), &opened) != 0)
        throw FileOperationError::fromErrno(
            errno, QCoreApplication::translate("FileMover", "Could not move the item"));

    // A killed move leaves its hidden copy behind; this is the next use of the folder.
    removeStalePartialsAt(destination.get());

    // The copy grows under a hidden name and gets its final name only once it is complete
    // and checked, so the destination never shows a half-copied item under the real name.
    const QByteArray partial = newPartialName();
    CancelToken* const cancel = CancelToken::current();
    TreeCopier copier;
    copier.setCancelToken(cancel);
    copyTree(copier, source, destination.get(), partial, progress);
    try {
        checkBeforeCommit(source, original, folder, opened, partial, target, cancel);
    } catch (const FileOperationError&) {
        removeOwnCopy(destination.get(), partial, copier);
        throw;
    }

    const QByteArray targetName =
        commitCopy(destination.get(), partial, copier, &target, nextTarget);
    ::fsync(destination.get());
    if (!keptItsEntries(destination.get(), targetName, copier.copiedEntries())) {
        removeOwnCopy(destination.get(), targetName, copier);
        throw engineError(EIO, QStringLiteral("Could not move the item: the destination's file "
                                              "system lost the folder's contents when the copy "
                                              "was renamed; it was left where it was."));
    }
    // The point of no return: from here on the original is removed. A cancel that came first
    // (also one that came while a slow destination held the steps above) takes the copy back
    // and leaves the original as it was.
    if (cancel && !cancel->commit()) {
        removeOwnCopy(destination.get(), targetName, copier);
        throw CancelToken::cancelled();
    }
    tellLostXattrs(copier, opened.st_dev);
    removeCopiedSource(source, destination.get(), targetName, target, copier);
    return target;
}

struct stat FileMover::checkMovable(const QString& source)
{
    struct stat original;
    if (::lstat(QFile::encodeName(source).constData(), &original) != 0)
        throw FileOperationError::fromErrno(
            errno, QCoreApplication::translate("FileMover", "Could not move the item"));
    if (!TreeCopier::canRemoveTree(source))
        throw FileOperationError::fromErrno(
            EACCES, QStringLiteral("Could not move the item: it cannot be removed from where "
                                   "it is"));
    // A download in progress fails at once rather than after a copy of what it has so far.
    if (S_ISREG(original.st_mode) && OpenWriterProbe::of(source) == OpenWriterProbe::State::Open)
        throw stillWrittenError(source);
    return original;
}

void FileMover::copyTree(TreeCopier& copier, const QString& source, int destination,
                         const QByteArray& partial, const Progress& progress) const
{
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
    copier.copy(source, destination, partial);
}

void FileMover::checkBeforeCommit(const QString& source, const struct stat& original,
                                  const QString& folder, const struct stat& opened,
                                  const QByteArray& partial, const QString& target,
                                  const CancelToken* cancel) const
{
    step(Step::Copied, folder + QLatin1Char('/') + QFile::decodeName(partial));
    if (cancel)
        cancel->check();
    // The original must still be the item that was copied.
    struct stat now;
    if (::lstat(QFile::encodeName(source).constData(), &now) != 0 ||
        now.st_ino != original.st_ino || now.st_dev != original.st_dev)
        throw FileOperationError::fromErrno(
            ENOENT, QStringLiteral("Could not move the item: it disappeared while it was "
                                   "being copied"));
    step(Step::Commit, target);
    if (cancel)
        cancel->check();
    // The folder's path must still lead to the folder the copy is in: one moved away or
    // replaced by a link meanwhile would leave the item somewhere else than reported.
    if (::stat(QFile::encodeName(folder).constData(), &now) != 0 || now.st_dev != opened.st_dev ||
        now.st_ino != opened.st_ino)
        throw engineError(EAGAIN, QStringLiteral("Could not move the item: the destination "
                                                 "folder was moved or replaced while the "
                                                 "item was copied; it was left where it "
                                                 "was."));
}

QByteArray FileMover::commitCopy(int destination, const QByteArray& partial,
                                 const TreeCopier& copier, QString* target,
                                 const NextTarget& nextTarget)
{
    QByteArray targetName = QFile::encodeName(FileNaming::lastPathComponent(*target));
    for (int tries = 0;; ++tries) {
        const int err = NoReplaceRename::renameAt(destination, partial, destination, targetName);
        if (err == 0)
            return targetName;
        if (err == EEXIST && nextTarget && tries < maxAttempts) {
            *target = nextTarget();
            targetName = QFile::encodeName(FileNaming::lastPathComponent(*target));
            continue;
        }
        removeOwnCopy(destination, partial, copier);
        if (err == EEXIST)
            throw takenError(*target);
        throw FileOperationError::fromErrno(
            err, QCoreApplication::translate("FileMover", "Could not move the item"));
    }
}

void FileMover::tellLostXattrs(const TreeCopier& copier, dev_t destination)
{
    const UserXattrs::Outcome& lost = copier.lostXattrs();
    if (!lost.lost || !m_notice)
        return;
    {
        const std::lock_guard lock(m_toldLock);
        if (!m_toldDevices.insert(destination).second)
            return;
    }
    m_notice(QStringLiteral("The copy of a moved item on another file system lacks %1 of "
                            "its extended attributes (%2); this is told once per file system")
                 .arg(lost.lost)
                 .arg(QString::fromLocal8Bit(std::strerror(lost.firstError))));
}

void FileMover::removeCopiedSource(const QString& source, int folder, const QByteArray& targetName,
                                   const QString& target, const TreeCopier& copier) const
{
    // Taking the copy back leaves the source as the only one, as it was.
    const auto takeBack = [&] { removeOwnCopy(folder, targetName, copier); };
    // Every entry is removed relative to its own folder, each folder opened from its parent
    // without following links: a folder swapped for a link meanwhile leads nowhere.
    const UniqueFd sourceFolder(
        ::open(QFile::encodeName(FileNaming::parentPath(source)).constData(),
               O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!sourceFolder.isValid()) {
        const int err = errno;
        takeBack();
        throw originalStaysError(err);
    }
    const std::vector<Entry>& copied = copier.copiedEntries();
    if (copied.size() == 1 && !copied.front().isFolder) {
        removeCopiedFile(source, sourceFolder.get(), copied.front(), takeBack);
        return;
    }

    CopiedTreeRemoval removal(sourceFolder.get(), copied);
    removeCopiedTree(removal, takeBack);
    struct stat left;
    if (::lstat(QFile::encodeName(source).constData(), &left) != 0)
        return;
    // The copy is whole and in place; part of the source stayed. Nothing is lost, and the
    // user is told what is still there and why.
    throw engineError(partialMoveCode, removal.whatStayed(source, target, S_ISDIR(left.st_mode)));
}

void FileMover::removeCopiedFile(const QString& source, int sourceFolder, const Entry& file,
                                 const std::function<void()>& takeBack) const
{
    // One file or link: it is removed whole or stays whole, and then the copy goes again.
    try {
        step(Step::Remove, source);
    } catch (const FileOperationError&) {
        takeBack();
        throw;
    }
    int err = 0;
    switch (CopiedTreeRemoval::removeEntry(sourceFolder, file, err)) {
    case Removal::Removed:
    case Removal::Gone:
        return; // removed by someone just now: the checked copy is the only one left
    case Removal::StillWritten:
        takeBack();
        throw stillWrittenError(source);
    case Removal::Failed:
        takeBack();
        throw originalStaysError(err);
    default:
        takeBack();
        throw engineError(EAGAIN, QStringLiteral("The item changed while it was being moved; "
                                                 "it was left where it was."));
    }
}

void FileMover::removeCopiedTree(CopiedTreeRemoval& removal,
                                 const std::function<void()>& takeBack) const
{
    // Deepest entries first (the copy listed each folder before its contents). An entry
    // goes only while it is still what was copied; a folder only when it is empty, so
    // anything written into the tree during the copy stays where it is.
    for (int i = removal.count() - 1; i >= 0; --i) {
        try {
            step(Step::Remove, QFile::decodeName(removal.entry(i).path));
        } catch (const FileOperationError& failure) {
            if (removal.removed() == 0) {
                // Nothing of the source is gone yet: take the copy back and fail whole.
                takeBack();
                throw;
            }
            removal.stop(failure.error().code > 0 ? failure.error().code : EIO);
            break;
        }
        removal.remove(i);
    }
    removal.closeFolders();
}
