// The single-instance lock and socket: one running instance per user, requests answered
// only between the user's own processes, and a private folder that another user cannot
// have prepared.
#include "TestEnvironment.h"
#include "platform/InstanceMessage.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QtConcurrent>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t nobody = 65534;

// A process of the user "nobody" that listens on socketPath and answers "ok" to anything,
// as a squatter would. Needs root; returns its pid or -1.
pid_t startSquatter(const QString& folder, const QString& socketPath)
{
    const QByteArray folderName = QFile::encodeName(folder);
    const QByteArray name = QFile::encodeName(socketPath);
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls from here on.
        ::close(ready[0]);
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(1);
        ::mkdir(folderName.constData(), 0777);
        ::chmod(folderName.constData(), 0777);
        const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.constData(),
                    std::min<std::size_t>(name.size(), sizeof address.sun_path - 1));
        if (server < 0 || ::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) ||
            ::listen(server, 8) != 0)
            ::_exit(1);
        ::chmod(name.constData(), 0777);
        (void)!::write(ready[1], "r", 1);
        for (;;) {
            const int client = ::accept(server, nullptr, nullptr);
            if (client < 0)
                continue;
            char buffer[64];
            (void)!::read(client, buffer, sizeof buffer);
            (void)!::write(client, "ok\n", 3);
            ::close(client);
        }
    }
    ::close(ready[1]);
    char byte = 0;
    const bool started = pid > 0 && ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    if (!started && pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    return started ? pid : -1;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    QString folder() const { return m_dir->path() + QStringLiteral("/run"); }
    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { m_dir.reset(); }

    void secondClaimIsForwardedToTheFirst()
    {
        SingleInstance first(folder());
        QCOMPARE(first.claim(), SingleInstance::Claim::Primary);
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        first.setStatusProvider([] { return QByteArray("waiting=3"); });

        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(folder()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
        QCOMPARE(::lstat(QFile::encodeName(first.lockPath()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);

        // The second claim blocks its thread while waiting, as a launch does; the first
        // answers from this thread's event loop.
        auto second = QtConcurrent::run([this] { return SingleInstance(folder()).claim(); });
        QTRY_VERIFY_WITH_TIMEOUT(second.isFinished(), 5000);
        QCOMPARE(second.result(), SingleInstance::Claim::ForwardedToRunning);
        QCOMPARE(activations.size(), 1);

        auto status =
            QtConcurrent::run([this] { return SingleInstance(folder()).queryRunningInstance(); });
        QTRY_VERIFY_WITH_TIMEOUT(status.isFinished(), 5000);
        QCOMPARE(status.result(), std::optional<QByteArray>("waiting=3"));
    }

    void silentRunningInstanceIsNotReplaced()
    {
        SingleInstance first(folder());
        QCOMPARE(first.claim(), SingleInstance::Claim::Primary);
        // This thread does not run its event loop while the second claims: the first is
        // as good as stopped.
        QElapsedTimer timer;
        timer.start();
        SingleInstance second(folder());
        QCOMPARE(second.claim(150), SingleInstance::Claim::RunningButSilent);
        QVERIFY(timer.elapsed() < 3000);
        // The live socket is still there and still the first's.
        QVERIFY(QFileInfo::exists(first.socketPath()));
        auto again = QtConcurrent::run([this] { return SingleInstance(folder()).claim(); });
        QTRY_VERIFY_WITH_TIMEOUT(again.isFinished(), 5000);
        QCOMPARE(again.result(), SingleInstance::Claim::ForwardedToRunning);
    }

    // An instance that is ending answers no more but keeps its lock until its process is
    // gone; a launch meanwhile takes over once the lock is free, rather than give up or start
    // beside it.
    void endingInstanceIsSucceededOnlyOnceGone()
    {
        {
            SingleInstance ending(folder());
            QCOMPARE(ending.claim(), SingleInstance::Claim::Primary);
            ending.stopAnsweringKeepLock();
        }
        QVERIFY(SingleInstance(folder()).isLockHeld());
        QCOMPARE(SingleInstance(folder()).claim(100), SingleInstance::Claim::RunningButSilent);

        // The lock of an ending process, let go 100 ms into the launch's wait.
        const QString other = m_dir->path() + QStringLiteral("/other");
        QVERIFY(SingleInstance::preparePrivateFolder(other, ::getuid()));
        const int lock = ::open(QFile::encodeName(SingleInstance(other).lockPath()).constData(),
                                O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
        QCOMPARE(::flock(lock, LOCK_EX), 0);
        auto launch = QtConcurrent::run([other] { return SingleInstance(other).claim(3000); });
        QTimer::singleShot(100, [lock] { ::close(lock); });
        QTRY_VERIFY_WITH_TIMEOUT(launch.isFinished(), 5000);
        QCOMPARE(launch.result(), SingleInstance::Claim::Primary);
    }

    void staleSocketIsReplacedOnlyWhenTheLockIsFree()
    {
        QVERIFY(SingleInstance::preparePrivateFolder(folder(), ::getuid()));
        // A socket left behind by an instance that died: nobody holds the lock.
        const QString socket = folder() + QStringLiteral("/com.stowbird.Stowbird.socket");
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(socket);
        std::memcpy(address.sun_path, name.constData(), name.size());
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd); // bound, never listened on: a dead socket file

        SingleInstance instance(folder());
        QCOMPARE(instance.claim(), SingleInstance::Claim::Primary);
        auto status =
            QtConcurrent::run([this] { return SingleInstance(folder()).queryRunningInstance(); });
        QTRY_VERIFY_WITH_TIMEOUT(status.isFinished(), 5000);
        QVERIFY(status.result().has_value());
    }

    void otherUsersAreRefused()
    {
        SingleInstance first(folder());
        QCOMPARE(first.claim(), SingleInstance::Claim::Primary);
        QSignalSpy activations(&first, &SingleInstance::activationRequested);

        // A launch for which the socket's owner is someone else does not talk to it.
        auto refusedOwner = QtConcurrent::run([this] {
            SingleInstance launch(folder());
            launch.setUidCheck([](uid_t uid) { return uid != ::getuid(); });
            return launch.notifyRunningInstance(500);
        });
        QTRY_VERIFY_WITH_TIMEOUT(refusedOwner.isFinished(), 5000);
        QVERIFY(!refusedOwner.result());

        // A running instance for which the caller is someone else hangs up on it.
        first.setUidCheck([](uid_t uid) { return uid != ::getuid(); });
        auto refusedPeer = QtConcurrent::run(
            [this] { return SingleInstance(folder()).notifyRunningInstance(1000); });
        QTRY_VERIFY_WITH_TIMEOUT(refusedPeer.isFinished(), 5000);
        QVERIFY(!refusedPeer.result());
        QCOMPARE(activations.size(), 0);
    }

    void squattedFolderIsNotUsed()
    {
        if (::geteuid() != 0)
            QSKIP("playing another user needs root");
        // Without a runtime folder the socket lives in the temporary folder, where the user
        // "nobody" made the folder first and answers on a socket inside it.
        const QString tmp = m_dir->path() + QStringLiteral("/tmp");
        QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), 0711), 0);
        QVERIFY(QDir().mkpath(tmp));
        QCOMPARE(::chmod(QFile::encodeName(tmp).constData(), 01777), 0);
        const QString squatted = tmp + QStringLiteral("/stowbird-%1").arg(::getuid());
        const pid_t squatter =
            startSquatter(squatted, squatted + QStringLiteral("/com.stowbird.Stowbird.socket"));
        if (squatter < 0)
            QSKIP("could not start a process as nobody");
        const auto stop = qScopeGuard([squatter] {
            ::kill(squatter, SIGKILL);
            ::waitpid(squatter, nullptr, 0);
        });

        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray tmpdir = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", runtime);
            qputenv("TMPDIR", tmpdir);
        });
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(tmp));

        QVERIFY(!SingleInstance::preparePrivateFolder(squatted, ::getuid()));
        SingleInstance launch;
        QVERIFY2(launch.folder() != squatted, qPrintable(launch.folder()));
        QVERIFY(launch.folder().startsWith(QDir::homePath()));
        QCOMPARE(launch.claim(), SingleInstance::Claim::Primary);

        // Even handed the squatted socket directly, a launch does not take its "ok".
        SingleInstance direct(squatted);
        QVERIFY(!direct.notifyRunningInstance(500));
        QCOMPARE(direct.claim(), SingleInstance::Claim::Unavailable);
    }

    void requestParsing_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<int>>("requests");
        QTest::addColumn<QByteArray>("left");

        using R = InstanceMessage::Request;
        QTest::newRow("open") << QByteArray("open-hud\n") << QList<int>{int(R::OpenHUD)}
                              << QByteArray();
        QTest::newRow("two in one read")
            << QByteArray("status\r\nopen-hud\nsta")
            << QList<int>{int(R::Status), int(R::OpenHUD), int(R::Incomplete)} << QByteArray("sta");
        QTest::newRow("each request")
            << QByteArray("background\ntoggle\nquit\nstatus\n")
            << QList<int>{int(R::Background), int(R::Toggle), int(R::Quit), int(R::Status)}
            << QByteArray();
        QTest::newRow("prefix is not enough")
            << QByteArray("open-hud-now\n") << QList<int>{int(R::Invalid)} << QByteArray();
        QTest::newRow("endless line")
            << QByteArray(300, 'x') << QList<int>{int(R::Invalid)} << QByteArray(300, 'x');
    }

    void requestParsing()
    {
        QFETCH(QByteArray, input);
        QFETCH(QList<int>, requests);
        QFETCH(QByteArray, left);
        QList<int> seen;
        for (;;) {
            const InstanceMessage::Request request = InstanceMessage::takeRequest(&input);
            seen << int(request);
            if (request == InstanceMessage::Request::Incomplete ||
                request == InstanceMessage::Request::Invalid || input.isEmpty())
                break;
        }
        QCOMPARE(seen, requests);
        QCOMPARE(input, left);
    }
};

STOWBIRD_TEST_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
