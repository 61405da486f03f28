#include "platform/HistoryDatabase.h"

#include "models/FileNaming.h"
#include "platform/NoReplaceRename.h"
#include "platform/PrivateStorage.h"

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

// "SBHS": tells a history file made here from any other SQLite file put at its path.
constexpr int applicationId = 0x53424853;

constexpr const char* columns =
    "seq, id, time_ms, action, name, kind, size, from_path, to_path, p_dev, p_ino, p_size, "
    "p_mtime, p_born, p_folder, host, slot, trash_record, r_dev, r_ino, r_size, r_mtime, r_born, "
    "undo_of, undone_by, group_id";

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

// The rows the window lists: actions on one item, and groups (not their members).
constexpr const char* topLevel = "(group_id IS NULL OR group_id = id)";

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

QString textColumn(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString();
}

void bindText(sqlite3_stmt* statement, int index, const QString& text)
{
    const QByteArray bytes = utf8(text);
    sqlite3_bind_text(statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void bindUuid(sqlite3_stmt* statement, int index, const QUuid& id)
{
    if (id.isNull())
        sqlite3_bind_null(statement, index);
    else
        bindText(statement, index, id.toString(QUuid::WithoutBraces));
}

// Binds an identity to five or six parameters from index on (the folder flag last).
void bindIdentity(sqlite3_stmt* statement, int index, const FileIdentity& identity,
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

FileIdentity identityColumns(sqlite3_stmt* statement, int column, int folderColumn)
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

// The row a statement selecting `columns` stands on.
HistoryEntry entryAt(sqlite3_stmt* statement)
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

// What a filter is matched against: the name, both folders and the host, folded; for a group,
// those of every member too, so that a member's name finds its group.
QString searchText(const HistoryEntry& entry)
{
    QStringList parts{entry.itemName, entry.fromFolder(), entry.toFolder(), entry.originHost};
    for (const HistoryEntry& member : entry.members)
        parts << member.itemName << member.fromFolder() << member.toFolder() << member.originHost;
    parts.removeAll(QString());
    parts.removeDuplicates();
    return parts.join(QLatin1Char('\n')).toCaseFolded();
}

// The group a row of `columns` belongs to; null for an action on one item.
QUuid groupIdAt(sqlite3_stmt* statement)
{
    return QUuid::fromString(textColumn(statement, 25));
}

class Statement
{
public:
    explicit Statement(sqlite3_stmt* statement) : m_statement(statement) {}
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_statement; }

private:
    sqlite3_stmt* m_statement;
};

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
    const int primary = code & 0xff;
    QString detail;
    if (primary == SQLITE_FULL) {
        detail = QStringLiteral("the disk is full");
    } else if (primary == SQLITE_CORRUPT) {
        detail = QStringLiteral("the file is damaged");
    } else if (primary == SQLITE_NOTADB) {
        detail = QStringLiteral("the file is not a database");
    } else {
        detail = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code));
        const int systemError = m_db ? sqlite3_system_errno(m_db) : 0;
        if (primary == SQLITE_IOERR && systemError == ENOSPC)
            detail = QStringLiteral("the disk is full");
        else if (systemError != 0)
            detail +=
                QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(systemError)));
    }
    if (primary == SQLITE_INTERRUPT)
        return Result{Status::Interrupted, QStringLiteral("%1: interrupted").arg(what)};
    const bool damaged = primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
    return Result{damaged ? Status::Damaged : Status::Unavailable,
                  QStringLiteral("%1: %2").arg(what, detail)};
}

HistoryDatabase::Result HistoryDatabase::exec(const char* sql)
{
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return fail(rc, QStringLiteral("the history could not be used"));
    return {};
}

sqlite3_stmt* HistoryDatabase::prepare(const char* sql, Result* result)
{
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        *result = fail(rc, QStringLiteral("the history could not be read"));
        return nullptr;
    }
    return statement;
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
    sqlite3_busy_timeout(m_db, 5000);
    Result result = prepareSchema();
    if (result.ok() && check) {
        Statement statement(prepare("PRAGMA quick_check(1)", &result));
        if (statement.get()) {
            const int step = sqlite3_step(statement.get());
            if (step != SQLITE_ROW)
                result = fail(step, QStringLiteral("the history file could not be checked"));
            else if (textColumn(statement.get(), 0) != QLatin1String("ok"))
                result =
                    Result{Status::Damaged, QStringLiteral("the history file is damaged (%1)")
                                                .arg(textColumn(statement.get(), 0).left(200))};
        }
    }
    if (!result.ok())
        close();
    return result;
}

HistoryDatabase::Result HistoryDatabase::prepareSchema()
{
    Result result;
    int version = 0;
    int application = 0;
    int tables = 0;
    {
        Statement statement(prepare("SELECT (SELECT user_version FROM pragma_user_version), "
                                    "(SELECT application_id FROM pragma_application_id), "
                                    "(SELECT count(*) FROM sqlite_schema)",
                                    &result));
        if (!statement.get())
            return result;
        const int rc = sqlite3_step(statement.get());
        if (rc != SQLITE_ROW)
            return fail(rc, QStringLiteral("the history file could not be read"));
        version = sqlite3_column_int(statement.get(), 0);
        application = sqlite3_column_int(statement.get(), 1);
        tables = sqlite3_column_int(statement.get(), 2);
    }
    if (tables > 0 && application != applicationId)
        return Result{Status::Damaged, QStringLiteral("the history file holds something else")};
    if (version > schemaVersion)
        return Result{Status::Unavailable,
                      QStringLiteral("the history file was written by a newer version")};

    // WAL: the writer never blocks readers, and a killed process loses at most the
    // transaction it was writing. NORMAL syncs at checkpoints only: a power cut may lose the
    // last actions, never the file.
    {
        Statement statement(prepare("PRAGMA journal_mode=WAL", &result));
        if (!statement.get())
            return result;
        const int rc = sqlite3_step(statement.get());
        if (rc != SQLITE_ROW)
            return fail(rc, QStringLiteral("the history file could not be opened"));
        if (textColumn(statement.get(), 0) != QLatin1String("wal"))
            return Result{Status::Unavailable,
                          QStringLiteral("the history file cannot use a write-ahead log here")};
    }
    result = exec("PRAGMA synchronous=NORMAL");
    if (!result.ok() || version == schemaVersion)
        return result;
    result = exec("BEGIN IMMEDIATE");
    if (!result.ok())
        return result;
    // Read again under the write lock: the writer's and a reader's connection may both have
    // found the file old, and only the first may change it.
    result = readVersion(&version);
    if (result.ok() && version > schemaVersion) {
        result = Result{Status::Unavailable,
                        QStringLiteral("the history file was written by a newer version")};
    } else if (result.ok() && version < schemaVersion) {
        // A new file gets the whole schema; a file of the first one gains the group column
        // and keeps its rows.
        result = exec(version == 0 ? schema : addGroups);
        if (result.ok())
            result = exec(QStringLiteral("PRAGMA application_id=%1; PRAGMA user_version=%2")
                              .arg(applicationId)
                              .arg(schemaVersion)
                              .toUtf8()
                              .constData());
    }
    if (result.ok())
        result = exec("COMMIT");
    if (!result.ok())
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return result;
}

HistoryDatabase::Result HistoryDatabase::readVersion(int* version)
{
    Result result;
    Statement statement(prepare("PRAGMA user_version", &result));
    if (!statement.get())
        return result;
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_ROW)
        return fail(rc, QStringLiteral("the history file could not be read"));
    *version = sqlite3_column_int(statement.get(), 0);
    return result;
}

HistoryDatabase::Result HistoryDatabase::insert(QList<HistoryEntry>& entries)
{
    if (!m_db)
        return Result{Status::Unavailable, QStringLiteral("the history is not open")};
    Result result;
    if (!m_insert) {
        m_insert = prepare(
            "INSERT OR IGNORE INTO history (id, time_ms, action, search, name, kind, size, "
            "from_path, "
            "to_path, p_dev, p_ino, p_size, p_mtime, p_born, p_folder, host, slot, trash_record, "
            "r_dev, r_ino, r_size, r_mtime, r_born, undo_of, group_id) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, "
            "?18, ?19, ?20, ?21, ?22, ?23, ?24, ?25)",
            &result);
        if (!m_insert)
            return result;
    }
    if (!m_markUndone) {
        m_markUndone = prepare("UPDATE history SET undone_by = ?1 WHERE id = ?2", &result);
        if (!m_markUndone)
            return result;
    }
    result = exec("BEGIN IMMEDIATE");
    if (!result.ok())
        return result;
    // A group's row, then its members' rows after it, all in this one transaction.
    for (HistoryEntry& entry : entries) {
        const QUuid group = entry.isGroup() ? entry.id : QUuid();
        result = insertRow(entry, group);
        if (!result.ok())
            break;
        if (entry.sequence == 0)
            continue; // recorded before, members and all
        for (HistoryEntry& member : entry.members) {
            result = insertRow(member, group);
            if (!result.ok())
                break;
        }
        if (!result.ok())
            break;
    }
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

HistoryDatabase::Result HistoryDatabase::insertRow(HistoryEntry& entry, const QUuid& group)
{
    sqlite3_reset(m_insert);
    sqlite3_clear_bindings(m_insert);
    bindUuid(m_insert, 1, entry.id);
    sqlite3_bind_int64(m_insert, 2, entry.time.toMSecsSinceEpoch());
    sqlite3_bind_int(m_insert, 3, int(entry.action));
    bindText(m_insert, 4, searchText(entry));
    bindText(m_insert, 5, entry.itemName);
    bindText(m_insert, 6, entry.kind);
    sqlite3_bind_int64(m_insert, 7, entry.size);
    bindText(m_insert, 8, entry.fromPath);
    bindText(m_insert, 9, entry.toPath);
    bindIdentity(m_insert, 10, entry.placed, true);
    bindText(m_insert, 16, entry.originHost);
    sqlite3_bind_int(m_insert, 17, entry.slot);
    if (entry.trashRecord.isEmpty())
        sqlite3_bind_null(m_insert, 18);
    else
        sqlite3_bind_blob(m_insert, 18, entry.trashRecord.constData(),
                          int(entry.trashRecord.size()), SQLITE_TRANSIENT);
    bindIdentity(m_insert, 19, entry.trashRecordIdentity, false);
    bindUuid(m_insert, 24, entry.undoOf);
    bindUuid(m_insert, 25, group);
    int rc = sqlite3_step(m_insert);
    if (rc != SQLITE_DONE)
        return fail(rc, QStringLiteral("the history could not be written"));
    // The same entry recorded twice (a retry after a write that did land) is kept once.
    entry.sequence = sqlite3_changes(m_db) > 0 ? sqlite3_last_insert_rowid(m_db) : 0;
    // An undo of a group names the group, and each of its members names the member it put
    // back: every one of them is marked.
    if (entry.action == HistoryEntry::Action::Undone && !entry.undoOf.isNull()) {
        sqlite3_reset(m_markUndone);
        bindUuid(m_markUndone, 1, entry.id);
        bindUuid(m_markUndone, 2, entry.undoOf);
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
    QByteArray sql =
        QByteArray("SELECT ") + columns + " FROM history WHERE seq < ?1 AND " + topLevel;
    for (int i = 0; i < words.size(); ++i)
        sql += " AND instr(search, ?" + QByteArray::number(i + 3) + ") > 0";
    sql += " ORDER BY seq DESC LIMIT ?2";
    Result result;
    QSet<QUuid> groups;
    {
        Statement statement(prepare(sql.constData(), &result));
        if (!statement.get())
            return result;
        sqlite3_bind_int64(statement.get(), 1,
                           beforeSequence > 0 ? beforeSequence
                                              : std::numeric_limits<sqlite3_int64>::max());
        sqlite3_bind_int(statement.get(), 2, limit);
        for (int i = 0; i < words.size(); ++i)
            bindText(statement.get(), i + 3, words.at(i));
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
        QByteArray("SELECT ") + columns +
        " FROM history WHERE action IN (1, 2, 6) AND (group_id IS NULL OR group_id <> id) "
        "ORDER BY seq DESC LIMIT ?1";
    Result result;
    Statement statement(prepare(sql.constData(), &result));
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
    const QByteArray sql = QByteArray("SELECT ") + columns + " FROM history WHERE id = ?1";
    Result result;
    QList<HistoryEntry> found;
    QSet<QUuid> groups;
    {
        Statement statement(prepare(sql.constData(), &result));
        if (!statement.get())
            return result;
        bindUuid(statement.get(), 1, id);
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
        entries->append(entryAt(statement));
        if (groups && groupIdAt(statement) == entries->constLast().id)
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
    const QByteArray sql = QByteArray("SELECT ") + columns +
                           " FROM history WHERE group_id = ?1 AND id <> ?1 ORDER BY seq";
    Result result;
    Statement statement(prepare(sql.constData(), &result));
    if (!statement.get())
        return result;
    for (HistoryEntry& entry : *entries) {
        if (!groups.contains(entry.id))
            continue;
        sqlite3_reset(statement.get());
        bindUuid(statement.get(), 1, entry.id);
        int rc;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW)
            entry.members.append(entryAt(statement.get()));
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
    const QByteArray sql = QByteArray("SELECT ") + columns +
                           " FROM history WHERE size = ?1 AND action IN (1, 2) AND undone_by IS "
                           "NULL AND (group_id IS NULL OR group_id <> id) ORDER BY seq DESC "
                           "LIMIT ?2";
    Result result;
    Statement statement(prepare(sql.constData(), &result));
    if (!statement.get())
        return result;
    sqlite3_bind_int64(statement.get(), 1, size);
    sqlite3_bind_int(statement.get(), 2, limit);
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW)
        entries->append(entryAt(statement.get()));
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
        Statement statement(prepare(sql, &result));
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
    Statement statement(prepare("SELECT count(*) FROM history", &result));
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
