#include "models/InboxFolders.h"

#include "models/DestinationSlot.h"
#include "models/FileNaming.h"

#include <QDir>

namespace {

bool atOrInside(const QString& path, const QString& folder)
{
    return path == folder || folder == QLatin1String("/") ||
           path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

QString InboxFolders::folderOf(const QString& entry)
{
    const QString expanded = DestinationSlot::expandTilde(entry.trimmed());
    if (!QDir::isAbsolutePath(expanded))
        return {};
    return QDir::cleanPath(expanded);
}

QString InboxFolders::problemWith(const QString& entry, const QStringList& accepted,
                                  const QString& downloads)
{
    const QString folder = folderOf(entry);
    if (folder.isEmpty())
        return tr("%1 is not a full folder path").arg(entry);
    const QString clean = QDir::cleanPath(downloads);
    if (folder == clean)
        return tr("%1 is the Downloads folder, which is always watched").arg(entry);
    if (atOrInside(folder, clean))
        return tr("%1 is inside the Downloads folder").arg(entry);
    if (atOrInside(clean, folder))
        return tr("%1 holds the Downloads folder").arg(entry);
    for (const QString& other : accepted) {
        if (folder == other)
            return tr("%1 is watched already").arg(entry);
        if (atOrInside(folder, other))
            return tr("%1 is inside %2, which is watched").arg(entry, other);
        if (atOrInside(other, folder))
            return tr("%1 holds %2, which is watched").arg(entry, other);
    }
    return {};
}

QStringList InboxFolders::resolve(const QStringList& entries, const QString& downloads,
                                  QList<Rejected>* rejected)
{
    QStringList folders;
    for (const QString& entry : entries) {
        const QString problem = problemWith(entry, folders, downloads);
        if (problem.isEmpty())
            folders.append(folderOf(entry));
        else if (rejected)
            rejected->append({entry, problem});
    }
    return folders;
}

QString InboxFolders::displayName(const QString& folder)
{
    const QString name = FileNaming::lastPathComponent(folder);
    return name.isEmpty() ? folder : name;
}
