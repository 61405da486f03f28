#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QRecursiveMutex>
#include <QString>
#include <QThread>
#include <QUrl>

#include <functional>
#include <memory>

class QTimer;
class WatcherBackend;

// Watches one folder (the Downloads folder by default) and reports each new top-level
// item, file or folder, once it looks finished: no longer written to, not a partial
// download, readable. Events, debounce timers and completion checks all run on the
// watcher's own thread, "com.stowbird.downloadwatcher".
class DownloadWatcherService : public QObject
{
    Q_OBJECT
public:
    using DiscoveryCallback = std::function<void(const QUrl&)>;
    using BackendFactory = std::function<std::unique_ptr<WatcherBackend>()>;

    static constexpr double defaultDebounceSeconds = 1.5;
    // Time between the two samples of a completion check, and the waits before a retry.
    static constexpr int sampleIntervalMs = 300;
    static constexpr int retryDelayMs = 500;
    static constexpr int busyFolderRetryDelayMs = 1000;
    static constexpr int completionRetries = 3;

    // An empty targetDirectory means the user's Downloads folder. The callback is called
    // on the watcher's thread; fileDiscovered is emitted alongside it.
    explicit DownloadWatcherService(const QString& targetDirectory = {},
                                    double debounceSeconds = defaultDebounceSeconds,
                                    DiscoveryCallback onFileDiscovered = {},
                                    BackendFactory backendFactory = {}, QObject* parent = nullptr);
    ~DownloadWatcherService() override;

    QUrl targetDirectoryURL() const { return QUrl::fromLocalFile(m_targetDirectory); }
    QString targetDirectory() const { return m_targetDirectory; }
    double debounceDelay() const { return m_debounceSeconds; }

    void setOnFileDiscovered(DiscoveryCallback callback);

    // Starts (or restarts) watching. Failure is printed and leaves the service idle.
    void start();
    // Cancels every pending check and stops watching. Safe when not started.
    void stop();
    bool isWatching() const;
    // Folders under watch and items with a debounce or check under way (for diagnostics).
    int watchCount() const;
    int pendingCount() const;

    // The items now in the folder that pass the ignore rule, oldest first by modification
    // date. Runs on the caller's thread.
    QList<QUrl> scanExistingFiles() const;
    static QList<QUrl> scanExistingFiles(const QString& directory);

    // True for hidden items and partial downloads, which are never reported.
    static bool shouldIgnore(const QUrl& url);
    static bool shouldIgnoreName(const QString& name);
    // True while a sibling of a download-in-place shows that it is still being written:
    // Firefox's empty placeholder NAME beside NAME.part, aria2's NAME beside NAME.aria2.
    static bool hasPartialSibling(const QString& path, qint64 size);

signals:
    void fileDiscovered(const QUrl& url);
    // A clear message when some folders cannot be watched (the inotify watch limit).
    void watcherUnreliable(const QString& message);

private:
    struct Pending
    {
        QTimer* debounce = nullptr; // null once the quiet period is over and checks run
        quint64 token = 0;
    };

    void runOnWatcherThread(const std::function<void()>& work);
    void startOnThread();
    void stopOnThread();
    void handlePaths(const QStringList& paths);
    void handleEventsLost();
    // The top-level item an event path belongs to, or an empty string.
    QString topLevelItem(const QString& eventPath) const;
    void debounce(const QString& itemPath);
    bool isCurrent(const QString& itemPath, quint64 token) const;
    void finish(const QString& itemPath, quint64 token, bool discovered);
    void check(const QString& itemPath, quint64 token, int retriesLeft);
    void verifyFile(const QString& itemPath, quint64 token, int retriesLeft, qint64 firstSize);
    void verifyFolder(const QString& itemPath, quint64 token, int retriesLeft, int firstCount);
    // Reports a settled item, or checks again later while retries remain.
    void conclude(const QString& itemPath, quint64 token, int retriesLeft, bool finished);
    void retryLater(const QString& itemPath, quint64 token, int retriesLeft, int delayMs);

    const QString m_targetDirectory;
    const double m_debounceSeconds;
    BackendFactory m_backendFactory;

    mutable QMutex m_callbackLock;
    DiscoveryCallback m_onFileDiscovered;

    QThread m_thread;
    QObject* m_context = nullptr; // lives on m_thread; owns timers and the backend
    std::unique_ptr<WatcherBackend> m_backend;

    mutable QRecursiveMutex m_lock; // guards m_pending
    QHash<QString, Pending> m_pending;
    quint64 m_nextToken = 1;
};
