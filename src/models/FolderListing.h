#pragma once

#include "models/FolderChildItem.h"

#include <QList>
#include <QString>
#include <QUrl>

// Lists, orders and summarises the immediate contents of a folder for the folder inspector.
// Pure functions of the file system; safe to call from any thread.
class FolderListing
{
public:
    // The folder's non-hidden immediate children, sorted (see sort()). A folder that cannot
    // be listed gives an empty list.
    static QList<FolderChildItem> list(const QUrl& folderURL);

    // Folders first, then files; within each group names in file-manager order: digit runs
    // compare as numbers and case is ignored ("file2" before "File10"). Stable.
    static void sort(QList<FolderChildItem>& items);

    // The entries that are images, in the given order.
    static QList<FolderChildItem> images(const QList<FolderChildItem>& items);

    // "2 PDFs, 1 Image, 3 Folders"; other files are counted ("4 Files") only when nothing
    // else was; an empty folder gives "".
    static QString typeSummary(const QList<FolderChildItem>& items);
};
