#include "TestEnvironment.h"
#include "TestFiles.h"
#include "fakes/FakeCrashReporter.h"
#include "fakes/ScriptedLoginItemBackend.h"
#include "models/AppConfig.h"
#include "platform/XdgAutostartBackend.h"
#include "services/ConfigurationService.h"
#include "services/GlobalShortcutService.h"
#include "services/LaunchAtLoginService.h"
#include "services/MeasurementDispatcher.h"
#include "services/TelemetryService.h"
#include "services/UpdateService.h"
#include "views/CreateFolderOffer.h"
#include "views/SettingsSheet.h"
#include "views/SettingsView.h"
#include "views/ToggleSwitch.h"

#include <QApplication>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

using TestFiles::readFile;

AppConfig readConfig(const QString& path)
{
    const auto decoded = AppConfig::decode(readFile(path));
    if (!decoded)
        qFatal("config.json does not decode");
    return *decoded;
}

void replaceText(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

} // namespace

class TestSettingsView : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeCrashReporter m_reporter;
    std::unique_ptr<ConfigurationService> m_config;
    std::unique_ptr<LaunchAtLoginService> m_login;
    GlobalShortcutService m_shortcut;
    std::unique_ptr<UpdateService> m_updates;
    std::unique_ptr<TelemetryService> m_telemetry;
    std::unique_ptr<SettingsView> m_view;
    int m_closes = 0;

    QString autostartDirectory() const
    {
        return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart");
    }
    QString entryPath() const
    {
        return autostartDirectory() + QLatin1Char('/') + XdgAutostartBackend::entryFileName();
    }
    QString configPath() const { return m_config->configFilePath(); }

    // A configuration unlike the defaults in every field the view touches or must keep.
    static AppConfig customConfig()
    {
        AppConfig config;
        config.general.globalHotkey = QStringLiteral("Ctrl+Alt+D");
        config.general.autoPurgeInstallersAfterDays = 30;
        config.general.debounceSeconds = 4.0;
        config.general.anonymousDiagnosticsEnabled = false;
        config.autoTrashPatterns = {QStringLiteral("*.tmp")};
        config.destinationSlots.clear();
        for (int slot = 1; slot <= 6; ++slot)
            config.destinationSlots.append({slot, QStringLiteral("Custom %1").arg(slot),
                                            QStringLiteral("/srv/custom/%1").arg(slot)});
        return config;
    }

    SettingsView& makeView()
    {
        m_view = std::make_unique<SettingsView>(*m_config, *m_login, *m_updates, *m_telemetry,
                                                m_shortcut, [this] { ++m_closes; });
        m_view->show();
        if (!QTest::qWaitForWindowExposed(m_view.get()))
            qWarning("settings view not exposed");
        return *m_view;
    }

    template <typename T> T* child(const QString& name) const
    {
        auto* widget = m_view->findChild<T*>(name);
        if (!widget)
            qFatal("no child %s", qPrintable(name));
        return widget;
    }

    QList<QWidget*> rows() const
    {
        return m_view->findChild<QWidget*>(QStringLiteral("slotRows"))
            ->findChildren<QWidget*>(QStringLiteral("slotRow"), Qt::FindDirectChildrenOnly);
    }
    QLineEdit* field(int row, const char* name) const
    {
        return rows().at(row)->findChild<QLineEdit*>(QLatin1String(name));
    }
    void click(const QString& name) const
    {
        QTest::mouseClick(child<QWidget>(name), Qt::LeftButton);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QFile::remove(entryPath());
        m_reporter.clear();
        m_config =
            std::make_unique<ConfigurationService>(m_dir->filePath(QStringLiteral("config")));
        m_login = std::make_unique<LaunchAtLoginService>(std::make_unique<XdgAutostartBackend>(
            autostartDirectory(), QCoreApplication::applicationFilePath()));
        m_updates = std::make_unique<UpdateService>(
            QUrl(), QStringLiteral("1.0"),
            std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("updates.conf")),
                                        QSettings::IniFormat));
        m_telemetry = std::make_unique<TelemetryService>(
            std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("defaults.conf")),
                                        QSettings::IniFormat),
            m_reporter, nullptr);
        m_closes = 0;
    }

    void cleanup()
    {
        m_view.reset();
        m_telemetry.reset();
        m_updates.reset();
        m_login.reset();
        m_config.reset();
    }

    void defaultConfigurationShowsFourRows()
    {
        makeView();
        const auto list = rows();
        QCOMPARE(list.size(), 4);
        const auto defaults = AppConfig::defaultSlots();
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(list[i]->findChild<QLabel*>(QStringLiteral("slotNumber"))->text(),
                     QStringLiteral("[%1]").arg(i + 1));
            QCOMPARE(field(i, "slotName")->text(), defaults[i].name);
            QCOMPARE(field(i, "slotPath")->text(), defaults[i].path);
            QCOMPARE(field(i, "slotName")->placeholderText(), QStringLiteral("Slot Name"));
            QCOMPARE(field(i, "slotPath")->placeholderText(), QStringLiteral("Path (~/Documents)"));
        }
        QCOMPARE(m_view->size(), QSize(600, 530));
        QCOMPARE(child<QLabel>(QStringLiteral("debounceValue"))->text(), QStringLiteral("1.5s"));
        QVERIFY(child<ToggleSwitch>(QStringLiteral("diagnosticsSwitch"))->isChecked());
        QVERIFY(child<QPushButton>(QStringLiteral("openSystemSettingsButton"))->isHidden());
    }

    void saveWritesEditsAndKeepsTheRest()
    {
        m_config->saveConfig(customConfig());
        makeView();
        QCOMPARE(rows().size(), 6);
        replaceText(field(1, "slotName"), QStringLiteral("Invoices"));
        replaceText(field(1, "slotPath"), QStringLiteral("~/Documents/Invoices"));
        // An empty name is saved as typed.
        replaceText(field(5, "slotName"), QString());

        auto* slider = child<QSlider>(QStringLiteral("debounceSlider"));
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Home);
        QCOMPARE(child<QLabel>(QStringLiteral("debounceValue"))->text(), QStringLiteral("0.5s"));
        QTest::keyClick(slider, Qt::Key_Right);
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(child<QLabel>(QStringLiteral("debounceValue"))->text(), QStringLiteral("1.5s"));

        click(QStringLiteral("saveButton"));
        QCOMPARE(m_closes, 1);

        const AppConfig saved = readConfig(configPath());
        AppConfig expected = customConfig();
        expected.destinationSlots[1].name = QStringLiteral("Invoices");
        expected.destinationSlots[1].path = QStringLiteral("~/Documents/Invoices");
        expected.destinationSlots[5].name.clear();
        expected.general.debounceSeconds = 1.5;
        expected.general.launchAtLogin = false; // the live registration: none here
        QCOMPARE(saved, expected);
        QCOMPARE(m_config->config(), expected);
        QCOMPARE(m_telemetry->isEnabled(), false);
    }

    void saveWithNothingChangedRewritesTheFile()
    {
        makeView();
        QFile::remove(configPath());
        click(QStringLiteral("saveButton"));
        QVERIFY(QFile::exists(configPath()));
        AppConfig expected;
        expected.general.launchAtLogin = false;
        QCOMPARE(readConfig(configPath()), expected);
    }

    void sliderStaysOnHalfSecondSteps()
    {
        makeView();
        auto* slider = child<QSlider>(QStringLiteral("debounceSlider"));
        auto* label = child<QLabel>(QStringLiteral("debounceValue"));
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_End);
        QCOMPARE(label->text(), QStringLiteral("5.0s"));
        QTest::keyClick(slider, Qt::Key_PageUp);
        QCOMPARE(m_view->debounceSeconds(), 5.0);
        QTest::keyClick(slider, Qt::Key_Left);
        QCOMPARE(label->text(), QStringLiteral("4.5s"));
        // A drag anywhere along the groove lands on a step.
        for (int x = 0; x < slider->width(); x += 7) {
            QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(x, slider->height() / 2));
            const double value = m_view->debounceSeconds();
            QVERIFY(value >= 0.5 && value <= 5.0);
            QCOMPARE(std::fmod(value, 0.5), 0.0);
            QCOMPARE(label->text(), QString::asprintf("%.1fs", value));
        }
    }

    void cancelLeavesTheFileAlone()
    {
        m_config->saveConfig(customConfig());
        m_telemetry->setIsEnabled(false);
        const QByteArray before = readFile(configPath());
        makeView();
        replaceText(field(0, "slotName"), QStringLiteral("Changed"));
        replaceText(field(2, "slotPath"), QStringLiteral("/elsewhere"));
        QTest::keyClick(child<QSlider>(QStringLiteral("debounceSlider")), Qt::Key_Home);
        click(QStringLiteral("restoreDefaultsButton"));
        QCOMPARE(m_closes, 0);
        click(QStringLiteral("cancelButton"));
        QCOMPARE(m_closes, 1);
        // Restore Defaults changed only what the view showed: Cancel leaves every byte, and
        // diagnostics, as they were.
        QCOMPARE(readFile(configPath()), before);
        QCOMPARE(m_config->config(), customConfig());
        QVERIFY(!m_telemetry->isEnabled());
    }

    void restoreDefaultsResetsWorkingCopies()
    {
        m_config->saveConfig(customConfig());
        m_telemetry->setIsEnabled(false);
        QFile::remove(entryPath());
        makeView();
        auto* login = child<ToggleSwitch>(QStringLiteral("launchAtLoginSwitch"));
        QTest::mouseClick(login, Qt::LeftButton);

        click(QStringLiteral("restoreDefaultsButton"));
        QCOMPARE(m_closes, 0);
        QCOMPARE(m_view->workingSlots(), AppConfig::defaultSlots());
        QCOMPARE(rows().size(), 4);
        QCOMPARE(field(3, "slotName")->text(), AppConfig::defaultSlots()[3].name);
        QCOMPARE(m_view->debounceSeconds(), 1.5);
        QCOMPARE(child<QLabel>(QStringLiteral("debounceValue"))->text(), QStringLiteral("1.5s"));
        QCOMPARE(child<QSlider>(QStringLiteral("debounceSlider"))->value() * 0.5, 1.5);
        QCOMPARE(m_view->globalHotkey(), QStringLiteral("Alt+Shift+D"));
        // Consent to diagnostics is the user's, not a default: it stays off, unseen changes
        // included.
        QVERIFY(!child<ToggleSwitch>(QStringLiteral("diagnosticsSwitch"))->isChecked());
        QVERIFY(!m_telemetry->isEnabled());
        // Nor is the login switch, which still waits for Save.
        QVERIFY(login->isChecked());
        QVERIFY(!m_login->isEnabled());

        // Restored rows are live: edits to them are what Save writes.
        replaceText(field(0, "slotName"), QStringLiteral("Docs"));
        click(QStringLiteral("saveButton"));
        AppConfig expected = customConfig();
        expected.destinationSlots = AppConfig::defaultSlots();
        expected.destinationSlots[0].name = QStringLiteral("Docs");
        expected.general.debounceSeconds = 1.5;
        expected.general.globalHotkey = QStringLiteral("Alt+Shift+D");
        expected.general.launchAtLogin = true;
        QCOMPARE(readConfig(configPath()), expected);
        QVERIFY(m_login->isEnabled());
        QVERIFY(!m_telemetry->isEnabled());
        QCOMPARE(m_reporter.collectionEnabled(), std::optional<bool>(false));
    }

    // Every switch changes only what Save applies: Cancel undoes each of them.
    void switchesTakeEffectOnSave()
    {
        makeView();
        const QByteArray before = readFile(configPath());
        const auto flipAll = [this] {
            for (const char* name :
                 {"launchAtLoginSwitch", "diagnosticsSwitch", "suggestDestinationsSwitch"})
                QTest::mouseClick(child<ToggleSwitch>(QLatin1String(name)), Qt::LeftButton);
        };
        flipAll();
        QVERIFY(!QFile::exists(entryPath()));
        QVERIFY(m_telemetry->isEnabled());
        QCOMPARE(readFile(configPath()), before);
        click(QStringLiteral("cancelButton"));
        QVERIFY(!QFile::exists(entryPath()));
        QVERIFY(m_telemetry->isEnabled());
        QCOMPARE(readFile(configPath()), before);

        // A new view starts from the live state; flipped and saved, everything follows.
        makeView();
        QVERIFY(!child<ToggleSwitch>(QStringLiteral("launchAtLoginSwitch"))->isChecked());
        QVERIFY(child<ToggleSwitch>(QStringLiteral("diagnosticsSwitch"))->isChecked());
        flipAll();
        click(QStringLiteral("saveButton"));
        QVERIFY(QFile::exists(entryPath()));
        QVERIFY(m_login->isEnabled());
        QVERIFY(!m_telemetry->isEnabled());
        QCOMPARE(m_reporter.collectionEnabled(), std::optional<bool>(false));
        const AppConfig saved = readConfig(configPath());
        QVERIFY(saved.general.launchAtLogin);
        QVERIFY(!saved.general.anonymousDiagnosticsEnabled);
        QVERIFY(!saved.general.suggestDestinations);

        // Each showing reflects the live registration, without acting on it.
        m_view->hide();
        QFile::remove(entryPath());
        m_view->show();
        QVERIFY(!child<ToggleSwitch>(QStringLiteral("launchAtLoginSwitch"))->isChecked());
        QVERIFY(!m_view->launchAtLogin());
        QVERIFY(!QFile::exists(entryPath()));
    }

    // A first run's file, the switch and the autostart folder tell the same story: Stowbird
    // is not started at login until the user says so.
    void firstRunFileAgreesWithTheSwitch()
    {
        makeView();
        QVERIFY(!child<ToggleSwitch>(QStringLiteral("launchAtLoginSwitch"))->isChecked());
        QVERIFY(!QFile::exists(entryPath()));
        QCOMPARE(readConfig(configPath()).general.launchAtLogin, false);
    }

    // A login item that cannot be written is said in the view, which stays open.
    void failedLoginItemIsShownOnSave()
    {
        // Root ignores permissions, so a regular file stands where the folder should be.
        const QString blocked = m_dir->filePath(QStringLiteral("autostart-blocked"));
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        m_login = std::make_unique<LaunchAtLoginService>(std::make_unique<XdgAutostartBackend>(
            blocked, QCoreApplication::applicationFilePath()));
        makeView();
        QTest::mouseClick(child<ToggleSwitch>(QStringLiteral("launchAtLoginSwitch")),
                          Qt::LeftButton);
        click(QStringLiteral("saveButton"));
        QCOMPARE(m_closes, 0);
        auto* problem = child<QLabel>(QStringLiteral("launchAtLoginProblem"));
        QVERIFY(problem->isVisible());
        QVERIFY2(problem->text().contains(blocked), qPrintable(problem->text()));
        QVERIFY(!child<ToggleSwitch>(QStringLiteral("launchAtLoginSwitch"))->isChecked());
        QCOMPARE(readConfig(configPath()).general.launchAtLogin, false);
    }

    // The diagnostics switch says what this build does with the counts: without a secret
    // for the measurement endpoint nothing is sent, and it says so; with one, it says that
    // counts are sent.
    void diagnosticsSwitchSaysWhatIsSent()
    {
        makeView();
        QVERIFY(!m_telemetry->sendsUsageData());
        auto* diagnostics = child<ToggleSwitch>(QStringLiteral("diagnosticsSwitch"));
        QCOMPARE(diagnostics->text(),
                 QStringLiteral("Keep anonymous usage counts on this computer (nothing is sent)"));
        QVERIFY(!child<QLabel>(QStringLiteral("privacyNote"))->text().contains("improve"));

        const QString options = m_dir->filePath(QStringLiteral("options.plist"));
        QFile plist(options);
        QVERIFY(plist.open(QIODevice::WriteOnly));
        plist.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>MEASUREMENT_PROTOCOL_SECRET</key><string>s3cret</string>
</dict></plist>)");
        plist.close();
        MeasurementDispatcher dispatcher(QStringLiteral("https://127.0.0.1:9"), options, {});
        m_view.reset();
        m_telemetry = std::make_unique<TelemetryService>(
            std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("sending.conf")),
                                        QSettings::IniFormat),
            m_reporter, &dispatcher);
        QVERIFY(m_telemetry->sendsUsageData());
        makeView();
        QCOMPARE(child<ToggleSwitch>(QStringLiteral("diagnosticsSwitch"))->text(),
                 QStringLiteral("Send anonymous usage counts to the developers"));
        m_view.reset();
        m_telemetry.reset();
    }

    // The chord that opens Stowbird from anywhere is recorded in its field, turned off
    // with a button, and written on Save; a chord without a modifier is refused.
    void globalShortcutIsChangedOrTurnedOff()
    {
        makeView();
        auto* edit = child<QKeySequenceEdit>(QStringLiteral("globalShortcutEdit"));
        QCOMPARE(edit->keySequence(), QKeySequence(QStringLiteral("Alt+Shift+D")));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(m_view->globalHotkey(), QStringLiteral("Ctrl+Alt+K"));
        QTest::keyClick(edit, Qt::Key_J);
        QCOMPARE(m_view->globalHotkey(), QStringLiteral("Ctrl+Alt+K"));
        QVERIFY(child<QLabel>(QStringLiteral("globalShortcutProblem"))->isVisible());
        click(QStringLiteral("saveButton"));
        QCOMPARE(readConfig(configPath()).general.globalHotkey, QStringLiteral("Ctrl+Alt+K"));

        makeView();
        click(QStringLiteral("globalShortcutOffButton"));
        QVERIFY(
            child<QKeySequenceEdit>(QStringLiteral("globalShortcutEdit"))->keySequence().isEmpty());
        click(QStringLiteral("cancelButton"));
        QCOMPARE(readConfig(configPath()).general.globalHotkey, QStringLiteral("Ctrl+Alt+K"));
        makeView();
        click(QStringLiteral("globalShortcutOffButton"));
        click(QStringLiteral("saveButton"));
        QCOMPARE(readConfig(configPath()).general.globalHotkey, QString());
    }

    // Plain Tab, Escape and Return in the shortcut's field are not recorded as chords: Tab
    // moves on, Escape cancels and Return saves, as everywhere else in the preferences.
    void shortcutFieldLeavesTabEscapeAndReturnToThePreferences()
    {
        makeView();
        auto* edit = child<QKeySequenceEdit>(QStringLiteral("globalShortcutEdit"));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY(child<QPushButton>(QStringLiteral("globalShortcutOffButton"))->hasFocus());
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(m_closes, 1);
        QCOMPARE(m_view->globalHotkey(), QStringLiteral("Alt+Shift+D"));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(m_closes, 2);
        QCOMPARE(readConfig(configPath()).general.globalHotkey, QStringLiteral("Ctrl+Alt+K"));
    }

    void approvalButtonOnlyWhileApprovalIsRequired()
    {
        auto backend =
            std::make_unique<ScriptedLoginItemBackend>(LoginItemBackend::requiresApproval);
        ScriptedLoginItemBackend* login = backend.get();
        m_login = std::make_unique<LaunchAtLoginService>(std::move(backend));
        makeView();
        auto* button = child<QPushButton>(QStringLiteral("openSystemSettingsButton"));
        QVERIFY(button->isVisible());
        QCOMPARE(button->text(), QStringLiteral("Open System Settings"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(login->settingsOpened, 1);

        // Turning the switch on registers on Save, after which no approval is pending.
        QTest::mouseClick(child<ToggleSwitch>(QStringLiteral("launchAtLoginSwitch")),
                          Qt::LeftButton);
        QCOMPARE(login->registrations, 0);
        click(QStringLiteral("saveButton"));
        QCOMPARE(login->currentStatus, int(LoginItemBackend::enabled));
        QVERIFY(button->isHidden());
    }

    // A build without an update feed has nothing to check: the row is not shown at all.
    void updateCheckOnlyWithAFeed()
    {
        makeView();
        QVERIFY(!m_updates->updaterController());
        QVERIFY(child<QWidget>(QStringLiteral("updatesRow"))->isHidden());

        m_view.reset();
        m_updates = std::make_unique<UpdateService>(
            QUrl(QStringLiteral("http://127.0.0.1:9/appcast.xml")), QStringLiteral("1.0"),
            std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("feed.conf")),
                                        QSettings::IniFormat));
        QVERIFY(m_updates->updaterController());
        makeView();
        QVERIFY(child<QWidget>(QStringLiteral("updatesRow"))->isVisible());
        QVERIFY(child<QPushButton>(QStringLiteral("checkForUpdatesButton"))->isVisible());
    }

    // A slot whose folder does not exist is flagged; the flag offers to create the folder,
    // Return in the offer creates it and the flag goes away.
    void missingFolderIsFlaggedAndCanBeCreated()
    {
        AppConfig config;
        config.destinationSlots = {
            {1, QStringLiteral("Docs"), QStringLiteral("~/Documents")},
            {2, QStringLiteral("Finance"), QStringLiteral("~/Documents/Finance")}};
        QDir().mkpath(QDir::homePath() + "/Documents");
        QDir(QDir::homePath() + "/Documents/Finance").removeRecursively();
        m_config->saveConfig(config);
        makeView();
        auto flag = [this](int row) {
            return rows().at(row)->findChild<QToolButton*>(QStringLiteral("missingFolderButton"));
        };
        QVERIFY(flag(0)->isHidden());
        QVERIFY(flag(1)->isVisible());

        QTest::mouseClick(flag(1), Qt::LeftButton);
        auto* offer = m_view->findChild<CreateFolderOffer*>();
        QVERIFY(offer);
        QCOMPARE(offer->question(),
                 QStringLiteral("The folder ~/Documents/Finance does not exist. Create it now?"));
        QTest::keyClick(offer, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(QDir::homePath() + "/Documents/Finance").isDir(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(flag(1)->isHidden(), 5000);
        QCOMPARE(m_closes, 0); // the sheet stays open

        // Typing a path that does not exist flags it once editing ends.
        replaceText(field(0, "slotPath"), QStringLiteral("~/Nowhere/Here"));
        QTest::keyClick(field(0, "slotPath"), Qt::Key_Tab);
        QVERIFY(flag(0)->isVisible());
        // Escape in the offer cancels and creates nothing.
        QTest::mouseClick(flag(0), Qt::LeftButton);
        offer = m_view->findChild<CreateFolderOffer*>();
        QVERIFY(offer);
        QTest::keyClick(offer, Qt::Key_Escape);
        QTRY_VERIFY(!m_view->findChild<CreateFolderOffer*>());
        QVERIFY(!QFileInfo::exists(QDir::homePath() + "/Nowhere"));
        QCOMPARE(m_closes, 0);
    }

    // Return saves from anywhere in the sheet, as a dialog's default button would.
    void returnSaves()
    {
        makeView();
        replaceText(field(0, "slotName"), QStringLiteral("Papers"));
        QTest::keyClick(field(0, "slotName"), Qt::Key_Return);
        QCOMPARE(m_closes, 1);
        QCOMPARE(readConfig(configPath()).destinationSlots.first().name, QStringLiteral("Papers"));
    }

    void browseStoresTheChosenFolder_data()
    {
        QTest::addColumn<QString>("chosen"); // relative to the home folder when it starts "@"
        QTest::addColumn<QString>("stored");
        QTest::newRow("inside home")
            << QStringLiteral("@/Projects/Photos") << QStringLiteral("~/Projects/Photos");
        QTest::newRow("home itself") << QStringLiteral("@") << QStringLiteral("~");
        QTest::newRow("other volume")
            << QStringLiteral("/media/usb/Photos") << QStringLiteral("/media/usb/Photos");
        QTest::newRow("sibling sharing the prefix")
            << QStringLiteral("@2/Photos") << QStringLiteral("@2/Photos");
        QTest::newRow("trailing slash") << QStringLiteral("@/Music/") << QStringLiteral("~/Music");
    }

    void browseStoresTheChosenFolder()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        const QString home = QDir::homePath();
        chosen.replace(QLatin1Char('@'), home);
        stored.replace(QLatin1Char('@'), home);
        makeView();
        const QString nameBefore = field(2, "slotName")->text();
        QWidget* askedWith = nullptr;
        m_view->setFolderChooser([&](QWidget* parent) -> std::optional<QString> {
            askedWith = parent;
            return chosen;
        });
        QTest::mouseClick(rows()[2]->findChild<QPushButton*>(QStringLiteral("browseButton")),
                          Qt::LeftButton);
        QCOMPARE(askedWith, m_view.get());
        QCOMPARE(field(2, "slotPath")->text(), stored);
        QCOMPARE(field(2, "slotName")->text(), nameBefore);
        QCOMPARE(m_view->workingSlots()[2].path, stored);

        click(QStringLiteral("saveButton"));
        QCOMPARE(readConfig(configPath()).destinationSlots[2].path, stored);
    }

    void browseCancelledChangesNothing()
    {
        makeView();
        const QString before = field(0, "slotPath")->text();
        m_view->setFolderChooser([](QWidget*) { return std::optional<QString>(); });
        QTest::mouseClick(rows()[0]->findChild<QPushButton*>(QStringLiteral("browseButton")),
                          Qt::LeftButton);
        QCOMPARE(field(0, "slotPath")->text(), before);
        QCOMPARE(m_view->workingSlots(), AppConfig::defaultSlots());
    }

    // Slots are added up to nine (the tenth is refused, and the button says why), each one
    // visible in the sheet's list at once; the keys are the list order, and that is saved.
    void slotsAreAddedUpToNine()
    {
        makeView();
        auto* add = child<QPushButton>(QStringLiteral("addSlotButton"));
        for (int count = 5; count <= 9; ++count) {
            QVERIFY(add->isEnabled());
            QTest::mouseClick(add, Qt::LeftButton);
            QCOMPARE(rows().size(), count);
            QVERIFY(field(count - 1, "slotName")->hasFocus());
        }
        QVERIFY(!add->isEnabled());
        QVERIFY(add->toolTip().contains(QStringLiteral("Nine slots at most")));
        QVERIFY(!m_view->addSlot());
        QCOMPARE(rows().size(), 9);

        QTest::keyClicks(field(8, "slotName"), QStringLiteral("Ninth"));
        m_view->setFolderChooser([](QWidget*) { return std::optional<QString>("/srv/ninth"); });
        QTest::mouseClick(rows()[8]->findChild<QPushButton*>(QStringLiteral("browseButton")),
                          Qt::LeftButton);
        auto* list = child<QScrollArea>(QStringLiteral("slotList"));
        const QRect view(QPoint(0, 0), list->viewport()->size());
        // The first row not whole in the list's view, once the layouts have placed them.
        const auto outOfView = [&]() -> QString {
            for (QWidget* row : rows()) {
                const QRect shown(row->mapTo(list->viewport(), QPoint(0, 0)), row->size());
                if (!view.contains(shown))
                    return QStringLiteral("row at %1..%2 of %3")
                        .arg(shown.top())
                        .arg(shown.bottom())
                        .arg(view.height());
            }
            return {};
        };
        QTRY_VERIFY2(outOfView().isEmpty(), qPrintable(outOfView()));
        QCOMPARE(rows()[8]->findChild<QLabel*>(QStringLiteral("slotNumber"))->text(),
                 QStringLiteral("[9]"));

        click(QStringLiteral("saveButton"));
        const QList<DestinationSlot> saved = readConfig(configPath()).destinationSlots;
        QCOMPARE(saved.size(), 9);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(saved[i].slot, i + 1);
        QCOMPARE(saved[8].name, QStringLiteral("Ninth"));
        QCOMPARE(saved[8].path, QStringLiteral("/srv/ninth"));
        QCOMPARE(saved.mid(0, 4), AppConfig::defaultSlots());
    }

    // Removing and reordering, with the mouse and with the keyboard alone; the keys are
    // renumbered in list order and the focus follows the slot it was on.
    void slotsAreRemovedAndReordered()
    {
        m_config->saveConfig(customConfig());
        makeView();
        const QList<DestinationSlot> before = customConfig().destinationSlots;
        auto names = [this] {
            QStringList list;
            for (int i = 0; i < rows().size(); ++i)
                list << field(i, "slotName")->text();
            return list;
        };
        auto button = [this](int row, const char* name) {
            return rows().at(row)->findChild<QToolButton*>(QLatin1String(name));
        };
        QVERIFY(!button(0, "moveUpButton")->isEnabled());
        QVERIFY(!button(5, "moveDownButton")->isEnabled());

        // Mouse: remove the second slot, move the (new) first one down.
        QTest::mouseClick(button(1, "removeSlotButton"), Qt::LeftButton);
        QCOMPARE(names(),
                 QStringList({"Custom 1", "Custom 3", "Custom 4", "Custom 5", "Custom 6"}));
        QTest::mouseClick(button(0, "moveDownButton"), Qt::LeftButton);
        QCOMPARE(names(),
                 QStringList({"Custom 3", "Custom 1", "Custom 4", "Custom 5", "Custom 6"}));

        // Keyboard: Alt+Up from a path field moves that slot and keeps the focus in it.
        field(3, "slotPath")->setFocus();
        QTest::keyClick(field(3, "slotPath"), Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(names(),
                 QStringList({"Custom 3", "Custom 1", "Custom 5", "Custom 4", "Custom 6"}));
        QTRY_VERIFY(field(2, "slotPath")->hasFocus());
        QTest::keyClick(field(2, "slotPath"), Qt::Key_Up, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(names(),
                 QStringList({"Custom 3", "Custom 1", "Custom 4", "Custom 5", "Custom 6"}));
        QVERIFY(field(3, "slotPath")->hasFocus());
        // Tab reaches the row's buttons; Space on Remove takes the slot out.
        QWidget* focus = field(4, "slotPath");
        focus->setFocus();
        while (focus != button(4, "removeSlotButton")) {
            QTest::keyClick(focus, Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget() != focus);
            focus = QApplication::focusWidget();
        }
        QTest::keyClick(focus, Qt::Key_Space);
        QCOMPARE(names(), QStringList({"Custom 3", "Custom 1", "Custom 4", "Custom 5"}));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(rows()[i]->findChild<QLabel*>(QStringLiteral("slotNumber"))->text(),
                     QStringLiteral("[%1]").arg(i + 1));

        click(QStringLiteral("saveButton"));
        const QList<DestinationSlot> saved = readConfig(configPath()).destinationSlots;
        const QList<DestinationSlot> expected{{1, before[2].name, before[2].path},
                                              {2, before[0].name, before[0].path},
                                              {3, before[3].name, before[3].path},
                                              {4, before[4].name, before[4].path}};
        QCOMPARE(saved, expected);
    }

    // The watched folders: Downloads always, with nothing to remove it; others added with
    // the folder picker, written like the slots' paths, and removed; a folder that cannot be
    // watched is refused with the reason, and a hand-written entry that cannot says why.
    // The list reaches config.json on Save only.
    void watchedFoldersAreAddedAndRemoved()
    {
        const QString home = QDir::homePath();
        AppConfig config = m_config->config();
        config.additionalInboxes = {QStringLiteral("~/Desktop"), QStringLiteral("relative")};
        QVERIFY(m_config->saveConfig(config));
        makeView();
        m_view->setDownloadsFolder(home + "/Downloads");
        const auto shown = [this] {
            QStringList texts;
            for (QLabel* label : m_view->findChildren<QLabel*>(QStringLiteral("inboxFolder")))
                texts << label->text();
            return texts;
        };
        const auto removeButtons = [this] {
            return m_view->findChildren<QToolButton*>(QStringLiteral("removeInboxButton"));
        };
        QCOMPARE(shown(), (QStringList{"Downloads", "Desktop", "relative"}));
        QCOMPARE(removeButtons().size(), 2);
        QVERIFY(m_view->findChildren<QLabel*>(QStringLiteral("inboxFolder"))
                    .at(2)
                    ->toolTip()
                    .startsWith(QStringLiteral("relative: not watched, relative is not a full")));

        auto* problem = child<QLabel>(QStringLiteral("inboxProblem"));
        for (const QString& refused :
             {home + "/Downloads", home + "/Downloads/sub", home + "/Desktop", home}) {
            m_view->setFolderChooser([refused](QWidget*) { return std::optional(refused); });
            click(QStringLiteral("addInboxButton"));
            QVERIFY2(problem->isVisible(), qPrintable(refused));
            QVERIFY2(problem->text().startsWith(QStringLiteral("Not added: ")),
                     qPrintable(problem->text()));
        }
        QCOMPARE(m_view->workingInboxes(), config.additionalInboxes);
        m_view->setFolderChooser(
            [home](QWidget*) { return std::optional(home + "/Pictures/Screenshots/"); });
        click(QStringLiteral("addInboxButton"));
        QVERIFY(!problem->isVisible());
        QCOMPARE(shown(), (QStringList{"Downloads", "Desktop", "relative", "Screenshots"}));
        QCOMPARE(m_view->findChildren<QLabel*>(QStringLiteral("inboxFolder")).at(3)->toolTip(),
                 QStringLiteral("~/Pictures/Screenshots: watched for new items"));
        QTest::mouseClick(removeButtons().at(1), Qt::LeftButton);
        const QStringList expected{"~/Desktop", "~/Pictures/Screenshots"};
        QCOMPARE(m_view->workingInboxes(), expected);
        QCOMPARE(shown(), (QStringList{"Downloads", "Desktop", "Screenshots"}));
        QCOMPARE(readConfig(configPath()).additionalInboxes, config.additionalInboxes);

        click(QStringLiteral("saveButton"));
        QCOMPARE(readConfig(configPath()).additionalInboxes, expected);
    }

    void sheetCoversTheWindow()
    {
        QWidget window;
        window.resize(840, 540);
        int closes = 0;
        auto* sheet = new SettingsSheet(
            *m_config, *m_login, *m_updates, *m_telemetry, m_shortcut, [&closes] { ++closes; },
            &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(sheet->geometry(), window.rect());
        QCOMPARE(sheet->view()->size(), QSize(600, 530));
        const QRect shown(sheet->view()->mapTo(sheet, QPoint(0, 0)), sheet->view()->size());
        QCOMPARE(shown.center(), window.rect().center());

        // Clicks on the dimmed window do not close a sheet.
        QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(closes, 0);

        // A window smaller than the sheet scrolls the sheet instead of cutting it off.
        window.resize(760, 480);
        QCOMPARE(sheet->geometry(), window.rect());
        auto* frame = sheet->findChild<QScrollArea*>();
        QVERIFY(frame->geometry().height() <= 480);
        QVERIFY(window.rect().contains(frame->geometry()));
        QCOMPARE(sheet->view()->size(), QSize(600, 530));

        QTest::keyClick(sheet->view(), Qt::Key_Escape);
        QCOMPARE(closes, 1);
        QTest::mouseClick(sheet->view()->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                          Qt::LeftButton);
        QCOMPARE(closes, 2);
    }
};

STOWBIRD_TEST_MAIN(TestSettingsView)
#include "TestSettingsView.moc"
