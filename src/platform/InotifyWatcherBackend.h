#pragma once

#include "platform/WatcherBackend.h"

#include <QHash>
#include <QSet>

#include <sys/types.h>

class QSocketNotifier;
struct inotify_event;
class QTimer;

// Watches a folder tree with inotify: one watch per folder, new folders watched (and
// reported) as they appear, watches of removed or moved-away folders dropped. The kernel
// wakes the thread only when something happens; there is no polling.
//
// The root is guarded from outside as well: its parent folder is watched for the root's name
// (and, while the root is missing, the nearest folder that exists on the way to it, and the
// way to a link's target), so that a root created later, removed and created again, renamed
// over, or a link retargeted is noticed and watched again.
class InotifyWatcherBackend final : public WatcherBackend
{
    Q_OBJECT
public:
    // How often a start that ran into an inotify limit is tried again.
    static constexpr int retryIntervalMs = 10000;

    explicit InotifyWatcherBackend(QObject* parent = nullptr);
    ~InotifyWatcherBackend() override;

    bool start(const QString& root, QString* error) override;
    void stop() override;
    bool isWatching() const override { return m_fd >= 0 && m_rootWatch >= 0; }
    int watchCount() const override { return int(m_pathByWatch.size()); }
    void deliverPending() override;
    // Tells the inotify limits apart: out of instances (EMFILE at the start) or out of
    // watches (ENOSPC for the folder or one below it), from a folder that cannot be read.
    Health health() const override;
    void setRetryInterval(int ms);

private:
    // Creates the inotify instance and watches the root; false when nothing can be watched.
    bool open(bool announce);
    // Tries again what an inotify limit stopped; rootChanged(true) once the root is watched.
    void retry();
    // What one drain of the descriptor found.
    struct EventBatch
    {
        QList<Event> changed;
        bool lost = false; // the kernel dropped events, or a read was malformed
        bool rootMayHaveChanged = false;
    };
    void readEvents();
    // The events in one read's buffer.
    void readBuffer(const char* buffer, ssize_t length, EventBatch* batch);
    // One event: updates the watches and adds the change it reports to batch.
    void interpret(const inotify_event& event, EventBatch* batch);
    // Compares what the root path leads to now with what is watched, re-arms on a change
    // and renews the guards. Emits rootChanged when the watched folder changed.
    void reevaluateRoot(bool announce);
    bool armRoot();
    void disarmRoot();
    void renewGuards();
    // Adds a watch for folder and every folder below it. Returns false only when the
    // folder itself could not be watched.
    bool addWatchTree(const QString& folder, int* err = nullptr);
    bool addWatch(const QString& folder, int* err);
    void removeWatchTree(const QString& folder);
    void reportWatchFailure(const QString& folder, int err);

    int m_fd = -1;
    QString m_root;
    QSocketNotifier* m_notifier = nullptr;
    QHash<int, QString> m_pathByWatch;
    QHash<QString, int> m_watchByPath;
    int m_rootWatch = -1;
    dev_t m_rootDevice = 0;
    ino_t m_rootInode = 0;
    // Guard watches: the names each guarded folder is watched for.
    QHash<int, QSet<QString>> m_guardNames;
    bool m_limitReported = false;
    QString m_limitFolder; // the first folder the watch limit left unwatched
    int m_initError = 0;   // errno of a failed inotify_init1
    int m_rootError = 0;   // errno of the last failed watch of a root that exists
    QTimer* m_retry = nullptr;
};
