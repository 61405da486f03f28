#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct AppConfig;
class BlockingProblems;
class ConfigurationService;
class DownloadWatcherService;
class LoggerService;
class QueueRescanner;
class TriageQueueManager;

// The watchers of the inboxes (the Downloads folder, always, and the others the settings
// name) and the rescanner that brings their reports and listings into the queue. At launch
// the watchers are made first and started once the window is up (start()); the first listing
// of the folders starts once every watch is armed, so that nothing arrives unseen between the
// listing and the watches, and once the listing is released (releaseListing()).
class InboxWatchers : public QObject
{
    Q_OBJECT
public:
    struct Dependencies
    {
        TriageQueueManager* queue = nullptr;
        ConfigurationService* config = nullptr;
        LoggerService* logger = nullptr;
        BlockingProblems* problems = nullptr;
        // The Downloads folder; empty means the user's own.
        QString downloadsDirectory;
        // The watchers' wait between the two samples of a file; 0: their own.
        int sampleIntervalMs = 0;
    };

    explicit InboxWatchers(const Dependencies& dependencies, QObject* parent = nullptr);
    ~InboxWatchers() override;

    // Makes the watchers of the Downloads folder and of the configured inboxes and puts the
    // first listing under way (held until the watches are armed and the listing released).
    // holdListing: the listing also waits for releaseListing().
    void prepare(bool holdListing);
    // Starts the watchers made by prepare().
    void start();
    // Lets the first listing begin once the watches are armed.
    void releaseListing();
    // Stops every watcher (the end of the program).
    void stop();

    // The folders watched: the Downloads folder first, then the other inboxes in the order
    // the settings list them.
    QStringList watchedFolders() const;
    // True while a listing of the folders is being taken or fed to the queue.
    bool isScanning() const;
    QueueRescanner* rescanner() const { return m_rescanner; }
    DownloadWatcherService* downloadWatcher() const { return m_downloadWatcher.get(); }

signals:
    // A listing started or ended.
    void scanningChanged();

private:
    // A watcher of folder with what every watcher is given: the log, the sample interval.
    std::unique_ptr<DownloadWatcherService> makeWatcher(const QString& folder,
                                                        double debounceSeconds) const;
    // Sends a watcher's reports to the rescanner and starts it; one of the launch is started
    // by start(). A watcher of the launch holds the first listing back until its watches are
    // armed; one added later is followed by a rescan.
    void startWatcher(DownloadWatcherService* watcher, bool atLaunch);
    // Watches the other inboxes the configuration names, starting and stopping watchers for
    // the folders added and removed; entries that cannot be watched are logged.
    void applyInboxes(const AppConfig& config, bool atLaunch);
    // A watcher started at launch is watching (or is gone): the first listing starts once
    // every one of them is.
    void noteWatcherStarted(const DownloadWatcherService* watcher);
    void startHeldListing();

    Dependencies m_deps;
    std::unique_ptr<DownloadWatcherService> m_downloadWatcher;
    // The other inboxes' watchers, in the settings' order.
    std::vector<std::unique_ptr<DownloadWatcherService>> m_inboxWatchers;
    QStringList m_inboxEntries; // the configuration's list, as last applied
    QSet<const DownloadWatcherService*> m_watchersStarting; // at launch, not yet watching
    QueueRescanner* m_rescanner = nullptr;
    bool m_watcherStarted = false;
    bool m_listingHeld = false;
};
