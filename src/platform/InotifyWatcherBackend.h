#pragma once

#include "platform/WatcherBackend.h"

#include <QHash>

class QSocketNotifier;

// Watches a folder tree with inotify: one watch per folder, new folders watched (and
// reported) as they appear, watches of removed or moved-away folders dropped. The kernel
// wakes the thread only when something happens; there is no polling.
class InotifyWatcherBackend final : public WatcherBackend
{
    Q_OBJECT
public:
    explicit InotifyWatcherBackend(QObject* parent = nullptr);
    ~InotifyWatcherBackend() override;

    bool start(const QString& root, QString* error) override;
    void stop() override;
    bool isWatching() const override { return m_fd >= 0; }
    int watchCount() const override { return int(m_pathByWatch.size()); }

private:
    void readEvents();
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
    bool m_limitReported = false;
};
