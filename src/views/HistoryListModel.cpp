#include "views/HistoryListModel.h"

#include "models/FileNaming.h"
#include "views/RelativeTimeFormatter.h"

#include <QDir>

#include <algorithm>

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
    return (!e.undoneBy.isNull() || m_undoneHere.contains(e.id)) && !isPartlyUndone(row);
}

bool HistoryListModel::isPartlyUndone(int row) const
{
    const HistoryEntry& e = m_entries.at(row);
    if (e.undoneBy.isNull())
        return false;
    return std::any_of(e.members.cbegin(), e.members.cend(),
                       [](const HistoryEntry& member) { return member.undoneBy.isNull(); });
}

QString HistoryListModel::putBackPath(const QUuid& id) const
{
    for (const HistoryEntry& other : m_entries) {
        if (other.action != HistoryEntry::Action::Undone)
            continue;
        if (other.undoOf == id)
            return other.toPath;
        for (const HistoryEntry& member : other.members) {
            if (member.undoOf == id)
                return member.toPath;
        }
    }
    return {};
}

QString HistoryListModel::currentPath(int row) const
{
    const HistoryEntry& e = m_entries.at(row);
    if (e.action == HistoryEntry::Action::Skipped)
        return e.fromPath;
    if (e.isGroup()) {
        // The first member stands for the group: shown in the file manager, it shows the
        // folder the group is in with it selected.
        const HistoryEntry& first = e.members.constFirst();
        if (first.action == HistoryEntry::Action::Skipped)
            return first.fromPath;
        if (!first.undoneBy.isNull() || (m_undoneHere.contains(e.id) && !isPartlyUndone(row))) {
            const QString back = putBackPath(first.id);
            return back.isEmpty() ? first.fromPath : back;
        }
        return first.toPath.isEmpty() ? first.fromPath : first.toPath;
    }
    if (isUndone(row)) {
        const QString back = putBackPath(e.id);
        return back.isEmpty() ? e.fromPath : back;
    }
    return e.toPath.isEmpty() ? e.fromPath : e.toPath;
}

QString HistoryListModel::memberSummary(int row) const
{
    const QList<HistoryEntry>& members = m_entries.at(row).members;
    if (members.isEmpty())
        return {};
    if (members.size() <= 2) {
        QStringList names;
        for (const HistoryEntry& member : members)
            names << member.itemName;
        return names.join(QStringLiteral(", "));
    }
    return QStringLiteral("%1 \u2026 %2")
        .arg(members.constFirst().itemName, members.constLast().itemName);
}

QString HistoryListModel::memberList(int row, const QString& separator) const
{
    const QList<HistoryEntry>& members = m_entries.at(row).members;
    QStringList names;
    for (const HistoryEntry& member : members.mid(0, maximumNamesListed))
        names << member.itemName;
    if (members.size() > maximumNamesListed)
        names << tr("and %n more", nullptr, int(members.size() - maximumNamesListed));
    return names.join(separator);
}

QString HistoryListModel::folderName(const QString& folder) const
{
    const QString clean = QDir::cleanPath(folder);
    if (clean == m_downloadsFolder)
        return tr("Downloads");
    const QString name = FileNaming::lastPathComponent(clean);
    return name.isEmpty() ? clean : name;
}

QString HistoryListModel::actionText(int row) const
{
    const HistoryEntry& e = m_entries.at(row);
    switch (e.action) {
    case HistoryEntry::Action::MovedToSlot:
    case HistoryEntry::Action::MovedToFolder:
        // A group whose members went to different folders has none of its own.
        if (e.isGroup() && e.toFolder().isEmpty())
            return tr("Moved to several folders");
        return tr("Moved to %1").arg(folderName(e.toFolder()));
    case HistoryEntry::Action::Trashed:
        return tr("Moved to Trash");
    case HistoryEntry::Action::Renamed:
        return tr("Renamed to %1").arg(FileNaming::lastPathComponent(e.toPath));
    case HistoryEntry::Action::Skipped:
        return tr("Skipped");
    case HistoryEntry::Action::Undone:
        if (e.isGroup() && e.toFolder().isEmpty())
            return tr("Put back where they were");
        return tr("Put back in %1").arg(folderName(e.toFolder()));
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
    return time.secsTo(now) < 5 ? tr("just now") : RelativeTimeFormatter::format(time, now);
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
            parts << tr("from %1").arg(e.originHost);
        parts << timeText(row);
        if (e.action == HistoryEntry::Action::Undone)
            parts << tr("an undo");
        else if (isPartlyUndone(row))
            parts << tr("partly undone");
        else if (isUndone(row))
            parts << tr("undone");
        const QString sentence = parts.join(QStringLiteral(", "));
        if (!e.isGroup())
            return sentence;
        return QStringLiteral("%1: %2").arg(sentence, memberList(row, QStringLiteral(", ")));
    }
    if (role == Qt::ToolTipRole) {
        if (!e.isGroup())
            return currentPath(row);
        // Where they are, then each member on a line of its own.
        const QString folder = e.action == HistoryEntry::Action::Trashed && !isUndone(row)
                                   ? tr("Trash")
                                   : FileNaming::parentPath(currentPath(row));
        return QStringLiteral("%1\n%2").arg(folder, memberList(row, QStringLiteral("\n")));
    }
    return {};
}
