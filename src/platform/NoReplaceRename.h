#pragma once

#include <QString>

// Renames that never replace what stands at the target.
class NoReplaceRename
{
public:
    // Renames from to to when nothing exists at to (dangling links count as existing).
    // Returns 0 or the errno value: EEXIST when to is taken, EXDEV across file systems.
    static int rename(const QString& from, const QString& to) noexcept;
};
