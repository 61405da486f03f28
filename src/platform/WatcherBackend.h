#pragma once

#include "models/WatchProblem.h"

#include <QList>
#include <QObject>
#include <QString>

// A source of file-system change notifications for one folder and everything below it.
// One backend per platform (inotify here); the download watcher only sees changed paths and
// what kind of change each was. A backend lives on the watcher's thread and is used only there.
class WatcherBackend : public QObject
{
    Q_OBJECT
public:
    struct Event
    {
        enum Kind : quint8 {
            Created,     // a new entry at the path
            MovedIn,     // an entry renamed to the path (from inside the folder or outside)
            Modified,    // data written
            ClosedWrite, // a writer closed the file
            Attrib,      // metadata changed
            Removed,     // the entry at the path was deleted
            MovedOut,    // the entry at the path was renamed away
        };
        QString path;
        Kind kind = Modified;
        // False when the entry's name is not valid UTF-8: path then carries a lossy
        // rendering of the name that does not lead back to the file.
        bool validName = true;
    };

    // Whether changes in the folder can be seen, and if not why (with a detail for the log).
    struct Health
    {
        WatchProblem problem = WatchProblem::None;
        QString detail;
    };

    using QObject::QObject;
    ~WatcherBackend() override = default;

    // Starts watching root recursively. A root that does not exist yet (or stops existing) is
    // waited for: it is watched from the moment it appears (rootChanged). Returns false and
    // sets *error only when nothing can be watched at all.
    virtual bool start(const QString& root, QString* error) = 0;
    virtual void stop() = 0;
    // True while the root itself is under watch.
    virtual bool isWatching() const = 0;
    // How many folders are being watched (the root included).
    virtual int watchCount() const = 0;
    // Delivers at once, before returning, the changes the system has already reported that
    // are still waiting to be read. A backend that is handed its changes has none waiting.
    virtual void deliverPending() {}
    // What keeps changes from being seen now: asked after a failed start(), after
    // rootChanged and becameUnreliable. A backend that cannot tell the causes apart says the
    // folder is missing whenever the root is not watched.
    virtual Health health() const;

signals:
    // Changes, in the order the kernel reported them, delivered in batches.
    void eventsArrived(const QList<WatcherBackend::Event>& events);
    // Notifications were lost: everything must be looked at again.
    void eventsLost();
    // Some folders cannot be watched (for example the watch limit was reached); changes
    // inside them may go unnoticed.
    void becameUnreliable(const QString& message);
    // The root stopped being watched (removed, renamed away, or a link to it now points
    // elsewhere: present false), or it is watched again, possibly as a different folder
    // (present true). After a true everything in it must be looked at again.
    void rootChanged(bool present);
    // The root itself is under watch from here on, while the start (or a re-arm) may still
    // be watching the folders below it.
    void rootArmed();
};
