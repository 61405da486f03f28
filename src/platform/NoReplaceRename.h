#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Renames that never replace what stands at the target.
class NoReplaceRename
{
public:
    // Renames from to to when nothing exists at to (dangling links count as existing).
    // Returns 0 or the errno value: EEXIST when to is taken, EXDEV across file systems.
    static int rename(const QString& from, const QString& to) noexcept;
    // The same for names inside folders open as fromFolder and toFolder (AT_FDCWD for the
    // working folder): what the names lead to is decided by those descriptors, so a folder
    // replaced by a link meanwhile cannot redirect the rename.
    static int renameAt(int fromFolder, const QByteArray& from, int toFolder,
                        const QByteArray& to) noexcept;
    // Renames an unreadable file aside, beside itself, to "<path>.bad-<UTC time>", with
    // "-1", "-2", ... added when several are kept within one second; never over anything.
    // A candidate is passed over too while "<candidate><suffix>" exists for one of the
    // companion suffixes. Returns the name it now has, or empty with *err set to the errno
    // value.
    static QString keepAside(const QString& path, int* err, const QStringList& companions = {});
};
