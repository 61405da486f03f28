#include "LogRecorder.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "fakes/ScriptedLoginItemBackend.h"
#include "models/AppError.h"
#include "platform/XdgAutostartBackend.h"
#include "services/LaunchAtLoginService.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace {

using TestFiles::writeFile;

} // namespace

class TestLaunchAtLoginService : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    LogRecorder m_log;
    QString m_binary;
    QString m_autostart;

    std::unique_ptr<LaunchAtLoginService> makeService(const QString& binary)
    {
        auto service = std::make_unique<LaunchAtLoginService>(
            std::make_unique<XdgAutostartBackend>(m_autostart, binary));
        service->setLogRecorder(m_log.sink());
        return service;
    }

    QString entryPath() const { return m_autostart + "/com.stowbird.Stowbird.desktop"; }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_log.clear();
        // A binary whose path needs every kind of quoting an Exec line knows.
        m_binary = m_dir->filePath("opt/my apps/stow \"bird\" $HOME `x` 100%\\bin");
        writeFile(m_binary, "#!/bin/sh\n");
        m_autostart = qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart";
        QFile::remove(entryPath());
    }

    void defaultFolderFollowsXdgConfigHome()
    {
        QCOMPARE(XdgAutostartBackend::defaultAutostartDirectory(), m_autostart);
        QVERIFY(m_autostart.startsWith(QDir::tempPath()));
    }

    void enableWritesAnEntryForThisBinary()
    {
        auto service = makeService(m_binary);
        QCOMPARE(service->status(), 0);
        QCOMPARE(service->statusDescription(), QStringLiteral("Disabled"));
        QSignalSpy changed(service.get(), &LaunchAtLoginService::statusChanged);

        service->setEnabled(true);
        QVERIFY(QFileInfo(entryPath()).isFile());
        QCOMPARE(service->status(), 1);
        QVERIFY(service->isEnabled());
        QCOMPARE(service->statusDescription(), QStringLiteral("Enabled"));

        const auto entry = XdgAutostartBackend::readEntry(entryPath());
        QVERIFY(entry);
        // Login starts it hidden, in the tray; a removed binary hides the entry.
        QCOMPARE(XdgAutostartBackend::splitExec(entry->value("Exec")),
                 (QStringList{m_binary, "--background"}));
        QCOMPARE(entry->value("TryExec"), m_binary);
        QCOMPARE(entry->value("Type"), QStringLiteral("Application"));
        QCOMPARE(entry->value("X-KDE-autostart-after"), QStringLiteral("panel"));
        QCOMPARE(entry->value("X-LXQt-Need-Tray"), QStringLiteral("true"));
        QVERIFY(entry->value("X-GNOME-Autostart-Delay").toInt() > 0);

        // Enabling twice: one success line, one change.
        service->setEnabled(true);
        QCOMPARE(m_log.lines(),
                 QStringList{"INFO Successfully registered Stowbird for Launch at Login."});
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), 1);
    }

    void entryPassesTheDesktopFileValidator()
    {
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
        makeService(m_binary)->setEnabled(true);
        QProcess process;
        process.start(validator, {entryPath()});
        QVERIFY(process.waitForFinished(30000));
        const QString output = process.readAll();
        QVERIFY2(process.exitCode() == 0 && !output.contains("error"), qPrintable(output));
    }

    void disableRemovesTheEntry()
    {
        auto service = makeService(m_binary);
        service->setEnabled(true);
        m_log.clear();
        service->setIsEnabled(false);
        QVERIFY(!QFile::exists(entryPath()));
        QCOMPARE(service->status(), 0);
        QCOMPARE(m_log.lines(),
                 QStringList{"INFO Successfully unregistered Stowbird from Launch at Login."});
        service->setEnabled(false); // nothing left to do, nothing logged
        QCOMPARE(m_log.lines().size(), 1);
    }

    void entriesThatDoNotCount_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("otherBinary");
        QTest::newRow("Hidden=true")
            << QByteArray("Terminal=false") << QByteArray("Terminal=false\nHidden=true") << false;
        QTest::newRow("GNOME switch off") << QByteArray("X-GNOME-Autostart-enabled=true")
                                          << QByteArray("X-GNOME-Autostart-enabled=false") << false;
        QTest::newRow("another binary") << QByteArray() << QByteArray() << true;
    }

    void entriesThatDoNotCount()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, otherBinary);
        const QString program = otherBinary ? QStringLiteral("/usr/bin/true") : m_binary;
        QByteArray contents = XdgAutostartBackend::entryContents(program);
        if (!from.isEmpty()) {
            QVERIFY(contents.contains(from));
            contents.replace(from, to);
        }
        writeFile(entryPath(), contents);
        auto service = makeService(m_binary);
        QCOMPARE(service->status(), 0);
        QVERIFY(!service->isEnabled());

        // Disabling leaves a foreign or switched-off entry alone; enabling replaces it.
        service->setEnabled(false);
        QVERIFY(QFile::exists(entryPath()));
        service->setEnabled(true);
        QCOMPARE(service->status(), 1);
        QVERIFY(!XdgAutostartBackend::readEntry(entryPath())->contains("Hidden"));
    }

    // An entry from before --background and TryExec is rewritten; a current one, or one
    // that is not ours or switched off, is left alone.
    void outdatedEntryIsUpgraded()
    {
        XdgAutostartBackend backend(m_autostart, m_binary);
        QVERIFY(!backend.upgradeOutdatedEntry()); // nothing there
        QByteArray old = XdgAutostartBackend::entryContents(m_binary);
        old.replace(" --background", "");
        old.replace("\nTryExec=", "\nX-Old-TryExec=");
        writeFile(entryPath(), old);
        QCOMPARE(backend.status(), 1);
        QVERIFY(backend.upgradeOutdatedEntry());
        const auto entry = XdgAutostartBackend::readEntry(entryPath());
        QCOMPARE(XdgAutostartBackend::splitExec(entry->value("Exec")),
                 (QStringList{m_binary, "--background"}));
        QVERIFY(!backend.upgradeOutdatedEntry());

        QByteArray off = old;
        off.replace("X-GNOME-Autostart-enabled=true", "X-GNOME-Autostart-enabled=false");
        writeFile(entryPath(), off);
        QVERIFY(!backend.upgradeOutdatedEntry());
        QFile file(entryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), off);
    }

    void unwritableFolderThrows()
    {
        // Root ignores permissions, so a regular file stands where the folder should be.
        QDir(m_autostart).removeRecursively();
        writeFile(m_autostart, "not a folder");
        auto service = makeService(m_binary);
        QVERIFY_THROWS_EXCEPTION(AppError, service->setEnabled(true));
        QVERIFY(m_log.lines().isEmpty());

        service->setIsEnabled(true); // logged and swallowed
        QCOMPARE(m_log.lines().size(), 1);
        const QString line = m_log.lines().first();
        QVERIFY2(line.startsWith("ERROR Failed to toggle Launch at Login to true: ") &&
                     line.endsWith(m_autostart + " could not be created."),
                 qPrintable(line));
        QFile::remove(m_autostart);
    }

    void unknownProgramPathIsNotFound()
    {
        auto service = makeService(QString());
        QCOMPARE(service->status(), 3);
        QCOMPARE(service->statusDescription(), QStringLiteral("Not Registered"));
        QVERIFY_THROWS_EXCEPTION(AppError, service->setEnabled(true));
        QVERIFY(!QFile::exists(entryPath()));
        service->setEnabled(false); // not 1: nothing happens
        QVERIFY(m_log.lines().isEmpty());
    }

    void approvalAndNotFoundStatuses()
    {
        auto owned = std::make_unique<ScriptedLoginItemBackend>();
        ScriptedLoginItemBackend* backend = owned.get();
        LaunchAtLoginService service(std::move(owned));
        service.setLogRecorder(m_log.sink());

        backend->currentStatus = 2;
        QCOMPARE(service.statusDescription(),
                 QStringLiteral("Approval Required in System Settings"));
        service.setEnabled(false); // awaiting approval is left alone
        QCOMPARE(backend->unregistrations, 0);
        service.setEnabled(true); // but enabling asks again
        QCOMPARE(backend->registrations, 1);

        backend->currentStatus = 3;
        m_log.clear();
        service.setEnabled(false);
        QCOMPARE(backend->unregistrations, 0);
        QVERIFY(m_log.lines().isEmpty());

        QCOMPARE(LaunchAtLoginService::describe(7), QStringLiteral("Unknown"));
        QCOMPARE(LaunchAtLoginService::describe(-1), QStringLiteral("Unknown"));
    }

    void execQuotingRoundTrips_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("plain") << "/usr/bin/stowbird";
        QTest::newRow("spaces and quotes") << "/opt/a b/\"q\"/it's";
        QTest::newRow("shell and field characters") << "/x/$PATH/`id`/%f/100%";
        QTest::newRow("backslashes") << "/x/back\\slash\\\\";
    }

    void execQuotingRoundTrips()
    {
        QFETCH(QString, program);
        writeFile(entryPath(), XdgAutostartBackend::entryContents(program));
        const auto entry = XdgAutostartBackend::readEntry(entryPath());
        QCOMPARE(XdgAutostartBackend::splitExec(entry->value("Exec")),
                 (QStringList{program, "--background"}));
        QCOMPARE(entry->value("TryExec"), program);
    }

    // The service the program uses registers the binary that is running, so that an
    // installed copy starts itself at login rather than the build it came from.
    void sharedServiceRegistersTheRunningBinary()
    {
        LaunchAtLoginService& shared = LaunchAtLoginService::shared();
        shared.setEnabled(true);
        const auto entry = XdgAutostartBackend::readEntry(entryPath());
        QVERIFY(entry);
        const QString running =
            QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
        QCOMPARE(XdgAutostartBackend::splitExec(entry->value("Exec")),
                 (QStringList{running, "--background"}));
        QCOMPARE(shared.status(), 1);
        shared.setEnabled(false);
        QVERIFY(!QFileInfo::exists(entryPath()));
    }

    void executablePathPrefersAnExistingAppImage_data()
    {
        QTest::addColumn<QString>("appImage");
        QTest::addColumn<bool>("usesAppImage");
        QTest::newRow("unset") << QString() << false;
        QTest::newRow("existing image") << QStringLiteral("Stowbird.AppImage") << true;
        QTest::newRow("missing image") << QStringLiteral("gone/Stowbird.AppImage") << false;
    }

    void executablePathPrefersAnExistingAppImage()
    {
        QFETCH(QString, appImage);
        QFETCH(bool, usesAppImage);
        if (!appImage.isEmpty()) {
            appImage = m_dir->filePath(appImage);
            if (usesAppImage)
                writeFile(appImage, "image");
            qputenv("APPIMAGE", appImage.toLocal8Bit());
        }
        const QString path = XdgAutostartBackend::currentExecutablePath();
        qunsetenv("APPIMAGE");
        QCOMPARE(path, usesAppImage ? appImage : QCoreApplication::applicationFilePath());
    }
};

STOWBIRD_TEST_MAIN(TestLaunchAtLoginService)
#include "TestLaunchAtLoginService.moc"
