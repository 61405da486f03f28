#pragma once

#include <QFuture>
#include <QString>

#include <chrono>

// The host of the address a browser recorded for a download in GIO's metadata
// ("metadata::download-uri": Firefox and GNOME Web write it there on Linux, not into the
// file's extended attributes, which DownloadOrigin reads). The metadata lives in gvfs's store;
// without gvfs, or without a session bus, there is none and the host is empty.
//
// The first read connects to the session bus (tens of milliseconds, and unbounded when the
// bus does not answer); later reads take microseconds. So every read runs on one thread of
// this class's own and callers never wait on GIO: they take a future, or wait a bounded time.
// As with DownloadOrigin, the address itself never leaves the reading thread: only its host
// is handed back.
class DownloadUriMetadata
{
public:
    static constexpr const char* attribute = "metadata::download-uri";

    // The host, read on the reading thread; finished with an empty host when none is
    // recorded. Watch it with a QFutureWatcher to be told on the caller's thread. While GIO
    // hangs (a bus that does not answer) the future stays unfinished; once too many reads
    // are waiting, new ones finish at once with an empty host.
    static QFuture<QString> hostAsync(const QString& path);

    // Waits at most timeout for the host: for worker threads, never the GUI thread. Empty
    // when none is recorded or the read did not finish in time.
    static QString hostOf(const QString& path, std::chrono::milliseconds timeout);

    // Reads waiting for the reading thread beyond this many are not queued.
    static constexpr int maxPending = 256;
};
