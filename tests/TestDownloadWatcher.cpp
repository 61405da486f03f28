#include "TestEnvironment.h"
#include "platform/WatcherBackend.h"
#include "services/DownloadWatcherService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <thread>

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

// Writes `chunks` chunks into path, one every `interval`, as a slow download does.
void writeSlowly(const QString& path, int chunks, std::chrono::milliseconds interval)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        qFatal("cannot open %s", qPrintable(path));
    for (int i = 0; i < chunks; ++i) {
        f.write(QByteArray(4096, char('a' + i % 26)));
        f.flush();
        std::this_thread::sleep_for(interval);
    }
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

// A backend that the test drives by hand.
class FakeBackend final : public WatcherBackend
{
public:
    bool start(const QString&, QString*) override { return m_watching = true; }
    void stop() override { m_watching = false; }
    bool isWatching() const override { return m_watching; }
    int watchCount() const override { return m_watching ? 1 : 0; }
    using WatcherBackend::becameUnreliable;
    using WatcherBackend::eventsLost;
    using WatcherBackend::pathsChanged;

private:
    bool m_watching = false;
};

// Long enough that a writer thread delayed by a busy machine does not look finished.
constexpr double debounce = 0.4;
constexpr int settle = 5000; // generous bound for one report to arrive

} // namespace

class TestDownloadWatcher : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_dir;

    QString path(const QString& name) const { return m_dir + QLatin1Char('/') + name; }

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

    void chromiumDownloadReportedOnceAfterRename()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback());
        watcher.start();
        const QString partial = path("report.pdf.crdownload");
        std::thread writer([&] { writeSlowly(partial, 8, 50ms); });
        writer.join();
        QVERIFY(QFile::rename(partial, path("report.pdf")));
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("report.pdf"), 1, settle);
        // Nothing else arrives later: the pending map drains and no second report comes.
        QTRY_COMPARE_WITH_TIMEOUT(watcher.pendingCount(), 0, settle);
        QCOMPARE(rec.names(), QStringList{"report.pdf"});
    }

    void firefoxPlaceholderWaitsForPartRename()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback());
        watcher.start();
        // Firefox: an empty placeholder at once, the data in NAME.part, renamed over NAME.
        writeBytes(path("photo.jpg"), {}, QIODevice::WriteOnly);
        const QString part = path("photo.jpg.part");
        std::thread writer([&] { writeSlowly(part, 30, 100ms); }); // 3 s, past four checks
        while (!QFile::exists(part))
            QTest::qWait(10);
        // Long enough for the placeholder's checks to have run out, all while writing.
        writer.join();
        QCOMPARE(rec.count("photo.jpg"), 0);
        QTest::qWait(800); // the data has stopped; the placeholder still must not be reported
        QCOMPARE(rec.count("photo.jpg"), 0);
        QVERIFY(::rename(QFile::encodeName(part).constData(),
                         QFile::encodeName(path("photo.jpg")).constData()) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("photo.jpg"), 1, settle);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.pendingCount(), 0, settle);
        QCOMPARE(rec.names(), QStringList{"photo.jpg"});
        QCOMPARE(QFileInfo(path("photo.jpg")).size(), 30 * 4096);
    }

    void aria2InPlaceWaitsForControlFile()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback());
        watcher.start();
        writeBytes(path("disk.iso.aria2"), "control", QIODevice::WriteOnly);
        writeBytes(path("disk.iso"), QByteArray(10000, 'x'), QIODevice::WriteOnly);
        // A stalled download: the data stops, the control file stays.
        QTest::qWait(int(debounce * 1000) + 2 * 300 + 500);
        QCOMPARE(rec.count("disk.iso"), 0);
        QVERIFY(QFile::remove(path("disk.iso.aria2")));
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("disk.iso"), 1, settle);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.pendingCount(), 0, settle);
        QCOMPARE(rec.names(), QStringList{"disk.iso"});
    }

    void inPlaceWriterReportedOnlyWhenDone()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback());
        watcher.start();
        // wget / curl: NAME written in place, a chunk every 100 ms for 2 s.
        std::atomic<bool> writing = true;
        std::thread writer([&] {
            writeSlowly(path("data.csv"), 20, 100ms);
            writing = false;
        });
        while (writing) {
            QCOMPARE(rec.count("data.csv"), 0);
            QTest::qWait(20);
        }
        writer.join();
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("data.csv"), 1, settle);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.pendingCount(), 0, settle);
        QCOMPARE(rec.count("data.csv"), 1);
    }

    void folderBeingFilledReportedOnceAsFolder()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback());
        watcher.start();
        QVERIFY(QDir().mkpath(path("Project/src/deep")));
        for (int i = 0; i < 10; ++i) {
            writeBytes(path(QStringLiteral("Project/src/deep/f%1.c").arg(i)), "int x;",
                       QIODevice::WriteOnly);
            QTest::qWait(50);
        }
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("Project"), 1, settle);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.pendingCount(), 0, settle);
        QCOMPARE(rec.names(), QStringList{"Project"});
        // A change deep inside a sub-folder created after the start is charged to the top.
        writeBytes(path("Project/src/deep/late.c"), "int y;", QIODevice::WriteOnly);
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("Project"), 2, settle);
    }

    void partialAndHiddenNamesNeverReported()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback());
        watcher.start();
        for (const char* name : {"a.part", "b.tmp", ".hidden", "c.!ut", "d.download", "e.crdownload"})
            writeBytes(path(name), "x", QIODevice::WriteOnly);
        QVERIFY(QDir().mkpath(path(".cache/inner")));
        writeBytes(path(".cache/inner/f"), "x", QIODevice::WriteOnly);
        // The sentinel is created last; once it is reported the others had their chance.
        writeBytes(path("sentinel.txt"), "x", QIODevice::WriteOnly);
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("sentinel.txt"), 1, settle);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.pendingCount(), 0, settle);
        QCOMPARE(rec.names(), QStringList{"sentinel.txt"});
    }

    void busyFolderHeldBackUntilPartialChildGoes()
    {
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback());
        watcher.start();
        QVERIFY(QDir().mkpath(path("Album")));
        writeBytes(path("Album/x.aria2"), "c", QIODevice::WriteOnly); // not a busy marker
        QVERIFY(QDir().mkpath(path("Other")));
        writeBytes(path("Other/movie.part"), "c", QIODevice::WriteOnly);
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("Album"), 1, settle);
        // Other is retried every second, three times, then dropped silently.
        QTRY_COMPARE_WITH_TIMEOUT(watcher.pendingCount(), 0, settle);
        QCOMPARE(rec.count("Other"), 0);
        QVERIFY(QFile::rename(path("Other/movie.part"), path("Other/movie.mkv")));
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("Other"), 1, settle);
    }

    void stopAndStartLeaveOneWatchSetAndNoPendingWork()
    {
        const int descriptorsBefore = inotifyDescriptors();
        Recorder rec;
        DownloadWatcherService watcher(m_dir, 1.0, rec.callback());
        QVERIFY(QDir().mkpath(path("A/B")));
        watcher.start();
        QCOMPARE(watcher.watchCount(), 3);
        writeBytes(path("early.bin"), "x", QIODevice::WriteOnly);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.pendingCount(), 1, settle);
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
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("later.bin"), 1, settle);
        QCOMPARE(rec.count("early.bin"), 0);
    }

    void missingFolderPrintsAndCarriesOn()
    {
        DownloadWatcherService watcher(m_dir + "/does-not-exist", debounce);
        watcher.start();
        QVERIFY(!watcher.isWatching());
        QVERIFY(watcher.scanExistingFiles().isEmpty());
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

    void lostEventsRecheckEveryTopLevelItem()
    {
        FakeBackend* fake = nullptr;
        Recorder rec;
        DownloadWatcherService watcher(m_dir, debounce, rec.callback(), [&fake] {
            auto backend = std::make_unique<FakeBackend>();
            fake = backend.get();
            return backend;
        });
        writeBytes(path("one.txt"), "1", QIODevice::WriteOnly);
        writeBytes(path("two.txt"), "2", QIODevice::WriteOnly);
        writeBytes(path("three.part"), "3", QIODevice::WriteOnly);
        watcher.start();
        QVERIFY(fake);
        QSignalSpy unreliable(&watcher, &DownloadWatcherService::watcherUnreliable);
        QMetaObject::invokeMethod(fake, [fake] {
            emit fake->eventsLost();
            emit fake->becameUnreliable("limit reached");
        });
        QTRY_COMPARE_WITH_TIMEOUT(rec.names().size(), 2, settle);
        QTRY_COMPARE_WITH_TIMEOUT(unreliable.count(), 1, settle);
        QStringList names = rec.names();
        names.sort();
        QCOMPARE(names, (QStringList{"one.txt", "two.txt"}));

        // Events charged to their top-level item; the folder itself and outsiders dropped.
        QMetaObject::invokeMethod(fake, [fake, this] {
            emit fake->pathsChanged({m_dir, m_dir + "2/x.txt", m_dir + "/one.txt/../two.txt"});
        });
        QTRY_COMPARE_WITH_TIMEOUT(rec.count("two.txt"), 2, settle);
        QCOMPARE(rec.names().size(), 3);
    }
};

STOWBIRD_TEST_MAIN(TestDownloadWatcher)
#include "TestDownloadWatcher.moc"
