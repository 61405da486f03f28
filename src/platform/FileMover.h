#pragma once

#include "platform/TreeCopier.h"

#include <QString>

#include <functional>

// Moves files and folders without ever replacing anything. Inside one file system a move
// is one rename; onto another file system the item is copied, checked and only then
// removed from where it was. Safe to use from several threads at once: each copy has its
// own copier.
class FileMover
{
public:
    // Gives another free target after the previous one turned out to be taken. Empty when
    // a taken target must fail the move instead.
    using NextTarget = std::function<QString()>;

    // Moves source to target and returns the path it ended up at. Throws
    // FileOperationError; after a failure the source is as it was and nothing of a partial
    // copy is left (with one exception: a folder copied in full whose original could not
    // be removed completely stays at its new place, and the error says so).
    QString move(const QString& source, const QString& target, const NextTarget& nextTarget);

    // Installed on every copy across file systems; tests use it to fail a copy half-way.
    // Set it before moves start: it is read without a lock.
    void setChunkHook(TreeCopier::ChunkHook hook) { m_hook = std::move(hook); }

    // How often a taken target is replaced by the next one before the move gives up.
    static constexpr int maxAttempts = 10000;

private:
    QString moveAcrossFileSystems(const QString& source, QString target,
                                  const NextTarget& nextTarget);

    TreeCopier::ChunkHook m_hook;
};
