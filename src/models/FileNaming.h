#pragma once

#include <QString>

// How file names are split and numbered when a name is already taken.
class FileNaming
{
public:
    // The text after the last dot of name; none when the only dot leads the name
    // (".bashrc") or ends it ("name.").
    static QString pathExtension(const QString& name);
    // name without its extension and the dot before it.
    static QString baseName(const QString& name);
    // base + " (n)" + "." + extension: "report (1).pdf", "archive.tar (1).gz", "notes (1)".
    static QString numberedName(const QString& name, int n);
    // The last component of a path, trailing slashes ignored.
    static QString lastPathComponent(const QString& path);
    // The folder holding path ("/" for items directly below the root).
    static QString parentPath(const QString& path);
    // For paths already standardised (absolute, no "." or "..", no trailing slash), taken as
    // they are: the text before the last slash (empty for an item directly below the root),
    // and whether path is folder itself or lies inside it.
    static QString folderOf(const QString& standardizedPath);
    static bool isAtOrInside(const QString& path, const QString& folder);

    // Why name cannot be used as one path component, or an empty string when it can.
    // Refused: empty, ".", "..", anything holding "/" or NUL.
    static QString invalidComponentReason(const QString& name);
};
