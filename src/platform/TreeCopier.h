#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

// Copies a file, a link or a whole folder to another place, typically on another file
// system. Modes and times are kept, data is flushed to disk, and the copy's size and its
// first and last bytes are checked against the source. The source is only read, never
// changed; a source that changes while it is copied fails the copy.
class TreeCopier
{
public:
    // Called after every chunk written, with the source file and the bytes of it copied so
    // far. It may throw FileOperationError to stop the copy (tests use it to fail half-way).
    using ChunkHook = std::function<void(const QString& sourceFile, qint64 bytesCopied)>;

    static constexpr size_t chunkSize = size_t(256) << 10;

    TreeCopier();

    void setChunkHook(ChunkHook hook) { m_hook = std::move(hook); }

    // Copies source to target, where nothing may exist yet (EEXIST otherwise: nothing is
    // ever overwritten). Throws FileOperationError on any failure, after removing whatever
    // part of the copy was made.
    void copy(const QString& source, const QString& target);

    // Removes a tree. With forceWritable, folders are made writable first, which is only
    // right for trees this program made itself (a copy with read-only folders inside).
    // Returns 0 or the first errno met; it goes on removing what it can.
    static int removeTree(const QString& path, bool forceWritable);

    // Whether the current user may remove path and everything below it.
    static bool canRemoveTree(const QString& path);

private:
    void copyEntry(const QByteArray& source, const QByteArray& target);
    void copyFile(const QByteArray& source, const QByteArray& target, const struct stat& st);
    void copyFolder(const QByteArray& source, const QByteArray& target, const struct stat& st);
    void copyLink(const QByteArray& source, const QByteArray& target, const struct stat& st);

    void noteCreated(const QByteArray& target)
    {
        if (target == m_topTarget)
            m_topCreated = true;
    }

    ChunkHook m_hook;
    QByteArray m_topTarget;
    bool m_topCreated = false;
    std::vector<char> m_buffer;
};
