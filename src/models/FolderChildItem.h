#pragma once

#include <QFileInfo>
#include <QString>
#include <QUrl>

#include <optional>

// One entry of an inspected folder: name, kind, size and, for a sub-folder, how many
// visible names it holds. All fields are read once when the entry is made.
class FolderChildItem
{
public:
    // Reads the entry at `url` from the file system on the caller's thread; never fails:
    // an unreadable entry gets size 0 and is not an image.
    explicit FolderChildItem(const QUrl& url);
    FolderChildItem() = default;

    // Builds the entry from a file info whose attributes are already cached (as a folder
    // listing delivers them), so that no path is looked up twice.
    static FolderChildItem fromFileInfo(const QFileInfo& info);

    QString id; // the entry's path
    QUrl url;
    QString name;
    bool isDirectory = false;
    qint64 sizeBytes = 0;
    QString formattedSize;
    bool isImage = false;
    std::optional<int> childCount; // directories only

    // The number of names in a folder that do not begin with "."; 0 when it cannot be listed.
    static int countVisibleNames(const QString& folderPath);

    bool operator==(const FolderChildItem& other) const = default;
};
