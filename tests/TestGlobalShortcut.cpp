// The desktop-wide shortcut: reading the configured chord (both platforms' spellings), the
// X11 key grab on a real X server (Xvfb), and what the settings sheet and the cheat sheet
// say when the chord is bound and when it is not.
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "fakes/FakeCrashReporter.h"
#include "fakes/ScriptedShortcutBackend.h"
#include "models/GlobalHotkey.h"
#include "platform/PortalGlobalShortcut.h"
#include "platform/X11GlobalShortcut.h"
#include "platform/XdgAutostartBackend.h"
#include "services/ConfigurationService.h"
#include "services/GlobalShortcutService.h"
#include "services/LaunchAtLoginService.h"
#include "services/TelemetryService.h"
#include "services/UpdateService.h"
#include "views/KeyboardCheatSheetView.h"
#include "views/SettingsView.h"

#include <QApplication>
#include <QDBusConnection>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class TestGlobalShortcut : public QObject
{
    Q_OBJECT

private slots:
    void parsesBothSpellings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("portal");
        QTest::addColumn<uint>("keysym");
        QTest::newRow("macOS default") << "Option+Shift+D"
                                       << "Alt+Shift+D"
                                       << "ALT+SHIFT+d" << 0x64u;
        QTest::newRow("Linux default") << "Alt+Shift+D"
                                       << "Alt+Shift+D"
                                       << "ALT+SHIFT+d" << 0x64u;
        QTest::newRow("command is ctrl") << "Cmd+Alt+k"
                                         << "Ctrl+Alt+K"
                                         << "CTRL+ALT+k" << 0x6bu;
        QTest::newRow("spaces, case") << " shift + control + 7 "
                                      << "Ctrl+Shift+7"
                                      << "CTRL+SHIFT+7" << 0x37u;
        QTest::newRow("logo key, function key") << "Super+F5"
                                                << "Super+F5"
                                                << "LOGO+F5" << 0xffc2u;
        QTest::newRow("plus as the key") << "Ctrl++"
                                         << "Ctrl++"
                                         << "CTRL++" << 0x2bu;
    }

    void parsesBothSpellings()
    {
        QFETCH(QString, text);
        QFETCH(QString, display);
        QFETCH(QString, portal);
        QFETCH(uint, keysym);
        const auto hotkey = GlobalHotkey::parse(text);
        QVERIFY(hotkey);
        QCOMPARE(hotkey->displayText(), display);
        QCOMPARE(hotkey->portalTrigger(), portal);
        QCOMPARE(hotkey->keysym(), keysym);
        // What is shown reads back as the same chord.
        QCOMPARE(GlobalHotkey::parse(display), hotkey);
    }

    void rejectsWhatIsNotAChord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("why");
        QTest::newRow("no modifier") << "D"
                                     << "needs a modifier";
        QTest::newRow("empty") << ""
                               << "no key";
        QTest::newRow("no key") << "Alt+Shift+"
                                << "no key";
        QTest::newRow("modifier alone") << "Alt+Shift"
                                        << "modifier alone";
        QTest::newRow("unknown modifier") << "Hyper+D"
                                          << "not a modifier";
        QTest::newRow("two keys") << "Alt+D+E"
                                  << "not a modifier";
        QTest::newRow("not a key") << "Alt+Frobnicate"
                                   << "not a key";
    }

    void rejectsWhatIsNotAChord()
    {
        QFETCH(QString, text);
        QFETCH(QString, why);
        QString error;
        QVERIFY(!GlobalHotkey::parse(text, &error));
        QVERIFY2(error.contains(why), qPrintable(error));
    }

    void defaultConfigurationUsesTheLinuxChord()
    {
        QCOMPARE(AppConfig().general.globalHotkey, QStringLiteral("Alt+Shift+D"));
        QCOMPARE(GlobalHotkey::parse(AppConfig().general.globalHotkey)->displayText(),
                 GlobalHotkey::defaultText);
    }

    // The X11 fallback on a real X server: a grab, a key press from elsewhere that reaches
    // it, and a second program that cannot have the same chord.
    void x11GrabReceivesTheChordAndReportsAConflict()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xvfb.isEmpty() || xdotool.isEmpty())
            QSKIP("Xvfb and xdotool are needed (scripts/install-deps.sh installs them)");
        QProcess server;
        server.setProcessChannelMode(QProcess::SeparateChannels);
        // -displayfd 1: the server writes its display number on standard output.
        server.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"});
        QVERIFY(server.waitForStarted(5000));
        QByteArray number;
        while (!number.contains('\n') && server.waitForReadyRead(10000))
            number += server.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            QSKIP("Xvfb did not start");
        const QByteArray display = ':' + number.trimmed();
        auto stopServer = qScopeGuard([&server] {
            server.terminate();
            server.waitForFinished(5000);
        });

        const auto hotkey = *GlobalHotkey::parse(QStringLiteral("Alt+Shift+D"));
        X11GlobalShortcut first(display);
        QVERIFY(first.isConnected());
        QSignalSpy bound(&first, &GlobalShortcutBackend::bound);
        QSignalSpy activated(&first, &GlobalShortcutBackend::activated);
        first.bind(hotkey);
        QTRY_COMPARE_WITH_TIMEOUT(bound.count(), 1, 5000);
        QCOMPARE(bound.first().first().toString(), QStringLiteral("Alt+Shift+D"));

        QProcess press;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        press.setProcessEnvironment(env);
        press.start(xdotool, {"key", "alt+shift+d"});
        QVERIFY(press.waitForFinished(10000));
        QTRY_VERIFY_WITH_TIMEOUT(activated.count() >= 1, 5000);

        // Another client holding the chord: the second grab fails and says why.
        X11GlobalShortcut second(display);
        QSignalSpy failed(&second, &GlobalShortcutBackend::failed);
        second.bind(hotkey);
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 5000);
        QCOMPARE(failed.first().first().toString(),
                 QStringLiteral("Alt+Shift+D is already used by another program"));

        // Released, the chord can be had again.
        first.unbind();
        X11GlobalShortcut third(display);
        QSignalSpy boundAgain(&third, &GlobalShortcutBackend::bound);
        third.bind(hotkey);
        QTRY_COMPARE_WITH_TIMEOUT(boundAgain.count(), 1, 5000);
    }

    // The portal path, against a stand-in portal on a private bus: the probe finds it, the
    // session and the binding go through their request/response round trips, the chord
    // the desktop reports is the one shown, and a press arrives as activated().
    void portalBindsAndReportsPresses()
    {
        PrivateSessionBus privateBus;
        if (privateBus.address().isEmpty())
            QSKIP("dbus-daemon is not installed (package dbus)");
        QDBusConnection bus = QDBusConnection::connectToBus(QString::fromUtf8(privateBus.address()),
                                                            QStringLiteral("portal-test"));
        auto disconnect =
            qScopeGuard([] { QDBusConnection::disconnectFromBus(QStringLiteral("portal-test")); });
        QVERIFY(bus.isConnected());

        std::optional<bool> offered;
        PortalGlobalShortcut::probe(bus, this, [&offered](bool yes) { offered = yes; });
        QTRY_VERIFY_WITH_TIMEOUT(offered.has_value(), 10000);
        QVERIFY(!*offered); // nothing on the bus yet

        QProcess portal;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QString::fromUtf8(privateBus.address()));
        portal.setProcessEnvironment(env);
        portal.start(QStringLiteral(FAKE_DESKTOP_SERVICES), {QStringLiteral("--portal")});
        QVERIFY(portal.waitForStarted(5000));
        QByteArray output;
        while (!output.contains("READY") && portal.waitForReadyRead(5000))
            output += portal.readAllStandardOutput();
        QVERIFY(output.contains("READY"));
        auto stopPortal = qScopeGuard([&portal] {
            portal.terminate();
            portal.waitForFinished(5000);
        });

        offered.reset();
        PortalGlobalShortcut::probe(bus, this, [&offered](bool yes) { offered = yes; });
        QTRY_VERIFY_WITH_TIMEOUT(offered.has_value(), 10000);
        QVERIFY(*offered);

        GlobalShortcutService service;
        QSignalSpy activated(&service, &GlobalShortcutService::activated);
        service.start(QStringLiteral("Option+Shift+D"),
                      std::make_unique<PortalGlobalShortcut>(bus));
        QTRY_COMPARE_WITH_TIMEOUT(service.state(), GlobalShortcutService::State::Bound, 10000);
        QCOMPARE(service.shortcutText(), QStringLiteral("Shift+Alt+D (portal)"));
        QTRY_VERIFY_WITH_TIMEOUT((output += portal.readAllStandardOutput()).contains("PRESSED"),
                                 5000);
        QTRY_VERIFY_WITH_TIMEOUT(activated.count() == 1, 5000);
        QVERIFY2(output.contains("BOUND open-stowbird ALT+SHIFT+d"), output.constData());
    }

    void serviceReportsBindingAndPresses()
    {
        GlobalShortcutService service;
        QSignalSpy changed(&service, &GlobalShortcutService::stateChanged);
        QSignalSpy activated(&service, &GlobalShortcutService::activated);
        auto backend = std::make_unique<ScriptedShortcutBackend>(QString());
        ScriptedShortcutBackend* raw = backend.get();
        service.start(QStringLiteral("Option+Shift+D"), std::move(backend));
        QCOMPARE(service.state(), GlobalShortcutService::State::Bound);
        QCOMPARE(service.shortcutText(), QStringLiteral("Alt+Shift+D"));
        QVERIFY(service.failureReason().isEmpty());
        raw->press();
        QCOMPARE(activated.count(), 1);

        service.start(QStringLiteral("Shift"));
        QCOMPARE(service.state(), GlobalShortcutService::State::Failed);
        QVERIFY(service.failureReason().contains(QStringLiteral("\"Shift\" is not a shortcut")));

        // Turned off: the chord bound before is let go of, and nothing fails.
        backend = std::make_unique<ScriptedShortcutBackend>(QString());
        QSignalSpy released(backend.get(), &QObject::destroyed);
        service.start(QStringLiteral("Ctrl+Alt+K"), std::move(backend));
        QCOMPARE(service.state(), GlobalShortcutService::State::Bound);
        service.start(QString());
        QCOMPARE(released.count(), 1);
        QCOMPARE(service.state(), GlobalShortcutService::State::Off);
        QVERIFY(service.failureReason().isEmpty());
    }

    // What the user reads: the settings sheet names the chord, and says when and why it
    // does not work; the cheat sheet lists it.
    void sheetsShowTheChordAndAFailure()
    {
        QTemporaryDir dir;
        ConfigurationService config(dir.filePath(QStringLiteral("config")));
        LaunchAtLoginService login(std::make_unique<XdgAutostartBackend>(
            dir.filePath(QStringLiteral("autostart")), QCoreApplication::applicationFilePath()));
        UpdateService updates(
            QUrl(), QStringLiteral("1.0"),
            std::make_unique<QSettings>(dir.filePath("u.conf"), QSettings::IniFormat));
        FakeCrashReporter reporter;
        TelemetryService telemetry(
            std::make_unique<QSettings>(dir.filePath("t.conf"), QSettings::IniFormat), reporter,
            nullptr);
        GlobalShortcutService shared;

        shared.start(QStringLiteral("Alt+Shift+D"),
                     std::make_unique<ScriptedShortcutBackend>(QString()));
        SettingsView settings(config, login, updates, telemetry, shared, [] {});
        settings.show();
        auto* value = settings.findChild<QLabel*>(QStringLiteral("globalShortcutValue"));
        auto* problem = settings.findChild<QLabel*>(QStringLiteral("globalShortcutProblem"));
        QVERIFY(value && problem);
        QCOMPARE(value->text(), QStringLiteral("Alt+Shift+D"));
        QVERIFY(problem->isHidden());
        KeyboardCheatSheetView card(shared, [] {});
        auto* row = card.findChild<QWidget*>(QStringLiteral("globalShortcutRow"));
        QVERIFY(row);
        QCOMPARE(row->accessibleName(),
                 QStringLiteral("Alt+Shift+D: Open Stowbird from anywhere on the desktop"));

        // The sheets follow a change while they are open.
        shared.start(QStringLiteral("Alt+Shift+D"),
                     std::make_unique<ScriptedShortcutBackend>(
                         QStringLiteral("Alt+Shift+D is already used by another program")));
        QCOMPARE(value->text(), QStringLiteral("Alt+Shift+D (not working)"));
        QVERIFY(problem->isVisible());
        QCOMPARE(problem->text(),
                 QStringLiteral("The shortcut could not be set up: Alt+Shift+D is already used "
                                "by another program. Launching Stowbird again also opens this "
                                "window."));
        QVERIFY(row->accessibleName().contains(QStringLiteral("not available here")));

        // Turned off in the settings: said as such, not as a failure.
        shared.start(QString());
        QCOMPARE(value->text(), QStringLiteral("Off"));
        QVERIFY(problem->isHidden());
        QVERIFY(row->accessibleName().contains(QStringLiteral("turned off")));
    }
};

STOWBIRD_TEST_MAIN(TestGlobalShortcut)
#include "TestGlobalShortcut.moc"
