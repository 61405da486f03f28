#pragma once

#include "platform/TreeCopier.h"

#include <QString>
#include <QStringList>

#include <cerrno>
#include <functional>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <sys/types.h>

class CancelToken;
class CopiedTreeRemoval;

// Moves files and folders without ever replacing anything. Inside one file system a move
// is one rename; onto another file system the item is copied, checked and only then
// removed from where it was, and only the entries that were copied and are still as they
// were copied: whatever appears or changes in the source during the copy, and any file
// that a process still holds open for writing (a download in progress), stays there.
// The copy is made and given its name inside the destination folder as it was opened at
// the start, so a folder replaced by a link meanwhile cannot redirect it.
// Safe to use from several threads at once: each copy has its own copier.
class FileMover
{
public:
    // Gives another free target in the same folder after the previous one turned out to be
    // taken. Empty when a taken target must fail the move instead.
    using NextTarget = std::function<QString()>;
    // Bytes copied so far of the bytes to copy, for moves onto another file system.
    using Progress = std::function<void(qint64 bytesDone, qint64 bytesTotal)>;

    // The steps of a move onto another file system, as a fault hook sees them.
    enum class Step {
        Copied, // the copy is complete under its hidden name, before it is checked
        Commit, // before the copy gets its final name
        Remove, // before each source entry is removed (path is that entry)
    };
    // Called at each step with the path concerned; it may throw FileOperationError.
    using StepHook = std::function<void(Step step, const QString& path)>;
    // Receives what a log should show though the move succeeded: that a destination's file
    // system did not keep the user's extended attributes (told once per file system, with
    // no names). Called on the moving thread.
    using NoticeSink = std::function<void(const QString& message)>;

    // The error code of a move that landed whole at its target while some entries of the
    // source changed during the copy and stayed where they were.
    static constexpr int partialMoveCode = 206;
    // The error code of a move refused because a process still writes the file.
    static constexpr int stillWrittenCode = EBUSY;

    // Moves source to target and returns the path it ended up at. A copy onto another file
    // system stops when the calling thread's CancelToken (CancelToken::current()) is
    // cancelled before the original starts to be removed; it throws CancelToken::cancelled()
    // then, with the source as it was and no partial copy left. Throws
    // FileOperationError; after a failure the source is as it was and nothing of a partial
    // copy is left, with one exception: a folder whose copy is complete and in place while
    // some of its source entries stayed behind (they changed during the copy, are still
    // being written, or could not be removed) fails with partialMoveCode and names what
    // stayed. A file still being written fails with stillWrittenCode.
    QString move(const QString& source, const QString& target, const NextTarget& nextTarget,
                 const Progress& progress = {});

    // Installed on every copy across file systems; tests use it to fail a copy half-way.
    // Set it before moves start: it is read without a lock.
    void setChunkHook(TreeCopier::ChunkHook hook) { m_hook = std::move(hook); }
    void setStepHook(StepHook hook) { m_stepHook = std::move(hook); }
    // Set it before moves start: it is read without a lock.
    void setNoticeSink(NoticeSink sink) { m_notice = std::move(sink); }

    // Removes the hidden partial copies that a killed move left in folder: those of the
    // current user that no running copy holds locked. Others' entries are never touched,
    // and nothing is reached through a link. Returns how many were removed.
    static int removeStalePartials(const QString& folder);
    static bool isPartialName(const QString& name);

    // How often a taken target is replaced by the next one before the move gives up.
    static constexpr int maxAttempts = 10000;

private:
    QString moveAcrossFileSystems(const QString& source, QString target,
                                  const NextTarget& nextTarget, const Progress& progress);
    // Throws unless source can be moved now: it exists, it can be removed from its folder,
    // and no process writes it. Returns what it is, to tell it from a replacement later.
    static struct stat checkMovable(const QString& source);
    // Copies source as partial into the folder open as destination, reporting progress.
    void copyTree(TreeCopier& copier, const QString& source, int destination,
                  const QByteArray& partial, const Progress& progress) const;
    // Throws unless the copy may take its final name: the original is still the item that was
    // copied, the destination folder's path still leads to the folder opened, and no cancel
    // came. Runs the Copied and Commit steps.
    void checkBeforeCommit(const QString& source, const struct stat& original,
                           const QString& folder, const struct stat& opened,
                           const QByteArray& partial, const QString& target,
                           const CancelToken* cancel) const;
    // Gives the complete copy its final name, the next free one after a taken one (target
    // follows); returns that name. On failure the copy is removed.
    static QByteArray commitCopy(int destination, const QByteArray& partial,
                                 const TreeCopier& copier, QString* target,
                                 const NextTarget& nextTarget);
    // Removes what was copied of source, now at targetName in the folder open as folder.
    void removeCopiedSource(const QString& source, int folder, const QByteArray& targetName,
                            const QString& target, const TreeCopier& copier) const;
    // The original of a single file or link: removed whole or kept whole with the copy taken
    // back.
    void removeCopiedFile(const QString& source, int sourceFolder,
                          const TreeCopier::CopiedEntry& file,
                          const std::function<void()>& takeBack) const;
    // The original of a folder, entry by entry; stops at a failed step, and fails whole (the
    // copy taken back) only while nothing of the original is gone yet.
    void removeCopiedTree(CopiedTreeRemoval& removal, const std::function<void()>& takeBack) const;
    static int removeStalePartialsAt(int folder);
    void tellLostXattrs(const TreeCopier& copier, dev_t destination);
    void step(Step which, const QString& path) const
    {
        if (m_stepHook)
            m_stepHook(which, path);
    }

    TreeCopier::ChunkHook m_hook;
    StepHook m_stepHook;
    NoticeSink m_notice;
    std::mutex m_toldLock;
    std::set<dev_t> m_toldDevices; // destinations already reported as losing attributes
};
