#include "LoopbackHttpServer.h"
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "fakes/FakeCrashReporter.h"
#include "fakes/RecordingJournal.h"
#include "fakes/RecordingRevealer.h"
#include "models/DownloadOrigin.h"
#include "models/FileOperationError.h"
#include "models/TriageItem.h"
#include "platform/DownloadUriMetadata.h"
#include "platform/FileMover.h"
#include "platform/FreedesktopTrash.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

const QByteArray secret = "s3cr3t-T0KEN";

void setAttribute(const QString& path, const char* name, const QByteArray& value)
{
    if (::lsetxattr(QFile::encodeName(path).constData(), name, value.constData(),
                    size_t(value.size()), 0) != 0)
        qFatal("cannot set %s on %s: %s", name, qPrintable(path), strerror(errno));
}

// The user.* attributes of path, name=value, sorted.
QStringList userAttributes(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    char names[4096];
    const ssize_t listed = ::llistxattr(file.constData(), names, sizeof names);
    QStringList found;
    for (ssize_t at = 0; at < listed; at += ssize_t(strlen(names + at)) + 1) {
        if (qstrncmp(names + at, "user.", 5) != 0)
            continue;
        char value[4096];
        const ssize_t n = ::lgetxattr(file.constData(), names + at, value, sizeof value);
        found << QString::fromLatin1(names + at) + u'=' +
                     QString::fromLatin1(QByteArray(value, int(std::max<ssize_t>(n, 0))).toHex());
    }
    found.sort();
    return found;
}

// A tmpfs of its own (user attributes need Linux 6.6 there), unmounted at the end.
struct Tmpfs
{
    explicit Tmpfs(const QString& where) : path(where)
    {
        QDir().mkpath(path);
        mounted = ::geteuid() == 0 && ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs",
                                              0, "size=32m") == 0;
    }
    ~Tmpfs()
    {
        if (mounted)
            ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
    }
    QString path;
    bool mounted = false;
};

bool finished(QProcess& process, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (process.state() != QProcess::NotRunning && timer.elapsed() < timeoutMs)
        QTest::qWait(20); // the loopback server answers from this thread's event loop
    return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit;
}

} // namespace

class TestDownloadOrigin : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PrivateSessionBus> m_bus;

    QString path(const QString& relative) const { return m_dir.path() + u'/' + relative; }

private slots:
    void initTestCase()
    {
        // GIO picks its metadata store once per process, on first use: the bus comes first.
        m_bus = std::make_unique<PrivateSessionBus>();
        if (!m_bus->address().isEmpty())
            qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address());
    }

    // Real clients save a download whose address carries a token: the item shows the host,
    // and neither the item nor the log of filing it (onto another file system, when root)
    // holds the token.
    void clientsRecordTheHostNotTheAddress_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("host");
        QTest::newRow("curl --xattr") << "curl"
                                      << "files.example.org";
        QTest::newRow("wget --xattr") << "wget"
                                      << "127.0.0.1";
    }

    void clientsRecordTheHostNotTheAddress()
    {
        QFETCH(QString, client);
        QFETCH(QString, host);
        const QString program = QStandardPaths::findExecutable(client);
        if (program.isEmpty())
            QSKIP("client not installed (scripts/install-deps.sh installs it)");
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        server.respond("/report.pdf", {200, "application/pdf", "%PDF-1.4 report"});
        const QString port = QString::number(server.port());
        const QString file = path(client + QStringLiteral("/Downloads/report.pdf"));
        QDir().mkpath(QFileInfo(file).path());
        const QString query = QStringLiteral("/report.pdf?token=") + secret;
        const QString referrer = QStringLiteral("https://portal.example.net/?sid=") + secret;
        const QString url = client == QLatin1String("curl")
                                ? "http://Files.Example.org:" + port + query
                                : "http://127.0.0.1:" + port + query;
        QStringList arguments{"--xattr", "--referer=" + referrer, "-O", file, url, "--quiet"};
        if (client == QLatin1String("curl")) // curl's own names, and the host given its address
            arguments = QStringList{"--xattr",   "--referer",
                                    referrer,    "-o",
                                    file,        url,
                                    "--silent",  "--fail",
                                    "--resolve", "files.example.org:" + port + ":127.0.0.1"};
        QProcess process;
        process.start(program, arguments);
        QVERIFY(finished(process, 30000));
        QCOMPARE(process.exitCode(), 0);
        // The token is on the file.
        QVERIFY(userAttributes(file).join(u' ').contains(QString::fromLatin1(secret.toHex())));

        const TriageItem item(QUrl::fromLocalFile(file));
        QCOMPARE(item.originHost, host);

        FakeCrashReporter reporter;
        RecordingJournal journal;
        LoggerService logger(path(client + QStringLiteral("/logs")), reporter, journal);
        FileExecutionEngine engine(std::make_unique<FreedesktopTrash>(path(client + "/data")),
                                   std::make_shared<RecordingRevealer>(), logger, reporter);
        Tmpfs slot(path(client + QStringLiteral("/slot")));
        const QUrl moved = engine.move(item, QUrl::fromLocalFile(slot.path));
        QCOMPARE(TriageItem(moved).originHost, host);
        QVERIFY(logger.waitForWritten());
        QString logged;
        QDirIterator logs(path(client + QStringLiteral("/logs")), QDir::Files | QDir::Hidden,
                          QDirIterator::Subdirectories);
        while (logs.hasNext())
            logged += QString::fromUtf8(readFile(logs.next()));
        for (const RecordingJournal::Entry& entry : journal.take())
            logged += entry.message;
        QVERIFY(logged.contains(QLatin1String("Moved item")));
        QVERIFY(!logged.contains(QString::fromLatin1(secret)));
    }

    // Whatever another program wrote into the attributes: only a well-formed http, https or
    // ftp host comes out; the origin goes before the referrer.
    void hostileOrOddValues_data()
    {
        QTest::addColumn<QByteArray>("origin");
        QTest::addColumn<QByteArray>("referrer");
        QTest::addColumn<QString>("host");
        const QByteArray none;
        QTest::newRow("user, port, case")
            << QByteArray("HTTPS://al:pw@Files.Example.ORG:8443/a?t=1") << none
            << "files.example.org";
        QTest::newRow("ftp, trailing NUL")
            << QByteArray("ftp://ftp.example.org/pub\0", 26) << none << "ftp.example.org";
        QTest::newRow("IDNA decoded")
            << QByteArray("https://xn--bcher-kva.de/x") << none << QString::fromUtf8("bücher.de");
        QTest::newRow("UTF-8 host") << QByteArray("https://B\xc3\xbc"
                                                  "cher.de/")
                                    << none << QString::fromUtf8("bücher.de");
        QTest::newRow("IPv6") << QByteArray("http://[2001:DB8::1]:8080/") << none << "2001:db8::1";
        QTest::newRow("backslash ends host")
            << QByteArray("http://good.example\\@evil.example/") << none << "good.example";
        QTest::newRow("referrer when no origin")
            << none << QByteArray("https://ref.example.net/p") << "ref.example.net";
        QTest::newRow("referrer when origin is junk")
            << QByteArray("javascript:alert(1)") << QByteArray("http://ref.example.net")
            << "ref.example.net";
        for (const char* junk :
             {"file:///etc/passwd", "data:text/html,x", "http:example.org", "http:///path",
              "http://exa mple.org/", "http://ex%41mple.org/", "http://bad\nline.example/",
              "http://x:notaport/", "//example.org", "http://a..b/", "\xff\xfe\xfd"})
            QTest::newRow(junk) << QByteArray(junk) << none << QString();
        QTest::newRow("NUL in host")
            << QByteArray("http://example.org\0.evil/", 25) << none << QString();
        QTest::newRow("not UTF-8") << QByteArray("http://\xc3\x28.example/") << none << QString();
        QTest::newRow("label too long")
            << "http://" + QByteArray(64, 'a') + ".example/" << none << QString();
        // Longer than the first read's buffer, then longer than anything read at all.
        QTest::newRow("long query")
            << "https://long.example.org/?q=" + QByteArray(3000, 'q') << none << "long.example.org";
        QTest::newRow("huge") << "https://huge.example.org/?q=" + QByteArray(60000, 'q') << none
                              << QString();
    }

    void hostileOrOddValues()
    {
        QFETCH(QByteArray, origin);
        QFETCH(QByteArray, referrer);
        QFETCH(QString, host);
        // ext4 keeps a value of at most a block; a tmpfs keeps the kernel's 64 KiB.
        Tmpfs folder(path(QStringLiteral("hostile")));
        if (origin.size() > 4000 && !folder.mounted)
            QSKIP("a value this long needs a tmpfs (root)");
        const QString file = folder.path + QStringLiteral("/item.bin");
        const QString link = folder.path + QStringLiteral("/link");
        QFile::remove(file); // left by the row before when no tmpfs could be mounted
        QFile::remove(link);
        writeFile(file, "data");
        if (!origin.isNull())
            setAttribute(file, DownloadOrigin::originAttribute, origin);
        if (!referrer.isNull())
            setAttribute(file, DownloadOrigin::referrerAttribute, referrer);
        QCOMPARE(TriageItem(QUrl::fromLocalFile(file)).originHost, host);
        // A link carries none of its own; its target's are not read.
        QVERIFY(QFile::link(file, link));
        QCOMPARE(DownloadOrigin::hostOf(link), QString());
    }

    // What Firefox records on Linux: GIO's metadata, kept by gvfs's metadata daemon.
    void gioMetadataGivesTheHost()
    {
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (m_bus->address().isEmpty() || gio.isEmpty() ||
            !QFileInfo::exists(QStringLiteral("/usr/libexec/gvfsd-metadata")))
            QSKIP("no session bus, gio or gvfs (scripts/install-deps.sh installs gvfs)");
        const QString file = path(QStringLiteral("gio/Downloads/setup.tar.gz"));
        const QString other = path(QStringLiteral("gio/Downloads/plain.txt"));
        writeFile(file, "archive");
        writeFile(other, "plain");
        QProcess set;
        set.start(gio, {"set", file, DownloadUriMetadata::attribute,
                        "https://CDN.Example.org/dl/setup.tar.gz?signature=" + secret});
        QVERIFY(set.waitForFinished(30000));
        if (set.exitCode() != 0)
            QSKIP(qPrintable("gvfs keeps no metadata here: " + set.readAllStandardError()));

        QFuture<QString> future = DownloadUriMetadata::hostAsync(file);
        STOWBIRD_TRY_VERIFY(future.isFinished(), 10000);
        QCOMPARE(future.result(), QStringLiteral("cdn.example.org"));
        QCOMPARE(DownloadUriMetadata::hostOf(other, std::chrono::seconds(10)), QString());
        // The attributes' reader knows nothing of it: the two are separate sources.
        QCOMPARE(DownloadOrigin::hostOf(file), QString());
    }

    // A session bus that accepts the connection and never answers stalls GIO's first read:
    // the bounded wait still returns on time, and the program can still exit.
    void aSilentBusDoesNotHoldTheReaderUp()
    {
        QLocalServer silent;
        QVERIFY(silent.listen(path(QStringLiteral("silent-bus"))));
        const QString file = path(QStringLiteral("silent.txt"));
        writeFile(file, "x");
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=") + silent.fullServerName());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--read-metadata"), file});
        QVERIFY(finished(child, 10000));
        QCOMPARE(child.exitCode(), 0);
        const QList<QByteArray> answer = child.readAllStandardOutput().trimmed().split(' ');
        QCOMPARE(answer.value(0), QByteArray("-"));
        QVERIFY2(answer.value(1).toInt() < 3000, answer.value(1).constData());
    }

    // A file and a folder (and every file in it) moved onto another file system keep their
    // user.* attributes.
    void movesToAnotherFileSystemKeepUserAttributes()
    {
        Tmpfs slot(path(QStringLiteral("slot")));
        if (!slot.mounted)
            QSKIP("mounting a tmpfs needs root");
        static const char binaryValue[] = "\x00\xff\x01 not text";
        const QByteArray binary(binaryValue, sizeof binaryValue - 1);
        const QString downloads = path(QStringLiteral("Downloads"));
        writeFile(downloads + "/model.stl", "solid");
        writeFile(downloads + "/Kit/a.txt", "a");
        writeFile(downloads + "/Kit/Sub/b.txt", "b");
        const QStringList entries{"model.stl", "Kit", "Kit/a.txt", "Kit/Sub", "Kit/Sub/b.txt"};
        QMap<QString, QStringList> before;
        for (const QString& entry : entries) {
            setAttribute(downloads + u'/' + entry, DownloadOrigin::originAttribute,
                         "https://files.example.org/" + entry.toUtf8() + "?token=" + secret);
            setAttribute(downloads + u'/' + entry, "user.checksum", binary);
            before[entry] = userAttributes(downloads + u'/' + entry);
        }
        QStringList notices;
        FileMover mover;
        mover.setNoticeSink([&](const QString& message) { notices << message; });
        mover.move(downloads + "/model.stl", slot.path + "/model.stl", {});
        mover.move(downloads + "/Kit", slot.path + "/Kit", {});
        for (const QString& entry : entries)
            QCOMPARE(userAttributes(slot.path + u'/' + entry), before[entry]);
        QVERIFY(!QFileInfo::exists(downloads + "/Kit"));
        QCOMPARE(notices, QStringList());
    }

    // FAT keeps no attributes: the move still lands whole, and the log is told once, with
    // no names.
    void aFileSystemWithoutAttributesTakesTheMoveAndIsToldOnce()
    {
        if (::geteuid() != 0)
            QSKIP("mounting needs root");
        const QString fusefat = QStandardPaths::findExecutable(QStringLiteral("fusefat"));
        const QString mkfs = QStandardPaths::findExecutable(
            QStringLiteral("mkfs.vfat"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        if (fusefat.isEmpty() || mkfs.isEmpty() || ::access("/dev/fuse", R_OK | W_OK) != 0)
            QSKIP("no fusefat, mkfs.vfat or /dev/fuse (scripts/install-deps.sh installs them)");
        const QString image = path(QStringLiteral("fat.img"));
        const QString fat = path(QStringLiteral("fat"));
        QVERIFY(QDir().mkpath(fat));
        QCOMPARE(QProcess::execute(mkfs, {"-F", "32", "-C", image, "65536"}), 0);
        QCOMPARE(QProcess::execute(fusefat, {"-o", "rw+", image, fat}), 0);
        const auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(fat).constData(), MNT_DETACH); });

        QStringList notices;
        FileMover mover;
        mover.setNoticeSink([&](const QString& message) { notices << message; });
        for (const QString name : {"first.pdf", "second.pdf"}) {
            const QString source = path("fatsource/" + name);
            writeFile(source, name.toUtf8());
            setAttribute(source, DownloadOrigin::originAttribute, "https://files.example.org/x");
            setAttribute(source, "user.comment", "kept elsewhere");
            try {
                mover.move(source, fat + u'/' + name, {});
            } catch (const FileOperationError& failure) {
                QFAIL(qPrintable(failure.error().localizedDescription));
            }
            QVERIFY(!QFileInfo::exists(source));
            QCOMPARE(readFile(fat + u'/' + name), name.toUtf8());
        }
        QCOMPARE(notices.size(), 1);
        for (const char* name : {"first", "second", "user.", "example", "comment"})
            QVERIFY2(!notices.first().contains(QLatin1String(name)), qPrintable(notices.first()));
    }
};

int main(int argc, char** argv)
{
    // The child of aSilentBusDoesNotHoldTheReaderUp: one bounded read, its host ("-" for
    // none) and how long it took.
    if (argc == 3 && qstrcmp(argv[1], "--read-metadata") == 0) {
        QElapsedTimer timer;
        timer.start();
        const QString host = DownloadUriMetadata::hostOf(QString::fromLocal8Bit(argv[2]),
                                                         std::chrono::milliseconds(100));
        std::printf("%s %lld\n", host.isEmpty() ? "-" : qPrintable(host), timer.elapsed());
        return 0;
    }
    TestEnvironment environment;
    QApplication app(argc, argv);
    TestDownloadOrigin tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "TestDownloadOrigin.moc"
