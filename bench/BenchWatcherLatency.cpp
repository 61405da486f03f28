// The watcher's own delay: from a writer's close() to the discovery callback, minus the
// configured debounce and the 0.3 s size sample. Also counts the watcher thread's wake-ups
// while nothing happens (there should be none: no polling).
#include "TestEnvironment.h"
#include "services/DownloadWatcherService.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QWaitCondition>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

long long watcherThreadSwitches()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + "/comm"));
        if (!comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith("com.stowbird.do"))
            continue;
        QFile status(tasks.filePath(tid + "/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        long long total = 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.contains("ctxt_switches"))
                total += line.split(':').last().trimmed().toLongLong();
        return total;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    const double debounce = argc > 1 ? QByteArray(argv[1]).toDouble() : 0.5;
    const int files = 20;

    QTemporaryDir dir;
    QMutex lock;
    QWaitCondition arrived;
    qint64 discoveredAt = -1;
    QElapsedTimer clock;
    clock.start();

    DownloadWatcherService watcher(dir.path(), debounce, [&](const QUrl&) {
        QMutexLocker locker(&lock);
        discoveredAt = clock.nsecsElapsed();
        arrived.wakeAll();
    });
    watcher.start();

    std::vector<double> extraMs;
    for (int i = 0; i < files; ++i) {
        qint64 closedAt = 0;
        {
            QFile f(QStringLiteral("%1/file-%2.bin").arg(dir.path()).arg(i));
            if (!f.open(QIODevice::WriteOnly))
                return 1;
            f.write(QByteArray(64 * 1024, 'x'));
            f.close();
            closedAt = clock.nsecsElapsed();
        }
        QMutexLocker locker(&lock);
        discoveredAt = -1;
        while (discoveredAt < 0)
            if (!arrived.wait(&lock, 10000))
                return 2;
        const double totalMs = double(discoveredAt - closedAt) / 1e6;
        extraMs.push_back(totalMs - debounce * 1000.0 - DownloadWatcherService::sampleIntervalMs);
    }
    std::sort(extraMs.begin(), extraMs.end());
    std::printf("debounce %.2f s, %d files: watcher's own delay median %.2f ms, min %.2f ms, max "
                "%.2f ms\n",
                debounce, files, extraMs[extraMs.size() / 2], extraMs.front(), extraMs.back());

    // Idle: the watcher thread should not wake up at all.
    const long long before = watcherThreadSwitches();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const long long after = watcherThreadSwitches();
    std::printf("idle 5 s: watcher thread context switches %lld\n", after - before);
    return 0;
}
