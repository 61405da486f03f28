// A desktop without a tray (stock GNOME): closing the window tells the user once, in a
// desktop notification, how to open Stowbird again; a tray host that appears later (a
// StatusNotifierItem watcher on the session bus) gets the icon without any polling. Runs
// on a private session bus with stand-in desktop services.
#include "HudTestServices.h"
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "fakes/ManualClock.h"
#include "platform/DesktopNotifier.h"
#include "platform/TrayHostWatcher.h"

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

class TestNoTrayNotice : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PrivateSessionBus> m_bus;
    QProcess m_notifications;
    QProcess m_watcher;
    QByteArray m_notified;
    std::unique_ptr<HudTestServices<>> m_services;
    std::unique_ptr<AppDelegate> m_delegate;

    static bool startServices(QProcess& process, const QString& option)
    {
        process.start(QStringLiteral(FAKE_DESKTOP_SERVICES), {option});
        if (!process.waitForStarted(5000))
            return false;
        QByteArray output;
        while (!output.contains("READY") && process.waitForReadyRead(5000))
            output += process.readAllStandardOutput();
        return output.contains("READY");
    }

    QList<QByteArray> notices()
    {
        m_notified += m_notifications.readAllStandardOutput();
        QList<QByteArray> lines;
        for (const QByteArray& line : m_notified.split('\n'))
            if (line.startsWith("NOTIFY "))
                lines.append(line.mid(7));
        return lines;
    }

private slots:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateSessionBus>();
        if (m_bus->address().isEmpty())
            QSKIP("dbus-daemon is not installed (package dbus)");
        // Before anything in the process opens the session bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address());
        QVERIFY(startServices(m_notifications, QStringLiteral("--notifications")));

        AppDelegate::Options options;
        options.downloadsDirectory = QDir::homePath() + QStringLiteral("/Downloads");
        options.bindGlobalShortcut = false;
        m_services = std::make_unique<HudTestServices<>>(QDir::homePath());
        m_delegate = std::make_unique<AppDelegate>(m_services->appServices(), options);
        m_delegate->applicationDidFinishLaunching();
        STOWBIRD_TRY_VERIFY(m_delegate->launchFinished(), 5000);
    }

    void cleanupTestCase()
    {
        if (m_delegate)
            m_delegate->applicationWillTerminate();
        m_delegate.reset();
        for (QProcess* process : {&m_notifications, &m_watcher}) {
            process->terminate();
            process->waitForFinished(5000);
        }
    }

    void closingWithoutATrayTellsOnce()
    {
        QVERIFY(!m_delegate->trayWatcher()->isAvailable());
        QVERIFY(!m_delegate->statusItem());
        QVERIFY(m_delegate->hudPanel()->isVisible());

        m_delegate->hudPanel()->close();
        STOWBIRD_TRY_COMPARE(notices().size(), 1, 5000);
        const QByteArray notice = notices().first();
        QVERIFY2(notice.startsWith("Stowbird keeps watching your downloads|"), notice);
        QVERIFY2(notice.contains("no tray"), notice);
        QVERIFY2(notice.contains("start Stowbird from the applications menu"), notice);

        // Once is enough: the second close says nothing.
        m_delegate->openHUD();
        m_delegate->hudPanel()->close();
        // A notice of the test's own on the same connection: a second one sent on that close
        // would reach the server before it.
        DesktopNotifier marker(QDBusConnection::sessionBus());
        marker.notify(QStringLiteral("marker"), QString());
        STOWBIRD_TRY_VERIFY(notices().last().startsWith("marker|"), 5000);
        QCOMPARE(notices().size(), 2);
    }

    // Started hidden (at login) with no tray: once the wait for a late tray is over, the
    // notice says how to open the window; the window itself stays closed.
    void backgroundStartWithoutATrayTellsAfterTheWait()
    {
        AppDelegate::Options options;
        options.downloadsDirectory = QDir::homePath() + QStringLiteral("/Downloads");
        options.bindGlobalShortcut = false;
        options.openHUDAtLaunch = false;
        ManualClock clock;
        options.clock = &clock;
        // A program of its own beside the one started above, with services of its own.
        QTemporaryDir home;
        HudTestServices<> services(home.path());
        const qsizetype told = notices().size();
        AppDelegate hidden(services.appServices(), options);
        hidden.applicationDidFinishLaunching();
        QVERIFY(!hidden.hudPanel()->isVisible());
        clock.advance(std::chrono::milliseconds(options.noTrayNoticeDelayMs - 1));
        QVERIFY(!hidden.toldHowToReopen());
        clock.advance(std::chrono::milliseconds(1));
        QVERIFY(hidden.toldHowToReopen());
        STOWBIRD_TRY_COMPARE(notices().size(), told + 1, 5000);
        QVERIFY(notices().last().startsWith("Stowbird keeps watching your downloads|"));
        QVERIFY(!hidden.hudPanel()->isVisible());
        hidden.applicationWillTerminate();
    }

    void aTrayThatAppearsLaterGetsTheIcon()
    {
        QSignalSpy appeared(m_delegate->trayWatcher(), &TrayHostWatcher::trayHostAppeared);
        QVERIFY(startServices(m_watcher, QStringLiteral("--watcher")));
        STOWBIRD_TRY_VERIFY(m_delegate->trayWatcher()->isAvailable(), 5000);
        QCOMPARE(appeared.count(), 1);
        QVERIFY(m_delegate->statusItem());
        QVERIFY(m_delegate->statusItem()->isVisible());

        // The host goes away and comes back (a panel restart): the icon is placed again.
        m_watcher.terminate();
        QVERIFY(m_watcher.waitForFinished(5000));
        STOWBIRD_TRY_VERIFY(!m_delegate->trayWatcher()->isAvailable(), 5000);
        QVERIFY(startServices(m_watcher, QStringLiteral("--watcher")));
        STOWBIRD_TRY_COMPARE(appeared.count(), 2, 5000);
        QVERIFY(m_delegate->statusItem()->isVisible());
    }
};

STOWBIRD_TEST_MAIN(TestNoTrayNotice)
#include "TestNoTrayNotice.moc"
