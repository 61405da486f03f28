#pragma once

#include "platform/TreeCopier.h"

#include <QString>
#include <QStringList>

#include <cerrno>
#include <functional>
#include <mutex>
#include <set>
#include <sys/types.h>

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
    // Removes what was copied of source, now at targetName in the folder open as folder.
    void removeCopiedSource(const QString& source, int folder, const QByteArray& targetName,
                            const QString& target, const TreeCopier& copier) const;
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
