#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// A source of file-system change notifications for one folder and everything below it.
// One backend per platform (inotify here); the download watcher only sees changed paths.
// A backend lives on the watcher's thread and is used only there.
class WatcherBackend : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~WatcherBackend() override = default;

    // Starts watching root recursively. On failure returns false and sets *error.
    virtual bool start(const QString& root, QString* error) = 0;
    virtual void stop() = 0;
    virtual bool isWatching() const = 0;
    // How many folders are being watched (the root included).
    virtual int watchCount() const = 0;

signals:
    // Absolute paths of entries that changed (created, written, renamed, removed),
    // delivered in batches as the kernel hands them over.
    void pathsChanged(const QStringList& paths);
    // Notifications were lost: everything must be looked at again.
    void eventsLost();
    // Some folders cannot be watched (for example the watch limit was reached); changes
    // inside them may go unnoticed.
    void becameUnreliable(const QString& message);
};
