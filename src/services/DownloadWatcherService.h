#pragma once

#include "models/PartialDownloadIndex.h"
#include "models/WatchProblem.h"
#include "platform/DownloadFolderListing.h"
#include "platform/EventLoopThread.h"
#include "platform/MonotonicClock.h"
#include "platform/WatcherBackend.h"
#include "services/DownloadWatchSchedule.h"
#include "services/ServiceLog.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QTimer;

// Watches one folder (the Downloads folder by default) and reports each new top-level
// item, file or folder, once it looks finished: no longer open for writing, not a partial
// download or a browser's placeholder for one, readable. Items deleted or moved out are
// announced too. Events, debounce timers and completion checks all run on the watcher's own
// thread, "com.stowbird.downloadwatcher": this class is that thread's shell, taking the
// backend's events to the schedule (DownloadWatchSchedule), running the checks it asks for
// on the folder (DownloadFolderListing) and reporting what they find.
class DownloadWatcherService : public QObject
{
    Q_OBJECT
public:
    using DiscoveryCallback = std::function<void(const QUrl&)>;
    using BackendFactory = std::function<std::unique_ptr<WatcherBackend>()>;
    // Told of an item left out because its name is not valid UTF-8 (lossyName shows it).
    using UnusableNameNote = DownloadFolderListing::UnusableNameNote;

    static constexpr double defaultDebounceSeconds = 1.5;
    // The longest quiet period a timer can wait for (its interval is an int of milliseconds).
    static constexpr double maximumDebounceSeconds = 2147483.0;

    // An empty targetDirectory means the user's Downloads folder. The callback is called
    // on the watcher's thread; fileDiscovered is emitted alongside it. An empty factory
    // means inotify. Quiet periods and check delays are measured on clock, which must
    // outlive the service.
    explicit DownloadWatcherService(const QString& targetDirectory = {},
                                    double debounceSeconds = defaultDebounceSeconds,
                                    DiscoveryCallback onFileDiscovered = {},
                                    BackendFactory backendFactory = {},
                                    const MonotonicClock& clock = MonotonicClock::system(),
                                    QObject* parent = nullptr);
    ~DownloadWatcherService() override;

    QString targetDirectory() const { return m_targetDirectory; }
    // Where the watcher logs; standard error until given. Set before start().
    void setLogger(LoggerService* logger) { m_log.setLogger(logger); }
    // How long the completion check waits between its two samples; set before start().
    void setSampleIntervalMs(int ms) { m_schedule.setSampleIntervalMs(ms); }
    // Logs that an item was left out because its name is not valid UTF-8, once per name
    // for the life of the watcher (a rescan meets it again on every listing). Any thread.
    void noteUnusableName(const QString& folder, const QString& lossyName) const;
    double debounceDelay() const { return m_schedule.quietSeconds(); }
    // Takes effect at once, for the items already waiting too. Out-of-range values are
    // clamped (see clampDebounceSeconds).
    void setDebounceSeconds(double seconds);
    // Negative (or not a number) becomes 0; more than a timer can wait becomes the maximum.
    static double clampDebounceSeconds(double seconds);

    // Starts (or restarts) watching. A folder that does not exist yet is watched from the
    // moment it appears. Failure is printed and leaves the service idle.
    void start();
    // The same start, carried out on the watcher's thread without waiting for it (arming
    // the watches lists the folder, which takes a while for a large one); started() fires
    // when it is done.
    void startInBackground();
    // Cancels every pending check and stops watching. Safe when not started.
    void stop();
    // Returns once the watcher's thread has taken in every change the system reported
    // before the call and has run every step due by the clock's time now. The thread does
    // both by itself; this is for callers that move a hand-driven clock and must see the
    // outcome of each step before taking the next.
    void catchUp();
    // True while the folder itself is under watch.
    bool isWatching() const;
    // Folders under watch and items with a debounce or check under way (for diagnostics).
    int watchCount() const;
    int pendingCount() const { return m_schedule.pendingCount(); }
    // How often events were lost (the kernel's queue overflowed) and the folder was rescanned.
    int eventsLostCount() const { return m_eventsLost.load(); }

    // The items now in the folder that pass the ignore rule, are not a placeholder of a
    // download under way and are not being written, oldest first by modification date.
    // Names that are not valid UTF-8 are left out (and logged once). Runs on the caller's
    // thread; a large folder takes a while, so the program lists it on a pool thread (see
    // QueueRescanner). The instance's listing hands the files being written to the watcher
    // (see watchUntilFinished); the static one leaves them out.
    QList<QUrl> scanExistingFiles();
    static QList<QUrl> scanExistingFiles(const QString& directory)
    {
        return DownloadFolderListing::urlsOf(DownloadFolderListing::listExistingPaths(directory));
    }
    // The same listing as standardised paths (see DownloadFolderListing::listExistingPaths).
    static QStringList listExistingPaths(const QString& directory,
                                         const std::function<void(const QString&)>& oldest = {},
                                         const UnusableNameNote& unusable = {},
                                         QStringList* beingWritten = nullptr)
    {
        return DownloadFolderListing::listExistingPaths(directory, oldest, unusable, beingWritten);
    }
    // Items found in the folder that are not finished yet (a listing found them open for
    // writing) get a quiet period and the completion checks, as if an event had come for
    // each: each is reported by fileDiscovered once it is done, or dropped until its next
    // event (a writer's close is one) as any other item. Ignored while the folder is not
    // watched. Any thread.
    void watchUntilFinished(const QStringList& paths);

    // True for hidden items and partial downloads, which are never reported.
    static bool shouldIgnore(const QUrl& url) { return DownloadFolderListing::shouldIgnore(url); }
    static bool shouldIgnoreName(const QString& name)
    {
        return DownloadFolderListing::shouldIgnoreName(name);
    }

signals:
    // A finished item. arrivedAnew is true when the item was created at or renamed to its
    // path while watched (as opposed to found by a rescan): whatever was at that path before
    // is gone, so an earlier decision about the path (a skip) no longer applies to it.
    void fileDiscovered(const QUrl& url, bool arrivedAnew);
    // A top-level item (or the whole folder) was deleted or moved away.
    void itemRemoved(const QString& path);
    // The folder was listed again (events were lost, deletions among them, or it came back):
    // the paths of the items in it now. Anything else once reported from it is gone.
    void itemsListed(const QString& folder, const QSet<QString>& paths);
    // A clear message when some folders cannot be watched (the inotify watch limit).
    void watcherUnreliable(const QString& message);
    // Whether new downloads in the folder can be seen changed: a problem that stops it (with
    // a detail for the log and the user), or WatchProblem::None once it is solved.
    void watchHealthChanged(const QString& folder, WatchProblem problem, const QString& detail);
    // A start asked for with startInBackground() has got far enough that changes in the
    // folder from here on are seen (or it has ended without a folder to watch). Listing
    // the folder after this misses nothing.
    void started();

private:
    using Step = DownloadWatchSchedule::Step;

    void startOnThread();
    // Emits started() once for a startInBackground(); watcher thread only.
    void announceStarted();
    void stopOnThread();
    void cancelAllPending();
    void handleEvents(const QList<WatcherBackend::Event>& events);
    // Records whether the partial download name is still in the folder.
    void handlePartialChange(const QString& name);
    void handleRootChanged(bool present);
    // Emits watchHealthChanged when the problem differs from the last one told.
    void updateHealth(const WatcherBackend::Health& health);
    // Lists the folder again: rebuilds the index of partial downloads and debounces every
    // top-level item.
    void rescan();
    // Rebuilds the index of partial downloads from a listing; returns the other names when
    // listItems is set.
    QStringList rebuildPartialIndex(bool listItems);
    // The top-level item an event path belongs to, or an empty string.
    QString topLevelItem(const QString& eventPath) const;
    void debounce(const QString& itemPath, bool arrived = false);
    // A completion check: a first look, or a second sample compared with the first.
    void runStep(const Step& step);
    void conclude(const Step& step, bool finished);
    // Runs everything that is due, then sets the one timer for the next deadline.
    void runDue();
    void armTimer(bool force = false);
    qint64 nowNs() const { return m_clock.nowNs(); }

    const QString m_targetDirectory;
    ServiceLog m_log;
    mutable std::mutex m_notedLock;
    mutable QSet<QString> m_notedNames; // unusable names logged already
    BackendFactory m_backendFactory;
    const DiscoveryCallback m_onFileDiscovered;

    EventLoopThread m_thread;
    QObject* const m_context; // m_thread's: receives the backend's signals, owns the timer
    std::unique_ptr<WatcherBackend> m_backend;
    bool m_announceStart = false; // watcher thread only
    WatchProblem m_problem = WatchProblem::None; // as last told; watcher thread only
    std::atomic<int> m_eventsLost = 0;

    // Watcher thread only (but for its pending count and quiet period): the quiet periods
    // and checks under way, with one timer set for the earliest deadline.
    const MonotonicClock& m_clock;
    DownloadWatchSchedule m_schedule;
    QTimer* m_timer = nullptr;
    qint64 m_timerDueNs = -1;
    // Watcher thread only: the partial downloads in the folder, by the final name each may
    // stand for.
    PartialDownloadIndex m_partialsByFinal;
};
