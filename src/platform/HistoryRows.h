#pragma once

#include "models/HistoryEntry.h"

#include <QString>
#include <QUuid>

struct sqlite3_stmt;

// How a HistoryEntry is laid out in a row of the history table: the columns a read selects,
// the parameters of the insert statement, and the words a filter is matched against. Kept in
// one place so that the order of the columns, the order of the parameters and the schema
// cannot drift apart.
class HistoryRows
{
public:
    // What a read selects, in the order entryAt expects.
    static const char* const columns;
    // The insert statement bindInsert fills; a row already there (same id) is left alone.
    static const char* const insertStatement;

    // The entry in the row a statement selecting columns stands on (without its members).
    static HistoryEntry entryAt(sqlite3_stmt* statement);
    // The group that row belongs to; null for an action on one item.
    static QUuid groupIdAt(sqlite3_stmt* statement);
    // Binds entry, as a row of group (null: no group), to insertStatement.
    static void bindInsert(sqlite3_stmt* statement, const HistoryEntry& entry, const QUuid& group);

    // The text of a column; null for NULL.
    static QString textColumn(sqlite3_stmt* statement, int column);
    static void bindText(sqlite3_stmt* statement, int index, const QString& text);
    // A null id binds NULL.
    static void bindUuid(sqlite3_stmt* statement, int index, const QUuid& id);

private:
    // What a filter is matched against: the name, both folders and the host, folded; for a
    // group, those of every member too, so that a member's name finds its group.
    static QString searchText(const HistoryEntry& entry);
    static void bindIdentity(sqlite3_stmt* statement, int index, const FileIdentity& identity,
                             bool withFolderFlag);
    static FileIdentity identityColumns(sqlite3_stmt* statement, int column, int folderColumn);
};
