// The watcher's own delay: from the moment a download completes to the discovery callback,
// minus the configured debounce and the 0.3 s size sample. Three ways of completing, as real
// clients do: a writer's close() (wget, curl), Firefox's part file renamed over its empty
// placeholder, aria2's control file removed. Also counts the watcher thread's wake-ups while
// nothing happens (there should be none: no polling).
#include "TestEnvironment.h"
#include "services/DownloadWatchSchedule.h"
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
#include <cstdlib>
#include <functional>
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
    QString discoveredName;
    qint64 discoveredAt = -1;
    QElapsedTimer clock;
    clock.start();

    DownloadWatcherService watcher(dir.path(), debounce, [&](const QUrl& url) {
        QMutexLocker locker(&lock);
        discoveredName = url.fileName();
        discoveredAt = clock.nsecsElapsed();
        arrived.wakeAll();
    });
    watcher.start();

    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            std::exit(1);
        f.write(bytes);
    };
    // Runs one download's completion and returns the watcher's own delay in ms.
    auto measure = [&](const QString& name, const std::function<void()>& complete) {
        {
            QMutexLocker locker(&lock);
            discoveredAt = -1;
            discoveredName.clear();
        }
        const qint64 completedAt = clock.nsecsElapsed();
        complete();
        QMutexLocker locker(&lock);
        while (discoveredName != name)
            if (!arrived.wait(&lock, 10000))
                std::exit(2);
        const double totalMs = double(discoveredAt - completedAt) / 1e6;
        return totalMs - debounce * 1000.0 - DownloadWatchSchedule::sampleIntervalMs;
    };
    auto report = [&](const char* what, std::vector<double> extraMs) {
        std::sort(extraMs.begin(), extraMs.end());
        std::printf("debounce %.2f s, %d files, %s: watcher's own delay median %.2f ms, min "
                    "%.2f ms, max %.2f ms\n",
                    debounce, int(extraMs.size()), what, extraMs[extraMs.size() / 2],
                    extraMs.front(), extraMs.back());
    };

    std::vector<double> inPlace, firefox, aria2;
    for (int i = 0; i < files; ++i) {
        const QString name = QStringLiteral("file-%1.bin").arg(i);
        inPlace.push_back(measure(name, [&] { write(name, QByteArray(64 * 1024, 'x')); }));
    }
    for (int i = 0; i < files; ++i) {
        // The placeholder and the part file exist first; completion is the rename.
        const QString name = QStringLiteral("report-%1.pdf").arg(i);
        const QString part = QStringLiteral("report-%1.Ab3dE9xZ.pdf.part").arg(i);
        write(name, {});
        write(part, QByteArray(64 * 1024, 'p'));
        firefox.push_back(measure(name, [&] {
            ::rename(QFile::encodeName(dir.filePath(part)).constData(),
                     QFile::encodeName(dir.filePath(name)).constData());
        }));
    }
    for (int i = 0; i < files; ++i) {
        const QString name = QStringLiteral("disk-%1.iso").arg(i);
        write(name + QStringLiteral(".aria2"), "control");
        write(name, QByteArray(64 * 1024, 'a'));
        aria2.push_back(
            measure(name, [&] { QFile::remove(dir.filePath(name + QStringLiteral(".aria2"))); }));
    }
    report("write and close", inPlace);
    report("Firefox rename over placeholder", firefox);
    report("aria2 control file removed", aria2);

    // Idle: the watcher thread should not wake up at all.
    const long long before = watcherThreadSwitches();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const long long after = watcherThreadSwitches();
    std::printf("idle 5 s: watcher thread context switches %lld\n", after - before);
    return 0;
}
