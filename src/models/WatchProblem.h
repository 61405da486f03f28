#pragma once

#include <QMetaType>

// Why new downloads in a watched folder cannot be seen, or None when they can. The watcher
// reports each change of it; the window and the tray tell the user what to do about it.
enum class WatchProblem {
    None,
    WatchLimitReached,    // inotify's per-user watch limit (fs.inotify.max_user_watches)
    InstanceLimitReached, // inotify's per-user instance limit (fs.inotify.max_user_instances)
    FolderMissing,        // the folder does not exist (yet, or any more)
    FolderUnreadable,     // the folder exists but cannot be listed or watched
    StreamFailed,         // any other failure to create the event stream
};
Q_DECLARE_METATYPE(WatchProblem)
