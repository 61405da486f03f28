#pragma once

#include "models/HistoryEntry.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// One connection to the history database, an SQLite file in WAL mode: a writer and any number
// of readers (each with its own connection, on its own thread) work on it at once, and a
// killed process loses at most the transaction it was writing.
//
// A connection is used by one thread at a time. No call throws: each returns a Result that
// tells a file that cannot be used now (a full disk, no permission: Unavailable) from one
// that is not a history database at all or is damaged (Damaged: it has to be kept aside and a
// new one started).
class HistoryDatabase
{
public:
    enum class Status {
        Ok,
        Unavailable,
        Damaged,
        Interrupted, // the interrupt check asked to stop
    };
    struct Result
    {
        Status status = Status::Ok;
        QString reason; // for people: what went wrong, without file contents
        bool ok() const { return status == Status::Ok; }
    };

    // The schema this code writes; a file with a higher version is left alone. An older file
    // is brought up to it when opened, keeping its rows (2: group actions).
    static constexpr int schemaVersion = 2;
    // How long a connection waits for another that holds the file.
    static constexpr int busyTimeoutMs = 5000;

    explicit HistoryDatabase(const QString& path);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    QString path() const { return m_path; }
    bool isOpen() const { return m_db != nullptr; }

    // Opens the file for writing: creates it (mode 0600, its folder 0700) with the schema
    // when it does not exist, turns WAL on and, when check is set, runs SQLite's quick
    // integrity check so that a damaged or truncated file is found now rather than half-way
    // through the session.
    Result openForWriting(bool check = true);
    // Opens an existing file for reading; Unavailable when there is none yet.
    Result openForReading();
    void close();

    // Stores entries in one transaction, giving each its sequence number. An Undone entry
    // marks the entry it undid as undone by it. A group is stored as its own row followed by
    // a row for each member (each given its sequence number too); an Undone group marks the
    // group it undid, and each of its members the member it put back.
    Result insert(QList<HistoryEntry>& entries);
    // Called every few thousand steps of a long read; returning true stops the read with
    // Interrupted. Set it before opening.
    void setInterruptCheck(std::function<bool()> check) { m_interrupt = std::move(check); }

    // Newest first: at most limit entries older than beforeSequence (0: from the newest)
    // whose name, folders or origin host hold every word of filter, compared without case.
    // A group comes as one entry with its members; a member is never listed on its own, and
    // a filter matching a member finds its group.
    Result query(const QString& filter, int limit, qint64 beforeSequence,
                 QList<HistoryEntry>* entries);
    // The newest filings (moves into a slot or a folder, and undos), oldest first: what a
    // learner replays at start. The members of a group come as entries of their own, in
    // their order, and the group itself does not.
    Result filings(int limit, QList<HistoryEntry>* entries);
    // The entry with this id, with its members when it is a group.
    Result find(const QUuid& id, std::optional<HistoryEntry>* entry);
    // The filings (moves into a slot or a folder) not undone whose item had exactly size
    // bytes, newest first, at most limit: where earlier copies of a file may lie. The members
    // of a group action count one by one; the group's own row (a folder, a total) does not.
    Result filedWithSize(qint64 size, int limit, QList<HistoryEntry>* entries);
    // Removes entries older than maxAge days before now and all but the newest maxEntries
    // rows (a member counts as a row). A group goes whole: with its members, by its own time.
    Result prune(const QDateTime& now, int maxAgeDays, int maxEntries, int* removed = nullptr);
    Result count(qint64* entries);

    // Keeps a damaged file aside under path.bad-<UTC time>[-n] (the settings file's rule),
    // with its -wal and -shm files beside it under the same name, so that SQLite could
    // still read it there. Nothing is ever written over. Empty and error set when the file
    // could not be moved.
    static QString keepAside(const QString& path, QString* error);
    // Deletes the file and its -wal and -shm files. False, with error, when one stays.
    static bool remove(const QString& path, QString* error);

private:
    Result open(int flags, bool check);
    Result fail(int code, const QString& what) const;
    Result exec(const char* sql);
    // The insert and mark-undone statements, prepared once per connection.
    Result prepareWriteStatements();
    // Every entry and its members, in the transaction the caller began; stops at the first
    // failure.
    Result insertRows(QList<HistoryEntry>& entries);
    Result insertRow(HistoryEntry& entry, const QUuid& group);
    // Appends the rows a statement selecting every column gives; groups (when given) gets the
    // ids of the groups' own rows among them.
    Result readRows(sqlite3_stmt* statement, QList<HistoryEntry>* entries,
                    QSet<QUuid>* groups = nullptr);
    // Gives each entry named in groups its members, in their order.
    Result attachMembers(QList<HistoryEntry>* entries, const QSet<QUuid>& groups);
    sqlite3_stmt* prepare(const char* sql, Result* result);

    QString m_path;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    sqlite3_stmt* m_markUndone = nullptr;
    std::function<bool()> m_interrupt;
};
