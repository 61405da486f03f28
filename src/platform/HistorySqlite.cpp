#include "platform/HistorySqlite.h"

#include "platform/SqliteStatement.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

HistoryDatabase::Result HistorySqlite::failure(sqlite3* db, int code, const QString& what)
{
    using Status = HistoryDatabase::Status;
    const int primary = code & 0xff;
    QString detail;
    if (primary == SQLITE_FULL) {
        detail = QStringLiteral("the disk is full");
    } else if (primary == SQLITE_CORRUPT) {
        detail = QStringLiteral("the file is damaged");
    } else if (primary == SQLITE_NOTADB) {
        detail = QStringLiteral("the file is not a database");
    } else {
        detail = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
        const int systemError = db ? sqlite3_system_errno(db) : 0;
        if (primary == SQLITE_IOERR && systemError == ENOSPC)
            detail = QStringLiteral("the disk is full");
        else if (systemError != 0)
            detail +=
                QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(systemError)));
    }
    if (primary == SQLITE_INTERRUPT)
        return {Status::Interrupted, QStringLiteral("%1: interrupted").arg(what)};
    const bool damaged = primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
    return {damaged ? Status::Damaged : Status::Unavailable,
            QStringLiteral("%1: %2").arg(what, detail)};
}

HistoryDatabase::Result HistorySqlite::exec(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return failure(db, rc, QStringLiteral("the history could not be used"));
    return {};
}

sqlite3_stmt* HistorySqlite::prepare(sqlite3* db, const char* sql, HistoryDatabase::Result* result)
{
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        *result = failure(db, rc, QStringLiteral("the history could not be read"));
        return nullptr;
    }
    return statement;
}

HistoryDatabase::Result HistorySqlite::readInt(sqlite3* db, const char* sql, int* value)
{
    HistoryDatabase::Result result;
    SqliteStatement statement(prepare(db, sql, &result));
    if (!statement.get())
        return result;
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_ROW)
        return failure(db, rc, QStringLiteral("the history file could not be read"));
    *value = sqlite3_column_int(statement.get(), 0);
    return result;
}
