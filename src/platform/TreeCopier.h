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

    // One source entry as it was when it was copied: a removal of the source later removes
    // it only while it is still exactly this (same inode, size and modification time).
    struct CopiedEntry
    {
        QByteArray path;
        bool isFolder = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        struct timespec modified = {};
    };

    TreeCopier();
    ~TreeCopier();
    TreeCopier(const TreeCopier&) = delete;
    TreeCopier& operator=(const TreeCopier&) = delete;

    void setChunkHook(ChunkHook hook) { m_hook = std::move(hook); }

    // Copies source to target, where nothing may exist yet (EEXIST otherwise: nothing is
    // ever overwritten). Throws FileOperationError on any failure, after removing whatever
    // part of the copy was made.
    void copy(const QString& source, const QString& target);

    // What was copied, in the order it was copied (a folder before its entries).
    const std::vector<CopiedEntry>& copiedEntries() const { return m_copied; }

    // The copy's top entry stays locked (flock) while this copier lives, so that a clean-up
    // of stale partial copies, in this process or another, never removes a copy in progress.
    static bool isLocked(const QString& path);

    // The bytes of all regular files in a tree (what a copy of it writes).
    static qint64 treeSize(const QString& path);

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

    void noteCreated(const QByteArray& target);
    void noteCopied(const QByteArray& source, const struct stat& st);

    ChunkHook m_hook;
    QByteArray m_topTarget;
    bool m_topCreated = false;
    int m_topLock = -1;
    std::vector<char> m_buffer;
    std::vector<CopiedEntry> m_copied;
};
