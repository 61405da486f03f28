#include "LoopbackHttpServer.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "fakes/ManualClock.h"
#include "platform/DownloadFolderListing.h"
#include "services/DownloadWatcherService.h"
#include "services/QueueRescanner.h"
#include "services/TriageQueueManager.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

using namespace std::chrono_literals;

class TestQueueRescanner : public QObject
{
    Q_OBJECT

private:
    QString m_downloads;
    QString m_state;
    std::unique_ptr<TriageQueueManager> m_queue;
    std::unique_ptr<QueueRescanner> m_rescanner;

    // A file whose modification time is `second` seconds into 2020, so that the listing's
    // oldest-first order is known.
    QString makeFile(const QString& name, int second)
    {
        const QString path = m_downloads + QLatin1Char('/') + name;
        TestFiles::writeFile(path, "data");
        const timespec times[2] = {{1577836800 + second, 0}, {1577836800 + second, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
        return path;
    }

    // Items then backlog: the whole queue in order.
    QStringList queuedPaths() const
    {
        QStringList paths;
        for (const TriageItem& item : m_queue->items())
            paths.append(TriageItem::standardizedPath(item.url));
        paths.append(m_queue->pendingBacklog().toList());
        return paths;
    }

    // Runs the event loop until the rescan under way has been fed in full. Not qWaitFor: it
    // sleeps 10 ms after each pass of the loop, and every slice takes a pass.
    bool waitUntilFed()
    {
        QSignalSpy ended(m_rescanner.get(), &QueueRescanner::runningChanged);
        return !m_rescanner->isRunning() || (ended.wait(20000) && !m_rescanner->isRunning());
    }

    bool runToEnd()
    {
        m_rescanner->rescan();
        return waitUntilFed();
    }

private slots:
    void init()
    {
        m_downloads = QDir::homePath() + "/Downloads";
        m_state = QDir::homePath() + "/state";
        QDir(m_downloads).removeRecursively();
        QDir(m_state).removeRecursively();
        QVERIFY(QDir().mkpath(m_downloads));
        QVERIFY(QDir().mkpath(m_state));
        m_queue = std::make_unique<TriageQueueManager>(m_state);
        m_rescanner = std::make_unique<QueueRescanner>(*m_queue, m_downloads);
    }

    void cleanup()
    {
        m_rescanner.reset();
        m_queue.reset();
    }

    void feedsInSlicesYetEndsExact()
    {
        STOWBIRD_STRESS_CASE();
        // Created newest first, so that the listing's order is not the creation order; more
        // than the listing shares among threads.
        QStringList expected;
        const int count = 9000;
        for (int i = count - 1; i >= 0; --i)
            makeFile(QStringLiteral("f%1.bin").arg(i, 4, 10, QLatin1Char('0')), i);
        for (int i = 0; i < count; ++i)
            expected.append(m_downloads +
                            QStringLiteral("/f%1.bin").arg(i, 4, 10, QLatin1Char('0')));

        // Waiting already: a listed file (no duplicate may follow it) and one that is gone
        // since (the rescan drops it). A skipped file and one with an action in flight
        // stay out.
        const QString skipped = makeFile(QStringLiteral("skipped.bin"), 20001);
        m_queue->enqueue(QUrl::fromLocalFile(skipped));
        m_queue->skipCurrent();
        m_queue->enqueue(QUrl::fromLocalFile(expected.at(700)));
        const QString gone = makeFile(QStringLiteral("gone.bin"), 20002);
        m_queue->enqueue(QUrl::fromLocalFile(gone));
        QVERIFY(QFile::remove(gone));
        const QString inFlight = expected.at(3);
        m_queue->beginInFlight(QUrl::fromLocalFile(inFlight));

        // Depths seen between two slices, from a timer that runs between turns.
        QList<qsizetype> depthsBetweenSlices;
        QTimer sampler;
        sampler.setInterval(0);
        connect(&sampler, &QTimer::timeout, this,
                [&] { depthsBetweenSlices.append(m_queue->totalQueueDepth()); });
        sampler.start();
        m_rescanner->setSliceLimit(500);
        QVERIFY(runToEnd());
        sampler.stop();

        QVERIFY2(m_rescanner->slicesFed() >= count / 500,
                 qPrintable(QString::number(m_rescanner->slicesFed())));
        // The window got turns while the listing was fed: partial depths were seen.
        QVERIFY(std::any_of(depthsBetweenSlices.cbegin(), depthsBetweenSlices.cend(),
                            [&](qsizetype depth) { return depth > 1 && depth < count - 1; }));

        QStringList want;
        want.append(expected.at(700)); // waited already, keeps its place
        for (const QString& path : std::as_const(expected)) {
            if (path != expected.at(700) && path != inFlight)
                want.append(path);
        }
        QCOMPARE(queuedPaths(), want);
        QVERIFY(m_queue->skippedPaths().contains(skipped));
        m_queue->endInFlight(QUrl::fromLocalFile(inFlight));
    }

    void watcherReportsDuringAScanKeepOrderAndRemovals()
    {
        QStringList listed;
        for (int i = 0; i < 60; ++i)
            listed.append(makeFile(QStringLiteral("old%1.bin").arg(i, 3, 10, QLatin1Char('0')), i));
        m_rescanner->setSliceLimit(10);
        m_rescanner->rescan();
        QVERIFY(m_rescanner->isRunning());
        // While the listing is taken: a new download arrives; another arrives and is
        // deleted again; a listed file is reported removed (the listing may predate that).
        const QString fresh = makeFile(QStringLiteral("a-new.bin"), 9000);
        m_rescanner->enqueueDiscovered(QUrl::fromLocalFile(fresh), true);
        const QString shortLived = makeFile(QStringLiteral("short.bin"), 9001);
        m_rescanner->enqueueDiscovered(QUrl::fromLocalFile(shortLived), true);
        QVERIFY(QFile::remove(shortLived));
        m_rescanner->removePath(shortLived);
        const QString removed = listed.at(10);
        m_rescanner->removePath(removed);
        QVERIFY(waitUntilFed());

        // The new download comes after the older listed files, whatever its name.
        QStringList want = listed;
        want.removeAll(removed);
        want.append(fresh);
        QCOMPARE(queuedPaths(), want);
    }

    // A launch holds its first listing back until the window is drawn: meanwhile the rescan
    // counts as under way (discoveries wait), and once let go the oldest file is queued on
    // its own, ahead of the sorted rest.
    void aHeldRescanListsWhenLetGoAndQueuesTheOldestFirst()
    {
        QStringList listed;
        for (int i = 0; i < 60; ++i) {
            // Names in the opposite order to the times, and pairs of equal times.
            listed.append(makeFile(QStringLiteral("f%1.bin").arg(999 - i), 10 + i / 2));
        }
        std::stable_sort(listed.begin(), listed.end(), [](const QString& a, const QString& b) {
            return QFileInfo(a).lastModified() < QFileInfo(b).lastModified();
        });
        QString reportedOldest;
        const QStringList direct = DownloadWatcherService::listExistingPaths(
            m_downloads, [&](const QString& path) { reportedOldest = path; });
        QCOMPARE(reportedOldest, direct.first());
        QCOMPARE(QSet<QString>(direct.cbegin(), direct.cend()),
                 QSet<QString>(listed.cbegin(), listed.cend()));

        m_rescanner->setSliceLimit(10);
        m_rescanner->rescanWhenReady();
        QVERIFY(m_rescanner->isRunning());
        const QString fresh = makeFile(QStringLiteral("a-new.bin"), 9000);
        m_rescanner->enqueueDiscovered(QUrl::fromLocalFile(fresh), true);
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        QVERIFY(m_queue->isEmpty());
        QVERIFY(m_rescanner->isRunning());

        QStringList firstChange;
        connect(m_queue.get(), &TriageQueueManager::triageQueueDidChange, this, [&] {
            if (firstChange.isEmpty())
                firstChange = queuedPaths();
        });
        m_rescanner->startListingNow();
        QVERIFY(waitUntilFed());
        QCOMPARE(firstChange, QStringList{direct.first()});
        QStringList want = direct;
        want.append(fresh);
        QCOMPARE(queuedPaths(), want);
    }

    // At launch a first item is queued while the listing is still held, from a look at part
    // of a large folder; the listing then queues everything else behind it, oldest first.
    // A file still open for writing is offered by neither.
    void aFirstLookQueuesAHeadThatStaysWhileTheRestFollowsOldestFirst()
    {
        // A sample smaller than the program's, so that a few dozen files are a large folder.
        constexpr int sample = 16;
        m_rescanner->setFirstLookSample(sample);
        const qint64 tomorrow = QDateTime::currentSecsSinceEpoch() + 86400;
        QStringList files;
        for (int i = 0; i < sample * 3; ++i) {
            const QString path = makeFile(QStringLiteral("f%1.bin").arg(i), 0);
            const timespec times[2] = {{tomorrow + i, 0}, {tomorrow + i, 0}};
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
            files.append(path);
        }
        // The oldest of all, but a writer has it open.
        QFile written(m_downloads + QStringLiteral("/written.bin"));
        QVERIFY(written.open(QIODevice::WriteOnly));
        written.write("partial");
        written.flush();

        m_rescanner->rescanWhenReady();
        m_rescanner->lookForFirstItem();
        STOWBIRD_TRY_VERIFY(!m_queue->isEmpty(), 10000);
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        const QStringList early = queuedPaths();
        QCOMPARE(early.size(), 1);
        QVERIFY(files.contains(early.first()));
        QVERIFY(m_rescanner->isRunning());

        m_rescanner->startListingNow();
        QVERIFY(waitUntilFed());
        QStringList want = files;
        want.removeOne(early.first());
        want.prepend(early.first());
        QCOMPARE(queuedPaths(), want);
    }

    // The first look reads only part of a large folder: a download under way whose partial
    // file lies beyond that part still keeps its placeholder, or its in-place file, out.
    // Samples of every size meet the names in the order the folder gives them.
    void aFirstLookNeverOffersADownloadUnderWay()
    {
        const QString placeholder = makeFile(QStringLiteral("report.pdf"), 1);
        QFile(placeholder).resize(0);
        makeFile(QStringLiteral("report.Ab3dE_9z.pdf.part"), 5);
        makeFile(QStringLiteral("big.iso"), 2);
        makeFile(QStringLiteral("big.iso.aria2"), 6);
        const QString done = makeFile(QStringLiteral("done.bin"), 3);
        for (int sample = 1; sample <= 5; ++sample) {
            const QString first = DownloadFolderListing::firstExistingPath(m_downloads, sample);
            QVERIFY2(first.isEmpty() || first == done, qPrintable(first));
        }
        QCOMPARE(DownloadFolderListing::firstExistingPath(m_downloads, 5), done);
    }

    void aRescanAskedForMeanwhileRunsAfterwards()
    {
        for (int i = 0; i < 100; ++i)
            makeFile(QStringLiteral("f%1.bin").arg(i), i);
        m_rescanner->setSliceLimit(10);
        m_rescanner->rescan();
        QSignalSpy running(m_rescanner.get(), &QueueRescanner::runningChanged);
        QSignalSpy finished(m_rescanner.get(), &QueueRescanner::finished);
        const QString late = makeFile(QStringLiteral("late.bin"), 500);
        m_rescanner->rescan();
        QVERIFY(waitUntilFed());
        QCOMPARE(finished.size(), 2);
        QCOMPARE(running.size(), 1);
        QCOMPARE(running.first().first().toBool(), false);
        const QStringList got = queuedPaths();
        QCOMPARE(got.size(), 101);
        QCOMPARE(got.count(late), 1);
        QCOMPARE(QSet<QString>(got.cbegin(), got.cend()).size(), 101);
    }

    void reportsFromAnotherThreadApplyInOrderAndInSlices()
    {
        STOWBIRD_STRESS_CASE();
        // A burst of discoveries posted from a watcher-like thread, a removal among them.
        const int count = 20000;
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths.append(makeFile(QStringLiteral("burst%1.bin").arg(i), i));
        QList<qsizetype> depthsBetweenTurns;
        QTimer sampler;
        sampler.setInterval(0);
        connect(&sampler, &QTimer::timeout, this,
                [&] { depthsBetweenTurns.append(m_queue->totalQueueDepth()); });
        sampler.start();
        std::thread watcher([&] {
            for (int i = 0; i < count; ++i) {
                m_rescanner->postDiscovered(QUrl::fromLocalFile(paths.at(i)), true);
                if (i == 1000)
                    m_rescanner->postRemoved(paths.at(10));
            }
        });
        watcher.join();
        QTRY_COMPARE_WITH_TIMEOUT(m_queue->totalQueueDepth(), qsizetype(count - 1), 20000);
        sampler.stop();
        QStringList want = paths;
        want.removeAt(10);
        QCOMPARE(queuedPaths(), want);
        QVERIFY(std::any_of(depthsBetweenTurns.cbegin(), depthsBetweenTurns.cend(),
                            [&](qsizetype depth) { return depth > 0 && depth < count - 1; }));
    }

    // curl has written half a file, its connection stalled, while the folder is listed. The
    // listing leaves it out, and tells as the oldest the next file rather than it; the
    // watcher it is handed to keeps it back for as long as curl holds it open, and reports it
    // once curl has closed it: it is queued then, once and whole.
    void aFileBeingWrittenIsQueuedOnlyWhenDone()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("curl")).isEmpty())
            QFAIL("curl is not installed (scripts/install-deps.sh installs it)");
        constexpr int size = 256 * 1024;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        server.respond("/movie.mkv",
                       {200, "video/x-matroska", QByteArray(size, 'm'), {}, size / 2});

        // The watcher's quiet periods and checks run on a clock the test moves.
        ManualClock clock;
        DownloadWatcherService watcher(m_downloads, 0.3, {}, {}, clock);
        const auto pass = [&](std::chrono::milliseconds time) {
            for (auto passed = 0ms; passed < time; passed += 10ms) {
                watcher.catchUp();
                clock.advance(10ms);
            }
            watcher.catchUp();
            QCoreApplication::processEvents();
        };
        QueueRescanner* rescanner = m_rescanner.get();
        connect(
            &watcher, &DownloadWatcherService::fileDiscovered, rescanner,
            [rescanner](const QUrl& url, bool arrivedAnew) {
                rescanner->postDiscovered(url, arrivedAnew);
            },
            Qt::DirectConnection);
        rescanner->setWrittenFilesHandoff(
            [&watcher](const QStringList& paths) { watcher.watchUntilFinished(paths); });
        // Dated after the download: the oldest file once the download is left out.
        const QString later = makeFile(QStringLiteral("later.bin"), 0);
        const qint64 tomorrow = QDateTime::currentSecsSinceEpoch() + 86400;
        const timespec times[2] = {{tomorrow, 0}, {tomorrow, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(later).constData(), times, 0), 0);
        watcher.start();
        const QString movie = m_downloads + QStringLiteral("/movie.mkv");
        QProcess curl;
        curl.setProcessChannelMode(QProcess::ForwardedChannels);
        curl.start(QStringLiteral("curl"), {"-sS", "-f", "--max-time", "60", "-o", movie,
                                            server.url(QStringLiteral("/movie.mkv")).toString()});
        QVERIFY(curl.waitForStarted(5000));
        // The server holds the second half; curl's stdio buffer may keep the last bytes of
        // the first.
        STOWBIRD_TRY_VERIFY(QFileInfo(movie).size() >= size / 4, 10000);

        QString told;
        connect(m_queue.get(), &TriageQueueManager::triageQueueDidChange, this, [&] {
            if (told.isEmpty() && !queuedPaths().isEmpty())
                told = queuedPaths().first();
        });
        QVERIFY(runToEnd());
        QCOMPARE(told, later);
        // Stalled longer than the quiet period and every check after it: still out.
        pass(2500ms);
        QCOMPARE(queuedPaths(), QStringList{later});
        QCOMPARE(curl.state(), QProcess::Running);

        server.releaseHeld();
        STOWBIRD_TRY_COMPARE(curl.state(), QProcess::NotRunning, 10000);
        QCOMPARE(curl.exitStatus(), QProcess::NormalExit);
        QCOMPARE(curl.exitCode(), 0);
        const auto queuedAfterAWhile = [&] {
            pass(50ms);
            return queuedPaths();
        };
        STOWBIRD_TRY_COMPARE(queuedAfterAWhile(), (QStringList{later, movie}), 10000);
        QCOMPARE(QFileInfo(movie).size(), qint64(size));
    }

    void withoutAScanReportsApplyAtOnce()
    {
        const QString file = makeFile(QStringLiteral("a.bin"), 1);
        QVERIFY(!m_rescanner->isRunning());
        m_rescanner->enqueueDiscovered(QUrl::fromLocalFile(file), true);
        QCOMPARE(queuedPaths(), QStringList{file});
        m_rescanner->retainPresent(m_downloads, {});
        QVERIFY(m_queue->isEmpty());
    }
};

STOWBIRD_TEST_MAIN(TestQueueRescanner)
#include "TestQueueRescanner.moc"
