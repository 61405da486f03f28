// Drives the real stowbird program with a temporary home: intake while hidden, a second
// launch opening the running instance's HUD, and a clean exit on SIGTERM.
#include "PreviewTestFiles.h"
#include "TestEnvironment.h"
#include "platform/XdgAutostartBackend.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

class TestStowbirdBinary : public QObject
{
    Q_OBJECT

private:
    QProcessEnvironment m_env;

    QString status()
    {
        QProcess query;
        query.setProcessEnvironment(m_env);
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

        QProcess unknown;
        unknown.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--frobnicate")});
        QVERIFY(unknown.waitForFinished(5000));
        QCOMPARE(unknown.exitCode(), 2);
        QVERIFY(unknown.readAllStandardError().contains("Usage: stowbird"));

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
};

STOWBIRD_TEST_MAIN(TestStowbirdBinary)
#include "TestStowbirdBinary.moc"
