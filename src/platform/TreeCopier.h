#pragma once

#include "platform/UserXattrs.h"

#include <QByteArray>
#include <QString>

class CancelToken;

#include <functional>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

// Copies a file, a link or a whole folder to another place, typically on another file
// system. Modes and times are kept (as far as the file system keeps them), holes in sparse
// files stay holes, data is flushed to disk, and the copy's size and its first and last
// bytes are checked against the source. The user's extended attributes (user.*) of files and
// folders come along where the destination keeps them. The source is only read, never
// changed; a source that changes while it is copied fails the copy.
//
// Everything goes through descriptors: the copy is made inside a folder the caller opened,
// each source and copy folder is opened once without following links, and entries are
// named relative to their folder. A folder swapped for a link half-way (in a folder others
// may write to) cannot redirect the copy, nor a removal.
class TreeCopier
{
public:
    // Called after every chunk written, with the source file and how far into it the copy
    // got (holes count as copied). It may throw FileOperationError to stop the copy (tests
    // use it to fail half-way).
    using ChunkHook = std::function<void(const QString& sourceFile, qint64 bytesCopied)>;

    static constexpr size_t chunkSize = size_t(256) << 10;

    // One source entry as it was when it was copied: a removal of the source later removes
    // it only while it is still exactly this (same inode, size and times).
    struct CopiedEntry
    {
        QByteArray path; // the whole source path
        QByteArray name; // its name in its folder
        int parent = -1; // the index of its folder's entry, -1 for the top entry
        mode_t type = 0; // S_IFREG, S_IFDIR or S_IFLNK
        bool isFolder = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        struct timespec modified = {};
        struct timespec changed = {};
    };

    TreeCopier();
    ~TreeCopier();
    TreeCopier(const TreeCopier&) = delete;
    TreeCopier& operator=(const TreeCopier&) = delete;

    void setChunkHook(ChunkHook hook) { m_hook = std::move(hook); }
    // Looked at after every chunk and before every entry: once it is cancelled the copy
    // stops, removes what it made and throws CancelToken::cancelled().
    void setCancelToken(const CancelToken* token) { m_cancel = token; }

    // Copies source into the folder open as targetFolder, under targetName, where nothing
    // may exist yet (EEXIST otherwise: nothing is ever overwritten). Throws
    // FileOperationError on any failure, after removing whatever part of the copy was made.
    void copy(const QString& source, int targetFolder, const QByteArray& targetName);

    // What was copied, in the order it was copied (a folder before its entries).
    const std::vector<CopiedEntry>& copiedEntries() const { return m_copied; }

    // The user.* attributes that the destination did not take (it keeps none, or refused
    // some), over the whole copy. They do not fail it.
    const UserXattrs::Outcome& lostXattrs() const { return m_lostXattrs; }

    // The device and inode of the copy's top entry, once it exists.
    dev_t topDevice() const { return m_topDevice; }
    ino_t topInode() const { return m_topInode; }

    // The copy's top entry stays locked (flock) while this copier lives, so that a clean-up
    // of stale partial copies, in this process or another, never removes a copy in progress.
    // Whether the entry open as fd is locked by such a copier; when it is not, the caller
    // now holds the lock on fd.
    static bool lockedByOther(int fd);

    // The bytes of all regular files in a tree (what a copy of it writes).
    static qint64 treeSize(const QString& path);

    // Removes the entry name of the folder open as folder, and everything below it, without
    // ever following a link. With forceWritable, folders are made writable first, which is
    // only right for trees this program made itself (a copy with read-only folders inside).
    // Returns 0 or the first errno met; it goes on removing what it can.
    static int removeTreeAt(int folder, const QByteArray& name, bool forceWritable);

    // Whether the current user may remove path and everything below it.
    static bool canRemoveTree(const QString& path);

private:
    void copyEntry(int sourceFolder, const QByteArray& name, const QByteArray& path,
                   int targetFolder, const QByteArray& targetName, int parent);
    void copyFile(int sourceFolder, const QByteArray& name, const QByteArray& path,
                  int targetFolder, const QByteArray& targetName, const struct stat& st,
                  int parent);
    void copyFolder(int sourceFolder, const QByteArray& name, const QByteArray& path,
                    int targetFolder, const QByteArray& targetName, const struct stat& st,
                    int parent);
    void copyLink(int sourceFolder, const QByteArray& name, const QByteArray& path,
                  int targetFolder, const QByteArray& targetName, const struct stat& st,
                  int parent);
    // Copies the data of in to out, leaving out the holes of in; returns the file's size.
    off_t copyData(int in, int out, const struct stat& st, const QString& sourceName);

    void noteCreated(int targetFolder, const QByteArray& targetName, int parent);
    int noteCopied(const QByteArray& path, const QByteArray& name, int parent,
                   const struct stat& st);

    void keepXattrs(int in, int out);
    void checkCancelled() const;

    ChunkHook m_hook;
    UserXattrs::Outcome m_lostXattrs;
    const CancelToken* m_cancel = nullptr;
    bool m_topCreated = false;
    int m_topLock = -1;
    dev_t m_topDevice = 0;
    ino_t m_topInode = 0;
    std::vector<char> m_buffer;
    std::vector<CopiedEntry> m_copied;
};
