#pragma once

#include <QByteArray>
#include <QString>

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
};
