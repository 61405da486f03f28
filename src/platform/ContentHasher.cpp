#include "platform/ContentHasher.h"

#include "platform/CancelToken.h"
#include "platform/UniqueFd.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

ContentHasher::Stamp ContentHasher::Stamp::of(const struct stat& status)
{
    Stamp stamp;
    stamp.device = quint64(status.st_dev);
    stamp.inode = quint64(status.st_ino);
    stamp.size = qint64(status.st_size);
    stamp.modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.changedNs = qint64(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    return stamp;
}

size_t qHash(const ContentHasher::Stamp& stamp, size_t seed)
{
    return qHashMulti(seed, stamp.device, stamp.inode, stamp.size, stamp.modifiedNs,
                      stamp.changedNs);
}

bool ContentHasher::Result::cancelled() const
{
    return error == CancelToken::cancelledCode;
}

QString ContentHasher::Result::errorString() const
{
    if (error == 0)
        return QString();
    if (error == EINVAL)
        return QStringLiteral("not a regular file");
    if (error == ELOOP)
        return QStringLiteral("a symbolic link");
    if (error == EAGAIN)
        return QStringLiteral("it changed while it was read");
    return QString::fromLocal8Bit(std::strerror(error));
}

ContentHasher::Stamp ContentHasher::stampAt(const QString& path, bool* isRegular)
{
    struct stat status
    {
    };
    if (isRegular)
        *isRegular = false;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    if (isRegular)
        *isRegular = S_ISREG(status.st_mode);
    return Stamp::of(status);
}

std::optional<QByteArray> ContentHasher::cached(const Stamp& stamp) const
{
    const std::lock_guard locker(m_lock);
    const auto found = m_digests.constFind(stamp);
    if (found == m_digests.constEnd())
        return std::nullopt;
    return *found;
}

void ContentHasher::clear()
{
    const std::lock_guard locker(m_lock);
    m_digests.clear();
}

void ContentHasher::remember(const Stamp& stamp, const QByteArray& digest)
{
    const std::lock_guard locker(m_lock);
    if (m_digests.size() >= cacheLimit) {
        auto it = m_digests.begin();
        for (qsizetype i = 0; i < cacheLimit / 2 && it != m_digests.end(); ++i)
            it = m_digests.erase(it);
    }
    m_digests.insert(stamp, digest);
}

ContentHasher::Result ContentHasher::hash(const QString& path)
{
    Result result;
    const QByteArray native = QFile::encodeName(path);
    // Not blocking: a FIFO put where a file was would otherwise wait for a writer. The flag
    // changes nothing for the regular file that is read.
    UniqueFd fd(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!fd.isValid()) {
        result.error = errno;
        return result;
    }
    struct stat before
    {
    };
    if (::fstat(fd.get(), &before) != 0) {
        result.error = errno;
        return result;
    }
    if (!S_ISREG(before.st_mode)) {
        result.error = EINVAL;
        return result;
    }
    result.stamp = Stamp::of(before);
    if (std::optional<QByteArray> known = cached(result.stamp)) {
        result.digest = *known;
        return result;
    }

    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    const CancelToken* token = CancelToken::current();
    QCryptographicHash digest(algorithm);
    std::vector<char> buffer(static_cast<size_t>(chunkSize));
    qint64 total = 0;
    for (;;) {
        if (token && token->isCancelled()) {
            result.error = CancelToken::cancelledCode;
            return result;
        }
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.error = errno;
            return result;
        }
        if (got == 0)
            break;
        digest.addData(QByteArrayView(buffer.data(), qsizetype(got)));
        total += got;
    }
    // A file written to while it was read has no one digest: nothing is kept.
    struct stat after
    {
    };
    if (::fstat(fd.get(), &after) != 0) {
        result.error = errno;
        return result;
    }
    if (total != result.stamp.size || !(Stamp::of(after) == result.stamp)) {
        result.error = EAGAIN;
        return result;
    }
    result.digest = digest.result();
    remember(result.stamp, result.digest);
    return result;
}
