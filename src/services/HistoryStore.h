#pragma once

#include "models/HistoryEntry.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QUuid>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class DestinationPredictor;
class FileMover;
class HistoryDatabase;
class LoggerService;
class TrashBackend;

// The lasting history of triage actions: every move, trash, rename, skip and undo, kept in an
// SQLite file in the state folder for a year or 100,000 entries, whichever ends first.
//
// Nothing here blocks the calling (GUI) thread: writes go to a writer thread with its own
// connection, reads for the window to a reader thread with another, and undos to a third
// thread, since they move files. Results come back as signals, delivered on the thread the
// store lives on.
//
// History never stops triage. When a write fails (a full disk, a file that cannot be opened),
// the entries wait in memory (up to pendingLimit) and are written with the next record once
// the file works again; meanwhile available() is false and availabilityChanged says why. A
// damaged or truncated file, or a file that is not a history at all, is kept aside as
// history.sqlite3.bad-<UTC time> (the settings file's rule) and a new history is started;
// historyReset tells the window so.
class HistoryStore : public QObject
{
    Q_OBJECT
public:
    enum class UndoOutcome {
        Restored, // the item is back (message says where) and the undo is recorded
        Refused,  // not safe, or nothing to undo: nothing was touched (message says why)
        Failed,   // the history or the file operation failed (message says what)
    };
    Q_ENUM(UndoOutcome)

    static constexpr int retentionDays = 365;
    static constexpr int maximumEntries = 100000;
    static constexpr int pageSize = 200;
    // Entries kept in memory while the file cannot be written.
    static constexpr int pendingLimit = 1000;
    // Old entries are removed at start and after this many records.
    static constexpr int pruneInterval = 500;

    // $XDG_STATE_HOME/stowbird/history.sqlite3
    static QString defaultDatabasePath();

    // Opens (or creates) the database at databasePath on the writer thread, checks it and
    // removes what is past the retention; returns at once. trash restores trashed items on
    // undo (the process's FreedesktopTrash in the program). Failures, undos and forgetting
    // are logged to logger, from the store's threads: it must outlive the store.
    HistoryStore(const QString& databasePath, std::unique_ptr<TrashBackend> trash,
                 LoggerService& logger, QObject* parent = nullptr);
    // Waits for the writes already asked for, then closes the database.
    ~HistoryStore() override;

    QString databasePath() const { return m_path; }

    // Records one action; returns at once and never throws. A failure shows in available().
    // A group (HistoryEntry::group) is stored with its members in one transaction.
    void record(const HistoryEntry& entry);

    // Asks for at most limit entries, newest first, older than beforeSequence (0: from the
    // newest; pass the last row's sequence for the next page), whose name, folders or origin
    // host hold every word of filter (without regard to case); a group comes as one entry with
    // its members, and is found by a member's name or folder too. Returns the request number
    // that queryFinished carries. Only the latest request counts: one overtaken by a newer
    // request (the user typed on) is stopped or dropped without a signal. A query may run
    // before records asked for a moment earlier are stored; recorded() tells when they are.
    quint64 query(const QString& filter, int limit = pageSize, qint64 beforeSequence = 0);

    // Builds a DestinationPredictor from the newest limit filings (moves into a slot or a
    // folder, and undos), off the calling thread; predictorLoaded brings it. Ask at start,
    // then teach it each entry of recorded(): learn() ignores an entry it already knows.
    void loadPredictor(int limit = 5000);

    // Undoes the action of the entry with this id when it is safe (see HistoryUndo) and
    // records the undo; for a group, every member that is safe to put back, the last first.
    // undoFinished reports it. An undo of an entry already under way is refused.
    void undoEntry(const QUuid& id);

    // Deletes the database, and any damaged one kept aside, and starts an empty one
    // ("Forget history"). Entries recorded before the call are forgotten too.
    // forgetFinished reports it.
    void forget();

    // False while the history cannot be written; unavailableReason() says why.
    bool available() const;
    QString unavailableReason() const;

    // Blocks until every record, undo and forget asked for so far is done and announced (on
    // the store's thread). For tests and
    // benchmarks, and before quitting; never on the GUI thread during triage.
    void waitForWrites();

signals:
    // Each stored entry, with its sequence number set.
    void recorded(const HistoryEntry& entry);
    // more: older entries match too (ask again from the last row's sequence). error: why the
    // history could not be read (entries is empty then); empty when it could.
    void queryFinished(quint64 requestId, const QString& filter, const QList<HistoryEntry>& entries,
                       bool more, const QString& error);
    // Empty (learned nothing) when the history could not be read.
    void predictorLoaded(std::shared_ptr<DestinationPredictor> predictor);
    void undoFinished(const QUuid& id, HistoryStore::UndoOutcome outcome, const QString& message);
    // Text for the window: "History is unavailable: " + reason.
    void availabilityChanged(bool available, const QString& reason);
    // The history file could not be read and a new one was started; message says where the
    // old file was kept.
    void historyReset(const QString& message);
    void forgetFinished(bool ok, const QString& message);

private:
    // Writer thread.
    void openWriter();
    void writePending();
    void recover(const QString& reason, quint64 seenGeneration);
    // Blocks until the store's threads are idle.
    void waitForThreads();
    // Emits through emitter on the store's thread.
    void announce(std::function<void()> emitter);
    void setAvailable(bool available, const QString& reason);
    // Reader thread: the connection, reopened after the writer started a new file.
    HistoryDatabase* reader();
    void readerFailed(const QString& reason, bool damaged);

    QString m_path;
    std::unique_ptr<TrashBackend> m_trash;
    std::unique_ptr<FileMover> m_mover;
    LoggerService& m_logger;

    // Each pool has one thread, so its tasks run one at a time, in order.
    QThreadPool m_writerPool;
    QThreadPool m_readerPool;
    QThreadPool m_undoPool;

    // Writer thread only.
    std::unique_ptr<HistoryDatabase> m_writer;
    QList<HistoryEntry> m_pending;
    int m_sincePrune = 0;
    // Reader thread only.
    std::unique_ptr<HistoryDatabase> m_reader;
    quint64 m_readerGeneration = 0;
    quint64 m_runningQuery = 0;

    // Bumped by the writer each time it starts a new file.
    std::atomic<quint64> m_generation{0};
    std::atomic<quint64> m_nextRequest{0};
    // The newest query asked for; older ones still waiting are not run.
    std::atomic<quint64> m_latestQuery{0};

    mutable std::mutex m_stateLock;
    bool m_available = true;
    QString m_unavailableReason;
    QSet<QUuid> m_undosUnderWay; // GUI thread and undo thread, under m_stateLock
};
