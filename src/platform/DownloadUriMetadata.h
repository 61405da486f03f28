#pragma once

#include <QFuture>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

// The host of the address a browser recorded for a download in GIO's metadata
// ("metadata::download-uri": Firefox and GNOME Web write it there on Linux, not into the
// file's extended attributes, which DownloadOrigin reads). The metadata lives in gvfs's store;
// without gvfs, or without a session bus, there is none and the host is empty.
//
// The first read connects to the session bus (tens of milliseconds, and unbounded when the
// bus does not answer); later reads take microseconds. So every read runs on one thread of
// this class's own and callers never wait on GIO: they are called back, or wait a bounded
// time. As with DownloadOrigin, the address itself never leaves the reading thread: only its
// host is handed back.
class DownloadUriMetadata
{
public:
    static constexpr const char* attribute = "metadata::download-uri";

    // Reads the host on the reading thread and calls done(host) on the calling thread,
    // unless context is gone by then; the host is empty when none is recorded. While GIO
    // hangs (a bus that does not answer) done is not called; once too many reads are
    // waiting, new ones are answered at once with an empty host.
    static void fetchHost(const QString& path, QObject* context,
                          std::function<void(const QString& host)> done);

    // The same as a future, finished on the reading thread.
    static QFuture<QString> hostAsync(const QString& path);

    // Waits at most timeout for the host: for worker threads, never the GUI thread. Empty
    // when none is recorded or the read did not finish in time.
    static QString hostOf(const QString& path, std::chrono::milliseconds timeout);

    // Reads waiting for the reading thread beyond this many are not queued.
    static constexpr int maxPending = 256;
};
