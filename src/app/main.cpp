#include "services/DownloadWatcherService.h"
#include "services/TriageQueueManager.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("stowbird"));
    QApplication::setOrganizationName(QStringLiteral("stowbird"));
    QApplication::setApplicationDisplayName(QStringLiteral("Stowbird"));
    QApplication::setDesktopFileName(QStringLiteral("com.stowbird.Stowbird"));
    QApplication::setApplicationVersion(QStringLiteral(STOWBIRD_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    TriageQueueManager& queue = TriageQueueManager::shared();

    // Until the HUD exists, every change of the queue is printed.
    auto printQueue = [&queue] {
        std::printf("Queue: %lld waiting", static_cast<long long>(queue.totalQueueDepth()));
        if (const auto head = queue.activeItem())
            std::printf(" (next: %s, %s, %s)", qPrintable(head->filename),
                        qPrintable(head->formattedSize()), qPrintable(head->localizedKind()));
        std::printf("\n");
        std::fflush(stdout);
    };

    DownloadWatcherService watcher({}, DownloadWatcherService::defaultDebounceSeconds);
    // Discoveries arrive on the watcher's thread; the queue lives on this one.
    QObject::connect(&watcher, &DownloadWatcherService::fileDiscovered, &queue,
                     [&queue, printQueue](const QUrl& url) {
                         std::printf("Discovered: %s\n", qPrintable(url.toLocalFile()));
                         const qsizetype before = queue.totalQueueDepth();
                         queue.enqueue(url);
                         if (queue.totalQueueDepth() != before)
                             printQueue();
                     });
    watcher.start();
    std::printf("Watching %s\n", qPrintable(watcher.targetDirectory()));
    queue.enqueueBatch(watcher.scanExistingFiles());
    printQueue();

    const int status = app.exec();
    watcher.stop();
    return status;
}
