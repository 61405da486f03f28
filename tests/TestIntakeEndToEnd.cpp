// Download intake end to end: the real stowbird program runs with a temporary home while
// real download clients (wget, curl, aria2c) fetch slowly, with a stall mid-way, from a
// loopback server into its Downloads folder. Each download must raise the waiting count
// exactly once and only after the client finished; deleting it must lower the count again.
#include "TestEnvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

namespace {

constexpr int fileSize = 256 * 1024;

} // namespace

class TestIntakeEndToEnd : public QObject
{
    Q_OBJECT

private:
    QProcessEnvironment m_env;
    QProcess m_server;
    QProcess m_app;
    QString m_downloads;
    quint16 m_port = 0;

    QString status()
    {
        QProcess query;
        query.setProcessEnvironment(m_env);
        query.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--status")});
        if (!query.waitForFinished(5000))
            return {};
        return QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    }

    QString waiting(int count) { return QStringLiteral("waiting=%1 hud=hidden").arg(count); }

    // Slow enough that the watcher's checks run many times while the client works: 16 KiB
    // every 100 ms, then 3 s of silence with the connection open half-way through.
    QString slowUrl(const QString& name) const
    {
        return QStringLiteral("http://127.0.0.1:%1/files/%2?size=%3&chunk=16384&interval=100"
                              "&stall_at=%4&stall=3000")
            .arg(m_port)
            .arg(name)
            .arg(fileSize)
            .arg(fileSize / 2);
    }

private slots:
    void initTestCase()
    {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("QT_QPA_PLATFORM", "offscreen");
        QVERIFY(QDir::homePath().contains(QDir::tempPath()));
        m_downloads = QDir::homePath() + "/Downloads";
        QVERIFY(QDir().mkpath(m_downloads));

        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(QStringLiteral("python3"), {QStringLiteral(SLOW_SERVER_SCRIPT)});
        QVERIFY2(m_server.waitForStarted(5000), "python3 is needed (scripts/install-deps.sh)");
        QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine(), 10000);
        m_port = quint16(m_server.readLine().trimmed().toUInt());
        QVERIFY(m_port > 0);

        m_app.setProcessEnvironment(m_env);
        m_app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_app.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
        QVERIFY(m_app.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(status(), waiting(0), 10000);
    }

    void cleanupTestCase()
    {
        if (m_app.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_app.processId()), SIGTERM);
            QVERIFY(m_app.waitForFinished(10000));
            QCOMPARE(m_app.exitCode(), 0);
        }
        m_server.kill();
        m_server.waitForFinished(5000);
    }

    // A download under way when the program starts (a browser resuming at login): the launch
    // listing takes a finished file beside it but not the download, which is queued once
    // the client is done, once and whole.
    void downloadUnderWayAtLaunchIsQueuedWhenDone()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("curl")).isEmpty())
            QFAIL("curl is not installed (scripts/install-deps.sh installs it)");
        ::kill(pid_t(m_app.processId()), SIGTERM);
        QVERIFY(m_app.waitForFinished(10000));
        const QString finished = m_downloads + "/finished.txt";
        QFile note(finished);
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.close();
        const QString name = QStringLiteral("resumed.iso");
        QProcess download;
        download.setProcessChannelMode(QProcess::ForwardedChannels);
        download.start(QStringLiteral("curl"),
                       {"-sS", "-f", "--max-time", "60", "-o", m_downloads + "/" + name,
                        QStringLiteral("http://127.0.0.1:%1/files/%2?size=%3&chunk=16384"
                                       "&interval=100&stall_at=%4&stall=8000")
                            .arg(m_port)
                            .arg(name)
                            .arg(fileSize)
                            .arg(fileSize / 4)});
        QVERIFY(download.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(m_downloads + "/" + name).size() > 0, 10000);

        m_app.start(QStringLiteral(STOWBIRD_BINARY), {QStringLiteral("--background")});
        QVERIFY(m_app.waitForStarted(5000));
        // The listing is in (the finished file is queued) while curl still writes: the long
        // stall leaves a slow start (a sanitizer build) time enough.
        QTRY_COMPARE_WITH_TIMEOUT(status(), waiting(1), 10000);
        QCOMPARE(download.state(), QProcess::Running);
        while (download.state() != QProcess::NotRunning) {
            QCOMPARE(status(), waiting(1));
            download.waitForFinished(150);
        }
        QCOMPARE(download.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(status(), waiting(2), 10000);
        QCOMPARE(QFileInfo(m_downloads + "/" + name).size(), qint64(fileSize));
        QTest::qWait(2500);
        QCOMPARE(status(), waiting(2));
        QVERIFY(QFile::remove(m_downloads + "/" + name));
        QVERIFY(QFile::remove(finished));
        QTRY_COMPARE_WITH_TIMEOUT(status(), waiting(0), 5000);
    }

    void clientDownloadIsQueuedOnceWhenDone_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("arguments");
        const QString dir = QDir::homePath() + "/Downloads";
        // wget and curl write NAME in place; aria2c allocates NAME at full size at once and
        // keeps NAME.aria2 beside it until done.
        QTest::newRow("wget") << "wget"
                              << "wget-report.pdf" << QStringList{"-q", "-t",
                                                                  "1",  "--read-timeout=30",
                                                                  "-O", dir + "/wget-report.pdf"};
        QTest::newRow("curl") << "curl"
                              << "curl-archive.zip"
                              << QStringList{"-sS", "-f", "--max-time",
                                             "60",  "-o", dir + "/curl-archive.zip"};
        QTest::newRow("aria2c") << "aria2c"
                                << "aria2-image.iso"
                                << QStringList{"-q",
                                               "--split=1",
                                               "--max-connection-per-server=1",
                                               "--auto-file-renaming=false",
                                               "--allow-overwrite=false",
                                               "-d",
                                               dir,
                                               "-o",
                                               "aria2-image.iso"};
    }

    void clientDownloadIsQueuedOnceWhenDone()
    {
        QFETCH(QString, client);
        QFETCH(QString, name);
        QFETCH(QStringList, arguments);
        if (QStandardPaths::findExecutable(client).isEmpty())
            QFAIL(qPrintable(client + " is not installed (scripts/install-deps.sh installs it)"));
        QTRY_COMPARE_WITH_TIMEOUT(status(), waiting(0), 10000);

        QProcess download;
        download.setProcessChannelMode(QProcess::ForwardedChannels);
        download.start(client, arguments << slowUrl(name));
        QVERIFY(download.waitForStarted(5000));
        // All the while the client works (stall included), nothing is queued.
        QElapsedTimer clock;
        clock.start();
        int polls = 0;
        while (download.state() != QProcess::NotRunning) {
            QCOMPARE(status(), waiting(0));
            ++polls;
            download.waitForFinished(150);
            QVERIFY2(clock.elapsed() < 60000, "the client did not finish");
        }
        QCOMPARE(download.exitStatus(), QProcess::NormalExit);
        QCOMPARE(download.exitCode(), 0);
        QVERIFY(polls > 10); // the download really was slow
        QCOMPARE(QFileInfo(m_downloads + "/" + name).size(), qint64(fileSize));

        // Queued once it is finished, and nothing else (no control or partial file) follows.
        QTRY_COMPARE_WITH_TIMEOUT(status(), waiting(1), 10000);
        QTest::qWait(2500);
        QCOMPARE(status(), waiting(1));
        QCOMPARE(QDir(m_downloads).entryList(QDir::Files | QDir::Hidden), QStringList{name});

        // Deleted by something else: out of the count at once, without opening the window.
        QVERIFY(QFile::remove(m_downloads + "/" + name));
        QTRY_COMPARE_WITH_TIMEOUT(status(), waiting(0), 5000);
    }
};

STOWBIRD_TEST_MAIN(TestIntakeEndToEnd)
#include "TestIntakeEndToEnd.moc"
