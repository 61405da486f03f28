#include "models/TriageItem.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>

namespace {

// The extension after the last dot of the last path component; a leading dot alone
// (".bashrc") or a trailing dot ("name.") gives no extension.
QString pathExtension(const QString& filename)
{
    const qsizetype dot = filename.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == filename.size() - 1)
        return {};
    return filename.mid(dot + 1);
}

QString lastPathComponent(const QUrl& url)
{
    QString path = url.isLocalFile() ? url.toLocalFile() : url.path();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace

TriageItem::TriageItem(const QUrl& url, const QUuid& id, std::optional<QUrl> suggestedDestination,
                       std::optional<QString> suggestedFilename)
    : id(id), url(url), suggestedDestination(std::move(suggestedDestination)),
      suggestedFilename(std::move(suggestedFilename))
{
    filename = lastPathComponent(url);
    const QString rawExtension = pathExtension(filename);
    fileExtension = rawExtension.toLower();

    const QString localPath = url.toLocalFile();
    const QFileInfo info(localPath);
    isDirectory = !localPath.isEmpty() && info.exists() && info.isDir();

    const QDateTime birth = info.exists() ? info.birthTime() : QDateTime();
    creationDate = birth.isValid() ? birth : QDateTime::currentDateTime();

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
    if (rawExtension.isEmpty() && info.exists())
        uti = db.mimeTypeForFile(info);
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
        return QStringLiteral("Folder");
    // The generic data type has no useful description ("unknown"): fall back to the extension.
    if (uti.isValid() && uti.name() != QLatin1String("application/octet-stream") &&
        !uti.comment().isEmpty())
        return uti.comment();
    if (!fileExtension.isEmpty())
        return fileExtension.toUpper();
    return QStringLiteral("File");
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
           isDirectory == other.isDirectory &&
           suggestedDestination == other.suggestedDestination &&
           suggestedFilename == other.suggestedFilename;
}

size_t qHash(const TriageItem& item, size_t seed)
{
    return qHash(item.id, seed);
}
