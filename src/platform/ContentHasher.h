#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QHash>
#include <QString>

#include <mutex>
#include <optional>

struct stat;

// Digests of regular files' content, for telling byte-for-byte copies apart from files that
// only share a size. Each digest read is kept, keyed by what the file was when it was read
// (its Stamp), so a file that has not changed is read once however often it is compared.
// Any thread may call; the cache is shared under a lock.
//
// A read looks at the CancelToken of the calling thread between chunks and stops when it is
// cancelled. Nothing throws: a file that cannot be read comes back as a Result with its errno.
class ContentHasher
{
public:
    // What a file is at one moment. Its content is taken to be unchanged while all of these
    // are: a write moves the modification time, and the change time also catches a rewrite
    // within one tick of the modification time's clock or one that set that time back.
    struct Stamp
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;

        bool isValid() const { return inode != 0; }
        bool operator==(const Stamp& other) const = default;
        static Stamp of(const struct stat& status);
    };

    struct Result
    {
        QByteArray digest; // empty when the file could not be read
        Stamp stamp;       // the file as it was read
        // 0, or why not: an errno (EACCES, ENOENT, ELOOP for a link, EINVAL for anything but
        // a regular file, EAGAIN for a file that changed while it was read, ECANCELED).
        int error = 0;
        bool ok() const { return error == 0; }
        bool cancelled() const;
        QString errorString() const;
    };

    // Blake2b: the fastest of Qt's hashes that is still collision resistant (a digest
    // decides that a file may be trashed as a copy, so two crafted files must not pass for
    // one): about 500 MB/s here against 160-220 MB/s for SHA-256 (BenchDuplicates).
    static constexpr QCryptographicHash::Algorithm algorithm = QCryptographicHash::Blake2b_256;
    static constexpr qsizetype chunkSize = 1 << 20;
    // Digests kept; past it, half of them are dropped (any half: a dropped one is read again).
    static constexpr qsizetype cacheLimit = 8192;

    // The digest of the regular file at path (a link is not followed), from the cache when
    // the file is unchanged since it was read, else read now (O_NOFOLLOW, never blocking on
    // a FIFO or device).
    Result hash(const QString& path);
    // The digest kept for a file as stamp describes it.
    std::optional<QByteArray> cached(const Stamp& stamp) const;
    void clear();

    // The stamp of the entry at path, not following a link; invalid when there is none
    // (errno set).
    static Stamp stampAt(const QString& path, bool* isRegular = nullptr);

private:
    void remember(const Stamp& stamp, const QByteArray& digest);

    mutable std::mutex m_lock;
    QHash<Stamp, QByteArray> m_digests;
};

size_t qHash(const ContentHasher::Stamp& stamp, size_t seed = 0);
