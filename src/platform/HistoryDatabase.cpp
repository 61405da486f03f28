#include "platform/HistoryDatabase.h"

#include "models/FileNaming.h"
#include "platform/HistoryRows.h"
#include "platform/HistorySchema.h"
#include "platform/HistorySqlite.h"
#include "platform/NoReplaceRename.h"
#include "platform/PrivateStorage.h"
#include "platform/SqliteStatement.h"

#include <QFile>
#include <QSet>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace {

// The rows the window lists: actions on one item, and groups (not their members).
constexpr const char* topLevel = "(group_id IS NULL OR group_id = id)";

} // namespace

HistoryDatabase::HistoryDatabase(const QString& path) : m_path(path) {}

HistoryDatabase::~HistoryDatabase()
{
    close();
}

void HistoryDatabase::close()
{
    sqlite3_finalize(m_insert);
    sqlite3_finalize(m_markUndone);
    m_insert = nullptr;
    m_markUndone = nullptr;
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

HistoryDatabase::Result HistoryDatabase::fail(int code, const QString& what) const
{
    return HistorySqlite::failure(m_db, code, what);
}

HistoryDatabase::Result HistoryDatabase::exec(const char* sql)
{
    return HistorySqlite::exec(m_db, sql);
}

sqlite3_stmt* HistoryDatabase::prepare(const char* sql, Result* result)
{
    return HistorySqlite::prepare(m_db, sql, result);
}

HistoryDatabase::Result HistoryDatabase::openForWriting(bool check)
{
    close();
    if (!PrivateStorage::makeFolder(FileNaming::parentPath(m_path)))
        return Result{Status::Unavailable, QStringLiteral("the folder %1 could not be made: %2")
                                               .arg(FileNaming::parentPath(m_path),
                                                    QString::fromLocal8Bit(std::strerror(errno)))};
    // Made here with mode 0600 before SQLite sees it; SQLite gives its -wal and -shm files
    // the database file's mode.
    const QByteArray native = QFile::encodeName(m_path);
    const int fd =
        ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    else if (errno != EEXIST)
        return Result{Status::Unavailable, QStringLiteral("the history file could not be made: %1")
                                               .arg(QString::fromLocal8Bit(std::strerror(errno)))};
    PrivateStorage::tighten(FileNaming::parentPath(m_path),
                            {FileNaming::lastPathComponent(m_path),
                             FileNaming::lastPathComponent(m_path) + QStringLiteral("-wal"),
                             FileNaming::lastPathComponent(m_path) + QStringLiteral("-shm")});
    const Result result = open(SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, check);
    // Copies of a file are looked up by size (filedWithSize), also in files made before that
    // look-up was. Without the index (a full disk) the look-up reads the whole table: slower,
    // with the same answer.
    if (result.ok())
        sqlite3_exec(m_db, "CREATE INDEX IF NOT EXISTS history_size ON history(size)", nullptr,
                     nullptr, nullptr);
    return result;
}

HistoryDatabase::Result HistoryDatabase::openForReading()
{
    close();
    if (!QFile::exists(m_path))
        return Result{Status::Unavailable, QStringLiteral("there is no history yet")};
    // Read-write although it only reads: a reader in WAL mode takes locks in the -shm file.
    return open(SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, false);
}

HistoryDatabase::Result HistoryDatabase::open(int flags, bool check)
{
    const int rc = sqlite3_open_v2(QFile::encodeName(m_path).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const Result result = fail(rc, QStringLiteral("the history file could not be opened"));
        close();
        return result;
    }
    sqlite3_extended_result_codes(m_db, 1);
    if (m_interrupt) {
        sqlite3_progress_handler(
            m_db, 4000,
            [](void* self) { return static_cast<HistoryDatabase*>(self)->m_interrupt() ? 1 : 0; },
            this);
    }
    // The writer and a reader only wait for each other during a checkpoint.
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    Result result = HistorySchema::prepare(m_db);
    if (result.ok() && check) {
        SqliteStatement statement(prepare("PRAGMA quick_check(1)", &result));
        if (statement.get()) {
            const int step = sqlite3_step(statement.get());
            if (step != SQLITE_ROW)
                result = fail(step, QStringLiteral("the history file could not be checked"));
            else if (HistoryRows::textColumn(statement.get(), 0) != QLatin1String("ok"))
                result = Result{Status::Damaged,
                                QStringLiteral("the history file is damaged (%1)")
                                    .arg(HistoryRows::textColumn(statement.get(), 0).left(200))};
        }
    }
    if (!result.ok())
        close();
    return result;
}

HistoryDatabase::Result HistoryDatabase::insert(QList<HistoryEntry>& entries)
{
    if (!m_db)
        return Result{Status::Unavailable, QStringLiteral("the history is not open")};
    Result result = prepareWriteStatements();
    if (!result.ok())
        return result;
    result = exec("BEGIN IMMEDIATE");
    if (!result.ok())
        return result;
    result = insertRows(entries);
    sqlite3_reset(m_insert);
    sqlite3_reset(m_markUndone);
    if (result.ok())
        result = exec("COMMIT");
    if (!result.ok()) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        for (HistoryEntry& entry : entries) {
            entry.sequence = 0;
            for (HistoryEntry& member : entry.members)
                member.sequence = 0;
        }
    }
    return result;
}

HistoryDatabase::Result HistoryDatabase::prepareWriteStatements()
{
    Result result;
    if (!m_insert) {
        m_insert = prepare(HistoryRows::insertStatement, &result);
        if (!m_insert)
            return result;
    }
    if (!m_markUndone)
        m_markUndone = prepare("UPDATE history SET undone_by = ?1 WHERE id = ?2", &result);
    return result;
}

HistoryDatabase::Result HistoryDatabase::insertRows(QList<HistoryEntry>& entries)
{
    // A group's row, then its members' rows after it, all in the caller's one transaction.
    for (HistoryEntry& entry : entries) {
        const QUuid group = entry.isGroup() ? entry.id : QUuid();
        Result result = insertRow(entry, group);
        if (!result.ok())
            return result;
        if (entry.sequence == 0)
            continue; // recorded before, members and all
        for (HistoryEntry& member : entry.members) {
            result = insertRow(member, group);
            if (!result.ok())
                return result;
        }
    }
    return {};
}

HistoryDatabase::Result HistoryDatabase::insertRow(HistoryEntry& entry, const QUuid& group)
{
    HistoryRows::bindInsert(m_insert, entry, group);
    int rc = sqlite3_step(m_insert);
    if (rc != SQLITE_DONE)
        return fail(rc, QStringLiteral("the history could not be written"));
    // The same entry recorded twice (a retry after a write that did land) is kept once.
    entry.sequence = sqlite3_changes(m_db) > 0 ? sqlite3_last_insert_rowid(m_db) : 0;
    // An undo of a group names the group, and each of its members names the member it put
    // back: every one of them is marked.
    if (entry.action == HistoryEntry::Action::Undone && !entry.undoOf.isNull()) {
        sqlite3_reset(m_markUndone);
        HistoryRows::bindUuid(m_markUndone, 1, entry.id);
        HistoryRows::bindUuid(m_markUndone, 2, entry.undoOf);
        rc = sqlite3_step(m_markUndone);
        if (rc != SQLITE_DONE)
            return fail(rc, QStringLiteral("the history could not be written"));
    }
    return {};
}

HistoryDatabase::Result HistoryDatabase::query(const QString& filter, int limit,
                                               qint64 beforeSequence, QList<HistoryEntry>* entries)
{
    entries->clear();
    if (!m_db)
        return Result{Status::Unavailable, QStringLiteral("the history is not open")};
    // Every word must appear somewhere; a handful is plenty to narrow a list.
    const QStringList words =
        filter.toCaseFolded().split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(0, 8);
    QByteArray sql = QByteArray("SELECT ") + HistoryRows::columns +
                     " FROM history WHERE seq < ?1 AND " + topLevel;
    for (int i = 0; i < words.size(); ++i)
        sql += " AND instr(search, ?" + QByteArray::number(i + 3) + ") > 0";
    sql += " ORDER BY seq DESC LIMIT ?2";
    Result result;
    QSet<QUuid> groups;
    {
        SqliteStatement statement(prepare(sql.constData(), &result));
        if (!statement.get())
            return result;
        sqlite3_bind_int64(statement.get(), 1,
                           beforeSequence > 0 ? beforeSequence
                                              : std::numeric_limits<sqlite3_int64>::max());
        sqlite3_bind_int(statement.get(), 2, limit);
        for (int i = 0; i < words.size(); ++i)
            HistoryRows::bindText(statement.get(), i + 3, words.at(i));
        result = readRows(statement.get(), entries, &groups);
    }
    if (result.ok())
        result = attachMembers(entries, groups);
    if (!result.ok())
        entries->clear();
    return result;
}

HistoryDatabase::Result HistoryDatabase::filings(int limit, QList<HistoryEntry>* entries)
{
    entries->clear();
    if (!m_db)
        return Result{Status::Unavailable, QStringLiteral("the history is not open")};
    // The members of a group filing are filings of their own; the group's row, which sums
    // them up, is not.
    const QByteArray sql =
        QByteArray("SELECT ") + HistoryRows::columns +
        " FROM history WHERE action IN (1, 2, 6) AND (group_id IS NULL OR group_id <> id) "
        "ORDER BY seq DESC LIMIT ?1";
    Result result;
    SqliteStatement statement(prepare(sql.constData(), &result));
    if (!statement.get())
        return result;
    sqlite3_bind_int(statement.get(), 1, limit);
    result = readRows(statement.get(), entries);
    if (!result.ok()) {
        entries->clear();
        return result;
    }
    std::reverse(entries->begin(), entries->end());
    return {};
}

HistoryDatabase::Result HistoryDatabase::find(const QUuid& id, std::optional<HistoryEntry>* entry)
{
    entry->reset();
    if (!m_db)
        return Result{Status::Unavailable, QStringLiteral("the history is not open")};
    const QByteArray sql =
        QByteArray("SELECT ") + HistoryRows::columns + " FROM history WHERE id = ?1";
    Result result;
    QList<HistoryEntry> found;
    QSet<QUuid> groups;
    {
        SqliteStatement statement(prepare(sql.constData(), &result));
        if (!statement.get())
            return result;
        HistoryRows::bindUuid(statement.get(), 1, id);
        result = readRows(statement.get(), &found, &groups);
    }
    if (result.ok())
        result = attachMembers(&found, groups);
    if (result.ok() && !found.isEmpty())
        *entry = found.takeFirst();
    return result;
}

HistoryDatabase::Result HistoryDatabase::readRows(sqlite3_stmt* statement,
                                                  QList<HistoryEntry>* entries, QSet<QUuid>* groups)
{
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        entries->append(HistoryRows::entryAt(statement));
        if (groups && HistoryRows::groupIdAt(statement) == entries->constLast().id)
            groups->insert(entries->constLast().id);
    }
    if (rc != SQLITE_DONE)
        return fail(rc, QStringLiteral("the history could not be read"));
    return {};
}

HistoryDatabase::Result HistoryDatabase::attachMembers(QList<HistoryEntry>* entries,
                                                       const QSet<QUuid>& groups)
{
    if (groups.isEmpty())
        return {};
    const QByteArray sql = QByteArray("SELECT ") + HistoryRows::columns +
                           " FROM history WHERE group_id = ?1 AND id <> ?1 ORDER BY seq";
    Result result;
    SqliteStatement statement(prepare(sql.constData(), &result));
    if (!statement.get())
        return result;
    for (HistoryEntry& entry : *entries) {
        if (!groups.contains(entry.id))
            continue;
        sqlite3_reset(statement.get());
        HistoryRows::bindUuid(statement.get(), 1, entry.id);
        int rc;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW)
            entry.members.append(HistoryRows::entryAt(statement.get()));
        if (rc != SQLITE_DONE)
            return fail(rc, QStringLiteral("the history could not be read"));
    }
    return {};
}

HistoryDatabase::Result HistoryDatabase::filedWithSize(qint64 size, int limit,
                                                       QList<HistoryEntry>* entries)
{
    entries->clear();
    if (!m_db)
        return Result{Status::Unavailable, QStringLiteral("the history is not open")};
    const QByteArray sql = QByteArray("SELECT ") + HistoryRows::columns +
                           " FROM history WHERE size = ?1 AND action IN (1, 2) AND undone_by IS "
                           "NULL AND (group_id IS NULL OR group_id <> id) ORDER BY seq DESC "
                           "LIMIT ?2";
    Result result;
    SqliteStatement statement(prepare(sql.constData(), &result));
    if (!statement.get())
        return result;
    sqlite3_bind_int64(statement.get(), 1, size);
    sqlite3_bind_int(statement.get(), 2, limit);
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW)
        entries->append(HistoryRows::entryAt(statement.get()));
    if (rc != SQLITE_DONE) {
        entries->clear();
        return fail(rc, QStringLiteral("the history could not be read"));
    }
    return {};
}

HistoryDatabase::Result HistoryDatabase::prune(const QDateTime& now, int maxAgeDays, int maxEntries,
                                               int* removed)
{
    if (removed)
        *removed = 0;
    if (!m_db)
        return Result{Status::Unavailable, QStringLiteral("the history is not open")};
    Result result = exec("BEGIN IMMEDIATE");
    if (!result.ok())
        return result;
    int gone = 0;
    const auto run = [&](const char* sql, std::optional<sqlite3_int64> value) {
        if (!result.ok())
            return;
        SqliteStatement statement(prepare(sql, &result));
        if (!statement.get())
            return;
        if (value)
            sqlite3_bind_int64(statement.get(), 1, *value);
        const int rc = sqlite3_step(statement.get());
        if (rc != SQLITE_DONE) {
            result = fail(rc, QStringLiteral("old history could not be removed"));
            return;
        }
        gone += sqlite3_changes(m_db);
    };
    // A group goes by its own time, with its members.
    run("DELETE FROM history WHERE time_ms < ?1 AND (group_id IS NULL OR group_id = id)",
        now.addDays(-maxAgeDays).toMSecsSinceEpoch());
    // A group's row comes before its members': a cut through a group removes its row.
    run("DELETE FROM history WHERE seq <= (SELECT seq FROM history ORDER BY seq DESC LIMIT 1 "
        "OFFSET ?1)",
        sqlite3_int64(maxEntries));
    // The members of the groups removed.
    if (gone > 0)
        run("DELETE FROM history WHERE group_id IS NOT NULL AND group_id <> id AND NOT EXISTS "
            "(SELECT 1 FROM history AS g WHERE g.id = history.group_id)",
            std::nullopt);
    if (result.ok())
        result = exec("COMMIT");
    if (!result.ok()) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return result;
    }
    if (removed)
        *removed = gone;
    return {};
}

HistoryDatabase::Result HistoryDatabase::count(qint64* entries)
{
    *entries = 0;
    if (!m_db)
        return Result{Status::Unavailable, QStringLiteral("the history is not open")};
    Result result;
    SqliteStatement statement(prepare("SELECT count(*) FROM history", &result));
    if (!statement.get())
        return result;
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_ROW)
        return fail(rc, QStringLiteral("the history could not be read"));
    *entries = sqlite3_column_int64(statement.get(), 0);
    return {};
}

QString HistoryDatabase::keepAside(const QString& path, QString* error)
{
    // The log files go with it, and no candidate may have them already: a -wal left under
    // a name would be replayed into a database made there.
    int err = 0;
    const QString kept =
        NoReplaceRename::keepAside(path, &err, {QStringLiteral("-wal"), QStringLiteral("-shm")});
    if (err != 0) {
        *error = QString::fromLocal8Bit(std::strerror(err));
        return QString();
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString from = path + QLatin1String(suffix);
        const int moved = NoReplaceRename::rename(from, kept + QLatin1String(suffix));
        // A log that cannot be kept must not stay beside the new database either.
        if (moved != 0 && moved != ENOENT)
            QFile::remove(from);
    }
    PrivateStorage::tightenFile(kept);
    return kept;
}

bool HistoryDatabase::remove(const QString& path, QString* error)
{
    bool removedAll = true;
    for (const QString& file :
         {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
        if (::unlink(QFile::encodeName(file).constData()) != 0 && errno != ENOENT) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            removedAll = false;
        }
    }
    return removedAll;
}
