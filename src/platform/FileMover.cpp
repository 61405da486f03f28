#include "platform/FileMover.h"

#include "models/FileNaming.h"
#include "models/FileOperationError.h"
#include "platform/CancelToken.h"
#include "platform/NoReplaceRename.h"
#include "platform/OpenWriterProbe.h"
#include "platform/UniqueFd.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
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

bool sameTime(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// What became of one source entry when the source was removed.
enum class Removal {
    NotTried,     // the removal stopped before it
    Removed,      // it is gone
    Gone,         // someone else removed it meanwhile
    Changed,      // written to or replaced since it was copied: it stays
    StillWritten, // a process holds it open for writing: it stays
    NotEmpty,     // a folder that still holds what stayed
    Failed,       // the file system refused to remove it
};

// Removes entry from the folder open as folder when it is still exactly what was copied.
Removal removeEntry(int folder, const Entry& entry, int& err)
{
    const char* name = entry.name.constData();
    if (entry.type == S_IFREG) {
        UniqueFd fd(
            ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!fd.isValid()) {
            if (errno == ENOENT)
                return Removal::Gone;
            if (errno == ELOOP || errno == ENXIO || errno == ENOTDIR)
                return Removal::Changed; // a link or a special file took its place
            err = errno;
            return Removal::Failed;
        }
        // A read lease, held until the name is gone: a writer that still has the file open
        // refuses it, and one that opens the file from now on waits until the lease is let
        // go, so nothing written after this check can be lost with the file.
        if (OpenWriterProbe::holdAgainstWriters(fd.get()) == OpenWriterProbe::State::Open)
            return Removal::StillWritten;
        struct stat now;
        if (::fstat(fd.get(), &now) != 0) {
            err = errno;
            return Removal::Failed;
        }
        if (now.st_dev != entry.device || now.st_ino != entry.inode || now.st_size != entry.size ||
            !sameTime(now.st_mtim, entry.modified) || !sameTime(now.st_ctim, entry.changed))
            return Removal::Changed;
        if (::unlinkat(folder, name, 0) == 0)
            return Removal::Removed;
        if (errno == ENOENT)
            return Removal::Gone;
        err = errno;
        return Removal::Failed;
    }

    struct stat now;
    if (::fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return Removal::Gone;
        err = errno;
        return Removal::Failed;
    }
    if (now.st_dev != entry.device || now.st_ino != entry.inode)
        return Removal::Changed;
    if (!entry.isFolder && !sameTime(now.st_mtim, entry.modified))
        return Removal::Changed;
    if (::unlinkat(folder, name, entry.isFolder ? AT_REMOVEDIR : 0) == 0)
        return Removal::Removed;
    if (errno == ENOENT)
        return Removal::Gone;
    if (entry.isFolder && (errno == ENOTEMPTY || errno == EEXIST))
        return Removal::NotEmpty;
    err = errno;
    return Removal::Failed;
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

QString countOf(int n)
{
    return n == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(n);
}

QString listOf(QStringList names)
{
    constexpr int shown = 5;
    names.sort();
    QString list = QStringList(names.mid(0, shown)).join(QStringLiteral(", "));
    if (names.size() > shown)
        list += QStringLiteral(" and %1 more").arg(names.size() - shown);
    return list;
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
    const QByteArray sourceName = QFile::encodeName(source);
    struct stat original;
    if (::lstat(sourceName.constData(), &original) != 0)
        throw FileOperationError::fromErrno(
            errno, QCoreApplication::translate("FileMover", "Could not move the item"));
    if (!TreeCopier::canRemoveTree(source))
        throw FileOperationError::fromErrno(
            EACCES, QStringLiteral("Could not move the item: it cannot be removed from where "
                                   "it is"));
    // A download in progress fails at once rather than after a copy of what it has so far.
    if (S_ISREG(original.st_mode) && OpenWriterProbe::of(source) == OpenWriterProbe::State::Open)
        throw stillWrittenError(source);

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
    const QByteArray partial = QByteArrayLiteral(".stowbird-") +
                               QUuid::createUuid().toString(QUuid::Id128).toLatin1() +
                               QByteArrayLiteral(".partial");
    CancelToken* const cancel = CancelToken::current();
    TreeCopier copier;
    copier.setCancelToken(cancel);
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
    copier.copy(source, destination.get(), partial);

    // The copy, and only while it is still the entry this copier made.
    auto removeCopy = [&](const QByteArray& name) {
        struct stat st;
        if (::fstatat(destination.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            st.st_dev == copier.topDevice() && st.st_ino == copier.topInode())
            TreeCopier::removeTreeAt(destination.get(), name, true);
    };
    try {
        step(Step::Copied, folder + QLatin1Char('/') + QFile::decodeName(partial));
        if (cancel)
            cancel->check();
        // The original must still be the item that was copied.
        struct stat now;
        if (::lstat(sourceName.constData(), &now) != 0 || now.st_ino != original.st_ino ||
            now.st_dev != original.st_dev)
            throw FileOperationError::fromErrno(
                ENOENT, QStringLiteral("Could not move the item: it disappeared while it was "
                                       "being copied"));
        step(Step::Commit, target);
        if (cancel)
            cancel->check();
        // The folder's path must still lead to the folder the copy is in: one moved away or
        // replaced by a link meanwhile would leave the item somewhere else than reported.
        if (::stat(QFile::encodeName(folder).constData(), &now) != 0 ||
            now.st_dev != opened.st_dev || now.st_ino != opened.st_ino)
            throw engineError(EAGAIN, QStringLiteral("Could not move the item: the destination "
                                                     "folder was moved or replaced while the "
                                                     "item was copied; it was left where it "
                                                     "was."));
    } catch (const FileOperationError&) {
        removeCopy(partial);
        throw;
    }

    QByteArray targetName = QFile::encodeName(FileNaming::lastPathComponent(target));
    for (int tries = 0;; ++tries) {
        const int err =
            NoReplaceRename::renameAt(destination.get(), partial, destination.get(), targetName);
        if (err == 0)
            break;
        if (err == EEXIST && nextTarget && tries < maxAttempts) {
            target = nextTarget();
            targetName = QFile::encodeName(FileNaming::lastPathComponent(target));
            continue;
        }
        removeCopy(partial);
        if (err == EEXIST)
            throw takenError(target);
        throw FileOperationError::fromErrno(
            err, QCoreApplication::translate("FileMover", "Could not move the item"));
    }
    ::fsync(destination.get());
    if (!keptItsEntries(destination.get(), targetName, copier.copiedEntries())) {
        removeCopy(targetName);
        throw engineError(EIO, QStringLiteral("Could not move the item: the destination's file "
                                              "system lost the folder's contents when the copy "
                                              "was renamed; it was left where it was."));
    }
    // The point of no return: from here on the original is removed. A cancel that came first
    // (also one that came while a slow destination held the steps above) takes the copy back
    // and leaves the original as it was.
    if (cancel && !cancel->commit()) {
        removeCopy(targetName);
        throw CancelToken::cancelled();
    }
    tellLostXattrs(copier, opened.st_dev);
    removeCopiedSource(source, destination.get(), targetName, target, copier);
    return target;
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
    const std::vector<Entry>& copied = copier.copiedEntries();
    // Taking the copy back leaves the source as the only one, as it was.
    auto takeBack = [&] {
        struct stat st;
        if (::fstatat(folder, targetName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            st.st_dev == copier.topDevice() && st.st_ino == copier.topInode())
            TreeCopier::removeTreeAt(folder, targetName, true);
    };
    // Every entry is removed relative to its own folder, each folder opened from its parent
    // without following links: a folder swapped for a link meanwhile leads nowhere.
    const UniqueFd sourceFolder(
        ::open(QFile::encodeName(FileNaming::parentPath(source)).constData(),
               O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!sourceFolder.isValid()) {
        const int err = errno;
        takeBack();
        throw FileOperationError::fromErrno(
            err, QCoreApplication::translate(
                     "FileMover", "Could not move the item: the original cannot be removed"));
    }

    if (copied.size() == 1 && !copied.front().isFolder) {
        // One file or link: it is removed whole or stays whole, and then the copy goes again.
        try {
            step(Step::Remove, source);
        } catch (const FileOperationError&) {
            takeBack();
            throw;
        }
        int err = 0;
        switch (removeEntry(sourceFolder.get(), copied.front(), err)) {
        case Removal::Removed:
        case Removal::Gone:
            return; // removed by someone just now: the checked copy is the only one left
        case Removal::StillWritten:
            takeBack();
            throw stillWrittenError(source);
        case Removal::Failed:
            takeBack();
            throw FileOperationError::fromErrno(
                err, QCoreApplication::translate(
                         "FileMover", "Could not move the item: the original cannot be removed"));
        default:
            takeBack();
            throw engineError(EAGAIN, QStringLiteral("The item changed while it was being moved; "
                                                     "it was left where it was."));
        }
    }

    // Deepest entries first (the copy listed each folder before its contents). An entry
    // goes only while it is still what was copied; a folder only when it is empty, so
    // anything written into the tree during the copy stays where it is.
    const int count = int(copied.size());
    std::vector<UniqueFd> folders(copied.size());
    std::vector<bool> opened(copied.size(), false);
    auto folderOf = [&](int index) -> int {
        // The descriptor of entry index's folder, opened on first use.
        std::vector<int> chain;
        for (int i = copied[size_t(index)].parent; i >= 0 && !opened[size_t(i)];
             i = copied[size_t(i)].parent)
            chain.push_back(i);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const Entry& entry = copied[size_t(*it)];
            opened[size_t(*it)] = true;
            const int parent =
                entry.parent < 0 ? sourceFolder.get() : folders[size_t(entry.parent)].get();
            if (parent < 0)
                continue;
            UniqueFd fd(::openat(parent, entry.name.constData(),
                                 O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            struct stat st;
            if (fd.isValid() && ::fstat(fd.get(), &st) == 0 && st.st_dev == entry.device &&
                st.st_ino == entry.inode)
                folders[size_t(*it)] = std::move(fd);
        }
        const int parent = copied[size_t(index)].parent;
        return parent < 0 ? sourceFolder.get() : folders[size_t(parent)].get();
    };

    std::vector<Removal> outcome(copied.size(), Removal::NotTried);
    std::vector<int> errors(copied.size(), 0);
    int removed = 0;
    int stoppedBy = 0;
    for (int i = count - 1; i >= 0; --i) {
        const Entry& entry = copied[size_t(i)];
        try {
            step(Step::Remove, QFile::decodeName(entry.path));
        } catch (const FileOperationError& failure) {
            if (removed == 0) {
                // Nothing of the source is gone yet: take the copy back and fail whole.
                takeBack();
                throw;
            }
            stoppedBy = failure.error().code > 0 ? failure.error().code : EIO;
            break;
        }
        folders[size_t(i)].reset();
        const int parent = folderOf(i);
        // A folder replaced since it was copied: what is in it now stays.
        outcome[size_t(i)] =
            parent < 0 ? Removal::Changed : removeEntry(parent, entry, errors[size_t(i)]);
        if (outcome[size_t(i)] == Removal::Removed)
            ++removed;
    }
    folders.clear();

    struct stat left;
    if (::lstat(QFile::encodeName(source).constData(), &left) != 0)
        return;

    // The copy is whole and in place; part of the source stayed. Nothing is lost, and the
    // user is told what is still there and why.
    QHash<QString, int> indexOf;
    for (int i = 1; i < count; ++i)
        indexOf.insert(QFile::decodeName(copied[size_t(i)].path).mid(source.size() + 1), i);
    QStringList changed;
    QStringList written;
    QMap<int, QStringList> failed;
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
            const QString name = QDir(source).relativeFilePath(path);
            const int index = indexOf.value(name, -1);
            const Removal what = index < 0 ? Removal::Changed : outcome[size_t(index)];
            if (what == Removal::StillWritten)
                written << name;
            else if (what == Removal::Failed)
                failed[errors[size_t(index)]] << name;
            else if (what == Removal::NotTried && stoppedBy)
                failed[stoppedBy] << name;
            else
                changed << name;
        }
    }
    const QString item = FileNaming::lastPathComponent(source);
    const QString where = FileNaming::lastPathComponent(FileNaming::parentPath(source));
    const QString to = FileNaming::lastPathComponent(FileNaming::parentPath(target));
    auto reason = [](int err) { return QString::fromLocal8Bit(std::strerror(err)); };
    QStringList parts;
    if (!changed.isEmpty())
        parts << QStringLiteral("%1 changed during the copy and stayed in %2: %3")
                     .arg(countOf(int(changed.size())), where, listOf(changed));
    if (!written.isEmpty())
        parts << QStringLiteral("%1 %2 still being written and stayed in %3: %4")
                     .arg(countOf(int(written.size())),
                          written.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"), where,
                          listOf(written));
    for (auto it = failed.cbegin(); it != failed.cend(); ++it)
        parts << QStringLiteral("%1 could not be removed from %2 (%3): %4")
                     .arg(countOf(int(it.value().size())), where, reason(it.key()),
                          listOf(it.value()));
    QString description;
    if (parts.isEmpty()) {
        const int err = outcome.front() == Removal::Failed ? errors.front()
                        : stoppedBy                        ? stoppedBy
                                                           : EACCES;
        description = QStringLiteral("\"%1\" was copied to %2, but its original in %3 could not "
                                     "be removed completely (%4).")
                          .arg(item, to, where, reason(err));
    } else {
        description = QStringLiteral("\"%1\" was moved to %2, but %3")
                          .arg(item, to, parts.join(QStringLiteral("; ")));
    }
    throw engineError(partialMoveCode, description);
}
