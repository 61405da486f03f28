// New downloads told in desktop notifications while the window is hidden, against a
// notification server on a private session bus that records what it is asked to show and
// presses buttons as a user would: one bubble for a burst, updated in place; the buttons of a
// bubble for one download trash or file exactly that item (real files, the real trash), a
// server without buttons gets a plain notification, and the setting decides when any is
// shown.
#include "HudTestServices.h"
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "models/DestinationPredictor.h"
#include "platform/DesktopNotifier.h"
#include "services/NewDownloadNotifier.h"
#include "services/SuggestionService.h"
#include "services/TriageActionController.h"
#include "views/SettingsView.h"

#include <QApplication>
#include <QComboBox>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

// One Notify call, as the server printed it.
struct Bubble
{
    QString summary;
    QString body;
    uint id = 0;
    uint replaces = 0;
    QStringList actions; // "key=label"
    QString category;
};

QString field(const QList<QByteArray>& parts, int index, const char* prefix)
{
    const QString text = QString::fromUtf8(parts.value(index));
    return text.startsWith(QLatin1String(prefix)) ? text.mid(int(qstrlen(prefix))) : QString();
}

} // namespace

class TestDownloadNotifier : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateSessionBus> m_bus;
    QProcess m_server;
    QByteArray m_output;
    bool m_serverActions = false;
    QString m_home;
    QString m_downloads;
    std::unique_ptr<HudTestServices<>> m_services;
    std::unique_ptr<TriageActionController> m_actions;
    std::unique_ptr<SuggestionService> m_suggestions;
    std::unique_ptr<DesktopNotifier> m_desktop;
    std::unique_ptr<NewDownloadNotifier> m_notifier;
    bool m_windowShown = false;
    bool m_trayShown = false;

    // One server serves the cases in turn; only a change of its buttons starts another.
    bool startServer(bool actions)
    {
        m_output += m_server.readAllStandardOutput();
        if (m_server.state() == QProcess::Running && m_serverActions == actions) {
            m_output.clear();
            return true;
        }
        m_serverActions = actions;
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
        m_output.clear();
        QStringList options{QStringLiteral("--notifications")};
        if (actions)
            options << QStringLiteral("--actions");
        m_server.start(QStringLiteral(FAKE_DESKTOP_SERVICES), options);
        if (!m_server.waitForStarted(5000))
            return false;
        while (!m_output.contains("READY") && m_server.waitForReadyRead(5000))
            m_output += m_server.readAllStandardOutput();
        return m_output.contains("READY");
    }

    QList<Bubble> bubbles()
    {
        m_output += m_server.readAllStandardOutput();
        QList<Bubble> result;
        for (const QByteArray& line : m_output.split('\n')) {
            if (!line.startsWith("NOTIFY "))
                continue;
            const QList<QByteArray> parts = line.mid(7).split('|');
            Bubble bubble;
            bubble.summary = QString::fromUtf8(parts.value(0));
            bubble.body = QString::fromUtf8(parts.value(1));
            bubble.id = field(parts, 2, "id=").toUInt();
            bubble.replaces = field(parts, 3, "replaces=").toUInt();
            const QString actions = field(parts, 4, "actions=");
            bubble.actions = actions.isEmpty() ? QStringList() : actions.split(QLatin1Char(';'));
            bubble.category = field(parts, 5, "category=");
            result.append(bubble);
        }
        return result;
    }

    // The user presses button key of notification id.
    void press(uint id, const QString& key)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"),
            QStringLiteral("/org/stowbird/FakeNotifications"),
            QStringLiteral("org.stowbird.FakeNotifications"), QStringLiteral("InvokeAction"));
        call << id << key;
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
        QVERIFY2(reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool(),
                 qPrintable(reply.errorMessage()));
    }

    // A file at name in Downloads, queued (as a listing does).
    QString place(const QString& name)
    {
        const QString path = m_downloads + QLatin1Char('/') + name;
        TestFiles::writeFile(path, "downloaded " + name.toUtf8());
        m_services->queue->enqueue(QUrl::fromLocalFile(path), true);
        return path;
    }

    // A download at name, queued and reported by the watcher.
    QString arrive(const QString& name)
    {
        const QString path = place(name);
        m_notifier->noteArrival(QUrl::fromLocalFile(path));
        return path;
    }

    QStringList waiting() const
    {
        QStringList names;
        for (const TriageItem& item : m_services->queue->items())
            names << item.filename;
        return names;
    }

    // Chosen in the preferences and saved.
    void setWhen(AppConfig::NewDownloadNotice when)
    {
        SettingsView view(*m_services->config, *m_services->launchAtLogin, *m_services->updates,
                          *m_services->telemetry, *m_services->globalShortcut, [] {});
        auto* choice = view.findChild<QComboBox*>(QStringLiteral("newDownloadNoticeChoice"));
        QVERIFY(choice);
        choice->setCurrentIndex(choice->findData(AppConfig::noticeKey(when)));
        view.save();
        const auto saved =
            AppConfig::decode(TestFiles::readFile(m_services->config->configFilePath()));
        QVERIFY(saved);
        QCOMPARE(saved->general.notifyNewDownloads, when);
    }

private slots:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateSessionBus>();
        if (m_bus->address().isEmpty())
            QSKIP("dbus-daemon is not installed (package dbus)");
        // Before anything in the process opens the session bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address());
    }

    void init()
    {
        QVERIFY(startServer(true));
        m_home = QDir::homePath();
        m_downloads = m_home + QStringLiteral("/Downloads");
        QDir(m_home).removeRecursively();
        for (const char* folder : {"/Downloads", "/Documents", "/Prints"})
            QVERIFY(QDir().mkpath(m_home + folder));
        m_services = std::make_unique<HudTestServices<>>(m_home);
        AppConfig config = m_services->config->config();
        config.destinationSlots = {{1, QStringLiteral("Documents"), QStringLiteral("~/Documents")},
                                   {2, QStringLiteral("3D Prints"), QStringLiteral("~/Prints")}};
        QVERIFY(m_services->config->saveConfig(config));
        TriageActionController::Dependencies actions;
        actions.queue = m_services->queue.get();
        actions.engine = m_services->engine.get();
        actions.logger = m_services->logger.get();
        m_actions = std::make_unique<TriageActionController>(actions);
        m_suggestions = std::make_unique<SuggestionService>(nullptr);
        m_desktop = std::make_unique<DesktopNotifier>(QDBusConnection::sessionBus());
        m_windowShown = false;
        m_trayShown = false;
        NewDownloadNotifier::Dependencies notices;
        notices.notifier = m_desktop.get();
        notices.queue = m_services->queue.get();
        notices.actions = m_actions.get();
        notices.config = m_services->config.get();
        notices.logger = m_services->logger.get();
        notices.suggestions = m_suggestions.get();
        notices.windowShown = [this] { return m_windowShown; };
        notices.trayShown = [this] { return m_trayShown; };
        m_notifier = std::make_unique<NewDownloadNotifier>(notices);
        m_notifier->setGatherDelay(1);
    }

    void cleanup()
    {
        m_notifier.reset();
        m_desktop.reset();
        m_actions.reset();
        m_suggestions.reset();
        m_services.reset();
    }

    void cleanupTestCase()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

    // One new download behind another that waits at the head: its bubble names it and
    // offers slot 1, the trash and the window; "Trash" moves that file, not the head, into
    // the real trash. Pressed once it is no longer waiting, it says so in a bubble of its
    // own.
    void trashActsOnTheItemShownNotTheHead()
    {
        const QString head = place(QStringLiteral("older.txt"));
        const QString report = arrive(QStringLiteral("report.pdf"));
        STOWBIRD_TRY_COMPARE(bubbles().size(), 1, 5000);
        const Bubble bubble = bubbles().last();
        QCOMPARE(bubble.summary, QStringLiteral("New download"));
        QCOMPARE(bubble.body, QStringLiteral("report.pdf"));
        QCOMPARE(bubble.category, QStringLiteral("transfer.complete"));
        QCOMPARE(bubble.actions,
                 (QStringList{"file=File to Documents", "trash=Trash", "open=Open Stowbird"}));
        QCOMPARE(waiting(), (QStringList{"older.txt", "report.pdf"}));

        QSignalSpy ended(m_actions.get(), &TriageActionController::itemActionEnded);
        press(bubble.id, QStringLiteral("trash"));
        STOWBIRD_TRY_COMPARE(ended.size(), 1, 5000);
        QVERIFY(ended.first().at(1).toBool());
        QVERIFY(!QFile::exists(report));
        QVERIFY(QFile::exists(m_home + "/.local/share/Trash/files/report.pdf"));
        QVERIFY(QFile::exists(m_home + "/.local/share/Trash/info/report.pdf.trashinfo"));
        QVERIFY(QFile::exists(head));
        QCOMPARE(waiting(), QStringList{"older.txt"});

        // A bubble whose item left the queue meanwhile (filed in the window, say).
        const QString late = arrive(QStringLiteral("late.zip"));
        STOWBIRD_TRY_COMPARE(bubbles().size(), 2, 5000);
        QVERIFY(m_services->queue->removeURL(QUrl::fromLocalFile(late)));
        press(bubbles().last().id, QStringLiteral("trash"));
        STOWBIRD_TRY_COMPARE(bubbles().size(), 3, 5000);
        QCOMPARE(bubbles().last().summary, QStringLiteral("late.zip was not moved to the Trash"));
        QVERIFY(QFile::exists(late));
        QVERIFY(QFile::exists(head));
    }

    // Where the history files items like it, "File to" says so and moves it there.
    void fileMovesItWhereTheHistorySuggests()
    {
        auto predictor = std::make_shared<DestinationPredictor>();
        for (const char* name : {"gear.stl", "hinge.stl", "vase.stl", "knob.stl", "clip.stl"}) {
            HistoryEntry entry;
            entry.action = HistoryEntry::Action::MovedToSlot;
            entry.slot = 2;
            entry.itemName = QString::fromLatin1(name);
            entry.kind = HistoryEntry::kindOf({}, QStringLiteral("stl"));
            entry.size = 1000;
            entry.fromPath = m_downloads + QLatin1Char('/') + entry.itemName;
            entry.toPath = m_home + QStringLiteral("/Prints/") + entry.itemName;
            predictor->learn(entry);
        }
        m_suggestions->setPredictor(predictor);
        const QString path = arrive(QStringLiteral("bracket.stl"));
        STOWBIRD_TRY_COMPARE(bubbles().size(), 1, 5000);
        QVERIFY2(bubbles().first().actions.contains(QStringLiteral("file=File to 3D Prints")),
                 qPrintable(bubbles().first().actions.join(QLatin1Char(';'))));

        press(bubbles().first().id, QStringLiteral("file"));
        STOWBIRD_TRY_VERIFY(QFile::exists(m_home + "/Prints/bracket.stl"), 5000);
        QVERIFY(!QFile::exists(path));
        QVERIFY(waiting().isEmpty());
        // Done, and not told as a failure.
        QVERIFY(m_services->logger->waitForWritten(5000));
        QVERIFY(!TestFiles::readFile(m_services->logger->logPath()).contains("was not done"));
        QCOMPARE(bubbles().size(), 1);
    }

    // Twelve at once are one bubble that counts them and offers only the window; the
    // thirteenth replaces it in place; "Open Stowbird" asks for the window.
    void aBurstIsOneBubbleUpdatedInPlace()
    {
        for (int i = 1; i <= 12; ++i)
            arrive(QStringLiteral("scan-%1.png").arg(i));
        STOWBIRD_TRY_COMPARE(bubbles().size(), 1, 5000);
        const Bubble first = bubbles().first();
        QCOMPARE(first.summary, QStringLiteral("12 new downloads"));
        QCOMPARE(first.body, QStringLiteral("scan-1.png\\nscan-2.png\\nscan-3.png\\nand 9 more"));
        QCOMPARE(first.actions, QStringList{"open=Open Stowbird"});

        arrive(QStringLiteral("scan-13.png"));
        STOWBIRD_TRY_COMPARE(bubbles().size(), 2, 5000);
        const Bubble second = bubbles().last();
        QCOMPARE(second.summary, QStringLiteral("13 new downloads"));
        QCOMPARE(second.replaces, first.id);
        QCOMPARE(second.id, first.id);

        QSignalSpy open(m_notifier.get(), &NewDownloadNotifier::openRequested);
        press(second.id, QStringLiteral("open"));
        STOWBIRD_TRY_COMPARE(open.size(), 1, 5000);
        QCOMPARE(waiting().size(), 13);
    }

    // A server without buttons gets the notification without them, and nothing fails.
    void aServerWithoutActionsGetsAPlainNotification()
    {
        QVERIFY(startServer(false));
        arrive(QStringLiteral("notes.txt"));
        STOWBIRD_TRY_COMPARE(bubbles().size(), 1, 5000);
        QCOMPARE(bubbles().first().body, QStringLiteral("notes.txt"));
        QVERIFY(bubbles().first().actions.isEmpty());
        STOWBIRD_TRY_COMPARE(m_notifier->shownId(), bubbles().first().id, 5000);
        QVERIFY(m_services->logger->waitForWritten(5000));
        QVERIFY(!TestFiles::readFile(m_services->logger->logPath()).contains("Could not show"));
    }

    // Never; only without a tray (the default, also for a file written before the setting
    // existed); always, as chosen in the preferences. Downloads that come while none is due
    // are never told later.
    void theSettingDecidesWhen()
    {
        QCOMPARE(m_services->config->config().general.notifyNewDownloads,
                 AppConfig::NewDownloadNotice::WithoutTray);
        const auto older = AppConfig::decode(R"({"version": 1, "general": {},
            "destinationSlots": [], "autoTrashPatterns": []})");
        QVERIFY(older);
        QCOMPARE(older->general.notifyNewDownloads, AppConfig::NewDownloadNotice::WithoutTray);
        struct Case
        {
            AppConfig::NewDownloadNotice when;
            bool tray;
            bool window;
            bool notifies;
        };
        using N = AppConfig::NewDownloadNotice;
        const QList<Case> cases = {
            {N::Never, false, false, false},      {N::WithoutTray, true, false, false},
            {N::WithoutTray, false, true, false}, {N::Always, true, true, false},
            {N::WithoutTray, false, false, true}, {N::Always, true, false, true},
        };
        int shown = 0;
        for (int i = 0; i < cases.size(); ++i) {
            const Case c = cases.at(i);
            setWhen(c.when);
            m_trayShown = c.tray;
            m_windowShown = c.window;
            QCOMPARE(m_notifier->wouldNotify(), c.notifies);
            const QString name = QStringLiteral("case-%1.txt").arg(i);
            arrive(name);
            if (!c.notifies)
                continue;
            // The first bubble due shows this download alone: none before it was kept back.
            STOWBIRD_TRY_COMPARE(bubbles().size(), shown + 1, 5000);
            QCOMPARE(bubbles().last().body, name);
            m_notifier->windowOpened();
            ++shown;
        }
    }
};

STOWBIRD_TEST_MAIN(TestDownloadNotifier)
#include "TestDownloadNotifier.moc"
