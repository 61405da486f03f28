#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// One .trashinfo file of a freedesktop.org trash: where the item was and when it was
// trashed. Reading is strict enough that a restore never writes outside the disk the item
// came from.
class TrashInfo
{
public:
    // The Path= value, percent-decoded: absolute in the home trash, relative to the disk's
    // top folder in a $topdir trash.
    QString path;
    // DeletionDate= in local time; invalid when missing or malformed (it is informative).
    QDateTime deletionDate;

    // Info files larger than this are refused rather than read into memory.
    static constexpr qint64 maximumFileSize = 64 * 1024;

    // Parses the content of a .trashinfo file: the first line is "[Trash Info]", the first
    // Path= line (non-empty, no NUL byte) is required, other lines are ignored.
    static std::optional<TrashInfo> parse(const QByteArray& data);

    // The absolute path that pathValue names for an item of the trash folder trashDirectory
    // ($XDG_DATA_HOME/Trash, $topdir/.Trash/$uid or $topdir/.Trash-$uid). Empty when it
    // would leave that disk's top folder (a ".." step, or an absolute path in a $topdir
    // trash) or when the folder is not a trash folder.
    static QString originalPath(const QString& trashDirectory, const QString& pathValue);

    // For trashedPath (TRASH/files/NAME): reads TRASH/info/NAME.trashinfo and returns the
    // absolute path the item had; empty when the file is missing or unusable.
    static QString originalPathOf(const QString& trashedPath);
};
