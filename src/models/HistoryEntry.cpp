#include "models/HistoryEntry.h"

#include "models/ActionRecord.h"
#include "models/FileNaming.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString cleanLocalPath(const QUrl& url)
{
    const QString path = url.toLocalFile();
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
}

} // namespace

bool HistoryEntry::isUndoable() const
{
    return action == Action::MovedToSlot || action == Action::MovedToFolder ||
           action == Action::Trashed || action == Action::Renamed;
}

QString HistoryEntry::fromFolder() const
{
    if (isGroup())
        return fromPath;
    return fromPath.isEmpty() ? QString() : FileNaming::parentPath(fromPath);
}

QString HistoryEntry::toFolder() const
{
    if (isGroup())
        return toPath;
    return toPath.isEmpty() ? QString() : FileNaming::parentPath(toPath);
}

HistoryEntry HistoryEntry::fromActionRecord(const ActionRecord& record, Action action, int slot,
                                            const QString& originHost)
{
    HistoryEntry entry;
    entry.id = record.id;
    entry.time = record.timestamp.toUTC();
    entry.action = action;
    entry.itemName = record.item.filename;
    entry.kind = kindOf(record.item.uti.isValid() ? record.item.uti.name() : QString(),
                        record.item.fileExtension);
    entry.size = record.item.sizeBytes;
    entry.placed = record.placed;
    entry.originHost = originHost;
    entry.slot = action == Action::MovedToSlot ? slot : 0;
    using Kind = ActionRecord::ActionType::Kind;
    if (record.type.kind == Kind::Trashed) {
        entry.fromPath = cleanLocalPath(record.item.url);
        entry.toPath = cleanLocalPath(record.type.originalURL());
        entry.trashRecord = record.trashRecord;
        entry.trashRecordIdentity = record.trashRecordIdentity;
    } else {
        entry.fromPath = cleanLocalPath(record.type.from);
        entry.toPath = cleanLocalPath(record.type.to);
    }
    return entry;
}

QString HistoryEntry::kindOf(const QString& contentTypeName, const QString& extension)
{
    // The generic types say nothing a learner could use; the extension says more.
    if (!contentTypeName.isEmpty() && contentTypeName != QLatin1String("application/octet-stream"))
        return contentTypeName;
    return extension.toLower();
}

QString HistoryEntry::actionName(Action action)
{
    switch (action) {
    case Action::MovedToSlot:
        return QStringLiteral("Moved");
    case Action::MovedToFolder:
        return QStringLiteral("Moved");
    case Action::Trashed:
        return QStringLiteral("Trashed");
    case Action::Renamed:
        return QStringLiteral("Renamed");
    case Action::Skipped:
        return QStringLiteral("Skipped");
    case Action::Undone:
        return QStringLiteral("Undone");
    }
    return QString();
}

QString HistoryEntry::groupName(qsizetype count)
{
    return QCoreApplication::translate("HistoryEntry", "%n files", nullptr, int(count));
}

HistoryEntry HistoryEntry::group(const QList<HistoryEntry>& members)
{
    Q_ASSERT(!members.isEmpty());
    const HistoryEntry& first = members.front();
    HistoryEntry entry;
    entry.time = first.time;
    entry.action = first.action;
    entry.slot = first.slot;
    entry.originHost = first.originHost;
    entry.kind = first.kind;
    entry.itemName = groupName(members.size());
    entry.undoOf = QUuid();
    QString from = first.fromFolder();
    QString to = first.action == Action::Trashed ? QString() : first.toFolder();
    for (const HistoryEntry& member : members) {
        entry.size += member.size;
        if (member.kind != entry.kind)
            entry.kind.clear();
        if (member.fromFolder() != from)
            from.clear();
        if (member.action == Action::Trashed || member.toFolder() != to)
            to.clear();
    }
    entry.fromPath = from;
    entry.toPath = to;
    entry.members = members;
    return entry;
}
