#include "platform/TreeCopier.h"

#include "models/FileOperationError.h"

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

// Closes a descriptor on scope exit unless released.
class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports the error, which for a written file can be a late write error.
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// Reads until the buffer is full or the file ends, so that every pass over a file sees the
// same chunk boundaries. Returns the bytes read or -errno.
ssize_t readFully(int fd, char* buffer, size_t size, off_t offset, bool positional)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = positional ? ::pread(fd, buffer + done, size - done, offset + done)
                                     : ::read(fd, buffer + done, size - done);
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

int writeFully(int fd, const char* buffer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, buffer + done, size - done);
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
    const ssize_t a = readFully(source, scratch, size, offset, true);
    const ssize_t b = readFully(copy, scratch + half, size, offset, true);
    return a == ssize_t(size) && b == ssize_t(size) &&
           std::memcmp(scratch, scratch + half, size) == 0;
}

bool sameTimes(const struct stat& a, const struct stat& b)
{
    return a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Ownership is kept when the process may set it (root); otherwise the copy belongs to the
// user who moves it, as with any copy.
void keepOwner(int fd, const struct stat& st)
{
    if (::geteuid() == 0 || st.st_uid == ::geteuid()) [[maybe_unused]]
        int ignored = ::fchown(fd, st.st_uid, st.st_gid);
}

} // namespace

TreeCopier::TreeCopier() : m_buffer(chunkSize) {}

TreeCopier::~TreeCopier()
{
    if (m_topLock >= 0)
        ::close(m_topLock);
}

void TreeCopier::noteCreated(const QByteArray& target)
{
    if (target != m_topTarget)
        return;
    m_topCreated = true;
    // A link cannot be opened to lock it; it is created in one step anyway.
    m_topLock = ::open(target.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (m_topLock >= 0)
        ::flock(m_topLock, LOCK_EX | LOCK_NB);
}

void TreeCopier::noteCopied(const QByteArray& source, const struct stat& st)
{
    m_copied.push_back({source, S_ISDIR(st.st_mode), st.st_dev, st.st_ino, st.st_size, st.st_mtim});
}

bool TreeCopier::isLocked(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
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
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(name.constData()), &::closedir);
    if (!dir)
        return 0;
    qint64 total = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            total += treeSize(path + QLatin1Char('/') + QFile::decodeName(entry->d_name));
    }
    return total;
}

void TreeCopier::copy(const QString& source, const QString& target)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    m_topTarget = to;
    m_topCreated = false;
    m_copied.clear();
    try {
        copyEntry(from, to);
        // Make the new entry itself durable in its folder.
        const QByteArray parent = QFile::encodeName(target.left(target.lastIndexOf(u'/') + 1));
        Fd dir(::open(parent.isEmpty() ? "." : parent.constData(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() >= 0)
            ::fsync(dir.get());
    } catch (const FileOperationError& error) {
        // Only remove what this copy made: when the top entry could not be created (it was
        // taken), whatever stands there belongs to someone else.
        if (m_topCreated)
            removeTree(target, true);
        throw;
    }
}

void TreeCopier::copyEntry(const QByteArray& source, const QByteArray& target)
{
    struct stat st;
    if (::lstat(source.constData(), &st) != 0)
        fail(errno, "Could not read the item");
    if (S_ISREG(st.st_mode))
        copyFile(source, target, st);
    else if (S_ISDIR(st.st_mode))
        copyFolder(source, target, st);
    else if (S_ISLNK(st.st_mode))
        copyLink(source, target, st);
    else
        failWith(QStringLiteral("The item holds a special file (a device, socket or pipe) "
                                "that cannot be copied to another disk."));
}

void TreeCopier::copyFile(const QByteArray& source, const QByteArray& target, const struct stat& st)
{
    // O_NONBLOCK: a FIFO swapped in after the lstat above must not block the open; the
    // inode check below then refuses it.
    Fd in(::open(source.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (in.get() < 0)
        fail(errno, "Could not open the item for copying");
    struct stat before;
    if (::fstat(in.get(), &before) != 0)
        fail(errno, "Could not read the item");
    if (before.st_ino != st.st_ino || before.st_dev != st.st_dev)
        failWith(QStringLiteral("The item changed while it was being copied."));
    ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    Fd out(::open(target.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.get() < 0)
        fail(errno, "Could not create the copy");
    noteCreated(target);
    // Reserve the space up front so that a full disk shows at once, not half-way through.
    // A disk without room for the copy fails at once rather than half-way through. (Not
    // fallocate: on tmpfs it zeroes every page first and costs a fifth of the copy time.)
    struct statvfs room;
    if (::fstatvfs(out.get(), &room) == 0 && room.f_frsize > 0 &&
        before.st_size / off_t(room.f_frsize) >= off_t(room.f_bavail))
        fail(ENOSPC, "Could not copy the item");

    const QString sourceName = QFile::decodeName(source);
    qint64 copied = 0;
    char* buffer = m_buffer.data();
    for (;;) {
        const ssize_t n = readFully(in.get(), buffer, m_buffer.size(), 0, false);
        if (n < 0)
            fail(int(-n), "Could not read the item");
        if (n == 0)
            break;
        if (const int err = writeFully(out.get(), buffer, size_t(n)))
            fail(err, "Could not write the copy");
        copied += n;
        if (m_hook)
            m_hook(sourceName, copied);
        if (size_t(n) < m_buffer.size())
            break;
    }

    struct stat after;
    if (::fstat(in.get(), &after) != 0)
        fail(errno, "Could not read the item");
    if (after.st_size != copied || after.st_size != before.st_size || !sameTimes(before, after))
        failWith(QStringLiteral("The item changed while it was being copied."));
    if (::fchmod(out.get(), st.st_mode & 07777) != 0)
        fail(errno, "Could not set the permissions of the copy");
    keepOwner(out.get(), st);
    if (::fsync(out.get()) != 0)
        fail(errno, "Could not write the copy to disk");

    // Check the copy: its size on disk must be what was read, and its first and last
    // bytes must match the source. Reading the whole copy back would only return what the
    // kernel's cache just accepted (the writes and the flush above already report every
    // failure) and would halve the speed of a move to another disk.
    struct stat written;
    if (::fstat(out.get(), &written) != 0)
        fail(errno, "Could not read back the copy");
    constexpr size_t probe = 64 * 1024;
    if (written.st_size != copied ||
        !sameBytes(in.get(), out.get(), 0, std::min(size_t(copied), probe), buffer,
                   m_buffer.size()) ||
        (copied > off_t(probe) &&
         !sameBytes(in.get(), out.get(), copied - off_t(probe), probe, buffer, m_buffer.size())))
        failWith(QStringLiteral("The copy does not match the original."));

    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out.get(), times) != 0)
        fail(errno, "Could not set the dates of the copy");
    if (const int err = out.close())
        fail(err, "Could not write the copy");
    noteCopied(source, after);
}

void TreeCopier::copyFolder(const QByteArray& source, const QByteArray& target,
                            const struct stat& st)
{
    // Owner-only until it is complete, so that nobody else sees a half copy and read-only
    // source folders can still be filled; the real mode is set at the end.
    if (::mkdir(target.constData(), 0700) != 0)
        fail(errno, "Could not create the copy");
    noteCreated(target);
    noteCopied(source, st);

    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(source.constData()), &::closedir);
    if (!dir)
        fail(errno, "Could not list the folder");
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                fail(errno, "Could not list the folder");
            break;
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        copyEntry(source + '/' + name, target + '/' + name);
    }

    Fd out(::open(target.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (out.get() < 0)
        fail(errno, "Could not open the copy");
    if (::fsync(out.get()) != 0)
        fail(errno, "Could not write the copy to disk");
    keepOwner(out.get(), st);
    if (::fchmod(out.get(), st.st_mode & 07777) != 0)
        fail(errno, "Could not set the permissions of the copy");
    // Times last: adding the entries above changed them.
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out.get(), times) != 0)
        fail(errno, "Could not set the dates of the copy");
}

void TreeCopier::copyLink(const QByteArray& source, const QByteArray& target, const struct stat& st)
{
    QByteArray destination(qsizetype(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
    const ssize_t n = ::readlink(source.constData(), destination.data(), destination.size());
    if (n < 0)
        fail(errno, "Could not read the link");
    if (n >= destination.size())
        failWith(QStringLiteral("The link changed while it was being copied."));
    destination.truncate(n);
    if (::symlink(destination.constData(), target.constData()) != 0)
        fail(errno, "Could not create the copy of the link");
    noteCreated(target);
    noteCopied(source, st);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, target.constData(), times, AT_SYMLINK_NOFOLLOW);
    if (::geteuid() == 0) [[maybe_unused]]
        int ignored = ::lchown(target.constData(), st.st_uid, st.st_gid);
}

int TreeCopier::removeTree(const QString& path, bool forceWritable)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISDIR(st.st_mode))
        return ::unlink(name.constData()) == 0 ? 0 : errno;

    if (forceWritable && (st.st_mode & S_IRWXU) != S_IRWXU)
        ::chmod(name.constData(), (st.st_mode & 07777) | S_IRWXU);
    int firstError = 0;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(name.constData()), &::closedir);
    if (!dir)
        return errno;
    QStringList children;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            children << QFile::decodeName(entry->d_name);
    }
    dir.reset();
    for (const QString& child : children) {
        const int err = removeTree(path + QLatin1Char('/') + child, forceWritable);
        if (err && !firstError)
            firstError = err;
    }
    if (::rmdir(name.constData()) != 0 && !firstError)
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
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(name.constData()), &::closedir);
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
