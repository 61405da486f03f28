// Drives the real stowbird program with a temporary home: intake while hidden, a second
// launch opening the running instance's HUD, one copy whatever the runtime folder, and a
// clean, quick exit on SIGTERM whatever a preview was doing.
#include "PreviewTestFiles.h"
#include "TestEnvironment.h"
#include "platform/XdgAutostartBackend.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <grp.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// True while the process exists and is not a zombie.
bool alive(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end > 0 && line.size() > end + 2 && line[end + 2] != 'Z';
}

// True when a thread of pid waits in the kernel for a FIFO's other end to be opened.
bool waitsToOpenAFifo(pid_t pid)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile wchan(tasks + '/' + task + QStringLiteral("/wchan"));
        if (wchan.open(QIODevice::ReadOnly) && wchan.readAll() == "wait_for_partner")
            return true;
    }
    return false;
}

} // namespace

class TestStowbirdBinary : public QObject
{
    Q_OBJECT

private:
    QProcessEnvironment m_env;

    QString status() { return status(m_env); }
    QString status(const QProcessEnvironment& env)
    {
        QProcess query;
        query.setProcessEnvironment(env);
        query.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--status")});
        if (!query.waitForFinished(5000))
            return {};
        return QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    }

private slots:
    void initTestCase()
    {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("QT_QPA_PLATFORM", "offscreen");
        // TestEnvironment already pointed HOME and XDG_* at a temporary folder.
        QVERIFY(QDir::homePath().contains(QDir::tempPath()));
    }

    void commandLine()
    {
        QProcess help;
        help.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(5000));
        QCOMPARE(help.exitCode(), 0);
        QVERIFY(help.readAllStandardOutput().contains("Usage: stowbird"));

        QProcess version;
        version.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--version")});
        QVERIFY(version.waitForFinished(5000));
        QCOMPARE(version.exitCode(), 0);
        QCOMPARE(version.readAllStandardOutput().trimmed(),
                 QByteArray("stowbird " STOWBIRD_VERSION));

        // A mistake is one line and where to look, not the whole help.
        QProcess unknown;
        unknown.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--frobnicate")});
        QVERIFY(unknown.waitForFinished(5000));
        QCOMPARE(unknown.exitCode(), 2);
        QCOMPARE(unknown.readAllStandardError(),
                 QByteArray("stowbird: unknown option '--frobnicate'\n"
                            "Try 'stowbird --help' for more information.\n"));

        QCOMPARE(status(), QStringLiteral("Stowbird is not running"));
    }

    // The login item runs exactly what its Exec line says: the program must come up in the
    // tray, with the window closed, even though Downloads is empty.
    void autostartEntryStartsHidden()
    {
        const QString autostart = XdgAutostartBackend::defaultAutostartDirectory();
        XdgAutostartBackend backend(autostart, QStringLiteral(STOWBIRD_BINARY));
        backend.registerItem();
        const auto entry = XdgAutostartBackend::readEntry(backend.entryPath());
        QVERIFY(entry);
        QVERIFY(QFileInfo(entry->value("TryExec")).isExecutable());
        QStringList command = XdgAutostartBackend::splitExec(entry->value("Exec"));
        QVERIFY(!command.isEmpty());
        const QString program = command.takeFirst();

        QProcess app;
        app.setProcessEnvironment(m_env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(program, command);
        QVERIFY(app.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("waiting=0 hud=hidden"), 10000);
        ::kill(pid_t(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(10000));
        backend.unregisterItem();
    }

    void intakeSecondLaunchAndTermination()
    {
        const QString downloads = QDir::homePath() + "/Downloads";
        QVERIFY(QDir().mkpath(downloads));
        QProcess app;
        app.setProcessEnvironment(m_env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
        QVERIFY(app.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("waiting=0 hud=hidden"), 10000);

        QFile file(downloads + "/invoice.pdf");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4\n");
        file.close();
        // Discovery raises the count; it never opens the HUD.
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("waiting=1 hud=hidden"), 10000);

        QProcess second;
        second.setProcessEnvironment(m_env);
        second.start(QStringLiteral(STOWBIRD_BINARY));
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("waiting=1 hud=shown"), 10000);

        ::kill(pid_t(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(10000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        QFile log(QDir::homePath() + "/.local/state/stowbird/stowbird.log");
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray lines = log.readAll();
        QVERIFY(lines.contains("[INFO] Application launched."));
        QVERIFY(lines.contains("[INFO] Application terminating."));
        QCOMPARE(status(), QStringLiteral("Stowbird is not running"));
    }

    // What later launches ask of the running copy: --background leaves its window as it is,
    // --toggle shows and hides it, --quit ends it (and says when none runs); --toggle with
    // none running starts one with its window shown.
    void launchesAskTheRunningCopy()
    {
        const auto run = [this](const QString& option) {
            QProcess launch;
            launch.setProcessEnvironment(m_env);
            launch.start(QStringLiteral(STOWBIRD_BINARY), {option});
            launch.waitForFinished(15000);
            return std::pair(launch.exitCode(), launch.readAllStandardOutput().trimmed());
        };
        // Earlier cases may have left downloads behind: only the window matters here.
        const auto window = [this] { return status().section(QLatin1Char(' '), 1, 1); };
        QProcess app, toggled;
        const auto cleanup = qScopeGuard([&] {
            for (QProcess* process : {&app, &toggled}) {
                process->kill();
                process->waitForFinished(5000);
            }
        });
        app.setProcessEnvironment(m_env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
        QVERIFY(app.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(window(), QStringLiteral("hud=hidden"), 10000);

        QCOMPARE(run(QStringLiteral("--background")).first, 0);
        QCOMPARE(window(), QStringLiteral("hud=hidden"));
        QCOMPARE(run(QStringLiteral("--toggle")).first, 0);
        QTRY_COMPARE_WITH_TIMEOUT(window(), QStringLiteral("hud=shown"), 5000);
        QCOMPARE(run(QStringLiteral("--background")).first, 0);
        QCOMPARE(window(), QStringLiteral("hud=shown"));
        QCOMPARE(run(QStringLiteral("--toggle")).first, 0);
        QTRY_COMPARE_WITH_TIMEOUT(window(), QStringLiteral("hud=hidden"), 5000);

        QCOMPARE(run(QStringLiteral("--quit")), std::pair(0, QByteArray()));
        QVERIFY(app.waitForFinished(5000));
        QCOMPARE(app.exitCode(), 0);
        QCOMPARE(run(QStringLiteral("--quit")),
                 std::pair(1, QByteArray("Stowbird is not running")));

        toggled.setProcessEnvironment(m_env);
        toggled.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        toggled.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--toggle")});
        QVERIFY(toggled.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(window(), QStringLiteral("hud=shown"), 10000);
        QCOMPARE(run(QStringLiteral("--quit")).first, 0);
        QVERIFY(toggled.waitForFinished(5000));
    }

    // Launches while the running copy is stopped neither start a second copy nor take its
    // socket; after a crash the next launch takes over the stale socket.
    void stoppedInstanceIsNotDuplicated()
    {
        QProcess app;
        app.setProcessEnvironment(m_env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
        QVERIFY(app.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith(QStringLiteral("waiting=")), 10000);

        ::kill(pid_t(app.processId()), SIGSTOP);
        QProcess second, third;
        for (QProcess* launch : {&second, &third}) {
            launch->setProcessEnvironment(m_env);
            launch->start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
        }
        for (QProcess* launch : {&second, &third}) {
            QVERIFY(launch->waitForFinished(10000));
            QCOMPARE(launch->exitCode(), 1);
            QVERIFY2(launch->readAllStandardError().contains("already running"),
                     "the refused launch says why");
        }
        // Resumed, it still answers (and shows the HUD the refused launches asked for).
        ::kill(pid_t(app.processId()), SIGCONT);
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith(QStringLiteral("waiting=")), 10000);
        QCOMPARE(app.state(), QProcess::Running);

        // A crash leaves the socket behind; the lock went with the process.
        app.kill();
        QVERIFY(app.waitForFinished(10000));
        QCOMPARE(status(), QStringLiteral("Stowbird is not running"));
        QProcess next;
        next.setProcessEnvironment(m_env);
        next.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
        QVERIFY(next.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith(QStringLiteral("waiting=")), 10000);
        ::kill(pid_t(next.processId()), SIGTERM);
        QVERIFY(next.waitForFinished(10000));
        QCOMPARE(next.exitCode(), 0);
    }

    // FIFOs, a socket and a link to /dev/zero waiting in Downloads (and in a folder there)
    // are queued and previewed, and Quit still ends the program at once.
    void specialFilesDoNotHoldUpQuit()
    {
        const QString downloads = QDir::homePath() + "/Downloads";
        QVERIFY(QDir(downloads).removeRecursively());
        const QStringList names = PreviewTestFiles::makeSpecialFiles(downloads);
        PreviewTestFiles::makeSpecialFiles(downloads + "/pictures");
        QProcess app;
        app.setProcessEnvironment(m_env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(STOWBIRD_BINARY));
        QVERIFY(app.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(
            status(), QStringLiteral("waiting=%1 hud=shown").arg(names.size() + 1), 10000);

        QElapsedTimer quitting;
        quitting.start();
        ::kill(pid_t(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(10000));
        const qint64 elapsed = quitting.elapsed();
        QCOMPARE(app.exitCode(), 0);
        QVERIFY2(elapsed < 1000, qPrintable(QStringLiteral("Quit took %1 ms").arg(elapsed)));
        QVERIFY(QDir(downloads).removeRecursively());
    }

    // An SVG waiting in Downloads names a FIFO and another file outside it. Its preview opens
    // neither; Quit ends the program within 2 s all the same, and a launch while it ends does
    // not start a second copy beside it.
    void svgNamingAFifoDoesNotHoldUpQuit()
    {
        const QString downloads = QDir::homePath() + "/Downloads";
        const QString elsewhere = QDir::homePath() + "/elsewhere";
        QVERIFY(QDir().mkpath(downloads) && QDir().mkpath(elsewhere));
        const QByteArray pipe = QFile::encodeName(elsewhere + "/pipe.png");
        const QByteArray secret = QFile::encodeName(elsewhere + "/secret.png");
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        PreviewTestFiles::writeImage(elsewhere + "/secret.png", QSize(8, 8));
        TestFiles::writeFile(
            downloads + "/art.svg",
            "<svg xmlns=\"http://www.w3.org/2000/svg\" "
            "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
            "width=\"40\" height=\"40\"><rect width=\"40\" height=\"40\" fill=\"blue\"/>"
            "<image width=\"20\" height=\"20\" xlink:href=\"" +
                secret + "\"/><image width=\"20\" height=\"20\" xlink:href=\"" + pipe +
                "\"/></svg>");
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(::inotify_add_watch(watch, secret.constData(), IN_OPEN | IN_ACCESS) >= 0);

        QProcess app, second;
        const auto cleanup = qScopeGuard([&] {
            ::close(watch);
            for (QProcess* process : {&second, &app}) {
                process->kill();
                process->waitForFinished(5000);
            }
            QDir(downloads).removeRecursively();
            QDir(elsewhere).removeRecursively();
        });
        app.setProcessEnvironment(m_env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(STOWBIRD_BINARY));
        QVERIFY(app.waitForStarted(5000));
        const auto pid = pid_t(app.processId());
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("waiting=1 hud=shown"), 10000);
        // The preview starts as the window shows: time to reach the FIFO, if it would.
        const bool blockedOnFifo = QTest::qWaitFor([pid] { return waitsToOpenAFifo(pid); }, 2000);

        QElapsedTimer quitting;
        quitting.start();
        ::kill(pid, SIGTERM);
        second.setProcessEnvironment(m_env);
        second.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
        // While the first is there, only a second copy could answer "hud=hidden".
        qint64 ended = -1;
        QString beside;
        while (ended < 0 && quitting.elapsed() < 5000) {
            const QString answer = status();
            if (!alive(pid))
                ended = quitting.elapsed();
            else if (answer.endsWith(QStringLiteral("hud=hidden")))
                beside = answer;
        }
        QVERIFY2(beside.isEmpty(), "a second copy ran while the first was ending");
        QVERIFY2(ended >= 0 && ended < 2000,
                 qPrintable(QStringLiteral("Quit took %1 ms").arg(ended < 0 ? 5000 : ended)));
        QVERIFY(app.waitForFinished(5000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        QVERIFY2(!blockedOnFifo, "a preview thread waited to open the FIFO");
        char event[4096];
        QVERIFY2(::read(watch, event, sizeof event) < 0, "the preview read the other file");

        // The second launch gave up, or started once the first was gone: then it is the one.
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning ||
                                     status() == QStringLiteral("waiting=1 hud=hidden"),
                                 10000);
        if (second.state() != QProcess::NotRunning) {
            ::kill(pid_t(second.processId()), SIGTERM);
            QVERIFY(second.waitForFinished(10000));
            QCOMPARE(second.exitCode(), 0);
        }
    }

    // Launches that see another runtime folder, or none, find the running copy all the same;
    // stopped, it is reported as running but not answering.
    void oneCopyWhateverTheRuntimeFolder()
    {
        const QString root = QFileInfo(QDir::homePath()).path();
        QProcessEnvironment first = m_env, none = m_env, other = m_env;
        first.insert("XDG_RUNTIME_DIR", root + "/runtime-a");
        other.insert("XDG_RUNTIME_DIR", root + "/runtime-b");
        none.remove("XDG_RUNTIME_DIR");
        none.insert("TMPDIR", root + "/tmp");
        for (const char* folder : {"/runtime-a", "/runtime-b", "/tmp"})
            QVERIFY(QDir().mkpath(root + folder) &&
                    ::chmod(QFile::encodeName(root + folder).constData(), 0700) == 0);

        QProcess app;
        const auto cleanup = qScopeGuard([&] {
            ::kill(pid_t(app.processId()), SIGCONT);
            app.kill();
            app.waitForFinished(5000);
        });
        app.setProcessEnvironment(first);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
        QVERIFY(app.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(status(first).endsWith(QStringLiteral("hud=hidden")), 10000);

        for (const QProcessEnvironment& env : {none, other, m_env}) {
            QProcess launch;
            launch.setProcessEnvironment(env);
            launch.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            launch.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
            QVERIFY2(launch.waitForFinished(5000), "a second copy started");
            QCOMPARE(launch.exitCode(), 0);
        }
        for (const QProcessEnvironment& env : {none, other})
            QVERIFY(status(env).startsWith(QStringLiteral("waiting=")));

        ::kill(pid_t(app.processId()), SIGSTOP);
        QProcess query;
        query.setProcessEnvironment(none);
        query.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--status")});
        QVERIFY(query.waitForFinished(5000));
        QCOMPARE(query.exitCode(), 3);
        QVERIFY(query.readAllStandardOutput().contains("running but does not answer"));
        ::kill(pid_t(app.processId()), SIGCONT);

        ::kill(pid_t(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(10000));
        QCOMPARE(app.exitCode(), 0);
    }

    // Downloads that Stowbird may not read: the window and the tray say that new downloads
    // cannot be seen and the log has an ERROR line; once it may read the folder the message
    // goes and a new download is queued. Run as a throwaway user (root reads every folder),
    // with a home of its own.
    void unreadableDownloadsIsToldUntilFixed()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to run Stowbird as another user");
        constexpr uid_t nobody = 65534;
        QTemporaryDir dir;
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        const QString home = dir.path() + "/home", downloads = home + "/Downloads";
        QProcessEnvironment env = m_env;
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", home + "/.config");
        env.insert("XDG_STATE_HOME", home + "/.local/state");
        env.insert("XDG_DATA_HOME", home + "/.local/share");
        env.insert("XDG_CACHE_HOME", home + "/.cache");
        env.insert("XDG_RUNTIME_DIR", dir.path() + "/runtime");
        for (const QString& folder : {home, downloads, dir.path() + "/runtime"}) {
            QVERIFY(QDir().mkpath(folder));
            QCOMPARE(::chown(QFile::encodeName(folder).constData(), nobody, nobody), 0);
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
        }
        QCOMPARE(::chmod(QFile::encodeName(downloads).constData(), 0), 0);
        const auto asNobody = [&env](QProcess& process) {
            process.setProcessEnvironment(env);
            process.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                    ::_exit(99);
            });
        };
        const auto statusAsNobody = [&asNobody] {
            QProcess query;
            asNobody(query);
            query.setProcessChannelMode(QProcess::MergedChannels);
            query.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--status")});
            return query.waitForFinished(5000)
                       ? QString::fromUtf8(query.readAllStandardOutput()).trimmed()
                       : QString();
        };

        QProcess app;
        asNobody(app);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(STOWBIRD_BINARY));
        QVERIFY(app.waitForStarted(5000));
        const QString unseen = "New downloads in ~/Downloads cannot be seen";
        QTRY_VERIFY_WITH_TIMEOUT(statusAsNobody().contains("window: " + unseen), 10000);
        const QString shown = statusAsNobody();
        QVERIFY2(shown.contains("tray: Stowbird: " + unseen), qPrintable(shown));
        const auto logged = [&home] {
            QFile log(home + "/.local/state/stowbird/stowbird.log");
            return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        };
        QTRY_VERIFY_WITH_TIMEOUT(
            logged().contains("[ERROR] [DownloadWatcherService] Cannot watch ~/Downloads"), 5000);

        QCOMPARE(::chmod(QFile::encodeName(downloads).constData(), 0700), 0);
        QTRY_COMPARE_WITH_TIMEOUT(statusAsNobody(), QStringLiteral("waiting=0 hud=shown"), 10000);
        TestFiles::writeFile(downloads + "/after.txt", "seen");
        QTRY_COMPARE_WITH_TIMEOUT(statusAsNobody(), QStringLiteral("waiting=1 hud=shown"), 10000);
        ::kill(pid_t(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(10000));
    }
};

STOWBIRD_TEST_MAIN(TestStowbirdBinary)
#include "TestStowbirdBinary.moc"
