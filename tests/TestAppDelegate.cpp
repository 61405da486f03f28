#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "services/ConfigurationService.h"
#include "services/DownloadWatcherService.h"
#include "services/GlobalShortcutService.h"
#include "services/LoggerService.h"
#include "services/QueueRescanner.h"
#include "services/TriageQueueManager.h"
#include "views/BroomGlyph.h"
#include "views/TriageContainerView.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

class TestAppDelegate : public QObject
{
    Q_OBJECT

private:
    QString m_downloads;
    const QByteArray badConfig = R"({"autoTrashPatterns": [], "destinationSlots": [],
        "general": {}, "version": 1,})";
    // Each test runs a program of its own: fresh services with their files in a fresh
    // folder, a fresh delegate, and a Downloads folder with only the test's files.
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<HudTestServices<>> m_services;
    std::unique_ptr<AppDelegate> m_delegate;

    QString writeDownload(const QString& name)
    {
        TestFiles::writeFile(m_downloads + "/" + name, "x");
        return m_downloads + "/" + name;
    }

    QStringList menuTitles() const
    {
        QStringList titles;
        for (QAction* action : m_delegate->menu()->actions())
            titles.append(action->isSeparator()
                              ? QStringLiteral("-")
                              : action->text() + QLatin1Char('|') + action->shortcut().toString());
        return titles;
    }

private slots:
    // Every test starts with the program just launched on five waiting files.
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        // The folder the menu names "~/Downloads", emptied for each test.
        m_downloads = QDir::homePath() + "/Downloads";
        QVERIFY(QDir(m_downloads).removeRecursively());
        QVERIFY(QDir().mkpath(m_downloads));
        for (int i = 0; i < 5; ++i)
            writeDownload(QStringLiteral("file%1.txt").arg(i));
        // What an undo across disks killed half-way leaves in Downloads.
        if (QLatin1String(QTest::currentTestFunction()) == "launchRemovesPartialCopiesInDownloads")
            writeDownload(QStringLiteral(".stowbird-0123456789abcdef0123456789abcdef.partial"));
        const bool unreadable = QLatin1String(QTest::currentTestFunction()) ==
                                "unreadableSettingsAreToldOnceInTheWindow";
        if (unreadable) {
            // A settings file with a stray comma: the window must say so once.
            const QString config = m_home->path() + "/.config/stowbird/config.json";
            QDir().mkpath(QFileInfo(config).absolutePath());
            QFile bad(config);
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(badConfig);
            bad.close();
        }
        m_services = std::make_unique<HudTestServices<>>(m_home->path());
        if (!unreadable) {
            // A short quiet period, so that a new download is reported soon.
            AppConfig config = m_services->config->config();
            config.general.debounceSeconds = 0.01;
            m_services->config->saveConfig(config);
        }
        AppDelegate::Options options;
        options.downloadsDirectory = m_downloads;
        // A file written in one go is whole at once: no need to wait long between the samples
        // that show it has stopped changing.
        options.watcherSampleIntervalMs = 10;
        m_delegate = std::make_unique<AppDelegate>(m_services->appServices(), options);
        m_delegate->applicationDidFinishLaunching();

        // The first listing runs on a pool thread and lands in a later turn: until then the
        // window and the tray say they are looking, not that the folder is empty.
        QVERIFY(m_delegate->isScanning());
        auto* title = m_delegate->containerView()->findChild<QLabel*>(QStringLiteral("emptyTitle"));
        QVERIFY(title);
        QVERIFY(title->isVisible());
        QCOMPARE(title->text(), QStringLiteral("Looking through Downloads…"));
        QCOMPARE(m_delegate->trayToolTip(), QStringLiteral("Stowbird: Looking through Downloads…"));
        STOWBIRD_TRY_COMPARE(m_delegate->waitingCount(), 5, 10000);
        STOWBIRD_TRY_VERIFY(!m_delegate->isScanning(), 5000);
        STOWBIRD_TRY_VERIFY(!title->isVisible(), 5000);
    }

    void cleanup()
    {
        m_delegate->applicationWillTerminate();
        m_delegate.reset();
        m_services.reset();
        m_home.reset();
    }

    void launchScansAndOpensTheHUD()
    {
        QCOMPARE(m_delegate->waitingCount(), 5);
        QVERIFY(m_delegate->hudPanel()->isVisible());
        QVERIFY(m_delegate->containerView());
        QVERIFY(m_delegate->downloadWatcher()->isWatching());
        QCOMPARE(m_delegate->hudPanel()->size(), QSize(840, 540));
        QCOMPARE(m_delegate->hudPanel()->minimumSize(), QSize(760, 480));
    }

    void launchRemovesPartialCopiesInDownloads()
    {
        STOWBIRD_TRY_VERIFY(
            !QFileInfo::exists(m_downloads + "/.stowbird-0123456789abcdef0123456789abcdef.partial"),
            5000);
        QCOMPARE(m_delegate->waitingCount(), 5);
    }

    void unreadableSettingsAreToldOnceInTheWindow()
    {
        TriageHUDPanel* panel = m_delegate->hudPanel();
        QVERIFY(panel->isNoticeShown());
        const QString prefix = QStringLiteral("Your settings file could not be read; Stowbird "
                                              "started with defaults and kept your file as ");
        QVERIFY2(panel->notice().startsWith(prefix), qPrintable(panel->notice()));
        const QString kept = panel->notice().mid(prefix.size());
        QFile file(kept);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), badConfig);

        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("noticeDismiss")),
                          Qt::LeftButton);
        QVERIFY(!panel->isNoticeShown());
        m_delegate->dismissHUD();
        m_delegate->openHUD();
        QVERIFY(!panel->isNoticeShown());
    }

    void menuHasEveryCommand()
    {
        const QStringList expected{"Organize Downloads|Ctrl+D", "Scan ~/Downloads Now|Ctrl+S",
                                   "Clear Skipped Files|",      "Force Reset Queue|Ctrl+R",
                                   "Open Log File...|Ctrl+L",   "-",
                                   "Preferences...|Ctrl+,",     "-",
                                   "Quit Stowbird|Ctrl+Q"};
        QCOMPARE(menuTitles(), expected);
    }

    // What the menu shows works in the window too, and Preferences opens the settings.
    void menuShortcutsWorkInTheWindow()
    {
        m_delegate->openHUD();
        QVERIFY(QTest::qWaitForWindowExposed(m_delegate->hudPanel()));
        QAction* quit = nullptr;
        for (QAction* action : m_delegate->menu()->actions())
            if (action->text() == QLatin1String("Quit Stowbird"))
                quit = action;
        QVERIFY(quit);
        QVERIFY(m_delegate->hudPanel()->actions().contains(quit));
        QSignalSpy quitting(quit, &QAction::triggered);
        // Not pressed: that would end the test program. The shortcut is the window's.
        QCOMPARE(quit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(quit->shortcutContext(), Qt::WindowShortcut);

        TriageContainerView* view = m_delegate->containerView();
        QVERIFY(!view->showingSettings());
        QTest::keyClick(m_delegate->hudPanel(), Qt::Key_Comma, Qt::ControlModifier);
        STOWBIRD_TRY_VERIFY(m_delegate->containerView()->showingSettings(), 5000);
        QCOMPARE(quitting.count(), 0);
        m_delegate->containerView()->setShowingSettings(false);

        // The tray's "Preferences..." opens the window with the settings sheet.
        m_delegate->hudPanel()->close();
        m_delegate->openPreferences();
        QVERIFY(m_delegate->hudPanel()->isVisible());
        QVERIFY(m_delegate->containerView()->showingSettings());
        m_delegate->containerView()->setShowingSettings(false);
    }

    void trayFollowsTheCountWithBacklog()
    {
        // Fifty items plus a backlog: the count is the sum, shown in the tooltip.
        for (int i = 0; i < 52; ++i)
            writeDownload(QStringLiteral("more%1.txt").arg(i));
        m_delegate->scanDownloads();
        STOWBIRD_TRY_COMPARE(m_delegate->waitingCount(), 57, 10000);
        STOWBIRD_TRY_COMPARE(m_delegate->trayToolTip(), QStringLiteral("Stowbird: 57 waiting"),
                             5000);
        QVERIFY(!m_delegate->trayIcon().isNull());
        for (int i = 0; i < 52; ++i)
            QFile::remove(m_downloads + QStringLiteral("/more%1.txt").arg(i));
        m_services->queue->pruneMissingFiles();
        STOWBIRD_TRY_COMPARE(m_delegate->trayToolTip(), QStringLiteral("Stowbird: 5 waiting"),
                             5000);
    }

    void openHUDKeepsTheViewAndDismissDiscardsIt()
    {
        TriageContainerView* view = m_delegate->containerView();
        QVERIFY(view);
        view->startRename();
        m_delegate->openHUD();
        QCOMPARE(m_delegate->containerView(), view);
        QVERIFY(view->isRenaming());

        // The close button hides the panel and discards the view with its state.
        m_delegate->hudPanel()->close();
        QVERIFY(!m_delegate->hudPanel()->isVisible());
        QVERIFY(!m_delegate->containerView());
        m_delegate->openPreferences();
        QVERIFY(m_delegate->hudPanel()->isVisible());
        QVERIFY(m_delegate->containerView());
        QVERIFY(m_delegate->containerView() != view);
        QVERIFY(!m_delegate->containerView()->isRenaming());
    }

    void openingTheWindowListsNothing()
    {
        // The queue is kept current by the watcher: with it stopped, a file put in the
        // folder is not found by opening the window, only by a rescan on request.
        m_delegate->dismissHUD();
        const qsizetype before = m_delegate->waitingCount();
        m_delegate->downloadWatcher()->stop();
        const QString unseen = writeDownload("unseen.txt");
        QSignalSpy rescans(m_delegate->rescanner(), &QueueRescanner::runningChanged);
        m_delegate->openHUD();
        QCoreApplication::processEvents();
        QVERIFY(!m_delegate->isScanning());
        QVERIFY(rescans.isEmpty());
        QCOMPARE(m_delegate->waitingCount(), before);
        // The rescan asked for is the only one: it starts and ends, and nothing else did.
        m_delegate->scanDownloads();
        STOWBIRD_TRY_COMPARE(m_delegate->waitingCount(), before + 1, 10000);
        STOWBIRD_TRY_VERIFY(!m_delegate->isScanning(), 5000);
        QCOMPARE(rescans.size(), 2);
        QCOMPARE(rescans.first().first().toBool(), true);
        m_delegate->downloadWatcher()->start();
        STOWBIRD_TRY_VERIFY(m_delegate->downloadWatcher()->isWatching(), 5000);
        QVERIFY(QFile::remove(unseen));
        STOWBIRD_TRY_COMPARE(m_delegate->waitingCount(), before, 5000);
    }

    void discoveryRaisesTheCountWithoutOpeningTheHUD()
    {
        m_delegate->dismissHUD();
        QVERIFY(!m_delegate->hudPanel()->isVisible());
        const qsizetype before = m_delegate->waitingCount();
        writeDownload("fresh.pdf");
        STOWBIRD_TRY_COMPARE(m_delegate->waitingCount(), before + 1, 10000);
        QVERIFY(!m_delegate->hudPanel()->isVisible());
    }

    void deletionLowersTheCountAndSettingsReachTheWatcher()
    {
        const qsizetype before = m_delegate->waitingCount();
        QVERIFY(QFile::remove(m_downloads + "/file3.txt"));
        STOWBIRD_TRY_COMPARE(m_delegate->waitingCount(), before - 1, 5000);

        // The settings' debounce applies to the running watcher at once, clamped.
        ConfigurationService& config = *m_services->config;
        AppConfig changed = config.config();
        const double original = changed.general.debounceSeconds;
        changed.general.debounceSeconds = 4.0;
        config.saveConfig(changed);
        QCOMPARE(m_delegate->downloadWatcher()->debounceDelay(), 4.0);
        changed.general.debounceSeconds = -2.0;
        config.saveConfig(changed);
        QCOMPARE(m_delegate->downloadWatcher()->debounceDelay(), 0.0);
        changed.general.debounceSeconds = original;
        config.saveConfig(changed);
        QCOMPARE(m_delegate->downloadWatcher()->debounceDelay(), original);
    }

    // A shortcut changed or turned off in the settings takes effect when they are saved,
    // without a restart.
    void savedShortcutIsBoundAgain()
    {
        GlobalShortcutService& shortcut = *m_services->globalShortcut;
        QCOMPARE(shortcut.shortcutText(), QStringLiteral("Alt+Shift+D"));
        AppConfig changed = m_services->config->config();
        changed.general.globalHotkey = QStringLiteral("Ctrl+Alt+K");
        m_services->config->saveConfig(changed);
        QCOMPARE(shortcut.shortcutText(), QStringLiteral("Ctrl+Alt+K"));
        changed.general.globalHotkey.clear();
        m_services->config->saveConfig(changed);
        QCOMPARE(shortcut.state(), GlobalShortcutService::State::Off);
    }

    // Other inboxes named in the settings are watched from the save on, with the same intake
    // as Downloads (real inotify): what a new one holds already is listed, a file written
    // into one is queued, and one that does not exist yet is picked up once it appears. An
    // entry that cannot be an inbox is logged and left out. A folder taken off the list
    // leaves the queue and is no longer watched.
    void otherInboxesAreWatchedAsDownloadsIs()
    {
        const QString home = QDir::homePath();
        const QString desktop = home + "/Desktop";
        const QString screenshots = home + "/Pictures/Screenshots";
        QVERIFY(QDir(desktop).removeRecursively() && QDir(home + "/Pictures").removeRecursively());
        QVERIFY(QDir().mkpath(desktop));
        const auto write = [](const QString& path) { TestFiles::writeFile(path, "x"); };
        write(desktop + "/already-there.png");
        const qsizetype before = m_delegate->waitingCount();
        const auto queued = [this](const QString& path) {
            for (const TriageItem& item : m_services->queue->items()) {
                if (item.path() == path)
                    return true;
            }
            return false;
        };

        ConfigurationService& config = *m_services->config;
        AppConfig changed = config.config();
        changed.additionalInboxes = {"~/Desktop", "~/Pictures/Screenshots", "~/Downloads/sub"};
        config.saveConfig(changed);
        QCOMPARE(m_delegate->watchedFolders(), (QStringList{m_downloads, desktop, screenshots}));
        STOWBIRD_TRY_VERIFY(queued(desktop + "/already-there.png"), 10000);
        write(desktop + "/new.txt");
        QVERIFY(QDir().mkpath(screenshots));
        write(screenshots + "/shot.png");
        STOWBIRD_TRY_VERIFY(queued(desktop + "/new.txt"), 10000);
        STOWBIRD_TRY_VERIFY(queued(screenshots + "/shot.png"), 10000);
        QCOMPARE(m_delegate->waitingCount(), before + 3);
        QVERIFY(m_services->logger->waitForWritten(5000));
        QFile log(m_services->logger->logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains(
            R"(Inbox "~/Downloads/sub" left out: ~/Downloads/sub is inside the Downloads folder)"));

        changed.additionalInboxes = {"~/Pictures/Screenshots"};
        config.saveConfig(changed);
        QCOMPARE(m_delegate->watchedFolders(), (QStringList{m_downloads, screenshots}));
        QCOMPARE(m_delegate->waitingCount(), before + 1);
        QVERIFY(!queued(desktop + "/new.txt"));
        // The Desktop is no longer watched: of two files written now, only the one in the
        // screenshots folder comes.
        write(desktop + "/unwatched.txt");
        write(screenshots + "/second.png");
        STOWBIRD_TRY_VERIFY(queued(screenshots + "/second.png"), 10000);
        QCOMPARE(m_delegate->waitingCount(), before + 2);
    }

    void forceResetBringsSkippedFilesBack()
    {
        TriageQueueManager& queue = *m_services->queue;
        const qsizetype before = m_delegate->waitingCount();
        queue.skipCurrent();
        QCOMPARE(m_delegate->waitingCount(), before - 1);
        m_delegate->scanDownloads(); // a skipped file stays out
        STOWBIRD_TRY_VERIFY(!m_delegate->isScanning(), 5000);
        QCOMPARE(m_delegate->waitingCount(), before - 1);
        m_delegate->forceResetQueue();
        STOWBIRD_TRY_COMPARE(m_delegate->waitingCount(), before, 10000);
        QVERIFY(queue.skippedPaths().isEmpty());
        QVERIFY(m_delegate->hudPanel()->isVisible());
    }

    void glyphShowsMotionAndBadgeOnlyWhileItemsWait()
    {
        QCOMPARE(BroomGlyph::badgeText(0), QString());
        QCOMPARE(BroomGlyph::badgeText(7), QStringLiteral("7"));
        QCOMPARE(BroomGlyph::badgeText(1234), QStringLiteral("99+"));
        const QImage idle = BroomGlyph::render(72, 0);
        const QImage busy = BroomGlyph::render(72, 3);
        // The motion stroke sweeps around the lower-left corner; the badge sits lower right.
        auto inkIn = [](const QImage& image, const QRect& area) {
            int ink = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    ink += qAlpha(image.pixel(x, y)) > 128;
            return ink;
        };
        const QRect lowerLeft(0, 44, 16, 24);
        const QRect lowerRight(56, 56, 16, 16);
        QCOMPARE(inkIn(idle, lowerLeft), 0);
        QVERIFY(inkIn(busy, lowerLeft) > 10);
        QCOMPARE(inkIn(idle, lowerRight), 0);
        QVERIFY(inkIn(busy, lowerRight) > 10);
    }

    // What is handed no logger (the history, the previews) logs into the program's log while
    // the services' root lives, and no longer through it once the root is gone.
    void codeWithoutALoggerLogsThroughTheRoot()
    {
        QString logPath;
        {
            AppServices::Root root;
            const AppServices services = root.services();
            QCOMPARE(&LoggerService::shared(), &services.logger);
            logPath = services.logger.logPath();
            QVERIFY2(logPath.startsWith(QDir::homePath()), qPrintable(logPath));
            LoggerService::shared().info(QStringLiteral("said through the root"));
            QVERIFY(services.logger.waitForWritten(5000));
        }
        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("said through the root"));
        // A logger left behind by the root would be used after it was destroyed here.
        LoggerService::shared().info(QStringLiteral("said after the root"));
        QVERIFY(LoggerService::shared().waitForWritten(5000));
    }
};

STOWBIRD_TEST_MAIN(TestAppDelegate)
#include "TestAppDelegate.moc"
