#pragma once

#include <sqlite3.h>

// Owns a prepared SQLite statement and finalizes it when it goes out of scope, so that an
// early return on a failed step cannot leak it (an unfinalized statement keeps its connection
// from closing).
class SqliteStatement
{
public:
    explicit SqliteStatement(sqlite3_stmt* statement) : m_statement(statement) {}
    ~SqliteStatement() { sqlite3_finalize(m_statement); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    sqlite3_stmt* get() const { return m_statement; }

private:
    sqlite3_stmt* m_statement;
};
