#pragma once

#include "platform/HistoryDatabase.h"

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// The history's calls into SQLite that can fail, each turning SQLite's result code into a
// HistoryDatabase::Result: a full disk or a missing permission is Unavailable (try again
// later), a damaged file or one that is no database is Damaged (keep it aside), an interrupt
// is Interrupted. The reason names what was being done and why it failed, never file contents.
class HistorySqlite
{
public:
    // The Result for a failed call with this code on db (null when the connection itself
    // could not be opened); what says what was being done.
    static HistoryDatabase::Result failure(sqlite3* db, int code, const QString& what);
    // Runs one or more statements that return no rows.
    static HistoryDatabase::Result exec(sqlite3* db, const char* sql);
    // Null, with result set, when the statement cannot be prepared.
    static sqlite3_stmt* prepare(sqlite3* db, const char* sql, HistoryDatabase::Result* result);
    // Runs a statement that returns one row and reads its first column as an integer.
    static HistoryDatabase::Result readInt(sqlite3* db, const char* sql, int* value);
};
