#include "models/TriageItem.h"

#include "models/DownloadOrigin.h"
#include "models/FileNaming.h"
#include "models/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>

#include <unistd.h>

TriageItem::TriageItem(const QUrl& itemUrl, const QUuid& itemId, std::optional<QUrl> destination,
                       std::optional<QString> filenameSuggestion)
    : id(itemId), url(itemUrl), suggestedDestination(std::move(destination)),
      suggestedFilename(std::move(filenameSuggestion))
{
    filename = FileNaming::lastPathComponent(url.isLocalFile() ? url.toLocalFile() : url.path());
    const QString rawExtension = FileNaming::pathExtension(filename);
    fileExtension = rawExtension.toLower();

    const QString localPath = url.toLocalFile();
    const QFileInfo info(localPath);
    isDirectory = !localPath.isEmpty() && info.exists() && info.isDir();

    const QDateTime birth = info.exists() ? info.birthTime() : QDateTime();
    creationDate = birth.isValid() ? birth : QDateTime::currentDateTime();
    originHost = DownloadOrigin::hostOf(localPath);

    const QMimeDatabase db;
    if (isDirectory) {
        sizeBytes = folderSize(localPath);
        uti = db.mimeTypeForName(QStringLiteral("inode/directory"));
        return;
    }

    sizeBytes = info.exists() ? info.size() : 0;
    if (!rawExtension.isEmpty()) {
        const QList<QMimeType> byName =
            db.mimeTypesForFileName(QStringLiteral("x.") + rawExtension);
        if (!byName.isEmpty()) {
            uti = byName.first();
            return;
        }
    }
    // A file without an extension is recognised by its content; an unknown extension is
    // generic data, so the kind shows the extension itself ("XYZ").
    if (rawExtension.isEmpty() && info.exists()) {
        // Sniffed only through the checked, non-blocking open: a FIFO or device here (or a
        // link to one) is typed by what it is and never opened.
        const QString special = RegularFile::specialTypeName(localPath);
        if (!special.isEmpty()) {
            uti = db.mimeTypeForName(special);
        } else if (const int fd = RegularFile::openForReading(localPath); fd >= 0) {
            QFile file;
            if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
                uti = db.mimeTypeForFileNameAndData(filename, &file);
            else
                ::close(fd);
        }
    }
    if (!uti.isValid())
        uti = db.mimeTypeForName(QStringLiteral("application/octet-stream"));
}

qint64 TriageItem::folderSize(const QString& path, int limit)
{
    // Hidden entries are neither counted nor descended into; links are not followed.
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    qint64 total = 0;
    int counted = 0;
    while (counted < limit && it.hasNext()) {
        it.next();
        ++counted;
        const QFileInfo entry = it.fileInfo();
        if (entry.isFile() && !entry.isSymLink())
            total += entry.size();
    }
    return total;
}

QString TriageItem::formatByteCount(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString TriageItem::formattedSize() const
{
    return formatByteCount(sizeBytes);
}

QString TriageItem::localizedKind() const
{
    if (isDirectory || (uti.isValid() && uti.inherits(QStringLiteral("inode/directory"))))
        return QCoreApplication::translate("TriageItem", "Folder");
    // The generic data type has no useful description ("unknown"): fall back to the extension.
    if (uti.isValid() && uti.name() != QLatin1String("application/octet-stream") &&
        !uti.comment().isEmpty())
        return uti.comment();
    if (!fileExtension.isEmpty())
        return fileExtension.toUpper();
    return QCoreApplication::translate("TriageItem", "File");
}

QString TriageItem::standardizedPath(const QUrl& url)
{
    return QDir::cleanPath(url.toLocalFile());
}

bool TriageItem::operator==(const TriageItem& other) const
{
    return id == other.id && url == other.url && filename == other.filename &&
           fileExtension == other.fileExtension && sizeBytes == other.sizeBytes &&
           creationDate == other.creationDate && uti == other.uti &&
           isDirectory == other.isDirectory && suggestedDestination == other.suggestedDestination &&
           suggestedFilename == other.suggestedFilename && originHost == other.originHost;
}

size_t qHash(const TriageItem& item, size_t seed)
{
    return qHash(item.id, seed);
}
