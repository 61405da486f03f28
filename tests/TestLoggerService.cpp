#include "TestEnvironment.h"
#include "TestFiles.h"
#include "crashreporting/CrashReporter.h"
#include "fakes/FakeCrashReporter.h"
#include "fakes/RecordingJournal.h"
#include "platform/SystemJournal.h"
#include "services/LoggerService.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTest>

#include <QThread>
#include <sys/stat.h>

#include <thread>

namespace {

using TestFiles::modeOf;

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

const QRegularExpression
    linePattern(QStringLiteral(R"(^\[(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)\] \[([A-Za-z]+)\] (.*)$)"));

} // namespace

class TestLoggerService : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    QString freshFolder() { return m_dir.path() + QStringLiteral("/l%1").arg(++m_counter); }

    struct CrashRun
    {
        QString stdoutText;
        QByteArray crashLog;
        QString reporterReport;
        QProcess::ExitStatus exitStatus;
    };

    CrashRun runCrashHelper(const QString& stateHome, const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_STATE_HOME"), stateHome);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(CRASH_HELPER_PATH), arguments);
        if (!process.waitForFinished(30000))
            qFatal("crash helper did not finish");
        CrashRun run;
        run.stdoutText = QString::fromUtf8(process.readAllStandardOutput());
        run.exitStatus = process.exitStatus();
        QFile crash(stateHome + QStringLiteral("/stowbird/crash.log"));
        if (crash.open(QIODevice::ReadOnly))
            run.crashLog = crash.readAll();
        QFile report(stateHome + QStringLiteral("/stowbird/crash-report.log"));
        if (report.open(QIODevice::ReadOnly))
            run.reporterReport = QString::fromUtf8(report.readAll());
        return run;
    }

private slots:
    void exactLines()
    {
        const QString folder = freshFolder();
        RecordingJournal journal;
        FakeCrashReporter reporter;
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
        {
            LoggerService logger(folder, reporter, journal, QStringLiteral("/home/alice"));
            QCOMPARE(logger.logPath(), folder + QStringLiteral("/stowbird.log"));
            QCOMPARE(logger.crashPath(), folder + QStringLiteral("/crash.log"));
            logger.info(QStringLiteral("Moved /home/alice/Downloads/x.zip"));
            logger.debug(QStringLiteral("Listing /Users/bob/Documents"));
            logger.action(QStringLiteral("Trashing item (.pdf)"));
            logger.error(QStringLiteral("Move failed"),
                         AppError{QStringLiteral("NSPOSIXErrorDomain"), 2,
                                  QStringLiteral("No such file: /home/carol/a")});
            logger.error(QStringLiteral("Plain failure"));
            logger.log(QStringLiteral("error"), QStringLiteral("lower-case level"));
            QVERIFY(logger.waitForWritten());
        }
        const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(1);

        const QStringList lines = readLines(folder + QStringLiteral("/stowbird.log"));
        const QStringList expected = {
            QStringLiteral("[INIT] Stowbird Logger initialized. Target: ") + folder +
                QStringLiteral("/stowbird.log"),
            QStringLiteral("[INFO] Moved ~/Downloads/x.zip"),
            QStringLiteral("[DEBUG] Listing /Users/~/Documents"),
            QStringLiteral("[ACTION] Trashing item (.pdf)"),
            QStringLiteral("[ERROR] Move failed | Error: No such file: /home/~/a"),
            QStringLiteral("[ERROR] Plain failure"),
            QStringLiteral("[error] lower-case level"),
        };
        QCOMPARE(lines.size(), expected.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QRegularExpressionMatch match = linePattern.match(lines[i]);
            QVERIFY2(match.hasMatch(), qPrintable(lines[i]));
            const QDateTime time = QDateTime::fromString(match.captured(1), Qt::ISODate);
            QVERIFY(time >= before && time <= after);
            QCOMPARE(lines[i].mid(23), expected[i]);
        }

        // Breadcrumbs only for the exact levels ACTION and ERROR; a non-fatal error only
        // when an error value was given.
        QCOMPARE(
            reporter.breadcrumbs(),
            (QStringList{QStringLiteral("[ACTION] Trashing item (.pdf)"),
                         QStringLiteral("[ERROR] Move failed | Error: No such file: /home/~/a"),
                         QStringLiteral("[ERROR] Plain failure")}));
        QCOMPARE(reporter.errors().size(), 1);
        QCOMPARE(reporter.errors()[0].code, 2);

        // The journal gets the masked message alone, at the level's priority, from the
        // writer thread.
        const QList<RecordingJournal::Entry> entries = journal.take();
        QCOMPARE(entries.size(), expected.size());
        const QList<int> priorities = {6, 6, 6, 5, 3, 3, 6};
        for (qsizetype i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i].priority, priorities[i]);
            QCOMPARE(entries[i].message, expected[i].section(QLatin1String("] "), 1));
            QCOMPARE(entries[i].thread, QStringLiteral("com.stowbird.logger"));
        }
    }

    // A file name with a line feed (and other controls) stays inside its own line in the
    // file, the journal copy and the breadcrumb: no forged "[ERROR]" line can appear.
    void controlCharactersCannotForgeLines()
    {
        const QString folder = freshFolder();
        RecordingJournal journal;
        FakeCrashReporter reporter;
        {
            LoggerService logger(folder, reporter, journal, QStringLiteral("/home/alice"));
            logger.action(QStringLiteral("Trashing /home/alice/Downloads/a\n[2026-01-01T00:00:00Z] "
                                         "[ERROR] forged\r\t\x1b[31m\u0085\u2028\u202e.txt"));
            QVERIFY(logger.waitForWritten());
        }
        const QString escaped = QStringLiteral(
            "Trashing ~/Downloads/a\\n[2026-01-01T00:00:00Z] [ERROR] forged\\r\\t\\x1b[31m"
            "\\x85\\u{2028}\\u{202e}.txt");
        const QStringList lines = readLines(folder + QStringLiteral("/stowbird.log"));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[1].mid(23), QStringLiteral("[ACTION] ") + escaped);
        QCOMPARE(journal.take().last().message, escaped);
        QCOMPARE(reporter.breadcrumbs().last(), QStringLiteral("[ACTION] ") + escaped);
        // Ordinary text is left as it is, other scripts included.
        QCOMPARE(LoggerService::escapeControlCharacters(QStringLiteral("Résumé 履歴書.pdf")),
                 QStringLiteral("Résumé 履歴書.pdf"));
    }

    // The log names the user's files: created 0600 in a 0700 folder, and files and folders
    // an older version made readable by others are tightened at start.
    void logFilesArePrivate()
    {
        RecordingJournal journal(false);
        const QString fresh = freshFolder() + QStringLiteral("/new/stowbird");
        {
            FakeCrashReporter reporter;
            LoggerService logger(fresh, reporter, journal, QString());
            QVERIFY(logger.waitForWritten());
        }
        QCOMPARE(modeOf(fresh), 0700u);
        QCOMPARE(modeOf(fresh + QStringLiteral("/stowbird.log")), 0600u);
        QCOMPARE(modeOf(QFileInfo(fresh).absolutePath()), 0700u); // a parent it made

        const QString old = freshFolder();
        QVERIFY(QDir().mkpath(old));
        const QStringList names = {QStringLiteral("stowbird.log"), QStringLiteral("crash.log"),
                                   QStringLiteral("crash-report.log"),
                                   QStringLiteral("nonfatal-errors.log")};
        for (const QString& name : names) {
            QFile file(old + '/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ReadGroup | QFileDevice::ReadOther));
        }
        QCOMPARE(::chmod(QFile::encodeName(old).constData(), 0755), 0);
        {
            FakeCrashReporter reporter;
            LoggerService logger(old, reporter, journal, QString());
            QVERIFY(logger.waitForWritten());
        }
        QCOMPARE(modeOf(old), 0700u);
        for (const QString& name : names)
            QCOMPARE(modeOf(old + '/' + name), 0600u);
    }

    void masking_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("masked");

        const QString alice = QStringLiteral("/home/alice");
        QTest::newRow("own home") << alice << "/home/alice/Downloads/x.zip"
                                  << "~/Downloads/x.zip";
        QTest::newRow("own home alone") << alice << "in /home/alice"
                                        << "in ~";
        QTest::newRow("twice") << alice << "/home/alice/a -> /home/alice/b"
                               << "~/a -> ~/b";
        QTest::newRow("other home") << alice << "/home/bob/Documents"
                                    << "/home/~/Documents";
        QTest::newRow("other mac home") << alice << "/Users/bob/Documents"
                                        << "/Users/~/Documents";
        QTest::newRow("longer name") << alice << "/home/alice2/x"
                                     << "/home/~/x";
        QTest::newRow("name ends at space") << alice << "/Users/Jane Doe/x"
                                            << "/Users/~ Doe/x";
        QTest::newRow("no name") << alice << "/home/ and /home//x"
                                 << "/home/ and /home//x";
        QTest::newRow("both kinds") << alice << "/home/alice/a /Users/alice/b"
                                    << "~/a /Users/~/b";
        QTest::newRow("unicode name") << alice << "/home/zo\u00eb/x"
                                      << "/home/~/x";
        QTest::newRow("mac-style home") << "/Users/alice"
                                        << "/Users/alice/x /Users/bob"
                                        << "~/x /Users/~";
        QTest::newRow("root home masks nothing") << "/"
                                                 << "/etc/passwd /home/bob"
                                                 << "/etc/passwd /home/~";
        QTest::newRow("nothing to mask") << alice << "Application launched."
                                         << "Application launched.";
    }

    void masking()
    {
        QFETCH(QString, home);
        QFETCH(QString, message);
        QFETCH(QString, masked);
        QCOMPARE(LoggerService::maskHomePaths(message, home), masked);
    }

    void appendsAcrossRestarts()
    {
        const QString folder = freshFolder();
        RecordingJournal journal(false);
        FakeCrashReporter reporter;
        {
            LoggerService first(folder, reporter, journal, {});
            first.info(QStringLiteral("first run"));
        }
        {
            LoggerService second(folder, reporter, journal, {});
            second.info(QStringLiteral("second run"));
        }
        const QStringList lines = readLines(folder + QStringLiteral("/stowbird.log"));
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].contains(QStringLiteral("[INIT]")));
        QVERIFY(lines[1].endsWith(QStringLiteral("[INFO] first run")));
        QVERIFY(lines[2].contains(QStringLiteral("[INIT]")));
        QVERIFY(lines[3].endsWith(QStringLiteral("[INFO] second run")));
    }

    void manyThreadsNoneTornOrLost()
    {
        const QString folder = freshFolder();
        RecordingJournal journal(false);
        FakeCrashReporter reporter;
        constexpr int threads = 4;
        constexpr int perThread = 5000;
        {
            LoggerService logger(folder, reporter, journal, {});
            std::vector<std::thread> workers;
            for (int t = 0; t < threads; ++t)
                workers.emplace_back([&logger, t] {
                    const QString padding(40 + t * 17, QLatin1Char('a' + t));
                    for (int i = 0; i < perThread; ++i)
                        logger.debug(QStringLiteral("T%1 %2 %3").arg(t).arg(i).arg(padding));
                });
            for (std::thread& worker : workers)
                worker.join();
            QVERIFY(logger.waitForWritten());
        }
        QCOMPARE(journal.count.load(), threads * perThread + 1);

        const QStringList lines = readLines(folder + QStringLiteral("/stowbird.log"));
        QCOMPARE(lines.size(), threads * perThread + 1);
        int next[threads] = {};
        for (qsizetype n = 1; n < lines.size(); ++n) {
            const QRegularExpressionMatch match = linePattern.match(lines[n]);
            QVERIFY2(match.hasMatch(), qPrintable(lines[n]));
            const QStringList parts = match.captured(3).split(QLatin1Char(' '));
            QCOMPARE(parts.size(), 3);
            const int t = parts[0].mid(1).toInt();
            QVERIFY(t >= 0 && t < threads);
            // Each thread's lines arrive whole and in the order it logged them.
            QCOMPARE(parts[1].toInt(), next[t]);
            QCOMPARE(parts[2], QString(40 + t * 17, QLatin1Char('a' + t)));
            ++next[t];
        }
        for (int t = 0; t < threads; ++t)
            QCOMPARE(next[t], perThread);
    }

    void callerNeverWaitsForWriter()
    {
        RecordingJournal journal;
        FakeCrashReporter reporter;
        QSemaphore gate;
        LoggerService logger(freshFolder(), reporter, journal, {});
        QVERIFY(logger.waitForWritten());
        journal.take();
        journal.gate = &gate;

        // The writer is stuck; logging still returns at once.
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 1000; ++i)
            logger.info(QStringLiteral("line %1").arg(i));
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(!logger.waitForWritten(50));

        gate.release(1000);
        QVERIFY(logger.waitForWritten());
        QCOMPARE(journal.take().size(), 1000);
        journal.gate = nullptr;
    }

    void unopenableLogFileStillCopies()
    {
        // The log folder's parent is a file: no folder, no log file.
        const QString blocker = freshFolder();
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        RecordingJournal journal;
        FakeCrashReporter reporter;
        LoggerService logger(blocker + QStringLiteral("/stowbird"), reporter, journal, {});
        logger.action(QStringLiteral("Moving item (.txt)"));
        QVERIFY(logger.waitForWritten());
        QVERIFY(!QFileInfo::exists(logger.logPath()));
        QCOMPARE(reporter.breadcrumbs(),
                 QStringList{QStringLiteral("[ACTION] Moving item (.txt)")});
        QCOMPARE(journal.take().size(), 2);
    }

    void crashReport_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");

        QTest::newRow("exception") << "throw-runtime:disk on fire"
                                   << "std::runtime_error"
                                   << "disk on fire";
        QTest::newRow("exception without reason") << "throw-empty"
                                                  << "(anonymous namespace)::EmptyException"
                                                  << "Unknown";
        QTest::newRow("not an std::exception") << "throw-int"
                                               << "int"
                                               << "Unknown";
        QTest::newRow("segmentation fault") << "segv"
                                            << "SIGSEGV"
                                            << "Segmentation fault at 0x0";
    }

    void crashReport()
    {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        QFETCH(QString, reason);

        const QString stateHome = freshFolder();
        const CrashRun run = runCrashHelper(stateHome, {mode});
        QCOMPARE(run.exitStatus, QProcess::CrashExit);

        QVERIFY(!run.crashLog.endsWith('\n'));
        const QStringList lines = QString::fromUtf8(run.crashLog).split(QLatin1Char('\n'));
        QVERIFY2(lines.size() >= 7, run.crashLog.constData());
        QCOMPARE(lines[0], QStringLiteral("==================== FATAL UNCAUGHT EXCEPTION "
                                          "===================="));
        QVERIFY(
            QRegularExpression(QStringLiteral(R"(^Timestamp: \d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$)"))
                .match(lines[1])
                .hasMatch());
        QCOMPARE(lines[2], QStringLiteral("Name: ") + name);
        QCOMPARE(lines[3], QStringLiteral("Reason: ") + reason);
        QCOMPARE(lines[4], QStringLiteral("Call Stack:"));
        // Frames of the helper itself, then the closing rule.
        QVERIFY(lines.mid(5, lines.size() - 6)
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("StowbirdCrashHelper")));
        QCOMPARE(lines.last(), QString(66, QLatin1Char('=')));
        // Only the user may read it, in a folder only the user may enter.
        QCOMPARE(modeOf(stateHome + QStringLiteral("/stowbird/crash.log")), 0600u);
        QCOMPARE(modeOf(stateHome + QStringLiteral("/stowbird")), 0700u);

        // The same report on standard output.
        QVERIFY2(run.stdoutText.contains(QString::fromUtf8(run.crashLog)),
                 qPrintable(run.stdoutText));
        // No temporary file is left behind.
        QVERIFY(!QFileInfo::exists(stateHome + QStringLiteral("/stowbird/crash.log.tmp")));
        // The crash reporter was not configured: it wrote nothing.
        QVERIFY(run.reporterReport.isEmpty());
    }

    void secondCrashReplacesFirst()
    {
        const QString stateHome = freshFolder();
        const CrashRun first = runCrashHelper(stateHome, {QStringLiteral("throw-runtime:first")});
        QVERIFY(first.crashLog.contains("Reason: first"));
        const CrashRun second = runCrashHelper(stateHome, {QStringLiteral("segv")});
        QVERIFY(second.crashLog.contains("Name: SIGSEGV"));
        QVERIFY(!second.crashLog.contains("first"));
        QCOMPARE(second.crashLog.count("FATAL UNCAUGHT EXCEPTION"), 1);
        // The log file of both runs is still there, appended.
        QCOMPARE(readLines(stateHome + QStringLiteral("/stowbird/stowbird.log"))
                     .filter(QStringLiteral("About to crash"))
                     .size(),
                 2);
    }

    void crashReporterAddsKeysAndBreadcrumbs()
    {
        const QString stateHome = freshFolder();
        const QString options = stateHome + QStringLiteral("/GoogleService-Info.plist");
        QDir().mkpath(stateHome);
        QFile file(options);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                   "<key>GOOGLE_APP_ID</key><string>1:0:linux:0</string></dict></plist>\n");
        file.close();

        const CrashRun run = runCrashHelper(stateHome, {QStringLiteral("segv"), options});
        QVERIFY(run.crashLog.contains("Name: SIGSEGV"));
        QVERIFY2(run.reporterReport.contains(QStringLiteral("Name: SIGSEGV")),
                 qPrintable(run.reporterReport));
        QVERIFY(run.reporterReport.contains(QStringLiteral("lifetime_triaged: 12\n")));
        QVERIFY(run.reporterReport.contains(QStringLiteral("[ACTION] Moving item (.pdf)\n")));
        QVERIFY(!run.reporterReport.contains(QStringLiteral("About to crash")));
    }
};

STOWBIRD_TEST_MAIN(TestLoggerService)
#include "TestLoggerService.moc"
