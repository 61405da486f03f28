#include "platform/TreeCopier.h"

#include "models/FileOperationError.h"
#include "platform/CancelToken.h"
#include "platform/UniqueFd.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(int err, const char* what)
{
    throw FileOperationError::fromErrno(err, QString::fromLatin1(what));
}

[[noreturn]] void failWith(const QString& description)
{
    throw FileOperationError(AppError{QStringLiteral("com.stowbird.fileengine"), EIO, description});
}

using Dir = std::unique_ptr<DIR, int (*)(DIR*)>;

// Reads from offset until the buffer is full or the file ends. Returns the bytes read or
// -errno.
ssize_t readFully(int fd, char* buffer, size_t size, off_t offset)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -errno;
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

int writeFully(int fd, const char* buffer, size_t size, off_t offset)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, buffer + done, size - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += size_t(n);
    }
    return 0;
}

// Whether the copy holds the same bytes as the source in [offset, offset + size).
bool sameBytes(int source, int copy, off_t offset, size_t size, char* scratch, size_t scratchSize)
{
    const size_t half = scratchSize / 2;
    size = std::min(size, half);
    const ssize_t a = readFully(source, scratch, size, offset);
    const ssize_t b = readFully(copy, scratch + half, size, offset);
    return a == ssize_t(size) && b == ssize_t(size) &&
           std::memcmp(scratch, scratch + half, size) == 0;
}

bool sameTimes(const struct stat& a, const struct stat& b)
{
    return a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Errors of a file system that keeps no such attribute (FAT through FUSE, phones over MTP)
// or of one whose owners are fixed by the mount: the copy keeps what the file system gives
// it, which is never looser than the owner-only modes it was created with.
bool notKeptHere(int err)
{
    return err == ENOSYS || err == EOPNOTSUPP || err == EPERM;
}

void keepMode(int fd, const struct stat& st)
{
    if (::fchmod(fd, st.st_mode & 07777) != 0 && !notKeptHere(errno))
        fail(errno, "Could not set the permissions of the copy");
}

void keepTimes(int fd, const struct stat& st)
{
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(fd, times) != 0 && !notKeptHere(errno))
        fail(errno, "Could not set the dates of the copy");
}

// Ownership is kept when the process may set it (root); otherwise the copy belongs to the
// user who moves it, as with any copy.
void keepOwner(int fd, const struct stat& st)
{
    if (::geteuid() == 0 || st.st_uid == ::geteuid()) [[maybe_unused]]
        int ignored = ::fchown(fd, st.st_uid, st.st_gid);
}

// Fails with ENOSPC when the file system says it has no room for the blocks the source
// file occupies (its holes take none). A file system without figures (FUSE file systems
// that report none) gets the copy anyway: a full disk then shows as ENOSPC from a write.
void checkRoom(int out, const struct stat& source)
{
    struct statvfs room;
    if (::fstatvfs(out, &room) != 0 || room.f_blocks == 0 || room.f_frsize == 0)
        return;
    const off_t allocated = std::min<off_t>(off_t(source.st_blocks) * 512, source.st_size);
    if (allocated <= 0)
        return;
    const off_t frsize = off_t(room.f_frsize);
    if ((allocated + frsize - 1) / frsize > off_t(room.f_bavail))
        fail(ENOSPC, "Could not copy the item");
}

} // namespace

TreeCopier::TreeCopier() : m_buffer(chunkSize) {}

TreeCopier::~TreeCopier()
{
    if (m_topLock >= 0)
        ::close(m_topLock);
}

void TreeCopier::noteCreated(int targetFolder, const QByteArray& targetName, int parent)
{
    if (parent >= 0)
        return;
    m_topCreated = true;
    struct stat st;
    if (::fstatat(targetFolder, targetName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        m_topDevice = st.st_dev;
        m_topInode = st.st_ino;
    }
    // A link cannot be opened to lock it; it is created in one step anyway.
    m_topLock = ::openat(targetFolder, targetName.constData(),
                         O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (m_topLock >= 0)
        ::flock(m_topLock, LOCK_EX | LOCK_NB);
}

int TreeCopier::noteCopied(const QByteArray& path, const QByteArray& name, int parent,
                           const struct stat& st)
{
    CopiedEntry entry;
    entry.path = path;
    entry.name = name;
    entry.parent = parent;
    entry.type = st.st_mode & S_IFMT;
    entry.isFolder = S_ISDIR(st.st_mode);
    entry.device = st.st_dev;
    entry.inode = st.st_ino;
    entry.size = st.st_size;
    entry.modified = st.st_mtim;
    entry.changed = st.st_ctim;
    m_copied.push_back(entry);
    return int(m_copied.size()) - 1;
}

bool TreeCopier::lockedByOther(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

qint64 TreeCopier::treeSize(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0)
        return 0;
    if (S_ISREG(st.st_mode))
        return st.st_size;
    if (!S_ISDIR(st.st_mode))
        return 0;
    Dir dir(::opendir(name.constData()), &::closedir);
    if (!dir)
        return 0;
    qint64 total = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            total += treeSize(path + QLatin1Char('/') + QFile::decodeName(entry->d_name));
    }
    return total;
}

void TreeCopier::copy(const QString& source, int targetFolder, const QByteArray& targetName)
{
    const QByteArray from = QFile::encodeName(source);
    m_topCreated = false;
    m_topDevice = 0;
    m_topInode = 0;
    m_lostXattrs = {};
    m_copied.clear();
    // The source's own folder is opened by its path (it may lead through links the user
    // made); everything below it is reached from there without following links.
    const qsizetype slash = from.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? from.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    const QByteArray name = slash >= 0 ? from.mid(slash + 1) : from;
    UniqueFd sourceFolder(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (sourceFolder.get() < 0)
        fail(errno, "Could not read the item");
    try {
        copyEntry(sourceFolder.get(), name, from, targetFolder, targetName, -1);
        // Make the new entry itself durable in its folder.
        ::fsync(targetFolder);
    } catch (const FileOperationError&) {
        // Only remove what this copy made: when the top entry could not be created (it was
        // taken), whatever stands there belongs to someone else.
        if (m_topCreated)
            removeTreeAt(targetFolder, targetName, true);
        throw;
    }
}

void TreeCopier::checkCancelled() const
{
    if (m_cancel)
        m_cancel->check();
}

void TreeCopier::copyEntry(int sourceFolder, const QByteArray& name, const QByteArray& path,
                           int targetFolder, const QByteArray& targetName, int parent)
{
    checkCancelled();
    struct stat st;
    if (::fstatat(sourceFolder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        fail(errno, "Could not read the item");
    if (S_ISREG(st.st_mode))
        copyFile(sourceFolder, name, path, targetFolder, targetName, st, parent);
    else if (S_ISDIR(st.st_mode))
        copyFolder(sourceFolder, name, path, targetFolder, targetName, st, parent);
    else if (S_ISLNK(st.st_mode))
        copyLink(sourceFolder, name, path, targetFolder, targetName, st, parent);
    else
        failWith(QStringLiteral("The item holds a special file (a device, socket or pipe) "
                                "that cannot be copied to another disk."));
}

void TreeCopier::copyFile(int sourceFolder, const QByteArray& name, const QByteArray& path,
                          int targetFolder, const QByteArray& targetName, const struct stat& st,
                          int parent)
{
    // O_NONBLOCK: a FIFO swapped in after the stat above must not block the open; the
    // inode check below then refuses it.
    UniqueFd in(::openat(sourceFolder, name.constData(),
                         O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (in.get() < 0)
        fail(errno, "Could not open the item for copying");
    struct stat before;
    if (::fstat(in.get(), &before) != 0)
        fail(errno, "Could not read the item");
    if (before.st_ino != st.st_ino || before.st_dev != st.st_dev || !S_ISREG(before.st_mode))
        failWith(QCoreApplication::translate("TreeCopier",
                                             "The item changed while it was being copied."));
    ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    UniqueFd out(::openat(targetFolder, targetName.constData(),
                          O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (out.get() < 0)
        fail(errno, "Could not create the copy");
    noteCreated(targetFolder, targetName, parent);
    // A disk without room for the copy fails at once rather than half-way through. (Not
    // fallocate: on tmpfs it zeroes every page first and costs a fifth of the copy time.)
    checkRoom(out.get(), before);

    const off_t copied = copyData(in.get(), out.get(), before, QFile::decodeName(path));

    struct stat after;
    if (::fstat(in.get(), &after) != 0)
        fail(errno, "Could not read the item");
    if (after.st_size != copied || after.st_size != before.st_size || !sameTimes(before, after))
        failWith(QCoreApplication::translate("TreeCopier",
                                             "The item changed while it was being copied."));
    // Before the mode: a read-only copy would refuse them (they are checked against it).
    keepXattrs(in.get(), out.get());
    keepMode(out.get(), st);
    keepOwner(out.get(), st);
    if (::fsync(out.get()) != 0)
        fail(errno, "Could not write the copy to disk");

    // Check the copy: its size on disk must be what was read, and its first and last
    // bytes must match the source. Reading the whole copy back would only return what the
    // kernel's cache just accepted (the writes and the flush above already report every
    // failure) and would halve the speed of a move to another disk. The bytes are read
    // through a descriptor of their own, as the next reader sees them (fusefat returns
    // zeros for a small file read through the descriptor that wrote it).
    struct stat written;
    if (::fstat(out.get(), &written) != 0)
        fail(errno, "Could not read back the copy");
    UniqueFd check(::openat(targetFolder, targetName.constData(),
                            O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOATIME));
    if (!check.isValid() && errno == EPERM)
        check.reset(
            ::openat(targetFolder, targetName.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat reread;
    if (!check.isValid() || ::fstat(check.get(), &reread) != 0)
        fail(errno, "Could not read back the copy");
    constexpr size_t probe = 64 * 1024;
    char* buffer = m_buffer.data();
    if (reread.st_dev != written.st_dev || reread.st_ino != written.st_ino ||
        written.st_size != copied ||
        !sameBytes(in.get(), check.get(), 0, std::min(size_t(copied), probe), buffer,
                   m_buffer.size()) ||
        (copied > off_t(probe) &&
         !sameBytes(in.get(), check.get(), copied - off_t(probe), probe, buffer, m_buffer.size())))
        failWith(
            QCoreApplication::translate("TreeCopier", "The copy does not match the original."));
    check.reset();

    keepTimes(out.get(), st);
    if (const int err = out.close())
        fail(err, "Could not write the copy");
    noteCopied(path, name, parent, after);
}

void TreeCopier::keepXattrs(int in, int out)
{
    const UserXattrs::Outcome outcome = UserXattrs::copy(in, out);
    if (outcome.lost && !m_lostXattrs.lost)
        m_lostXattrs.firstError = outcome.firstError;
    m_lostXattrs.lost += outcome.lost;
}

off_t TreeCopier::copyData(int in, int out, const struct stat& st, const QString& sourceName)
{
    // Only the data extents are read and written, each at its own offset; the holes between
    // them stay holes in the copy (a sparse disk image of 10 GiB with a few MiB of data
    // copies in a moment and takes a few MiB). The file's end is set last.
    const off_t size = st.st_size;
    char* buffer = m_buffer.data();
    off_t offset = 0;
    off_t reported = 0;
    while (offset < size) {
        off_t data = ::lseek(in, offset, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO)
                break;     // only a hole is left
            data = offset; // no hole information: everything is data
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0 || hole > size)
            hole = size;
        for (offset = data; offset < hole;) {
            const size_t want = size_t(std::min<off_t>(hole - offset, off_t(m_buffer.size())));
            const ssize_t n = readFully(in, buffer, want, offset);
            if (n < 0)
                fail(int(-n), "Could not read the item");
            if (const int err = writeFully(out, buffer, size_t(n), offset))
                fail(err, "Could not write the copy");
            offset += n;
            if (m_hook) {
                reported = offset;
                m_hook(sourceName, reported);
            }
            checkCancelled();
            if (size_t(n) < want)
                return offset; // the file shrank: the check after the copy refuses it
        }
    }
    // A hole at the end: the copy's size is set without writing it. (Some FUSE file systems
    // cannot truncate; a zero byte written last gives the same file there.)
    if (offset < size && ::ftruncate(out, size) != 0) {
        if (const int err = writeFully(out, "", 1, size - 1))
            fail(err, "Could not write the copy");
    }
    if (m_hook && reported < size)
        m_hook(sourceName, size);
    return size;
}

void TreeCopier::copyFolder(int sourceFolder, const QByteArray& name, const QByteArray& path,
                            int targetFolder, const QByteArray& targetName, const struct stat& st,
                            int parent)
{
    UniqueFd in(
        ::openat(sourceFolder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (in.get() < 0)
        fail(errno, "Could not list the folder");
    struct stat opened;
    if (::fstat(in.get(), &opened) != 0)
        fail(errno, "Could not list the folder");
    if (opened.st_ino != st.st_ino || opened.st_dev != st.st_dev)
        failWith(QCoreApplication::translate("TreeCopier",
                                             "The item changed while it was being copied."));

    // Owner-only until it is complete, so that nobody else sees a half copy and read-only
    // source folders can still be filled; the real mode is set at the end.
    if (::mkdirat(targetFolder, targetName.constData(), 0700) != 0)
        fail(errno, "Could not create the copy");
    noteCreated(targetFolder, targetName, parent);
    UniqueFd out(::openat(targetFolder, targetName.constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (out.get() < 0)
        fail(errno, "Could not open the copy");
    const int index = noteCopied(path, name, parent, st);

    Dir dir(::fdopendir(in.get()), &::closedir);
    if (!dir)
        fail(errno, "Could not list the folder");
    in.release();
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                fail(errno, "Could not list the folder");
            break;
        }
        const QByteArray child(entry->d_name);
        if (child == "." || child == "..")
            continue;
        copyEntry(::dirfd(dir.get()), child, path + '/' + child, out.get(), child, index);
    }

    keepXattrs(::dirfd(dir.get()), out.get());
    if (::fsync(out.get()) != 0)
        fail(errno, "Could not write the copy to disk");
    keepOwner(out.get(), st);
    keepMode(out.get(), st);
    // Times last: adding the entries above changed them.
    keepTimes(out.get(), st);
}

void TreeCopier::copyLink(int sourceFolder, const QByteArray& name, const QByteArray& path,
                          int targetFolder, const QByteArray& targetName, const struct stat& st,
                          int parent)
{
    QByteArray destination(qsizetype(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
    const ssize_t n = ::readlinkat(sourceFolder, name.constData(), destination.data(),
                                   size_t(destination.size()));
    if (n < 0)
        fail(errno, "Could not read the link");
    if (n >= destination.size())
        failWith(QCoreApplication::translate("TreeCopier",
                                             "The link changed while it was being copied."));
    destination.truncate(n);
    if (::symlinkat(destination.constData(), targetFolder, targetName.constData()) != 0)
        fail(errno, "Could not create the copy of the link");
    noteCreated(targetFolder, targetName, parent);
    noteCopied(path, name, parent, st);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(targetFolder, targetName.constData(), times, AT_SYMLINK_NOFOLLOW);
    if (::geteuid() == 0) [[maybe_unused]]
        int ignored = ::fchownat(targetFolder, targetName.constData(), st.st_uid, st.st_gid,
                                 AT_SYMLINK_NOFOLLOW);
}

int TreeCopier::removeTreeAt(int folder, const QByteArray& name, bool forceWritable)
{
    const char* entryName = name.constData();
    struct stat st;
    if (::fstatat(folder, entryName, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(folder, entryName, 0) == 0 || errno == ENOENT ? 0 : errno;

    constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd fd(::openat(folder, entryName, flags));
    if (fd.get() < 0 && errno == EACCES && forceWritable) {
        // Not even listable by its owner: made so by a copy of a folder without those bits.
        // The flag keeps the change to this very folder, never what a link points to.
        ::fchmodat(folder, entryName, (st.st_mode & 07777) | S_IRWXU, AT_SYMLINK_NOFOLLOW);
        fd.reset(::openat(folder, entryName, flags));
    }
    if (fd.get() < 0) {
        // Replaced by a link or a file since the stat above: that entry goes, unfollowed.
        if (errno == ENOTDIR || errno == ELOOP)
            return ::unlinkat(folder, entryName, 0) == 0 || errno == ENOENT ? 0 : errno;
        return errno == ENOENT ? 0 : errno;
    }
    struct stat opened;
    if (::fstat(fd.get(), &opened) != 0)
        return errno;
    if (forceWritable && (opened.st_mode & S_IRWXU) != S_IRWXU)
        ::fchmod(fd.get(), (opened.st_mode & 07777) | S_IRWXU);

    int firstError = 0;
    {
        Dir dir(::fdopendir(fd.get()), &::closedir);
        if (!dir)
            return errno;
        fd.release();
        std::vector<QByteArray> children;
        while (const dirent* entry = ::readdir(dir.get())) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                children.emplace_back(entry->d_name);
        }
        for (const QByteArray& child : children) {
            const int err = removeTreeAt(::dirfd(dir.get()), child, forceWritable);
            if (err && !firstError)
                firstError = err;
        }
    }
    if (::unlinkat(folder, entryName, AT_REMOVEDIR) != 0 && errno != ENOENT && !firstError)
        firstError = errno;
    return firstError;
}

bool TreeCopier::canRemoveTree(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray parent = slash > 0 ? name.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    if (::access(parent.constData(), W_OK | X_OK) != 0)
        return false;
    struct stat st;
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return true;
    if (::access(name.constData(), R_OK | W_OK | X_OK) != 0)
        return false;
    Dir dir(::opendir(name.constData()), &::closedir);
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        if (entry->d_type == DT_DIR || entry->d_type == DT_UNKNOWN) {
            if (!canRemoveTree(path + QLatin1Char('/') + QFile::decodeName(entry->d_name)))
                return false;
        }
    }
    return true;
}
