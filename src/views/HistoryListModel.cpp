#include "views/HistoryListModel.h"

#include "models/FileNaming.h"
#include "views/RelativeTimeFormatter.h"

#include <QDir>

HistoryListModel::HistoryListModel(const QString& downloadsFolder, QObject* parent)
    : QAbstractListModel(parent), m_downloadsFolder(QDir::cleanPath(downloadsFolder))
{
}

void HistoryListModel::setEntries(const QList<HistoryEntry>& entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

void HistoryListModel::appendEntries(const QList<HistoryEntry>& entries)
{
    QList<HistoryEntry> added;
    for (const HistoryEntry& entry : entries) {
        if (rowOf(entry.id) < 0)
            added.append(entry);
    }
    if (added.isEmpty())
        return;
    beginInsertRows({}, int(m_entries.size()), int(m_entries.size() + added.size() - 1));
    m_entries.append(added);
    endInsertRows();
}

qint64 HistoryListModel::lastSequence() const
{
    return m_entries.isEmpty() ? 0 : m_entries.constLast().sequence;
}

int HistoryListModel::rowOf(const QUuid& id) const
{
    for (qsizetype row = 0; row < m_entries.size(); ++row) {
        if (m_entries.at(row).id == id)
            return int(row);
    }
    return -1;
}

void HistoryListModel::markUndone(const QUuid& id)
{
    m_undoneHere.insert(id);
    const int row = rowOf(id);
    if (row >= 0)
        emit dataChanged(index(row), index(row));
}

bool HistoryListModel::isUndone(int row) const
{
    const HistoryEntry& e = m_entries.at(row);
    return !e.undoneBy.isNull() || m_undoneHere.contains(e.id);
}

QString HistoryListModel::currentPath(int row) const
{
    const HistoryEntry& e = m_entries.at(row);
    if (e.action == HistoryEntry::Action::Skipped)
        return e.fromPath;
    if (isUndone(row)) {
        for (const HistoryEntry& other : m_entries) {
            if (other.action == HistoryEntry::Action::Undone && other.undoOf == e.id)
                return other.toPath;
        }
        return e.fromPath;
    }
    return e.toPath.isEmpty() ? e.fromPath : e.toPath;
}

QString HistoryListModel::folderName(const QString& folder) const
{
    const QString clean = QDir::cleanPath(folder);
    if (clean == m_downloadsFolder)
        return QStringLiteral("Downloads");
    const QString name = FileNaming::lastPathComponent(clean);
    return name.isEmpty() ? clean : name;
}

QString HistoryListModel::actionText(int row) const
{
    const HistoryEntry& e = m_entries.at(row);
    switch (e.action) {
    case HistoryEntry::Action::MovedToSlot:
    case HistoryEntry::Action::MovedToFolder:
        return QStringLiteral("Moved to %1").arg(folderName(e.toFolder()));
    case HistoryEntry::Action::Trashed:
        return QStringLiteral("Moved to Trash");
    case HistoryEntry::Action::Renamed:
        return QStringLiteral("Renamed to %1").arg(FileNaming::lastPathComponent(e.toPath));
    case HistoryEntry::Action::Skipped:
        return QStringLiteral("Skipped");
    case HistoryEntry::Action::Undone:
        return QStringLiteral("Put back in %1").arg(folderName(e.toFolder()));
    }
    return {};
}

void HistoryListModel::setNow(const QDateTime& now)
{
    m_now = now;
    if (!m_entries.isEmpty())
        emit dataChanged(index(0), index(int(m_entries.size() - 1)));
}

QString HistoryListModel::timeText(int row) const
{
    const QDateTime now = m_now.isValid() ? m_now : QDateTime::currentDateTimeUtc();
    // A clock set back a little makes a fresh entry look a moment ahead: it is "now".
    const QDateTime time = qMin(m_entries.at(row).time, now);
    return time.secsTo(now) < 5 ? QStringLiteral("just now")
                                : RelativeTimeFormatter::format(time, now);
}

int HistoryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant HistoryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const int row = index.row();
    const HistoryEntry& e = m_entries.at(row);
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        QString action = actionText(row);
        action[0] = action[0].toLower();
        QStringList parts{e.itemName, action};
        if (!e.originHost.isEmpty())
            parts << QStringLiteral("from %1").arg(e.originHost);
        parts << timeText(row);
        if (e.action == HistoryEntry::Action::Undone)
            parts << QStringLiteral("an undo");
        else if (isUndone(row))
            parts << QStringLiteral("undone");
        return parts.join(QStringLiteral(", "));
    }
    if (role == Qt::ToolTipRole)
        return currentPath(row);
    return {};
}
