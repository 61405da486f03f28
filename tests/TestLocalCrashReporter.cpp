#include "TestEnvironment.h"
#include "TestFiles.h"
#include "crashreporting/LocalCrashReporter.h"
#include "platform/PropertyListReader.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTest>

#include <thread>

namespace {

const QByteArray validOptions =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n"
    "<dict>\n"
    "    <key>GOOGLE_APP_ID</key>\n"
    "    <string>1:1234:linux:abcd</string>\n"
    "    <key>IS_ANALYTICS_ENABLED</key>\n"
    "    <false/>\n"
    "    <key>IS_GCM_ENABLED</key>\n"
    "    <true/>\n"
    "    <key>PORT</key>\n"
    "    <integer>-42</integer>\n"
    "    <key>RATIO</key>\n"
    "    <real>0.25</real>\n"
    "    <key>LIST</key>\n"
    "    <array><string>a &amp; b</string><dict><key>x</key><integer>1</integer></dict></array>\n"
    "    <key>BLOB</key>\n"
    "    <data>aGVsbG8=</data>\n"
    "</dict>\n"
    "</plist>\n";

QString writeFile(const QString& path, const QByteArray& data)
{
    TestFiles::writeFile(path, data);
    return path;
}

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestLocalCrashReporter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    QString freshFolder() { return m_dir.path() + QStringLiteral("/r%1").arg(++m_counter); }
    QString optionsFile()
    {
        return writeFile(freshFolder() + QStringLiteral("/o.plist"), validOptions);
    }

private slots:
    void propertyListValues()
    {
        const auto root = PropertyListReader::parse(validOptions);
        QVERIFY(root);
        const auto map = std::optional<QVariantMap>(root->toMap());
        QCOMPARE(map->value(QStringLiteral("GOOGLE_APP_ID")),
                 QVariant(QStringLiteral("1:1234:linux:abcd")));
        QCOMPARE(map->value(QStringLiteral("IS_ANALYTICS_ENABLED")), QVariant(false));
        QCOMPARE(map->value(QStringLiteral("IS_GCM_ENABLED")), QVariant(true));
        QCOMPARE(map->value(QStringLiteral("PORT")), QVariant(qint64(-42)));
        QCOMPARE(map->value(QStringLiteral("RATIO")), QVariant(0.25));
        QCOMPARE(map->value(QStringLiteral("BLOB")), QVariant(QByteArray("hello")));
        const QVariantList list = map->value(QStringLiteral("LIST")).toList();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0], QVariant(QStringLiteral("a & b")));
        QCOMPARE(list[1].toMap().value(QStringLiteral("x")), QVariant(qint64(1)));

        // The options file shipped with the program is usable.
        LocalCrashReporter reporter(freshFolder());
        QVERIFY(reporter.configure(QStringLiteral(SHIPPED_OPTIONS_PATH)));
    }

    void configure_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("usable");

        QTest::newRow("valid") << validOptions << true;
        QTest::newRow("not XML") << QByteArray("{\"GOOGLE_APP_ID\": \"x\"}") << false;
        QTest::newRow("truncated") << validOptions.left(validOptions.size() / 2) << false;
        QTest::newRow("root is an array")
            << QByteArray("<plist><array><string>x</string></array></plist>") << false;
        QTest::newRow("no application id")
            << QByteArray("<plist><dict><key>API_KEY</key><string>k</string></dict></plist>")
            << false;
        QTest::newRow("value without key")
            << QByteArray("<plist><dict><string>x</string></dict></plist>") << false;
        QTest::newRow("bad integer")
            << QByteArray("<plist><dict><key>GOOGLE_APP_ID</key><string>x</string><key>N</key>"
                          "<integer>12a</integer></dict></plist>")
            << false;
        QTest::newRow("empty file") << QByteArray() << false;
    }

    void configure()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, usable);
        const QString folder = freshFolder();
        LocalCrashReporter reporter(folder);
        const QString path =
            writeFile(folder + QStringLiteral("/GoogleService-Info.plist"), contents);
        QCOMPARE(reporter.configure(path), usable);
        QCOMPARE(reporter.isConfigured(), usable);

        LocalCrashReporter missing(folder);
        QVERIFY(!missing.configure(folder + QStringLiteral("/no-such.plist")));
    }

    void nothingBeforeConfigure()
    {
        const QString folder = freshFolder();
        LocalCrashReporter reporter(folder);
        reporter.log(QStringLiteral("[ACTION] early"));
        reporter.setCustomValue(QStringLiteral("cpu_arch"), QStringLiteral("x86_64"));
        reporter.recordError(AppError{QStringLiteral("d"), 1, QStringLiteral("early")});
        reporter.setCollectionEnabled(false);

        QVERIFY(reporter.configure(optionsFile()));
        QVERIFY(reporter.breadcrumbs().isEmpty());
        QVERIFY(reporter.customValues().isEmpty());
        QVERIFY(reporter.isCollectionEnabled());
        QVERIFY(!QFileInfo::exists(reporter.nonFatalErrorsPath()));
        QCOMPARE(reporter.options().value(QStringLiteral("GOOGLE_APP_ID")).toString(),
                 QStringLiteral("1:1234:linux:abcd"));
    }

    void keysAndBreadcrumbs()
    {
        LocalCrashReporter reporter(freshFolder());
        QVERIFY(reporter.configure(optionsFile()));
        reporter.setCustomValue(QStringLiteral("launch_at_login"), true);
        reporter.setCustomValue(QStringLiteral("lifetime_triaged"), 3);
        reporter.setCustomValue(QStringLiteral("lifetime_triaged"), 4);
        QCOMPARE(reporter.customValues().value(QStringLiteral("lifetime_triaged")), QVariant(4));
        QCOMPARE(reporter.customValues().size(), 2);

        for (int i = 0; i < LocalCrashReporter::maximumBreadcrumbs + 10; ++i)
            reporter.log(QStringLiteral("[ACTION] %1").arg(i));
        const QStringList crumbs = reporter.breadcrumbs();
        QCOMPARE(crumbs.size(), LocalCrashReporter::maximumBreadcrumbs);
        QCOMPARE(crumbs.first(), QStringLiteral("[ACTION] 10"));
        QCOMPARE(crumbs.last(),
                 QStringLiteral("[ACTION] %1").arg(LocalCrashReporter::maximumBreadcrumbs + 9));
    }

    void nonFatalErrorsAppended()
    {
        LocalCrashReporter reporter(freshFolder());
        QVERIFY(reporter.configure(optionsFile()));
        reporter.recordError(AppError{QStringLiteral("com.stowbird.fileengine"), 3,
                                      QStringLiteral("Could not move\nthe file")});
        reporter.setCollectionEnabled(false);
        reporter.recordError(AppError{QStringLiteral("ignored"), 1, QStringLiteral("off")});
        reporter.setCollectionEnabled(true);
        reporter.recordError(
            AppError{QStringLiteral("NSPOSIXErrorDomain"), 2, QStringLiteral("gone")});

        const QStringList lines = readLines(reporter.nonFatalErrorsPath());
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].endsWith(
            QStringLiteral("] com.stowbird.fileengine 3: Could not move the file")));
        QVERIFY(QDateTime::fromString(lines[0].mid(1, 20), Qt::ISODate).isValid());
        QVERIFY(lines[1].endsWith(QStringLiteral("] NSPOSIXErrorDomain 2: gone")));
    }

    void safeFromManyThreads()
    {
        LocalCrashReporter reporter(freshFolder());
        QVERIFY(reporter.configure(optionsFile()));
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&reporter, t] {
                for (int i = 0; i < 2000; ++i) {
                    reporter.log(QStringLiteral("[ACTION] %1 %2").arg(t).arg(i));
                    reporter.setCustomValue(QStringLiteral("key%1").arg(t), i);
                    if (i % 100 == 0)
                        reporter.recordError(AppError{QStringLiteral("d"), t, QStringLiteral("e")});
                }
            });
        for (std::thread& thread : threads)
            thread.join();
        QCOMPARE(reporter.breadcrumbs().size(), LocalCrashReporter::maximumBreadcrumbs);
        for (int t = 0; t < 4; ++t)
            QCOMPARE(reporter.customValues().value(QStringLiteral("key%1").arg(t)), QVariant(1999));
        QCOMPARE(readLines(reporter.nonFatalErrorsPath()).size(), 80);
    }
};

STOWBIRD_TEST_MAIN(TestLocalCrashReporter)
#include "TestLocalCrashReporter.moc"
