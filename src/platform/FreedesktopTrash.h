#pragma once

#include "platform/TrashBackend.h"

#include <sys/types.h>

// The freedesktop.org trash: items on the home file system go to $XDG_DATA_HOME/Trash,
// items on other mounts to $topdir/.Trash/$uid (an administrator-made, sticky .Trash) or
// $topdir/.Trash-$uid. Each trashed item gets files/NAME plus info/NAME.trashinfo with its
// original path and deletion date, NAME made unique inside that trash.
//
// Written here rather than with QFile::moveToTrash, which in Qt 6.4 creates files/ and
// info/ in the working directory and reports a relative path when $XDG_DATA_HOME does not
// exist yet.
class FreedesktopTrash : public TrashBackend
{
public:
    // dataHome is $XDG_DATA_HOME (created when missing); it must be an absolute path.
    explicit FreedesktopTrash(const QString& dataHome);

    Trashed moveToTrash(const QString& path) override;
    Restored restoreFromTrash(const Trashed& trashed, const QString& fallbackOriginal) override;

    QString homeTrashDirectory() const;
    // The mount point of the disk that holds path: path's folder is resolved (links in it
    // followed), then matched against the mount table, with the highest folder on the same
    // device as the fallback.
    static QString mountTopDirectory(const QString& path);
    // The trash folder used on the mount whose top folder is topDirectory; created when
    // needed. Empty when that mount has no usable trash.
    static QString topDirectoryTrash(const QString& topDirectory);

private:
    // Claims a unique name in trashDirectory, writes its info file and renames path into
    // files/. Returns 0 and sets *result, or the errno of the rename.
    static int placeInTrash(const QString& trashDirectory, const QString& path,
                            const QString& originalPathValue, Trashed* result);
    static void prepareTrashDirectory(const QString& trashDirectory);

    QString m_dataHome;
};
