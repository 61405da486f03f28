// The problems the window and the tray show: raised and cleared on real changes only, told
// by the watcher once per change, and the causes the inotify backend tells apart.
#include "CrossThreadSpy.h"
#include "TestEnvironment.h"
#include "fakes/FakeWatcherBackend.h"
#include "platform/InotifyWatcherBackend.h"
#include "services/BlockingProblems.h"
#include "services/DownloadWatcherService.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <grp.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uid_t nobody = 65534;

// Run as the throwaway user. Returns 0, or the number of the first check that failed.
int watchAsNobody(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    InotifyWatcherBackend backend;
    int rearmed = 0;
    QObject::connect(&backend, &WatcherBackend::rootChanged,
                     [&rearmed](bool present) { rearmed += present ? 1 : 0; });
    // A folder it may not read is not a missing one, and is watched once it may be read.
    if (!backend.start(folder, nullptr) || backend.isWatching())
        return 1;
    if (backend.health().problem != WatchProblem::FolderUnreadable)
        return 2;
    if (::chmod(path.constData(), 0700) != 0)
        return 3;
    backend.deliverPending();
    if (!backend.isWatching() || rearmed != 1 || backend.health().problem != WatchProblem::None)
        return 4;
    // Every inotify instance the user may have is taken: the start says why, and watches
    // once an instance is free again.
    backend.stop();
    std::vector<int> held;
    for (int fd; (fd = inotify_init1(IN_CLOEXEC)) >= 0 && held.size() < 100000;)
        held.push_back(fd);
    if (errno != EMFILE)
        return 5;
    backend.setRetryInterval(10);
    if (!backend.start(folder, nullptr) || backend.isWatching() ||
        backend.health().problem != WatchProblem::InstanceLimitReached)
        return 6;
    ::close(held.back());
    QDeadlineTimer deadline(5000);
    while (!backend.isWatching() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (rearmed != 2 || backend.health().problem != WatchProblem::None)
        return 7;
    return 0;
}

} // namespace

class TestBlockingProblems : public QObject
{
    Q_OBJECT

private slots:
    void problemsChangeOnlyWithTheirCause()
    {
        const QString downloads = QDir::homePath() + "/Downloads";
        BlockingProblems board;
        QSignalSpy changed(&board, &BlockingProblems::changed);
        board.noteWatchHealth(downloads, WatchProblem::WatchLimitReached, "detail");
        board.noteWatchHealth(downloads, WatchProblem::WatchLimitReached, "detail");
        board.noteHistory(false, "disk full");
        QCOMPARE(changed.count(), 2);
        QCOMPARE(board.problems().size(), 2);
        QVERIFY(board.summary().contains("~/Downloads"));
        QVERIFY(board.summary().contains("fs.inotify.max_user_watches"));
        QVERIFY(board.summary().contains("disk full"));

        // Another cause for the same folder takes the place of the first.
        board.noteWatchHealth(downloads, WatchProblem::InstanceLimitReached, {});
        QCOMPARE(changed.count(), 3);
        QCOMPARE(board.problems().size(), 2);
        QVERIFY(!board.summary().contains("max_user_watches"));
        QVERIFY(board.summary().contains("fs.inotify.max_user_instances"));

        // Each goes with its cause, once; another folder's problem is its own.
        board.noteWatchHealth(downloads + "2", WatchProblem::FolderMissing, {});
        board.noteWatchHealth(downloads, WatchProblem::None, {});
        board.noteWatchHealth(downloads, WatchProblem::None, {});
        board.noteHistory(true, {});
        QCOMPARE(changed.count(), 6);
        QCOMPARE(board.problems().size(), 1);
        QVERIFY(board.summary().contains("~/Downloads2"));
        board.noteWatchHealth(downloads + "2", WatchProblem::None, {});
        QVERIFY(board.isEmpty());
        QCOMPARE(board.summary(), QString());
    }

    void watcherTellsEachChangeOfItsHealthOnce()
    {
        FakeWatcherBackend* fake = nullptr;
        DownloadWatcherService watcher(QDir::homePath() + "/Downloads", 1.5, {}, [&fake] {
            auto backend = std::make_unique<FakeWatcherBackend>();
            fake = backend.get();
            return backend;
        });
        CrossThreadSpy health(&watcher, &DownloadWatcherService::watchHealthChanged);
        watcher.start();
        QVERIFY(fake);
        QMetaObject::invokeMethod(fake, [fake] {
            fake->stop();
            emit fake->rootChanged(false);
            emit fake->rootChanged(false);
            fake->start({}, nullptr);
            emit fake->rootChanged(true);
        });
        watcher.catchUp();
        QTRY_COMPARE_WITH_TIMEOUT(health.size(), 2, 5000);
        QCOMPARE(health[0][1].value<WatchProblem>(), WatchProblem::FolderMissing);
        QCOMPARE(health[1][1].value<WatchProblem>(), WatchProblem::None);
    }

    // Root reads every folder and has limits of its own: a child switched to a throwaway
    // user meets them.
    void inotifyTellsUnreadableFolderAndInstanceLimitApart()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to run a child as another user");
        QTemporaryDir dir;
        const QString folder = dir.path() + "/Downloads";
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        QCOMPARE(::chown(QFile::encodeName(folder).constData(), nobody, nobody), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(99);
            ::_exit(watchAsNobody(folder));
        }
        QVERIFY(child > 0);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

STOWBIRD_TEST_MAIN(TestBlockingProblems)
#include "TestBlockingProblems.moc"
