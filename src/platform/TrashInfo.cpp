#include "platform/TrashInfo.h"

#include "models/FileNaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A ".." step anywhere could lead out of the disk's top folder: such paths are refused
// rather than resolved.
bool hasParentStep(const QString& path)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    return parts.contains(QStringLiteral(".."));
}

} // namespace

std::optional<TrashInfo> TrashInfo::parse(const QByteArray& data)
{
    if (data.size() > maximumFileSize)
        return std::nullopt;
    const QList<QByteArray> lines = data.split('\n');
    auto trimmed = [](QByteArray line) {
        if (line.endsWith('\r'))
            line.chop(1);
        return line;
    };
    if (lines.isEmpty() || trimmed(lines.first()) != "[Trash Info]")
        return std::nullopt;

    std::optional<QByteArray> pathValue;
    std::optional<QByteArray> dateValue;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = trimmed(lines.at(i));
        // A later group ends the [Trash Info] group.
        if (line.startsWith('['))
            break;
        if (!pathValue && line.startsWith("Path="))
            pathValue = line.mid(5);
        else if (!dateValue && line.startsWith("DeletionDate="))
            dateValue = line.mid(13);
    }
    if (!pathValue)
        return std::nullopt;
    const QByteArray bytes = QByteArray::fromPercentEncoding(*pathValue);
    if (bytes.isEmpty() || bytes.contains('\0'))
        return std::nullopt;

    TrashInfo info;
    info.path = QFile::decodeName(bytes);
    if (dateValue)
        info.deletionDate = QDateTime::fromString(QString::fromLatin1(*dateValue), Qt::ISODate);
    return info;
}

QString TrashInfo::originalPath(const QString& trashDirectory, const QString& pathValue)
{
    if (pathValue.isEmpty() || hasParentStep(pathValue))
        return {};
    // "." or "/" would name the folder the trash belongs to (or the root), not an item.
    const QString cleanedValue = QDir::cleanPath(pathValue);
    if (cleanedValue == QLatin1String(".") || cleanedValue == QLatin1String("/"))
        return {};
    const QString trash = QDir::cleanPath(trashDirectory);
    const QString name = FileNaming::lastPathComponent(trash);
    const QString parent = FileNaming::parentPath(trash);

    QString topDirectory;
    if (name.startsWith(QLatin1String(".Trash-")))
        topDirectory = parent; // $topdir/.Trash-$uid
    else if (FileNaming::lastPathComponent(parent) == QLatin1String(".Trash"))
        topDirectory = FileNaming::parentPath(parent); // $topdir/.Trash/$uid

    if (topDirectory.isEmpty()) {
        // The home trash: absolute paths, or paths relative to the folder holding it.
        if (name != QLatin1String("Trash"))
            return {};
        if (QDir::isAbsolutePath(pathValue))
            return QDir::cleanPath(pathValue);
        return QDir::cleanPath(parent + QLatin1Char('/') + pathValue);
    }
    // A trash on another disk only names places on that disk.
    if (QDir::isAbsolutePath(pathValue))
        return {};
    return QDir::cleanPath(topDirectory + QLatin1Char('/') + pathValue);
}

QString TrashInfo::originalPathOf(const QString& trashedPath)
{
    const QString cleaned = QDir::cleanPath(trashedPath);
    const QString filesFolder = FileNaming::parentPath(cleaned);
    if (FileNaming::lastPathComponent(filesFolder) != QLatin1String("files"))
        return {};
    const QString trash = FileNaming::parentPath(filesFolder);
    QFile file(trash + QStringLiteral("/info/") + FileNaming::lastPathComponent(cleaned) +
               QStringLiteral(".trashinfo"));
    // Only a regular file is read: a FIFO put there would block the open.
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    const std::optional<TrashInfo> info = parse(file.read(maximumFileSize + 1));
    return info ? originalPath(trash, info->path) : QString();
}
