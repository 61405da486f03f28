#include "app/AppDelegate.h"

#include "app/AccessibleRoles.h"
#include "app/CrashReportingSetup.h"
#include "app/GlobalShortcutBinding.h"
#include "app/InboxWatchers.h"
#include "app/LaunchGate.h"
#include "app/TrayStatusItem.h"
#include "app/TriageHUDPanel.h"
#include "models/DestinationSlot.h"
#include "platform/DesktopNotifier.h"
#include "platform/GlobalShortcutBackend.h"
#include "platform/ItemRevealer.h"
#include "platform/MonotonicClock.h"
#include "platform/StoragePaths.h"
#include "platform/XdgAutostartBackend.h"
#include "services/AppcastUpdater.h"
#include "services/ConfigurationService.h"
#include "services/DownloadWatcherService.h"
#include "services/FileExecutionEngine.h"
#include "services/GlobalShortcutService.h"
#include "services/HistoryStore.h"
#include "services/LaunchAtLoginService.h"
#include "services/LoggerService.h"
#include "services/NewDownloadNotifier.h"
#include "services/QueueRescanner.h"
#include "services/SuggestionService.h"
#include "services/TelemetryService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"
#include "services/UpdateService.h"
#include "views/AppIconArtwork.h"
#include "views/PreviewLoader.h"
#include "views/TrayBadgeIcon.h"
#include "views/TriageContainerView.h"
#include "views/UpdateWindow.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QThreadPool>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <utility>

AppDelegate::AppDelegate(AppServices services, Options options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_services(std::move(services)),
      m_queueManager(m_services.queue), m_configService(m_services.config)
{
    // The services log into the program's log.
    m_services.telemetry.setLogger(m_services.logger);
    m_services.updates.setLogger(m_services.logger);
    m_services.launchAtLogin.setLogger(m_services.logger);
    m_services.config.setLogger(m_services.logger);
    m_services.queue.setLogger(m_services.logger);
    // Unwritable settings or history are shown until a write succeeds again.
    BlockingProblems* problems = m_services.problems.get();
    connect(&m_services.config, &ConfigurationService::saveFailed, problems,
            [problems](const QString& message) { problems->noteSettingsSaved(false, message); });
    connect(&m_services.config, &ConfigurationService::saved, problems,
            [problems] { problems->noteSettingsSaved(true, {}); });
    connect(problems, &BlockingProblems::changed, this, &AppDelegate::scheduleStatusItemUpdate);
    // The history opens its file on its own thread as soon as it is made: listened to from
    // here, before anything else, so that a damaged file found at start is told.
    if (HistoryStore* history = m_services.history.get()) {
        m_suggestions = new SuggestionService(history, this);
        connect(history, &HistoryStore::availabilityChanged, this,
                [this](bool available, const QString& reason) {
                    if (!available)
                        showHistoryProblem(tr("History is unavailable: %1").arg(reason));
                });
        connect(history, &HistoryStore::historyReset, this, &AppDelegate::showHistoryProblem);
        connect(history, &HistoryStore::availabilityChanged, problems,
                &BlockingProblems::noteHistory);
        if (!history->available())
            problems->noteHistory(false, history->unavailableReason());
    }
}

AppDelegate::~AppDelegate()
{
    delete m_menu;
    delete m_hudPanel;
    // The watchers and the rescanner before the queue they feed.
    delete m_inboxes;
    m_inboxes = nullptr;
}

void AppDelegate::applicationDidFinishLaunching()
{
    // The watchers first, then the first listing, on threads of their own. The listing waits
    // for the watches (so that nothing arrives unseen between the two) and, at a launch
    // straight to the window, for the window's first frame: on two cores, listing a hundred
    // thousand files while the window is built would delay both.
    setupInboxWatchers();
    // Rendering the icon's sizes takes a few milliseconds: a launch straight to the window
    // draws the window first and gives it its icon right after.
    if (!m_options.openHUDAtLaunch)
        applyAppIcon();
    AccessibleRoles::install();
    m_services.logger.installCrashHandler();
    m_services.logger.info(QStringLiteral("Application launched."));
    setupStatusItem();
    connectUpdateWindow();
    setupHUDPanel();
    setupActions();

    // The window is shown as soon as it can be: what follows (crash reporting's settings,
    // the session bus and the X connections of the tray, the notifications and the global
    // shortcut, the login item, the window's icon) is not needed for it, and waits until its
    // first item is on screen.
    if (m_options.openHUDAtLaunch) {
        // Mapped first; the watchers then take their first look at the folders on their own
        // threads while the window's contents are built.
        m_hudPanel->present();
        m_inboxes->start();
        openHUD();
        gateLaunch();
    } else {
        m_inboxes->start();
        finishLaunch();
    }
}

void AppDelegate::gateLaunch()
{
    m_launchGate = new LaunchGate(clock(), LaunchGate::defaultListingWaitMs, this);
    connect(m_launchGate, &LaunchGate::listingMayStart, m_inboxes, &InboxWatchers::releaseListing);
    connect(m_launchGate, &LaunchGate::restMayFollow, this, &AppDelegate::finishLaunch);
    connect(m_hudPanel, &TriageHUDPanel::firstFramePainted, m_launchGate,
            &LaunchGate::noteFirstFrame, Qt::QueuedConnection);
    if (TriageContainerView* view = containerView())
        connect(view, &TriageContainerView::previewShown, m_launchGate,
                &LaunchGate::noteFirstPreview, Qt::SingleShotConnection);
    if (QueueRescanner* listing = rescanner()) {
        connect(listing, &QueueRescanner::firstLookDone, m_launchGate, &LaunchGate::noteFirstLook,
                Qt::SingleShotConnection);
        connect(
            listing, &QueueRescanner::finished, m_launchGate,
            [this] { m_launchGate->noteListingDone(m_queueManager.isEmpty()); },
            Qt::SingleShotConnection);
    }
}

void AppDelegate::setupInboxWatchers()
{
    InboxWatchers::Dependencies inboxes;
    inboxes.queue = &m_queueManager;
    inboxes.config = &m_configService;
    inboxes.logger = &m_services.logger;
    inboxes.problems = m_services.problems.get();
    inboxes.downloadsDirectory = m_options.downloadsDirectory;
    inboxes.sampleIntervalMs = m_options.watcherSampleIntervalMs;
    m_inboxes = new InboxWatchers(inboxes, this);
    connect(m_inboxes, &InboxWatchers::scanningChanged, this,
            &AppDelegate::scheduleStatusItemUpdate);
    m_inboxes->prepare(m_options.openHUDAtLaunch);
}

void AppDelegate::setupHUDPanel()
{
    m_hudPanel = new TriageHUDPanel;
    // When the window last lost the focus, for a click on the tray that took it.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        const bool active = window && m_hudPanel && window == m_hudPanel->windowHandle();
        if (m_hudActive && !active)
            m_hudLostFocus.start();
        m_hudActive = active;
    });
    connect(m_hudPanel, &TriageHUDPanel::closedByUser, this, &AppDelegate::dismissHUD);
    // The menu's shortcuts (Ctrl+, Ctrl+Q, ...) also work in the window: the same actions,
    // active while the window has the focus.
    m_hudPanel->addActions(m_menu->actions());
}

void AppDelegate::setupActions()
{
    TriageActionController::Dependencies actions;
    actions.queue = &m_queueManager;
    actions.engine = &m_services.engine;
    actions.telemetry = &m_services.telemetry;
    actions.logger = &m_services.logger;
    actions.history = m_services.history.get();
    m_actions = new TriageActionController(actions, this);
    if (!m_historyProblem.isEmpty())
        m_actions->showStatus(std::exchange(m_historyProblem, QString()), StatusLine::Kind::Error);
    else if (m_services.history && !m_services.history->available())
        m_actions->showStatus(
            tr("History is unavailable: %1").arg(m_services.history->unavailableReason()),
            StatusLine::Kind::Error);
    // Learned off this thread; suggestions show once it is in.
    if (m_suggestions)
        m_suggestions->load();
    // The tray says Inbox Zero only once the last action has ended (it may still fail).
    connect(m_actions, &TriageActionController::stateChanged, this,
            &AppDelegate::updateStatusItemAppearance);
}

void AppDelegate::finishLaunch()
{
    if (m_launchFinished)
        return;
    m_launchFinished = true;
    if (m_options.openHUDAtLaunch)
        applyAppIcon();
    CrashReportingSetup::apply(m_services, m_configService.config());
    m_tray->watchForTray();
    setupNotifications();
    // A move killed half-way (power loss) leaves a hidden partial copy in its slot folder,
    // an undo killed half-way one in the item's inbox.
    QStringList slotFolders = watchedFolders();
    for (const DestinationSlot& slot : m_configService.config().destinationSlots)
        slotFolders << DestinationSlot::expandTilde(slot.path);
    m_actions->removeStalePartials(slotFolders);

    upgradeLoginItem();
    if (m_options.bindGlobalShortcut) {
        connect(&m_services.globalShortcut, &GlobalShortcutService::activated, this,
                &AppDelegate::openHUD);
        new GlobalShortcutBinding(m_services.globalShortcut, m_configService, m_services.logger,
                                  this);
    }
    // Started hidden (at login): if no tray shows up meanwhile, say how to get in.
    if (!m_options.openHUDAtLaunch) {
        clock().callAfter(m_options.noTrayNoticeDelayMs, this,
                          [this] { tellHowToReopenWithoutTray(); });
    }
}

void AppDelegate::applicationWillTerminate()
{
    m_services.logger.info(QStringLiteral("Application terminating."));
    if (m_inboxes)
        m_inboxes->stop();
    // Lines are written on the logger's own thread; let them reach the disk before exit.
    m_services.logger.waitForWritten(2000);
}

bool AppDelegate::waitForBackgroundReaders(int timeoutMs)
{
    // Quit cancelled the file actions; one that did not stop in time was left behind, blocked
    // on a file system that does not answer.
    if (m_actions && m_actions->abandonedCount() > 0) {
        m_services.logger.error(QStringLiteral("A cancelled file action was still blocked at "
                                               "quit; ending without waiting for it."));
        m_services.logger.waitForWritten(500);
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    const bool previews = PreviewLoader::threadPool()->waitForDone(int(deadline.remainingTime()));
    const bool listings = QThreadPool::globalInstance()->waitForDone(int(deadline.remainingTime()));
    if (previews && listings)
        return true;
    m_services.logger.error(QStringLiteral("A preview or folder listing was still reading at "
                                           "quit after %1 ms; ending without waiting for it.")
                                .arg(timeoutMs));
    m_services.logger.waitForWritten(500);
    return false;
}

void AppDelegate::applyAppIcon()
{
    QApplication::setWindowIcon(AppIconArtwork::windowIcon());
}

void AppDelegate::setupStatusItem()
{
    m_menu = new QMenu;
    auto add = [this](const QString& title, void (AppDelegate::*slot)(), const QString& key) {
        QAction* action = m_menu->addAction(title);
        if (!key.isEmpty())
            action->setShortcut(QKeySequence(QStringLiteral("Ctrl+") + key));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(tr("Organize Downloads"), &AppDelegate::openHUD, QStringLiteral("D"));
    // Names the folder actually watched (xdg-user-dirs may call it ~/Téléchargements).
    const QString watched = m_options.downloadsDirectory.isEmpty()
                                ? StoragePaths::downloadsDirectory()
                                : m_options.downloadsDirectory;
    add(tr("Scan %1 Now").arg(StoragePaths::tildePath(watched)), &AppDelegate::scanDownloads,
        QStringLiteral("S"));
    add(tr("Clear Skipped Files"), &AppDelegate::clearSkippedFiles, {});
    add(tr("Force Reset Queue"), &AppDelegate::forceResetQueue, QStringLiteral("R"));
    add(tr("Open Log File..."), &AppDelegate::openLogFile, QStringLiteral("L"));
    // A build without an update feed (distribution packages: the package manager updates
    // them) offers no update check at all rather than a command that does nothing.
    if (m_services.updates.updaterController())
        add(tr("Check for Updates..."), &AppDelegate::checkForUpdates, QStringLiteral("U"));
    m_menu->addSeparator();
    add(tr("Preferences..."), &AppDelegate::openPreferences, QStringLiteral(","));
    m_menu->addSeparator();
    add(tr("Quit Stowbird"), &AppDelegate::quitApp, QStringLiteral("Q"));

    // Redraws are coalesced: a rescan of a large folder posts thousands of changes.
    m_statusUpdate = new QTimer(this);
    m_statusUpdate->setSingleShot(true);
    m_statusUpdate->setInterval(0);
    connect(m_statusUpdate, &QTimer::timeout, this, &AppDelegate::updateStatusItemAppearance);
    connect(&m_queueManager, &TriageQueueManager::triageQueueDidChange, this,
            &AppDelegate::scheduleStatusItemUpdate);
    m_tray = new TrayStatusItem(m_menu, m_services.logger, this);
    connect(m_tray, &TrayStatusItem::clicked, this, &AppDelegate::toggleHUD);
    connect(m_tray, &TrayStatusItem::doubleClicked, this, &AppDelegate::openHUD);
    connect(m_tray, &TrayStatusItem::iconCreated, this, &AppDelegate::updateStatusItemAppearance);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    scheduleStatusItemUpdate();
            });
    updateStatusItemAppearance();
}

QIcon AppDelegate::trayIcon() const
{
    return TrayBadgeIcon::icon(int(std::min<qsizetype>(waitingCount(), INT_MAX)));
}

void AppDelegate::tellHowToReopenWithoutTray()
{
    if (!m_notifier || m_toldHowToReopen || m_tray->isHostAvailable())
        return;
    if (m_hudPanel && m_hudPanel->isVisible())
        return;
    m_toldHowToReopen = true;
    const GlobalShortcutService& shortcut = m_services.globalShortcut;
    const QString how = shortcut.state() == GlobalShortcutService::State::Bound
                            ? tr("To open it again, press %1 or start Stowbird from the "
                                 "applications menu.")
                                  .arg(shortcut.shortcutText())
                            : tr("To open it again, start Stowbird from the applications menu.");
    m_notifier->notify(tr("Stowbird keeps watching your downloads"),
                       tr("This desktop has no tray for its icon. %1").arg(how));
    m_services.logger.info(
        QStringLiteral("No tray on this desktop; told the user how to reopen Stowbird."));
}

void AppDelegate::setupNotifications()
{
    m_notifier = new DesktopNotifier(QDBusConnection::sessionBus(), this);
    // Only the notice of tellHowToReopenWithoutTray() reports here; the notifications of new
    // downloads report their own failures.
    connect(m_notifier, &DesktopNotifier::failed, this, [this](const QString& reason) {
        m_services.logger.error(
            QStringLiteral("Could not show the notification on how to reopen Stowbird: ") + reason);
    });
    NewDownloadNotifier::Dependencies notices;
    notices.notifier = m_notifier;
    notices.queue = &m_queueManager;
    notices.actions = m_actions;
    notices.config = &m_configService;
    notices.logger = &m_services.logger;
    notices.suggestions = m_suggestions;
    notices.windowShown = [this] { return m_hudPanel && m_hudPanel->isVisible(); };
    notices.trayShown = [this] { return m_tray->isShown(); };
    m_downloadNotifier = new NewDownloadNotifier(notices, this);
    connect(m_downloadNotifier, &NewDownloadNotifier::openRequested, this, &AppDelegate::openHUD);
    // Downloads that arrived while the program runs, not those a listing finds; told once the
    // queue has them (the rescanner's reports of the same discovery are posted first).
    connect(downloadWatcher(), &DownloadWatcherService::fileDiscovered, m_downloadNotifier,
            [notifier = m_downloadNotifier](const QUrl& url, bool arrivedAnew) {
                if (arrivedAnew)
                    notifier->noteArrival(url);
            });
}

void AppDelegate::upgradeLoginItem()
{
    try {
        XdgAutostartBackend backend(XdgAutostartBackend::defaultAutostartDirectory(),
                                    XdgAutostartBackend::currentExecutablePath());
        if (backend.upgradeOutdatedEntry())
            m_services.logger.info(
                QStringLiteral("Updated the login item to start Stowbird in the background."));
    } catch (const AppError& error) {
        m_services.logger.error(QStringLiteral("Failed to update the login item"), error);
    }
}

void AppDelegate::scheduleStatusItemUpdate()
{
    if (m_statusUpdate && !m_statusUpdate->isActive())
        m_statusUpdate->start();
}

qsizetype AppDelegate::waitingCount() const
{
    return m_queueManager.totalQueueDepth();
}

void AppDelegate::updateStatusItemAppearance()
{
    TrayStatusItem::Status status;
    status.waiting = waitingCount();
    status.scanning = isScanning();
    status.finishing = m_actions && m_actions->hasActionsInFlight();
    if (!m_services.problems->isEmpty())
        status.problems = m_services.problems->summary();
    m_tray->show(status);
}

QStringList AppDelegate::watchedFolders() const
{
    return m_inboxes ? m_inboxes->watchedFolders() : QStringList();
}

bool AppDelegate::isScanning() const
{
    return m_inboxes && m_inboxes->isScanning();
}

QueueRescanner* AppDelegate::rescanner() const
{
    return m_inboxes ? m_inboxes->rescanner() : nullptr;
}

DownloadWatcherService* AppDelegate::downloadWatcher() const
{
    return m_inboxes ? m_inboxes->downloadWatcher() : nullptr;
}

void AppDelegate::scanDownloads()
{
    // A full listing, with a check of what waits already, off the GUI thread.
    if (!rescanner())
        return;
    rescanner()->rescan();
    updateStatusItemAppearance();
}

void AppDelegate::clearSkippedFiles()
{
    m_queueManager.clearSkipCache();
    scanDownloads();
}

void AppDelegate::forceResetQueue()
{
    m_queueManager.clearSkipCache();
    // The rescan drops what is gone as well as queuing what is there.
    scanDownloads();
    openHUD();
}

void AppDelegate::openLogFile()
{
    m_services.revealer->reveal(QUrl::fromLocalFile(m_services.logger.logPath()));
}

void AppDelegate::connectUpdateWindow()
{
    // The updater lives below the views; it is given the window it shows checks in here.
    if (AppcastUpdater* updater = m_services.updates.updaterController())
        updater->setPresenterFactory([] {
            auto* window = new UpdateWindow;
            window->setAttribute(Qt::WA_DeleteOnClose, false);
            return window;
        });
}

void AppDelegate::checkForUpdates()
{
    m_services.updates.checkForUpdates();
}

void AppDelegate::quitApp()
{
    if (m_actions && m_actions->isBusy()) {
        // Quit is never held by a move: the running one is cancelled (its partial copy is
        // removed, the original stays whole) and those waiting behind it never start. One
        // that does not stop (a destination that stopped answering) is left behind.
        if (m_quitting)
            return;
        m_quitting = true;
        m_services.logger.info(QStringLiteral("Quit requested; cancelling the file actions in "
                                              "flight."));
        m_actions->setQuitPending(true);
        connect(m_actions, &TriageActionController::idle, this, [] { QCoreApplication::exit(0); });
        QTimer::singleShot(quitGraceMs, this, [] { QCoreApplication::exit(0); });
        m_actions->cancelAll();
        return;
    }
    // Not QApplication::quit(): that first asks every visible top-level window to close
    // and gives up when one stays open, and both the HUD (closing only hides it) and the
    // XEmbed tray icon's window stay open, so Quit would do nothing. Ending the event loop
    // still runs aboutToQuit, hence applicationWillTerminate.
    QCoreApplication::exit(0);
}

void AppDelegate::openPreferences()
{
    openHUD();
    if (TriageContainerView* view = containerView())
        view->setShowingSettings(true);
}

TriageContainerView* AppDelegate::containerView() const
{
    return m_hudPanel ? qobject_cast<TriageContainerView*>(m_hudPanel->contentView()) : nullptr;
}

void AppDelegate::openHUD()
{
    // No listing here: the watcher's reports keep the queue current, and "Scan Downloads
    // Now" lists the folder again on request.
    updateStatusItemAppearance();
    if (m_downloadNotifier)
        m_downloadNotifier->windowOpened();
    if (!m_hudPanel)
        return;
    // The window is shown first and its contents built right after: mapping it takes no
    // fonts, style or widgets, so it appears as soon as a bare window would, and its first
    // frame (painted once the event loop turns) already has them.
    m_hudPanel->present();
    if (!containerView()) {
        TriageContainerView::Services services;
        services.queue = &m_queueManager;
        services.config = &m_configService;
        services.engine = &m_services.engine;
        services.telemetry = &m_services.telemetry;
        services.logger = &m_services.logger;
        services.launchAtLogin = &m_services.launchAtLogin;
        services.updates = &m_services.updates;
        services.globalShortcut = &m_services.globalShortcut;
        services.actions = m_actions;
        services.rescanner = rescanner();
        services.revealer = m_services.revealer;
        services.history = m_services.history.get();
        services.suggestions = m_suggestions;
        services.downloadsDirectory = m_options.downloadsDirectory;
        services.problems = m_services.problems.get();
        QPointer<AppDelegate> self(this);
        auto* view = new TriageContainerView(
            services,
            [self] {
                if (self)
                    self->dismissHUD();
            },
            [self] {
                if (self)
                    self->scanDownloads();
            });
        m_hudPanel->setContentView(view);
    }
    // A history that still cannot be written is said again each time the window opens.
    if (m_actions && m_services.history && !m_services.history->available() && !m_actions->status())
        m_actions->showStatus(
            tr("History is unavailable: %1").arg(m_services.history->unavailableReason()),
            StatusLine::Kind::Error);
    // Told once, in the window: the user's settings file could not be read.
    if (const QString notice = m_configService.pendingNotice(); !notice.isEmpty()) {
        m_services.logger.error(notice);
        m_hudPanel->setNotice(notice);
        m_configService.acknowledgeNotice();
    }
}

bool AppDelegate::isHUDInFront() const
{
    if (!m_hudPanel || !m_hudPanel->isVisible() || m_hudPanel->isMinimized())
        return false;
    if (QGuiApplication::focusWindow() == m_hudPanel->windowHandle())
        return true;
    // Some panels take the focus when their tray icon is clicked, before the click is
    // reported: a window that had it a moment ago was still in front for the user.
    return m_hudLostFocus.isValid() && !m_hudLostFocus.hasExpired(m_options.trayFocusGraceMs);
}

void AppDelegate::toggleHUD()
{
    if (isHUDInFront())
        dismissHUD();
    else
        openHUD();
}

void AppDelegate::showHistoryProblem(const QString& text)
{
    // Triage goes on: the actions still happen, only the history misses them.
    if (m_actions)
        m_actions->showStatus(text, StatusLine::Kind::Error);
    else
        m_historyProblem = text;
}

void AppDelegate::dismissHUD()
{
    // Closed before the launch was through: the tray and the notifications are needed now.
    if (m_launchGate)
        m_launchGate->noteWindowClosed();
    m_services.telemetry.endSession(waitingCount());
    if (m_hudPanel) {
        m_hudPanel->hide();
        m_hudPanel->setContentView(nullptr);
    }
    tellHowToReopenWithoutTray();
}
