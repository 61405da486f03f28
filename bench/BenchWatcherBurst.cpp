// A burst of N new files in the watched folder (N = 5k, 10k, 20k, 40k by default): the time
// from the last file's close() until the last one is in the triage queue (designed: the
// 1.5 s debounce plus the 0.3 s sample), the watcher thread's CPU time per file (flat when
// the cost is linear in N), how often the kernel's event queue overflowed, and the longest
// gap of the event loop on the thread that holds the queue (the GUI thread in the program).
//
//   ./build/bench/BenchWatcherBurst [N ...]
#include "TestEnvironment.h"
#include "services/DownloadWatcherService.h"
#include "services/TriageQueueManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

// Nanoseconds the watcher's thread has spent on a CPU.
qint64 watcherThreadCpuNs()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + "/comm"));
        if (!comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith("com.stowbird.do"))
            continue;
        QFile schedstat(tasks.filePath(tid + "/schedstat"));
        if (!schedstat.open(QIODevice::ReadOnly))
            return -1;
        return schedstat.readAll().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.append(QByteArray(argv[i]).toInt());
    if (counts.isEmpty())
        counts = {5000, 10000, 20000, 40000};

    {
        // The same event loop with nothing to do: the gaps the machine's load alone causes.
        QElapsedTimer clock;
        clock.start();
        qint64 lastTick = 0;
        qint64 longestGapNs = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longestGapNs = std::max(longestGapNs, now - lastTick);
            lastTick = now;
        });
        ticker.start(1);
        QTimer::singleShot(3000, &app, &QCoreApplication::quit);
        app.exec();
        std::printf("idle baseline, 3 s: longest event-loop gap %.1f ms\n",
                    double(longestGapNs) / 1e6);
    }

    for (const int count : std::as_const(counts)) {
        QTemporaryDir dir;
        QTemporaryDir state;
        TriageQueueManager queue(state.path());
        DownloadWatcherService watcher(dir.path(), DownloadWatcherService::defaultDebounceSeconds);
        QObject::connect(
            &watcher, &DownloadWatcherService::fileDiscovered, &queue,
            [&queue](const QUrl& url, bool arrivedAnew) { queue.enqueue(url, arrivedAnew); },
            Qt::QueuedConnection);
        watcher.start();
        const qint64 cpuBefore = watcherThreadCpuNs();

        QElapsedTimer clock;
        clock.start();
        std::atomic<qint64> lastCloseNs = -1;
        std::thread writer([&] {
            const QByteArray folder = QFile::encodeName(dir.path());
            for (int i = 0; i < count; ++i) {
                const QByteArray name = folder + "/burst-" + QByteArray::number(i) + ".bin";
                const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
                if (fd < 0 || ::write(fd, "data", 4) != 4)
                    std::abort();
                ::close(fd);
            }
            lastCloseNs = clock.nsecsElapsed();
        });

        // The event loop of the queue's thread, watched for gaps.
        qint64 lastTick = clock.nsecsElapsed();
        qint64 longestGapNs = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longestGapNs = std::max(longestGapNs, now - lastTick);
            lastTick = now;
        });
        ticker.start(1);
        qint64 queuedNs = -1;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (queue.totalQueueDepth() >= count && lastCloseNs >= 0) {
                queuedNs = clock.nsecsElapsed();
                app.quit();
            } else if (clock.elapsed() > 120000) {
                app.quit();
            }
        });
        poll.start(5);
        app.exec();
        writer.join();
        const qint64 cpuNs = watcherThreadCpuNs() - cpuBefore;
        if (queuedNs < 0) {
            std::printf("%d files: only %lld queued after 120 s\n", count,
                        qlonglong(queue.totalQueueDepth()));
            return 1;
        }
        std::printf("%6d files: burst written in %.2f s; queued %.2f s after the last close "
                    "(designed 1.80 s); watcher CPU %.2f s = %.1f us per file; overflows %d; "
                    "longest event-loop gap on the queue's thread %.1f ms\n",
                    count, double(lastCloseNs) / 1e9, double(queuedNs - lastCloseNs) / 1e9,
                    double(cpuNs) / 1e9, double(cpuNs) / 1e3 / count, watcher.eventsLostCount(),
                    double(longestGapNs) / 1e6);
        std::fflush(stdout);

        // Starting to watch the folder now holding them keeps the caller waiting this long.
        DownloadWatcherService second(dir.path());
        QElapsedTimer startClock;
        startClock.start();
        second.start();
        std::printf("%6d files: start() returned after %.1f ms\n", count,
                    double(startClock.nsecsElapsed()) / 1e6);
    }
    return 0;
}
