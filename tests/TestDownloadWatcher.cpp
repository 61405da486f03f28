#include "CrossThreadSpy.h"
#include "TestEnvironment.h"
#include "fakes/FakeCrashReporter.h"
#include "fakes/FakeWatcherBackend.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingJournal.h"
#include "models/PartialDownloadNames.h"
#include "platform/WatcherBackend.h"
#include "services/DownloadWatcherService.h"
#include "services/LoggerService.h"
#include "services/TriageQueueManager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QSemaphore>
#include <QTest>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// Collects discoveries from the watcher's thread.
class Recorder
{
public:
    DownloadWatcherService::DiscoveryCallback callback()
    {
        return [this](const QUrl& url) {
            QMutexLocker locker(&m_lock);
            m_names.append(url.fileName());
        };
    }
    QStringList names() const
    {
        QMutexLocker locker(&m_lock);
        return m_names;
    }
    int count(const QString& name) const { return int(names().count(name)); }

private:
    mutable QMutex m_lock;
    QStringList m_names;
};

void writeBytes(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode)
{
    QFile f(path);
    if (!f.open(mode))
        qFatal("cannot open %s", qPrintable(path));
    f.write(bytes);
}

// A backlog entry's path, whichever form the queue keeps it in.
[[maybe_unused]] QString entryPath(const QUrl& url)
{
    return url.toLocalFile();
}
[[maybe_unused]] QString entryPath(const QString& path)
{
    return path;
}

int inotifyDescriptors()
{
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget().contains(QLatin1String("inotify")))
            ++count;
    return count;
}

constexpr double debounce = 0.4;
constexpr int settle = 5000; // generous bound, in real milliseconds, for one report to arrive
// Time enough on the watcher's clock for any item to be reported or dropped: the quiet
// period, then a check with all its retries.
constexpr auto settleTime = 6s;
constexpr auto clockStep = 10ms;

} // namespace

class TestDownloadWatcher : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_dir;

    // The watchers of most tests run on this clock: the test moves it, so quiet periods and
    // check delays pass without waiting while the changes themselves are real, seen through
    // inotify.
    ManualClock m_clock;

    QString path(const QString& name) const { return m_dir + QLatin1Char('/') + name; }

    // Lets `time` pass on the watcher's clock in small steps. Before each step the watcher
    // takes in the changes made so far, so they are stamped with the time they happened at,
    // and runs what has fallen due: real time at a fine grain, without the waiting.
    void pass(DownloadWatcherService& watcher, std::chrono::milliseconds time)
    {
        for (auto passed = 0ms; passed < time; passed += clockStep) {
            watcher.catchUp();
            m_clock.advance(std::min<std::chrono::milliseconds>(clockStep, time - passed));
        }
        watcher.catchUp();
        QCoreApplication::processEvents(); // signals queued to this thread
    }

    // Lets time pass until done() holds, for at most `limit` on the watcher's clock. Should
    // the system be slow to report a change, real time is given too, up to `settle`.
    template <typename Done>
    bool passUntil(DownloadWatcherService& watcher, Done done,
                   std::chrono::milliseconds limit = settleTime)
    {
        QElapsedTimer real;
        real.start();
        for (auto passed = 0ms;;) {
            watcher.catchUp();
            QCoreApplication::processEvents();
            if (done())
                return true;
            if (passed < limit) {
                m_clock.advance(clockStep);
                passed += clockStep;
            } else if (real.elapsed() > settle) {
                return false;
            } else {
                QTest::qWait(10);
            }
        }
    }

    // Writes `chunks` chunks into path, one every `interval` of the watcher's time, as a slow
    // download does.
    void writeSlowly(DownloadWatcherService& watcher, const QString& file, int chunks,
                     std::chrono::milliseconds interval)
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            qFatal("cannot open %s", qPrintable(file));
        for (int i = 0; i < chunks; ++i) {
            f.write(QByteArray(4096, char('a' + i % 26)));
            f.flush();
            pass(watcher, interval);
        }
    }

private slots:
    void init()
    {
        static int round = 0;
        m_dir = m_root.path() + QStringLiteral("/Downloads%1").arg(++round);
        QVERIFY(QDir().mkpath(m_dir));
    }

    void ignoreRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ignored");
        QTest::newRow("chromium partial") << "report.pdf.crdownload" << true;
        QTest::newRow("upper-case part") << "Setup.DMG.PART" << true;
        QTest::newRow("upper-case tmp extension") << "archive.TMP" << true;
        QTest::newRow("aria2 control") << "big.iso.aria2" << true;
        QTest::newRow("aria2 control being saved") << "big.iso.aria2__temp" << true;
        QTest::newRow("firefox part") << "big.Ab3dE9xZ.iso.part" << true;
        QTest::newRow("utorrent") << "movie.mkv.!ut" << true;
        QTest::newRow("safari") << "thing.download" << true;
        QTest::newRow("hidden") << ".DS_Store" << true;
        QTest::newRow("finished pdf") << "report.pdf" << false;
        QTest::newRow("no extension") << "README" << false;
        QTest::newRow("part inside name") << "part.one.zip" << false;
    }

    void ignoreRule()
    {
        QFETCH(QString, name);
        QFETCH(bool, ignored);
        QCOMPARE(DownloadWatcherService::shouldIgnore(QUrl::fromLocalFile("/d/" + name)), ignored);
    }

    void partialDownloadHoldsBackItsItem_data()
    {
        QTest::addColumn<QString>("partial");
        QTest::addColumn<QString>("item");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("held");
        QTest::newRow("firefox placeholder") << "report.Ab3dE9xZ.pdf.part"
                                             << "report.pdf" << 0LL << true;
        QTest::newRow("firefox clash name") << "report(1).Ab3dE9xZ.pdf.part"
                                            << "report(1).pdf" << 0LL << true;
        QTest::newRow("firefox other download") << "report.Ab3dE9xZ.pdf.part"
                                                << "report(1).pdf" << 0LL << false;
        QTest::newRow("firefox double extension") << "a.tar.Ab3dE9xZ.gz.part"
                                                  << "a.tar.gz" << 0LL << true;
        QTest::newRow("firefox finished file beside") << "report.Ab3dE9xZ.pdf.part"
                                                      << "report.pdf" << 9LL << false;
        QTest::newRow("not a random infix") << "report.notrandom.pdf.part"
                                            << "report.pdf" << 0LL << false;
        QTest::newRow("older firefox") << "photo.jpg.part"
                                       << "photo.jpg" << 0LL << true;
        QTest::newRow("aria2 control") << "disk.iso.aria2"
                                       << "disk.iso" << 4096LL << true;
        QTest::newRow("aria2 control being saved") << "disk.iso.aria2__temp"
                                                   << "disk.iso" << 4096LL << true;
        QTest::newRow("chromium never writes the final name") << "x.zip.crdownload"
                                                              << "x.zip" << 5LL << false;
    }

    void partialDownloadHoldsBackItsItem()
    {
        QFETCH(QString, partial);
        QFETCH(QString, item);
        QFETCH(qint64, size);
        QFETCH(bool, held);
        QVERIFY(PartialDownloadNames::isPartial(partial));
        QCOMPARE(PartialDownloadNames::holdsBack(partial, item, size), held);
    }

    void chromiumDownloadReportedOnceAfterRename()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.start();
        // Chromium: "Unconfirmed N.crdownload" until the name is known, then
        // NAME.crdownload, renamed to NAME at the end.
        const QString unconfirmed = path("Unconfirmed 384512.crdownload");
        writeSlowly(watcher, unconfirmed, 4, 50ms);
        const QString partial = path("report.pdf.crdownload");
        QVERIFY(QFile::rename(unconfirmed, partial));
        writeSlowly(watcher, partial, 8, 50ms);
        QVERIFY(QFile::rename(partial, path("report.pdf")));
        QVERIFY(passUntil(watcher, [&] { return rec.count("report.pdf") == 1; }));
        // Nothing else arrives later: the pending map drains and no second report comes.
        pass(watcher, settleTime);
        QCOMPARE(watcher.pendingCount(), 0);
        QCOMPARE(rec.names(), QStringList{"report.pdf"});
    }

    void firefoxDownloadReportedOnceWhenComplete_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("firstPart");
        QTest::addColumn<QString>("part");
        QTest::addColumn<bool>("clash");
        QTest::newRow("plain") << "report.pdf"
                               << "Ab3dE9xZ.pdf.part"
                               << "report.Ab3dE9xZ.pdf.part" << false;
        // report.pdf exists already, so Firefox names the new one report(1).pdf.
        QTest::newRow("clash") << "report(1).pdf"
                               << "q-7_Zx0P.pdf.part"
                               << "report(1).q-7_Zx0P.pdf.part" << true;
        QTest::newRow("no extension") << "LICENSE"
                                      << "k2LmN8pQ.part"
                                      << "LICENSE.k2LmN8pQ.part" << false;
    }

    void firefoxDownloadReportedOnceWhenComplete()
    {
        QFETCH(QString, name);
        QFETCH(QString, firstPart);
        QFETCH(QString, part);
        QFETCH(bool, clash);
        if (clash)
            writeBytes(path("report.pdf"), "%PDF-1.4 earlier", QIODevice::WriteOnly);
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.start();
        // Firefox's order: a temporary RAND8.ext.part, the empty placeholder NAME, the part
        // renamed to STEM.RAND8.ext.part, written, and renamed over NAME at the end.
        writeBytes(path(firstPart), {}, QIODevice::WriteOnly);
        writeBytes(path(name), {}, QIODevice::WriteOnly);
        QVERIFY(QFile::rename(path(firstPart), path(part)));
        // 2.5 s of writing: longer than the placeholder's four checks would take.
        writeSlowly(watcher, path(part), 25, 100ms);
        // Neither the placeholder nor the part file is listed by a rescan meanwhile.
        QStringList listed;
        for (const QUrl& url : watcher.scanExistingFiles())
            listed.append(url.fileName());
        QCOMPARE(listed, clash ? QStringList{"report.pdf"} : QStringList{});
        pass(watcher, 800ms); // the data has stopped; the placeholder still must not be reported
        QCOMPARE(rec.names(), QStringList{});
        QVERIFY(::rename(QFile::encodeName(path(part)).constData(),
                         QFile::encodeName(path(name)).constData()) == 0);
        QVERIFY(passUntil(watcher, [&] { return rec.count(name) == 1; }));
        pass(watcher, settleTime);
        QCOMPARE(watcher.pendingCount(), 0);
        QCOMPARE(rec.names(), QStringList{name});
        QCOMPARE(QFileInfo(path(name)).size(), 25 * 4096);
    }

    void aria2InPlaceWaitsForControlFile()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.start();
        // aria2: the control file is saved as NAME.aria2__temp and renamed to NAME.aria2;
        // NAME is allocated at full size at once and filled in place, the file held open.
        auto saveControl = [&] {
            writeBytes(path("disk.iso.aria2__temp"), "control", QIODevice::WriteOnly);
            QVERIFY(QFile::rename(path("disk.iso.aria2__temp"), path("disk.iso.aria2")) ||
                    (QFile::remove(path("disk.iso.aria2")) &&
                     QFile::rename(path("disk.iso.aria2__temp"), path("disk.iso.aria2"))));
        };
        saveControl();
        {
            QFile data(path("disk.iso"));
            QVERIFY(data.open(QIODevice::WriteOnly));
            QVERIFY(data.resize(64 * 1024));
            for (int i = 0; i < 4; ++i) {
                data.seek(i * 16 * 1024);
                data.write(QByteArray(16 * 1024, 'x'));
                data.flush();
                saveControl();
                pass(watcher, 200ms);
            }
        }
        // A stalled download: the data stops, the control file stays.
        pass(watcher, std::chrono::milliseconds(int(debounce * 1000) + 2 * 300 + 500));
        QCOMPARE(rec.names(), QStringList{});
        QVERIFY(QFile::remove(path("disk.iso.aria2")));
        QVERIFY(passUntil(watcher, [&] { return rec.count("disk.iso") == 1; }));
        pass(watcher, settleTime);
        QCOMPARE(watcher.pendingCount(), 0);
        QCOMPARE(rec.names(), QStringList{"disk.iso"});
    }

    void stalledWriterWithFileOpenIsNotFinished_data()
    {
        QTest::addColumn<bool>("resumes");
        QTest::newRow("resumes and closes") << true;
        QTest::newRow("closes without writing again") << false;
    }

    void stalledWriterWithFileOpenIsNotFinished()
    {
        QFETCH(bool, resumes);
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.start();
        // wget or curl over a stalled connection: NAME written in place, then nothing for
        // 2.5 s (size stable, readable) while the file stays open for writing.
        {
            QFile f(path("video.mp4"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (int i = 0; i < 5; ++i) {
                f.write(QByteArray(4096, 'v'));
                f.flush();
                pass(watcher, 50ms);
            }
            pass(watcher, 2500ms);
            QCOMPARE(rec.names(), QStringList{});
            if (resumes)
                f.write(QByteArray(4096, 'w'));
        }
        QVERIFY(passUntil(watcher, [&] { return rec.count("video.mp4") == 1; }));
        pass(watcher, settleTime);
        QCOMPARE(watcher.pendingCount(), 0);
        QCOMPARE(rec.names(), QStringList{"video.mp4"});
        QCOMPARE(QFileInfo(path("video.mp4")).size(), (resumes ? 6 : 5) * 4096);
    }

    // Items a listing found but did not take (a writer had them open) are handed over: each
    // is reported once finished, though no event may ever come for it.
    void handedOverItemsAreReportedOnceFinished()
    {
        writeBytes(path("done.pdf"), "d", QIODevice::WriteOnly);
        QFile open(path("open.iso"));
        QVERIFY(open.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(open.write("part"), 4);
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.start();
        watcher.watchUntilFinished(
            {path("done.pdf"), path("open.iso"), path("missing.bin"), m_dir + "/../elsewhere"});
        pass(watcher, settleTime);
        QCOMPARE(rec.names(), QStringList{"done.pdf"});
        open.close();
        QVERIFY(passUntil(watcher, [&] { return rec.count("open.iso") == 1; }));
        pass(watcher, settleTime);
        QCOMPARE(rec.names(), (QStringList{"done.pdf", "open.iso"}));
        QCOMPARE(watcher.pendingCount(), 0);
    }

    void inPlaceWriterReportedOnlyWhenDone()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.start();
        // wget / curl: NAME written in place, a chunk every 100 ms for 2 s.
        {
            QFile f(path("data.csv"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (int i = 0; i < 20; ++i) {
                f.write(QByteArray(4096, char('a' + i)));
                f.flush();
                pass(watcher, 100ms);
                QCOMPARE(rec.count("data.csv"), 0);
            }
        }
        QVERIFY(passUntil(watcher, [&] { return rec.count("data.csv") == 1; }));
        pass(watcher, settleTime);
        QCOMPARE(watcher.pendingCount(), 0);
        QCOMPARE(rec.count("data.csv"), 1);
    }

    void folderBeingFilledReportedOnceAsFolder()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.start();
        QVERIFY(QDir().mkpath(path("Project/src/deep")));
        for (int i = 0; i < 10; ++i) {
            writeBytes(path(QStringLiteral("Project/src/deep/f%1.c").arg(i)), "int x;",
                       QIODevice::WriteOnly);
            pass(watcher, 50ms);
            QCOMPARE(rec.count("Project"), 0);
        }
        QVERIFY(passUntil(watcher, [&] { return rec.count("Project") == 1; }));
        pass(watcher, settleTime);
        QCOMPARE(watcher.pendingCount(), 0);
        QCOMPARE(rec.names(), QStringList{"Project"});
        // A change deep inside a sub-folder created after the start is charged to the top.
        writeBytes(path("Project/src/deep/late.c"), "int y;", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("Project") == 2; }));
    }

    void partialAndHiddenNamesNeverReported()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.start();
        for (const char* name :
             {"a.part", "b.tmp", ".hidden", "c.!ut", "d.download", "e.crdownload"})
            writeBytes(path(name), "x", QIODevice::WriteOnly);
        QVERIFY(QDir().mkpath(path(".cache/inner")));
        writeBytes(path(".cache/inner/f"), "x", QIODevice::WriteOnly);
        // The sentinel is created last; once it is reported the others had their chance.
        writeBytes(path("sentinel.txt"), "x", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("sentinel.txt") == 1; }));
        pass(watcher, settleTime);
        QCOMPARE(watcher.pendingCount(), 0);
        QCOMPARE(rec.names(), QStringList{"sentinel.txt"});
    }

    void busyFolderHeldBackUntilPartialChildGoes()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.start();
        QVERIFY(QDir().mkpath(path("Album")));
        writeBytes(path("Album/x.aria2"), "c", QIODevice::WriteOnly); // not a busy marker
        QVERIFY(QDir().mkpath(path("Other")));
        writeBytes(path("Other/movie.part"), "c", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("Album") == 1; }));
        // Other is retried every second, three times, then dropped silently.
        QVERIFY(passUntil(watcher, [&] { return watcher.pendingCount() == 0; }));
        QCOMPARE(rec.count("Other"), 0);
        QVERIFY(QFile::rename(path("Other/movie.part"), path("Other/movie.mkv")));
        QVERIFY(passUntil(watcher, [&] { return rec.count("Other") == 1; }));
    }

    void stopAndStartLeaveOneWatchSetAndNoPendingWork()
    {
        const int descriptorsBefore = inotifyDescriptors();
        Recorder rec;
        DownloadWatcherService watcher(m_dir, 1.0, rec.callback(), {}, m_clock);
        QVERIFY(QDir().mkpath(path("A/B")));
        watcher.start();
        QCOMPARE(watcher.watchCount(), 3);
        writeBytes(path("early.bin"), "x", QIODevice::WriteOnly);
        QVERIFY(passUntil(
            watcher, [&] { return watcher.pendingCount() == 1; }, 0ms));
        watcher.stop();
        QCOMPARE(watcher.pendingCount(), 0);
        QVERIFY(!watcher.isWatching());
        watcher.stop(); // harmless when stopped
        watcher.start();
        watcher.start(); // a restart tears the old watches down first
        QVERIFY(watcher.isWatching());
        QCOMPARE(watcher.watchCount(), 3);
        QCOMPARE(inotifyDescriptors(), descriptorsBefore + 1);
        QCOMPARE(watcher.pendingCount(), 0);
        // The cancelled debounce never fires; new events still work.
        writeBytes(path("later.bin"), "x", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("later.bin") == 1; }));
        QCOMPARE(rec.count("early.bin"), 0);
    }

    void missingFolderPrintsAndCarriesOn()
    {
        DownloadWatcherService watcher(m_dir + "/does-not-exist", debounce);
        watcher.start();
        QVERIFY(!watcher.isWatching());
        QVERIFY(watcher.scanExistingFiles().isEmpty());
    }

    void deletionsAndMoveOutsAreAnnounced()
    {
        QVERIFY(QDir().mkpath(m_dir + "-elsewhere"));
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        CrossThreadSpy removed(&watcher, &DownloadWatcherService::itemRemoved);
        CrossThreadSpy discovered(&watcher, &DownloadWatcherService::fileDiscovered);
        watcher.start();
        writeBytes(path("a.txt"), "a", QIODevice::WriteOnly);
        QVERIFY(QDir().mkpath(path("Album")));
        QVERIFY(passUntil(watcher, [&] { return discovered.size() == 2; }));
        QCOMPARE(rec.names().size(), 2);
        // Created while watched: each arrived anew.
        QCOMPARE(discovered.at(0).at(1).toBool(), true);
        QCOMPARE(discovered.at(1).at(1).toBool(), true);

        QVERIFY(QFile::remove(path("a.txt")));
        QVERIFY(QDir().rename(path("Album"), m_dir + "-elsewhere/Album"));
        // Deleted during its quiet period: announced, and never reported.
        writeBytes(path("brief.txt"), "b", QIODevice::WriteOnly);
        QVERIFY(QFile::remove(path("brief.txt")));
        // Partial downloads come and go without an announcement: they were never reported.
        writeBytes(path("x.zip.crdownload"), "x", QIODevice::WriteOnly);
        QVERIFY(QFile::remove(path("x.zip.crdownload")));
        // Renamed inside the folder: the old name goes, the new one is a new item.
        writeBytes(path("old-name.txt"), "o", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("old-name.txt") == 1; }));
        QVERIFY(QFile::rename(path("old-name.txt"), path("new-name.txt")));
        QVERIFY(passUntil(watcher, [&] { return rec.count("new-name.txt") == 1; }));
        QVERIFY(passUntil(watcher, [&] { return removed.size() == 4; }));
        pass(watcher, settleTime);
        QCOMPARE(watcher.pendingCount(), 0);
        QCOMPARE(removed.size(), 4);
        QStringList gone;
        for (const QVariantList& args : std::as_const(removed))
            gone.append(args.at(0).toString());
        QCOMPARE(gone, (QStringList{path("a.txt"), path("Album"), path("brief.txt"),
                                    path("old-name.txt")}));
        QCOMPARE(rec.count("brief.txt"), 0);
    }

    void folderCreatedLaterRemovedAndCreatedAgain()
    {
        // A new account: Downloads and its parent appear only at the first download.
        const QString downloads = m_dir + "/home/Downloads";
        Recorder rec;
        DownloadWatcherService watcher(downloads, debounce, rec.callback(), {}, m_clock);
        CrossThreadSpy removed(&watcher, &DownloadWatcherService::itemRemoved);
        watcher.start();
        QVERIFY(!watcher.isWatching());
        QVERIFY(QDir().mkpath(downloads));
        // Written at once, possibly before the watch is armed: the rescan finds it.
        writeBytes(downloads + "/first.pdf", "1", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("first.pdf") == 1; }));
        QVERIFY(watcher.isWatching());
        writeBytes(downloads + "/second.pdf", "2", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("second.pdf") == 1; }));

        // Removed while running: everything in it is gone, and it is waited for again.
        QVERIFY(QDir(downloads).removeRecursively());
        QVERIFY(passUntil(watcher, [&] { return !watcher.isWatching(); }));
        QVERIFY(passUntil(watcher, [&] { return removed.contains(QVariantList{downloads}); }));
        QVERIFY(QDir().mkpath(downloads));
        writeBytes(downloads + "/third.pdf", "3", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("third.pdf") == 1; }));
        QVERIFY(passUntil(watcher, [&] { return watcher.pendingCount() == 0; }));

        // Replaced by another folder renamed over it (once it is empty).
        removed.clear();
        QVERIFY(QDir().mkpath(downloads + ".new"));
        writeBytes(downloads + ".new/fourth.pdf", "4", QIODevice::WriteOnly);
        QVERIFY(QFile::remove(downloads + "/third.pdf"));
        QVERIFY(::rename(QFile::encodeName(downloads + ".new").constData(),
                         QFile::encodeName(downloads).constData()) == 0);
        QVERIFY(passUntil(watcher, [&] { return removed.contains(QVariantList{downloads}); }));
        QVERIFY(passUntil(watcher, [&] { return rec.count("fourth.pdf") == 1; }));
        writeBytes(downloads + "/fifth.pdf", "5", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("fifth.pdf") == 1; }));
        QVERIFY(passUntil(watcher, [&] { return watcher.pendingCount() == 0; }));
        QCOMPARE(rec.names(),
                 (QStringList{"first.pdf", "second.pdf", "third.pdf", "fourth.pdf", "fifth.pdf"}));
        // One watch: the folder itself, re-armed once.
        QCOMPARE(watcher.watchCount(), 1);
    }

    void retargetedLinkIsFollowed()
    {
        QVERIFY(QDir().mkpath(path("disk-a")));
        QVERIFY(QDir().mkpath(path("disk-b")));
        writeBytes(path("disk-b/waiting.zip"), "b", QIODevice::WriteOnly);
        const QString link = path("Downloads");
        QVERIFY(QFile::link(path("disk-a"), link));
        Recorder rec;
        DownloadWatcherService watcher(link, debounce, rec.callback(), {}, m_clock);
        CrossThreadSpy removed(&watcher, &DownloadWatcherService::itemRemoved);
        watcher.start();
        QVERIFY(watcher.isWatching());
        writeBytes(link + "/one.txt", "1", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("one.txt") == 1; }));

        // Retargeted atomically, as `ln -sfn` does: a new link renamed over the old one.
        QVERIFY(QFile::link(path("disk-b"), path("next-link")));
        QVERIFY(::rename(QFile::encodeName(path("next-link")).constData(),
                         QFile::encodeName(link).constData()) == 0);
        QVERIFY(passUntil(watcher, [&] { return removed.contains(QVariantList{link}); }));
        // What waits in the new target is found; the old target is no longer watched.
        QVERIFY(passUntil(watcher, [&] { return rec.count("waiting.zip") == 1; }));
        writeBytes(path("disk-a/stale.txt"), "a", QIODevice::WriteOnly);
        writeBytes(link + "/two.txt", "2", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.count("two.txt") == 1; }));
        QVERIFY(passUntil(watcher, [&] { return watcher.pendingCount() == 0; }));
        QCOMPARE(rec.names(), (QStringList{"one.txt", "waiting.zip", "two.txt"}));
    }

    void namesThatAreNotUtf8AreLeftOut()
    {
        // "caf\xe9.txt" (Latin-1) beside its look-alike "caf\ufffd.txt" (valid UTF-8).
        const QByteArray latin1 = QFile::encodeName(m_dir) + "/caf\xe9.txt";
        const QString twin = path(QStringLiteral("caf\ufffd.txt"));
        FakeCrashReporter reporter;
        RecordingJournal journal{false};
        QTemporaryDir logs;
        LoggerService logger(logs.path(), reporter, journal);
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), {}, m_clock);
        watcher.setLogger(&logger);
        watcher.start();
        const int fd = ::open(latin1.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "latin", 5), ssize_t(5));
        ::close(fd);
        writeBytes(twin, "utf-8", QIODevice::WriteOnly);
        QVERIFY(passUntil(watcher, [&] { return rec.names().size() == 1; }));
        QVERIFY(passUntil(watcher, [&] { return watcher.pendingCount() == 0; }));
        QCOMPARE(rec.names(), QStringList{twin.mid(m_dir.size() + 1)});
        // A rescan lists the twin only, and the name is logged once however often it is met.
        for (int i = 0; i < 3; ++i)
            QCOMPARE(watcher.scanExistingFiles(), QList<QUrl>{QUrl::fromLocalFile(twin)});
        QVERIFY(logger.waitForWritten(5000));
        QFile log(logger.logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("its name is not valid UTF-8"), 1);
    }

    void debounceIsClamped_data()
    {
        QTest::addColumn<double>("configured");
        QTest::addColumn<double>("applied");
        QTest::newRow("negative runs at once") << -3.0 << 0.0;
        QTest::newRow("not a number") << std::nan("") << 0.0;
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("ordinary") << 2.5 << 2.5;
        QTest::newRow("beyond a timer's reach")
            << 2.2e6 << DownloadWatcherService::maximumDebounceSeconds;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity()
                                  << DownloadWatcherService::maximumDebounceSeconds;
    }

    void debounceIsClamped()
    {
        QFETCH(double, configured);
        QFETCH(double, applied);
        DownloadWatcherService watcher(m_dir, configured);
        QCOMPARE(watcher.debounceDelay(), applied);
        watcher.setDebounceSeconds(1.0);
        watcher.setDebounceSeconds(configured);
        QCOMPARE(watcher.debounceDelay(), applied);
        // The largest delay is still a valid timer interval.
        QVERIFY(DownloadWatcherService::maximumDebounceSeconds * 1000.0 <= double(INT_MAX));
    }

    void debounceChangeAppliesAtOnce()
    {
        // On the system clock: this is about the real timer being set again.
        Recorder rec;
        // Far beyond the test's patience, and negative values, used to stop live detection.
        DownloadWatcherService watcher(m_dir, 600.0, rec.callback());
        // The quiet period is what is timed here, not the wait between the two samples.
        watcher.setSampleIntervalMs(10);
        watcher.start();
        writeBytes(path("waiting.txt"), "w", QIODevice::WriteOnly);
        STOWBIRD_TRY_COMPARE(watcher.pendingCount(), 1, settle);
        // The item already in its quiet period takes the new value too.
        watcher.setDebounceSeconds(-1.0);
        STOWBIRD_TRY_COMPARE(rec.count("waiting.txt"), 1, settle);
        writeBytes(path("next.txt"), "n", QIODevice::WriteOnly);
        STOWBIRD_TRY_COMPARE(rec.count("next.txt"), 1, settle);
    }

    void scanListsOldestFirst()
    {
        const QDateTime now = QDateTime::currentDateTime();
        writeBytes(path("b.zip"), "b", QIODevice::WriteOnly);
        writeBytes(path("a.png"), "a", QIODevice::WriteOnly);
        writeBytes(path(".DS_Store"), "h", QIODevice::WriteOnly);
        writeBytes(path("c.part"), "c", QIODevice::WriteOnly);
        QVERIFY(QDir().mkpath(path("Folder")));
        auto setTime = [&](const QString& name, const QDateTime& when) {
            QFile f(path(name));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
        };
        setTime("b.zip", now.addDays(-1));
        setTime("a.png", now.addDays(-7));
        QList<QString> names;
        for (const QUrl& url : DownloadWatcherService::scanExistingFiles(m_dir))
            names.append(url.fileName());
        QCOMPARE(names, (QList<QString>{"a.png", "b.zip", "Folder"}));
    }

    void queueStaysExactThroughABurstWithAnOverflow()
    {
        STOWBIRD_STRESS_CASE();
        // More events than the kernel queues (three per file: create, modify, close) while
        // the watcher's thread is held up, so that the queue overflows for certain. On the
        // system clock, as the program runs: the watcher's thread is held here, and its timer
        // must bring the backlog through by itself.
        QFile limitFile("/proc/sys/fs/inotify/max_queued_events");
        QVERIFY(limitFile.open(QIODevice::ReadOnly));
        const int limit = limitFile.readAll().trimmed().toInt();
        QVERIFY(limit > 0);
        const int files = limit / 2 + 500;

        QTemporaryDir state;
        TriageQueueManager queue(state.path());
        QSemaphore gate;
        std::atomic<bool> held = false;
        Recorder rec;
        auto record = rec.callback();
        DownloadWatcherService watcher(m_dir, debounce, [&](const QUrl& url) {
            record(url);
            // The watcher's thread waits here while the burst lands (the first time only: the
            // rescan after the overflow reports the gate file again).
            if (url.fileName() == QLatin1String("gate.txt") && !held.exchange(true))
                gate.acquire();
        });
        // Wired as the application wires it.
        connect(
            &watcher, &DownloadWatcherService::fileDiscovered, &queue,
            [&queue](const QUrl& url, bool arrivedAnew) { queue.enqueue(url, arrivedAnew); },
            Qt::QueuedConnection);
        connect(&watcher, &DownloadWatcherService::itemRemoved, &queue,
                &TriageQueueManager::removePath, Qt::QueuedConnection);
        connect(&watcher, &DownloadWatcherService::itemsListed, &queue,
                &TriageQueueManager::retainPresent, Qt::QueuedConnection);
        watcher.start();
        writeBytes(path("doomed.txt"), "d", QIODevice::WriteOnly);
        QTRY_COMPARE_WITH_TIMEOUT(queue.totalQueueDepth(), 1, settle);
        writeBytes(path("gate.txt"), "g", QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(held, settle);
        for (int i = 0; i < files; ++i)
            writeBytes(path(QStringLiteral("burst-%1.bin").arg(i, 5, 10, QLatin1Char('0'))), "b",
                       QIODevice::WriteOnly);
        // Created and deleted within the burst: never queued. Queued before and deleted once
        // the kernel's queue is full (its removal event is lost): dropped all the same.
        writeBytes(path("fleeting.bin"), "f", QIODevice::WriteOnly);
        QVERIFY(QFile::remove(path("fleeting.bin")));
        QVERIFY(QFile::remove(path("doomed.txt")));
        gate.release();

        QTRY_COMPARE_WITH_TIMEOUT(queue.totalQueueDepth(), qsizetype(files + 1), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.pendingCount(), 0, 60000);
        QVERIFY(watcher.eventsLostCount() >= 1);
        QCoreApplication::processEvents(); // discoveries still on their way to the queue
        QCOMPARE(queue.totalQueueDepth(), qsizetype(files + 1));
        // Every file exactly once, nothing else.
        QStringList queued;
        for (const TriageItem& item : queue.items())
            queued.append(item.url.fileName());
        for (const auto& entry : queue.pendingBacklog())
            queued.append(QFileInfo(entryPath(entry)).fileName());
        QCOMPARE(queued.size(), files + 1);
        QCOMPARE(QSet<QString>(queued.begin(), queued.end()).size(), files + 1);
        QVERIFY(queued.contains("gate.txt"));
        QVERIFY(!queued.contains("fleeting.bin"));
        QVERIFY(!queued.contains("doomed.txt"));
        QCOMPARE(rec.count("fleeting.bin"), 0);
    }

    void lostEventsRecheckEveryTopLevelItem()
    {
        FakeWatcherBackend* fake = nullptr;
        Recorder rec;
        DownloadWatcherService watcher(
            m_dir, debounce, rec.callback(),
            [&fake] {
                auto backend = std::make_unique<FakeWatcherBackend>();
                fake = backend.get();
                return backend;
            },
            m_clock);
        writeBytes(path("one.txt"), "1", QIODevice::WriteOnly);
        writeBytes(path("two.txt"), "2", QIODevice::WriteOnly);
        writeBytes(path("three.part"), "3", QIODevice::WriteOnly);
        watcher.start();
        QVERIFY(fake);
        CrossThreadSpy unreliable(&watcher, &DownloadWatcherService::watcherUnreliable);
        QMetaObject::invokeMethod(fake, [fake] {
            emit fake->eventsLost();
            emit fake->becameUnreliable("limit reached");
        });
        QVERIFY(passUntil(watcher, [&] { return rec.names().size() == 2; }));
        QVERIFY(passUntil(watcher, [&] { return unreliable.count() == 1; }));
        QStringList names = rec.names();
        names.sort();
        QCOMPARE(names, (QStringList{"one.txt", "two.txt"}));

        // Events charged to their top-level item; the folder itself and outsiders dropped.
        QMetaObject::invokeMethod(fake, [fake, this] {
            using Event = WatcherBackend::Event;
            emit fake->eventsArrived({Event{m_dir, Event::Modified, true},
                                      Event{m_dir + "2/x.txt", Event::Created, true},
                                      Event{m_dir + "/one.txt/../two.txt", Event::Modified, true}});
        });
        QVERIFY(passUntil(watcher, [&] { return rec.count("two.txt") == 2; }));
        QCOMPARE(rec.names().size(), 3);
    }
};

STOWBIRD_TEST_MAIN(TestDownloadWatcher)
#include "TestDownloadWatcher.moc"
