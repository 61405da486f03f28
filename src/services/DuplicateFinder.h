#pragma once

#include "platform/ContentHasher.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QUuid>

#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>

class CancelToken;
class HistoryDatabase;
class HistoryEntry;
class LoggerService;
class TriageItem;

// Tells whether the item on show is a byte-for-byte copy of a file the user already has: in
// its destination folder or a slot folder (top level), among the other waiting items, or
// where the history says an item was filed. Sizes are compared first (a stat of each
// candidate); only files of the item's exact size are read, so an item that no other file
// matches in size is never opened. Digests are kept across checks (ContentHasher) for as long
// as a file is unchanged.
//
// Checks run one at a time on the finder's own thread. A new check cancels the one still
// running: the user has moved on to another item, and what that check read stays cached.
// Results come as signals from that thread (queued to receivers elsewhere).
class DuplicateFinder : public QObject
{
    Q_OBJECT
public:
    struct Match
    {
        QUuid itemId;
        QString path;       // the identical file
        QString folderName; // the name of its folder: "Documents"
        enum class Where { Folder, Waiting, History } where = Where::Folder;
        // When the history says the file was filed there (UTC); for Folder matches too when
        // it knows the file.
        std::optional<QDateTime> filedAt;
        // A hard link of the item itself: the same file under another name, compared by
        // device and inode alone.
        bool sameFile = false;
        // Both files as they were when their digests were compared (stillIdentical).
        ContentHasher::Stamp itemStamp;
        ContentHasher::Stamp fileStamp;
    };

    // Filings older than the newest this many of one size are not looked at.
    static constexpr int historyCandidateLimit = 50;

    // historyDatabasePath: the history to look for earlier filings in, read on the finder's
    // thread with a connection of its own; empty: none. Files and a history that cannot be
    // read are logged to logger, from the finder's thread: it must outlive the finder.
    DuplicateFinder(const QString& historyDatabasePath, LoggerService& logger,
                    QObject* parent = nullptr);
    // Cancels the running check and waits for it.
    ~DuplicateFinder() override;

    // Looks for a copy of item in folders (the suggested or chosen destination and every
    // slot's folder; their top level only), among waiting (the other waiting items; those
    // queued with the item's size are looked at) and in the history, in that order of
    // preference. Returns at once; matchFound follows when a copy is found, checked in any
    // case. A folder item, an empty file and anything that is not a regular file have no
    // copies.
    void check(const TriageItem& item, const QStringList& folders,
               const QList<TriageItem>& waiting);
    // The copy the latest finished check of this item found; none when it found none.
    std::optional<Match> matchFor(const QUuid& itemId) const;

    // Blocks while it re-reads what changed: true when both files of match are still what
    // they were when compared, or have the same content now. For a worker thread, right
    // before acting on the match.
    static bool stillIdentical(const TriageItem& item, const Match& match);
    // "Identical to report.pdf in Documents, filed 3 days ago" (relativeTime: "3 days ago",
    // used when the history knows the filing), "Identical to report (1).pdf, also waiting".
    static QString describe(const Match& match, const QString& relativeTime);

    // Blocks until every check asked for has ended. For tests and benchmarks.
    void waitForIdle();

signals:
    void matchFound(const DuplicateFinder::Match& match);
    // A check ran to its end, whether it found a copy or not (not sent for a cancelled one).
    void checked(const QUuid& itemId);

private:
    struct Request;
    struct Candidate;
    void run(const Request& request, CancelToken& token);
    struct Candidates;
    std::optional<Match> find(const Request& request, const CancelToken& token);
    // The files of size at the top of folder, but the item itself.
    static void addFilesOfSize(const QString& folder, const Request& request, qint64 size,
                               const CancelToken& token, Candidates* candidates);
    // Where the history says files of size were filed (finder's thread).
    void addFilings(const Request& request, qint64 size, Candidates* candidates);
    // The first candidate, in order, that is a hard link of the item or has its content.
    std::optional<Match> compareContents(const Request& request, const struct stat& item,
                                         const QList<Candidate>& candidates,
                                         const CancelToken& token);
    // Finder's thread.
    QList<HistoryEntry> filedWithSize(qint64 size);

    QString m_historyPath;
    LoggerService& m_logger;
    ContentHasher m_hasher;
    QThreadPool m_pool;

    // Finder's thread only: the history connection, the file it is open on, and the check
    // that is running (a long read of the history stops when it is cancelled).
    std::unique_ptr<HistoryDatabase> m_history;
    quint64 m_historyDevice = 0;
    quint64 m_historyInode = 0;
    const CancelToken* m_running = nullptr;

    mutable std::mutex m_lock;
    std::shared_ptr<CancelToken> m_latest; // the token of the newest check
    QHash<QUuid, Match> m_matches;
};

Q_DECLARE_METATYPE(DuplicateFinder::Match)
