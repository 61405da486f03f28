#pragma once

#include "services/DownloadWatcherService.h"

#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QUrl>

#include <functional>
#include <memory>

class CompactPathList;
class TriageQueueManager;

// Brings the queue up to date with a fresh listing of the watched folders without holding up
// the GUI thread. The listing and the existence checks of what already waits run on a pool
// thread; their result is fed to the queue a slice per event-loop turn (a few milliseconds
// each), oldest first, so the window keeps drawing even with a hundred thousand files.
//
// The watcher's reports go through here too. While a rescan is under way discoveries are
// held and queued after the listing, so that the queue keeps its oldest-first order;
// removals apply at once and also keep the removed path out of the rest of the listing.
// Only items directly inside one of the watched folders are taken: a report from a folder no
// longer watched (a watcher being stopped) is dropped.
// Lives on the GUI thread; only the post* functions may be called from another thread.
class QueueRescanner : public QObject
{
    Q_OBJECT
public:
    // The longest one slice of feeding may take on the GUI thread.
    static constexpr int sliceBudgetMs = 4;

    QueueRescanner(TriageQueueManager& queue, QString directory, QObject* parent = nullptr);
    ~QueueRescanner() override;

    // The folders listed, the first one (the Downloads folder) first, then each other inbox
    // in turn, each oldest first. What waits from a folder taken out of the list leaves the
    // queue (its skips stay); a folder added is listed by the next rescan.
    void setFolders(const QStringList& folders);
    QStringList folders() const { return m_folders; }

    // Starts a rescan: the listing is queued, and entries whose file is gone are dropped.
    // A rescan asked for while one is under way runs again once it ends.
    void rescan();
    // A rescan whose listing waits for startListingNow(): it is under way from here on
    // (discoveries are held, the window says it is looking), but its threads do not yet
    // compete for the processor. A launch straight to the window lets the window draw its
    // first frame first.
    void rescanWhenReady();
    void startListingNow();
    // While that listing is held, finds a first item at once: the oldest of the first entries
    // (firstLookSample) of the first folder that has one, by the listing's rules (nothing
    // skipped, hidden, partial or still being written). It is queued as the head, so that the
    // window can show it long before a large folder is listed in full; the listing, which
    // starts once it is in, queues the rest behind it, oldest first, and the head stays where
    // it is. Nothing when the queue holds something already or the listing has started.
    void lookForFirstItem();
    static constexpr int firstLookSample = 1024;
    // Replaces firstLookSample (tests take a small one, so that a small folder is large).
    void setFirstLookSample(int entries) { m_firstLookSample = qMax(1, entries); }
    // From the first rescan until the last one asked for has been fed to the queue.
    bool isRunning() const { return m_running; }
    // How many slices the last rescan was fed in (for tests and benchmarks).
    int slicesFed() const { return m_slices; }
    // The most entries a slice may take; a slice also ends when its time budget is spent.
    void setSliceLimit(int entries) { m_sliceLimit = qMax(1, entries); }
    // Told, on the listing's thread, of each item the listing leaves out for its name.
    void setUnusableNameNote(DownloadWatcherService::UnusableNameNote note)
    {
        m_unusableNameNote = std::move(note);
    }
    // Given, on this object's thread, the files a listing left out because a writer may still
    // have them open (a download under way), so that they are queued once done: the program
    // hands them to the watcher (DownloadWatcherService::watchUntilFinished), which reports
    // each when its writer has finished. Without it they wait for the next listing.
    using WrittenFilesHandoff = std::function<void(const QStringList& paths)>;
    void setWrittenFilesHandoff(WrittenFilesHandoff handoff) { m_handoff = std::move(handoff); }

    // The watcher's reports, applied to the queue at once or after the listing.
    void enqueueDiscovered(const QUrl& url, bool arrivedAnew);
    void removePath(const QString& path);
    void retainPresent(const QString& folder, const QSet<QString>& presentPaths);

    // The same reports posted from the watcher's thread. A burst brings thousands at once:
    // they are collected under a lock and applied on this object's thread in order, a
    // time-boxed slice per turn of the event loop, rather than as one queued call each.
    void postDiscovered(const QUrl& url, bool arrivedAnew);
    void postRemoved(const QString& path);
    void postListed(const QString& folder, const QSet<QString>& presentPaths);

signals:
    // Fires when a rescan starts and when the last one has been fed completely.
    void runningChanged(bool running);
    // A rescan's result has been applied in full.
    void finished();
    // The quick first look of lookForFirstItem() is done; found tells whether it queued an
    // item.
    void firstLookDone(bool found);

private:
    struct Listing
    {
        QStringList paths;        // the folder's items, oldest first
        QStringList beingWritten; // files left out: a writer may have them open
        QSet<QString> missing;    // entries of the queue found missing
    };
    struct Discovery
    {
        QUrl url;
        QString path;
        bool arrivedAnew = false;
    };

    struct Report
    {
        enum class Kind : quint8 { Discovered, Removed, Listed } kind;
        QUrl url;
        QString path;
        bool arrivedAnew = false;
        QSet<QString> presentPaths;
    };

    void post(Report report);
    void drainInbox();

    static Listing listAndCheck(const QStringList& folders, const QStringList& queued,
                                const CompactPathList& backlog, const QSet<QString>& skipped,
                                const std::function<void(const QString&)>& oldest,
                                const DownloadWatcherService::UnusableNameNote& unusable);
    // The listing's oldest file, queued ahead of the rest of the listing.
    void takeOldest(const QString& path);
    // The first look's item, queued while the listing is still held.
    void takeFirstItem(const QString& path);
    void startListing();
    void listingDone(Listing listing);
    void feedSlice();
    void scheduleSlice();
    void finish();
    bool keptOutOfListing(const QString& path) const;
    // True when path lies directly inside one of the folders.
    bool isWatched(const QString& standardizedPath) const;

    TriageQueueManager& m_queue;
    QStringList m_folders;
    QSet<QString> m_standardizedFolders;
    DownloadWatcherService::UnusableNameNote m_unusableNameNote;
    WrittenFilesHandoff m_handoff;
    // A listing is running on m_listingPool.
    bool m_listing = false;
    bool m_running = false;
    bool m_again = false;
    bool m_listingDeferred = false;
    // A first look is on the listing's thread; the listing waits for its item.
    bool m_firstLook = false;
    int m_sliceLimit = 4096;
    int m_firstLookSample = firstLookSample;
    int m_slices = 0;

    // The listing being fed, and where feeding has got to.
    QStringList m_listed;
    qsizetype m_next = 0;
    bool m_sliceScheduled = false;
    // Discoveries held back until the listing is in, in arrival order.
    QList<Discovery> m_held;
    qsizetype m_nextHeld = 0;
    // Removals and fresh listings reported while a rescan runs: they are newer than the
    // listing, so they overrule it.
    QSet<QString> m_removed;
    QList<QPair<QString, QSet<QString>>> m_present;

    // Reports from the watcher's thread not yet applied, oldest first.
    QMutex m_inboxLock;
    QList<Report> m_inbox;      // guarded by m_inboxLock
    bool m_drainPosted = false; // guarded by m_inboxLock
    QList<Report> m_draining;   // taken from the inbox, this thread only
    qsizetype m_nextDrained = 0;

    // The listing's one thread; last, so that it is done before the rest goes away.
    QThreadPool m_listingPool;
};
