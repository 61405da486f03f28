#include "platform/HistoryRows.h"

#include <QDateTime>
#include <QStringList>

#include <sqlite3.h>

const char* const HistoryRows::columns =
    "seq, id, time_ms, action, name, kind, size, from_path, to_path, p_dev, p_ino, p_size, "
    "p_mtime, p_born, p_folder, host, slot, trash_record, r_dev, r_ino, r_size, r_mtime, r_born, "
    "undo_of, undone_by, group_id";

const char* const HistoryRows::insertStatement =
    "INSERT OR IGNORE INTO history (id, time_ms, action, search, name, kind, size, "
    "from_path, "
    "to_path, p_dev, p_ino, p_size, p_mtime, p_born, p_folder, host, slot, trash_record, "
    "r_dev, r_ino, r_size, r_mtime, r_born, undo_of, group_id) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, "
    "?18, ?19, ?20, ?21, ?22, ?23, ?24, ?25)";

QString HistoryRows::textColumn(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString();
}

void HistoryRows::bindText(sqlite3_stmt* statement, int index, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void HistoryRows::bindUuid(sqlite3_stmt* statement, int index, const QUuid& id)
{
    if (id.isNull())
        sqlite3_bind_null(statement, index);
    else
        bindText(statement, index, id.toString(QUuid::WithoutBraces));
}

// Binds an identity to five or six parameters from index on (the folder flag last).
void HistoryRows::bindIdentity(sqlite3_stmt* statement, int index, const FileIdentity& identity,
                               bool withFolderFlag)
{
    if (!identity.isValid()) {
        for (int i = 0; i < (withFolderFlag ? 6 : 5); ++i)
            sqlite3_bind_null(statement, index + i);
        return;
    }
    sqlite3_bind_int64(statement, index, sqlite3_int64(identity.device));
    sqlite3_bind_int64(statement, index + 1, sqlite3_int64(identity.inode));
    sqlite3_bind_int64(statement, index + 2, identity.size);
    sqlite3_bind_int64(statement, index + 3, identity.modifiedNs);
    sqlite3_bind_int64(statement, index + 4, identity.bornNs);
    if (withFolderFlag)
        sqlite3_bind_int(statement, index + 5, identity.isFolder ? 1 : 0);
}

FileIdentity HistoryRows::identityColumns(sqlite3_stmt* statement, int column, int folderColumn)
{
    FileIdentity identity;
    if (sqlite3_column_type(statement, column + 1) == SQLITE_NULL)
        return identity;
    identity.device = quint64(sqlite3_column_int64(statement, column));
    identity.inode = quint64(sqlite3_column_int64(statement, column + 1));
    identity.size = sqlite3_column_int64(statement, column + 2);
    identity.modifiedNs = sqlite3_column_int64(statement, column + 3);
    identity.bornNs = sqlite3_column_int64(statement, column + 4);
    identity.isFolder = folderColumn >= 0 && sqlite3_column_int(statement, folderColumn) != 0;
    return identity;
}

HistoryEntry HistoryRows::entryAt(sqlite3_stmt* statement)
{
    HistoryEntry entry;
    entry.sequence = sqlite3_column_int64(statement, 0);
    entry.id = QUuid::fromString(textColumn(statement, 1));
    entry.time = QDateTime::fromMSecsSinceEpoch(sqlite3_column_int64(statement, 2), Qt::UTC);
    entry.action = HistoryEntry::Action(sqlite3_column_int(statement, 3));
    entry.itemName = textColumn(statement, 4);
    entry.kind = textColumn(statement, 5);
    entry.size = sqlite3_column_int64(statement, 6);
    entry.fromPath = textColumn(statement, 7);
    entry.toPath = textColumn(statement, 8);
    entry.placed = identityColumns(statement, 9, 14);
    entry.originHost = textColumn(statement, 15);
    entry.slot = sqlite3_column_int(statement, 16);
    const void* record = sqlite3_column_blob(statement, 17);
    entry.trashRecord =
        record ? QByteArray(static_cast<const char*>(record), sqlite3_column_bytes(statement, 17))
               : QByteArray();
    entry.trashRecordIdentity = identityColumns(statement, 18, -1);
    entry.undoOf = QUuid::fromString(textColumn(statement, 23));
    entry.undoneBy = QUuid::fromString(textColumn(statement, 24));
    return entry;
}

QUuid HistoryRows::groupIdAt(sqlite3_stmt* statement)
{
    return QUuid::fromString(textColumn(statement, 25));
}

QString HistoryRows::searchText(const HistoryEntry& entry)
{
    QStringList parts{entry.itemName, entry.fromFolder(), entry.toFolder(), entry.originHost};
    for (const HistoryEntry& member : entry.members)
        parts << member.itemName << member.fromFolder() << member.toFolder() << member.originHost;
    parts.removeAll(QString());
    parts.removeDuplicates();
    return parts.join(QLatin1Char('\n')).toCaseFolded();
}

void HistoryRows::bindInsert(sqlite3_stmt* statement, const HistoryEntry& entry, const QUuid& group)
{
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    bindUuid(statement, 1, entry.id);
    sqlite3_bind_int64(statement, 2, entry.time.toMSecsSinceEpoch());
    sqlite3_bind_int(statement, 3, int(entry.action));
    bindText(statement, 4, searchText(entry));
    bindText(statement, 5, entry.itemName);
    bindText(statement, 6, entry.kind);
    sqlite3_bind_int64(statement, 7, entry.size);
    bindText(statement, 8, entry.fromPath);
    bindText(statement, 9, entry.toPath);
    bindIdentity(statement, 10, entry.placed, true);
    bindText(statement, 16, entry.originHost);
    sqlite3_bind_int(statement, 17, entry.slot);
    if (entry.trashRecord.isEmpty())
        sqlite3_bind_null(statement, 18);
    else
        sqlite3_bind_blob(statement, 18, entry.trashRecord.constData(),
                          int(entry.trashRecord.size()), SQLITE_TRANSIENT);
    bindIdentity(statement, 19, entry.trashRecordIdentity, false);
    bindUuid(statement, 24, entry.undoOf);
    bindUuid(statement, 25, group);
}
