#include "LogRecorder.h"
#include "TestEnvironment.h"
#include "fakes/FakeCrashReporter.h"
#include "platform/UserDefaults.h"
#include "services/TelemetryService.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>
#include <vector>

namespace {

TriageItem itemNamed(const QString& name)
{
    return TriageItem(QUrl::fromLocalFile(QStringLiteral("/nonexistent/") + name));
}

} // namespace

class TestTelemetryService : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeCrashReporter m_reporter;
    LogRecorder m_log;
    QDateTime m_now;

    QString settingsPath() const { return m_dir->filePath(QStringLiteral("defaults.conf")); }

    std::unique_ptr<TelemetryService> makeService()
    {
        auto service = std::make_unique<TelemetryService>(
            std::make_unique<QSettings>(settingsPath(), QSettings::IniFormat), m_reporter, nullptr);
        service->setClock([this] { return m_now; });
        service->setLogRecorder(m_log.sink());
        return service;
    }

    QStringList summaryLines() const { return m_log.lines().filter(QStringLiteral("[TELEMETRY]")); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_reporter.clear();
        m_log.clear();
        m_now = QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC);
    }

    void categorize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<FileCategory>("category");
        QTest::newRow("screenshot beats media")
            << "Screen Shot 2024-01-01 at 10.00.00.mov" << FileCategory::screenshot;
        QTest::newRow("screenshot, any case") << "SCREENSHOT_1.PNG" << FileCategory::screenshot;
        QTest::newRow("double extension counts by gz")
            << "archive.tar.gz" << FileCategory::archiveOrInstaller;
        QTest::newRow("no extension") << "Makefile" << FileCategory::other;
        QTest::newRow("upper-case image") << "photo.JPG" << FileCategory::image;
        QTest::newRow("document") << "notes.markdown" << FileCategory::document;
        QTest::newRow("code") << "main.rs" << FileCategory::code;
        QTest::newRow("media") << "song.flac" << FileCategory::media;
        QTest::newRow("installer") << "Setup.dmg" << FileCategory::archiveOrInstaller;
        QTest::newRow("unknown extension") << "data.parquet" << FileCategory::other;
    }

    void categorize()
    {
        QFETCH(QString, name);
        QFETCH(FileCategory, category);
        const TriageItem item = itemNamed(name);
        QCOMPARE(TelemetryService::categorize(item.filename, item.fileExtension), category);
    }

    void rawValuesRoundTrip()
    {
        QCOMPARE(rawValue(ActionType::customFolder), QStringLiteral("custom_folder"));
        QCOMPARE(rawValue(FileCategory::archiveOrInstaller), QStringLiteral("archive_installer"));
        QCOMPARE(actionTypeFromRawValue(QStringLiteral("slot_route")), ActionType::slotRoute);
        QCOMPARE(inputMethodFromRawValue(QStringLiteral("mouse")), InputMethod::mouse);
        QCOMPARE(fileCategoryFromRawValue(QStringLiteral("code")), FileCategory::code);
        QVERIFY(!actionTypeFromRawValue(QStringLiteral("slotRoute")));
    }

    void absentSwitchIsOnAndSessionsCount()
    {
        auto service = makeService();
        QVERIFY(service->isEnabled());
        service->startSession(3);
        service->recordAction(ActionType::trash, InputMethod::keyboard, itemNamed("a.zip"));
        service->endSession(2);
        QCOMPARE(service->lifetimeFilesTriaged(), 1);
        QCOMPARE(service->lifetimeSessionsCount(), 1);
        QCOMPARE(summaryLines().size(), 1);
        QVERIFY(!service->currentStats());
    }

    void summaryLineAndCrashKeys()
    {
        auto service = makeService();
        service->startSession(14);
        QCOMPARE(m_reporter.value("session_initial_queue_count"), 14);
        for (int i = 0; i < 11; ++i)
            service->recordAction(ActionType::slotRoute, InputMethod::keyboard,
                                  itemNamed("report.pdf"));
        service->recordAction(ActionType::skip, InputMethod::mouse, itemNamed("clip.mov"));
        service->recordUndo();
        service->recordUndo();
        service->recordQuickLook();
        QCOMPARE(m_reporter.value("session_triaged_count"), 12);
        QCOMPARE(m_reporter.value("session_undo_count"), 2);

        const TriageSessionStats stats = *service->currentStats();
        QCOMPARE(stats.actionCounts.value("slot_route"), 11);
        QCOMPARE(stats.categoryCounts.value("document"), 11);
        QCOMPARE(stats.categoryCounts.value("media"), 1);
        QCOMPARE(stats.quicklookCount, 1);

        m_reporter.clear();
        m_now = m_now.addMSecs(95500);
        service->endSession(2);
        QCOMPARE(m_log.lines(),
                 QStringList{"INFO [TELEMETRY] Triage session completed: 12 files in 95s | "
                             "Inputs: [K:11, M:1] | Undos: 2 | Queue: 14 -> 2"});
        QCOMPARE(m_reporter.keys(),
                 (QStringList{"last_session_triaged", "last_session_undos",
                              "last_session_duration_s", "lifetime_triaged", "lifetime_sessions"}));
        QCOMPARE(m_reporter.value("last_session_duration_s"), 95);
        QCOMPARE(m_reporter.value("lifetime_triaged"), 12);
        QCOMPARE(m_reporter.value("lifetime_sessions"), 1);
    }

    void shortSessionCountsAsOneSecond()
    {
        auto service = makeService();
        service->startSession(1);
        service->recordAction(ActionType::rename, InputMethod::mouse, itemNamed("x.txt"));
        m_now = m_now.addMSecs(400);
        service->endSession(0);
        QCOMPARE(summaryLines(),
                 QStringList{"INFO [TELEMETRY] Triage session completed: 1 files in 1s | Inputs: "
                             "[K:0, M:1] | Undos: 0 | Queue: 1 -> 0"});
        QCOMPARE(m_reporter.value("last_session_duration_s"), 1);
    }

    void disablingDiscardsTheSession()
    {
        auto service = makeService();
        QSignalSpy changed(service.get(), &TelemetryService::enabledChanged);
        service->startSession(4);
        service->recordAction(ActionType::trash, InputMethod::keyboard, itemNamed("a.png"));
        service->setIsEnabled(false);
        QCOMPARE(m_reporter.collectionEnabled(), false);
        QVERIFY(!service->currentStats());
        service->endSession(3);
        service->recordAction(ActionType::trash, InputMethod::keyboard, itemNamed("b.png"));
        QVERIFY(!service->currentStats());
        QVERIFY(summaryLines().isEmpty());
        QCOMPARE(service->lifetimeSessionsCount(), 0);
        service->setIsEnabled(false);
        QCOMPARE(changed.count(), 1); // only a real change is announced

        service->setIsEnabled(true);
        QCOMPARE(m_reporter.collectionEnabled(), true);
        QCOMPARE(changed.count(), 2);
        service->recordAction(ActionType::trash, InputMethod::keyboard, itemNamed("c.png"));
        QCOMPARE(service->currentStats()->filesTriaged, 1);
    }

    void sessionWithoutActionsLeavesNoTrace()
    {
        auto service = makeService();
        service->startSession(5);
        service->recordUndo(); // undo alone is not an action
        m_reporter.clear();
        service->endSession(5);
        QVERIFY(m_log.lines().isEmpty());
        QVERIFY(m_reporter.values().isEmpty());
        QCOMPARE(service->lifetimeSessionsCount(), 0);
    }

    void actionWithoutSessionStartsOneWithCountOne()
    {
        auto service = makeService();
        service->recordUndo(); // no implicit session for an undo
        QVERIFY(!service->currentStats());
        service->recordAction(ActionType::customFolder, InputMethod::keyboard, itemNamed("a"));
        QCOMPARE(service->currentStats()->initialItemCount, 1);
        QVERIFY(!m_reporter.keys().contains("session_initial_queue_count"));
    }

    void newSessionCompletesTheOldOne()
    {
        auto service = makeService();
        service->startSession(5);
        const QUuid firstID = service->currentStats()->sessionID;
        for (int i = 0; i < 3; ++i)
            service->recordAction(ActionType::trash, InputMethod::keyboard, itemNamed("f.zip"));
        service->startSession(7);
        QCOMPARE(summaryLines().size(), 1);
        QVERIFY(summaryLines().first().endsWith("Queue: 5 -> 7"));
        const TriageSessionStats fresh = *service->currentStats();
        QVERIFY(fresh.sessionID != firstID);
        QCOMPARE(fresh.initialItemCount, 7);
        QCOMPARE(fresh.filesTriaged, 0);
        QVERIFY(fresh.actionCounts.isEmpty());

        // A new start over an idle session drops it silently.
        service->startSession(9);
        QCOMPARE(summaryLines().size(), 1);
        QCOMPARE(service->lifetimeSessionsCount(), 1);
    }

    void renameThenRouteCountsTwice()
    {
        auto service = makeService();
        service->startSession(1);
        const TriageItem item = itemNamed("draft.docx");
        service->recordAction(ActionType::rename, InputMethod::keyboard, item);
        service->recordAction(ActionType::slotRoute, InputMethod::keyboard, item);
        const TriageSessionStats stats = *service->currentStats();
        QCOMPARE(stats.filesTriaged, 2);
        QCOMPARE(stats.actionCounts, (QMap<QString, qint64>{{"rename", 1}, {"slot_route", 1}}));
        QCOMPARE(stats.categoryCounts, (QMap<QString, qint64>{{"document", 2}}));
    }

    void countersAndIdentifierPersist()
    {
        QString id;
        {
            auto service = makeService();
            id = service->installationID();
            for (int session = 0; session < 2; ++session) {
                service->startSession(3);
                service->recordAction(ActionType::trash, InputMethod::keyboard, itemNamed("a"));
                service->recordAction(ActionType::skip, InputMethod::keyboard, itemNamed("b"));
                service->endSession(1);
            }
            QCOMPARE(service->installationID(), id);
        }
        QVERIFY(QUuid::fromString(id).isNull() == false);
        QCOMPARE(id, id.toUpper());
        QCOMPARE(id.size(), 36);

        auto reopened = makeService();
        QCOMPARE(reopened->lifetimeFilesTriaged(), 4);
        QCOMPARE(reopened->lifetimeSessionsCount(), 2);
        QCOMPARE(reopened->installationID(), id);
        reopened->setIsEnabled(false);
        QVERIFY(!makeService()->isEnabled());
    }

    void defaultStoreLivesUnderXdgConfigHome()
    {
        const auto settings = UserDefaults::open();
        const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        QVERIFY(!configHome.isEmpty());
        QCOMPARE(settings->fileName(), configHome + QStringLiteral("/stowbird/stowbird.conf"));
    }

    void countersSaturate()
    {
        QSettings(settingsPath(), QSettings::IniFormat)
            .setValue(TelemetryService::lifetimeTriagedKey, std::numeric_limits<qint64>::max());
        auto service = makeService();
        service->recordAction(ActionType::trash, InputMethod::keyboard, itemNamed("a"));
        service->endSession(0);
        QCOMPARE(service->lifetimeFilesTriaged(), std::numeric_limits<qint64>::max());
    }

    void concurrentActionsAreAllCounted()
    {
        auto service = makeService();
        service->startSession(0);
        std::vector<std::unique_ptr<QThread>> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back(QThread::create([&service, t] {
                const TriageItem item = itemNamed(t % 2 ? "a.png" : "b.mp3");
                for (int i = 0; i < 500; ++i) {
                    service->recordAction(ActionType::slotRoute,
                                          t % 2 ? InputMethod::mouse : InputMethod::keyboard, item);
                    if (i % 100 == 0)
                        service->recordUndo();
                }
            }));
            threads.back()->start();
        }
        for (auto& thread : threads)
            QVERIFY(thread->wait(60000));
        const TriageSessionStats stats = *service->currentStats();
        QCOMPARE(stats.filesTriaged, 2000);
        QCOMPARE(stats.inputMethodCounts.value("mouse"), 1000);
        QCOMPARE(stats.categoryCounts.value("media"), 1000);
        QCOMPARE(stats.undoCount, 20);
        service->endSession(0);
        QCOMPARE(service->lifetimeFilesTriaged(), 2000);
    }
};

STOWBIRD_TEST_MAIN(TestTelemetryService)
#include "TestTelemetryService.moc"
