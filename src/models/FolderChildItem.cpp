#include "models/FolderChildItem.h"

#include "models/TriageItem.h"

#include <QDirIterator>
#include <QMimeDatabase>

FolderChildItem::FolderChildItem(const QUrl& childUrl)
{
    *this = fromFileInfo(QFileInfo(childUrl.toLocalFile()));
    url = childUrl;
    name = childUrl.fileName();
}

FolderChildItem FolderChildItem::fromFileInfo(const QFileInfo& info)
{
    FolderChildItem item;
    item.id = info.filePath();
    item.url = QUrl::fromLocalFile(info.filePath());
    item.name = info.fileName();
    // QFileInfo follows symbolic links, as the existence test should.
    const bool exists = info.exists();
    item.isDirectory = exists && info.isDir();
    if (exists) {
        item.sizeBytes = item.isDirectory ? 0 : info.size();
        if (!item.isDirectory) {
            // The type comes from the name only: opening every file of a large folder to
            // sniff its content would make the listing slow.
            static const QMimeDatabase database;
            const QMimeType type = database.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
            // Only a regular file can be a thumbnail: a FIFO named "a.png" is never opened.
            item.isImage = info.isFile() && type.name().startsWith(QLatin1String("image/"));
        }
    }
    item.formattedSize = TriageItem::formatByteCount(item.sizeBytes);
    if (item.isDirectory)
        item.childCount = countVisibleNames(info.filePath());
    return item;
}

int FolderChildItem::countVisibleNames(const QString& folderPath)
{
    int count = 0;
    QDirIterator it(folderPath,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (!it.fileName().startsWith(QLatin1Char('.')))
            ++count;
    }
    return count;
}
