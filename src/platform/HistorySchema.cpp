#include "platform/HistorySchema.h"

#include "platform/HistoryRows.h"
#include "platform/HistorySqlite.h"
#include "platform/SqliteStatement.h"

#include <QDeadlineTimer>
#include <QThread>

#include <sqlite3.h>

namespace {

// "SBHS": tells a history file made here from any other SQLite file put at its path.
constexpr int applicationId = 0x53424853;

// A group action (one key for many items) is one row for the group and one row for each
// member, so that a look-up by path or size sees every file. group_id names the group on all
// of them, the group's own row included (its id equals its group_id); NULL on every other row.
// The window lists the rows whose group_id is NULL or their own id; a member row is reached
// through its group.
constexpr const char* schema = R"sql(
CREATE TABLE IF NOT EXISTS history (
    seq INTEGER PRIMARY KEY,
    id TEXT NOT NULL UNIQUE,
    time_ms INTEGER NOT NULL,
    action INTEGER NOT NULL,
    search TEXT NOT NULL,
    name TEXT NOT NULL,
    kind TEXT NOT NULL,
    size INTEGER NOT NULL,
    from_path TEXT NOT NULL,
    to_path TEXT NOT NULL,
    p_dev INTEGER, p_ino INTEGER, p_size INTEGER, p_mtime INTEGER, p_born INTEGER,
    p_folder INTEGER,
    host TEXT NOT NULL,
    slot INTEGER NOT NULL,
    trash_record BLOB,
    r_dev INTEGER, r_ino INTEGER, r_size INTEGER, r_mtime INTEGER, r_born INTEGER,
    undo_of TEXT,
    undone_by TEXT,
    group_id TEXT
);
CREATE INDEX IF NOT EXISTS history_time ON history(time_ms);
CREATE INDEX IF NOT EXISTS history_action ON history(action, seq);
CREATE INDEX IF NOT EXISTS history_group ON history(group_id) WHERE group_id IS NOT NULL;
)sql";

// From the first schema (no groups) to the second.
constexpr const char* addGroups = R"sql(
ALTER TABLE history ADD COLUMN group_id TEXT;
CREATE INDEX IF NOT EXISTS history_group ON history(group_id) WHERE group_id IS NOT NULL;
)sql";

} // namespace

HistoryDatabase::Result HistorySchema::prepare(sqlite3* db)
{
    Header header;
    HistoryDatabase::Result result = readHeader(db, &header);
    if (!result.ok())
        return result;
    if (header.tables > 0 && header.application != applicationId)
        return {HistoryDatabase::Status::Damaged,
                QStringLiteral("the history file holds something else")};
    if (header.version > HistoryDatabase::schemaVersion)
        return newerVersion();
    result = useWriteAheadLog(db);
    if (result.ok())
        result = HistorySqlite::exec(db, "PRAGMA synchronous=NORMAL");
    if (!result.ok() || header.version == HistoryDatabase::schemaVersion)
        return result;
    return upgrade(db);
}

HistoryDatabase::Result HistorySchema::readHeader(sqlite3* db, Header* header)
{
    HistoryDatabase::Result result;
    SqliteStatement statement(
        HistorySqlite::prepare(db,
                               "SELECT (SELECT user_version FROM pragma_user_version), "
                               "(SELECT application_id FROM pragma_application_id), "
                               "(SELECT count(*) FROM sqlite_schema)",
                               &result));
    if (!statement.get())
        return result;
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_ROW)
        return HistorySqlite::failure(db, rc, QStringLiteral("the history file could not be read"));
    header->version = sqlite3_column_int(statement.get(), 0);
    header->application = sqlite3_column_int(statement.get(), 1);
    header->tables = sqlite3_column_int(statement.get(), 2);
    return result;
}

// WAL: the writer never blocks readers, and a killed process loses at most the transaction it
// was writing. NORMAL syncs (set by the caller) at checkpoints only: a power cut may lose the
// last actions, never the file.
HistoryDatabase::Result HistorySchema::useWriteAheadLog(sqlite3* db)
{
    HistoryDatabase::Result result;
    SqliteStatement statement(HistorySqlite::prepare(db, "PRAGMA journal_mode=WAL", &result));
    if (!statement.get())
        return result;
    // A connection opened while another one creates the file (a reader beside the writer of a
    // new history) is told "busy" at once, without the busy timeout: SQLite refuses to wait
    // where both could. Its statement is reset, which lets its lock go, and tried again.
    QDeadlineTimer deadline(HistoryDatabase::busyTimeoutMs);
    int rc = sqlite3_step(statement.get());
    while ((rc & 0xff) == SQLITE_BUSY && !deadline.hasExpired()) {
        sqlite3_reset(statement.get());
        QThread::msleep(5);
        rc = sqlite3_step(statement.get());
    }
    if (rc != SQLITE_ROW)
        return HistorySqlite::failure(db, rc,
                                      QStringLiteral("the history file could not be opened"));
    if (HistoryRows::textColumn(statement.get(), 0) != QLatin1String("wal"))
        return {HistoryDatabase::Status::Unavailable,
                QStringLiteral("the history file cannot use a write-ahead log here")};
    return result;
}

HistoryDatabase::Result HistorySchema::upgrade(sqlite3* db)
{
    HistoryDatabase::Result result = HistorySqlite::exec(db, "BEGIN IMMEDIATE");
    if (!result.ok())
        return result;
    // Read again under the write lock: the writer's and a reader's connection may both have
    // found the file old, and only the first may change it.
    int version = 0;
    result = HistorySqlite::readInt(db, "PRAGMA user_version", &version);
    if (result.ok() && version > HistoryDatabase::schemaVersion) {
        result = newerVersion();
    } else if (result.ok() && version < HistoryDatabase::schemaVersion) {
        // A new file gets the whole schema; a file of the first one gains the group column
        // and keeps its rows.
        result = HistorySqlite::exec(db, version == 0 ? schema : addGroups);
        if (result.ok())
            result = HistorySqlite::exec(
                db, QStringLiteral("PRAGMA application_id=%1; PRAGMA user_version=%2")
                        .arg(applicationId)
                        .arg(HistoryDatabase::schemaVersion)
                        .toUtf8()
                        .constData());
    }
    if (result.ok())
        result = HistorySqlite::exec(db, "COMMIT");
    if (!result.ok())
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return result;
}

HistoryDatabase::Result HistorySchema::newerVersion()
{
    return {HistoryDatabase::Status::Unavailable,
            QStringLiteral("the history file was written by a newer version")};
}
